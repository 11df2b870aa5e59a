// A handwriting font for the simulated classroom: digits, a few capitals and
// lower-case letters, '+' and '=', each as pen strokes in font units (cap
// height 10, y downward, baseline at 10), smoothed into dense polylines once.
#pragma once

#include <string_view>
#include <vector>

namespace penlynx {

struct FontPoint {
    double x, y;
};

struct FontStroke {
    std::vector<FontPoint> points; // dense polyline
    std::vector<double> distance;  // arc length up to each point
    double Length() const { return distance.back(); }
    // The point at arc length s along the stroke (clamped to its ends);
    // `hint` is the segment to search from and is moved along.
    FontPoint At(double s, size_t &hint) const;
};

struct Glyph {
    std::vector<FontStroke> strokes;
    double advance = 0; // pen movement to the next glyph
};

class SimFont {
public:
    SimFont();
    // The glyph of c, or null for a character the font lacks (a space moves
    // the pen on by SpaceAdvance()).
    const Glyph *Find(char c) const;
    static constexpr double SpaceAdvance() { return 5; }

private:
    std::vector<Glyph> glyphs_; // indexed by character
};

// Every text the simulated students write; each character is in the font.
const std::vector<std::string_view> &SimTexts();

} // namespace penlynx
