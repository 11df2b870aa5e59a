#include "SimFont.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace penlynx {

namespace {

struct StrokeSpec {
    std::initializer_list<FontPoint> points;
    bool closed = false;
};

struct GlyphSpec {
    char c;
    double advance;
    std::initializer_list<StrokeSpec> strokes;
};

// Control points of each glyph's strokes, in the order a hand writes them.
// Points shared by two consecutive control points make a sharp corner.
const GlyphSpec kGlyphs[] = {
    {'0',
     7.5,
     {{{{3, 0}, {5.4, 1.8}, {6, 5}, {5.4, 8.2}, {3, 10}, {0.6, 8.2}, {0, 5}, {0.6, 1.8}}, true}}},
    {'1', 5, {{{{0.8, 2.2}, {2.8, 0}, {2.8, 0}, {2.8, 10}}}}},
    {'2',
     7.5,
     {{{{0.4, 2.6}, {2.2, 0.2}, {4.6, 0.4}, {5.6, 2.6}, {4.2, 5.6}, {0, 10}, {0, 10}, {6, 10}}}}},
    {'3',
     7.5,
     {{{{0.4, 1.2},
        {3, 0},
        {5.4, 1.9},
        {2.8, 4.8},
        {2.8, 4.8},
        {5.8, 7.1},
        {3.4, 10},
        {0.2, 8.8}}}}},
    {'4', 7.5, {{{{4.6, 10}, {4.6, 0}, {4.6, 0}, {0, 7}, {0, 7}, {6.2, 7}}}}},
    {'5',
     7.5,
     {{{{5.6, 0},
        {5.6, 0},
        {1, 0},
        {1, 0},
        {0.6, 4.6},
        {3.2, 3.9},
        {5.6, 6.2},
        {4.8, 9.2},
        {2.4, 10},
        {0, 9}}}}},
    {'6',
     7.5,
     {{{{5, 0.4}, {2.2, 1}, {0.3, 5}, {1, 9}, {3, 10}, {5.5, 8.4}, {5, 5.6}, {2.6, 5}, {0.5, 7}}}}},
    {'7', 7, {{{{0, 0}, {6, 0}, {6, 0}, {2, 10}}}}},
    {'8',
     7.5,
     {{{{3, 5},
        {5, 2.9},
        {4.4, 0.7},
        {3, 0},
        {1.6, 0.7},
        {1, 2.9},
        {3, 5},
        {5.6, 7.5},
        {3, 10},
        {0.4, 7.5},
        {3, 5}}}}},
    {'9', 7.5, {{{{5.5, 3}, {3, 5.4}, {0.5, 3}, {3, 0}, {5.5, 2.6}, {5.5, 6}, {4.5, 9}, {2, 10}}}}},
    {'+', 7.5, {{{{3, 3}, {3, 9}}}, {{{0, 6}, {6, 6}}}}},
    {'=', 7.5, {{{{0, 4.6}, {6, 4.4}}}, {{{0, 7.6}, {6, 7.4}}}}},
    {'A', 8, {{{{0, 10}, {3.2, 0}, {3.2, 0}, {6.4, 10}}}, {{{1.3, 6.4}, {5.1, 6.4}}}}},
    {'B',
     7.5,
     {{{{0.5, 10}, {0.5, 0}}},
      {{{0.5, 0},
        {4, 0.3},
        {5.1, 2.5},
        {4, 4.7},
        {0.5, 5},
        {0.5, 5},
        {4.6, 5.3},
        {5.9, 7.6},
        {4.5, 9.8},
        {0.5, 10}}}}},
    {'C', 7.5, {{{{5.6, 1.4}, {3.6, 0}, {1, 1.2}, {0, 5}, {1, 8.8}, {3.6, 10}, {5.8, 8.4}}}}},
    {'D',
     7.5,
     {{{{0.5, 0}, {0.5, 10}}}, {{{0.5, 0}, {3.6, 0.6}, {5.9, 5}, {3.6, 9.4}, {0.5, 10}}}}},
    {'a',
     6,
     {{{{4.4, 6}, {2.4, 5}, {0.5, 7.5}, {2.2, 10}, {4.4, 8.4}, {4.4, 5}, {4.4, 5}, {4.6, 10}}}}},
    {'c', 5.5, {{{{4.4, 5.8}, {2.5, 5}, {0.5, 7.5}, {2.5, 10}, {4.5, 9.2}}}}},
    {'d', 6, {{{{4.3, 6}, {2.3, 5}, {0.5, 7.5}, {2.3, 10}, {4.3, 8.6}}}, {{{4.3, 0}, {4.3, 10}}}}},
    {'e',
     6,
     {{{{0.5, 7.5},
        {4.5, 7.4},
        {3.8, 5.4},
        {2.5, 5},
        {0.6, 6.5},
        {0.8, 9},
        {2.6, 10},
        {4.5, 9.1}}}}},
    {'g',
     6,
     {{{{4.2, 6}, {2.3, 5}, {0.5, 7.2}, {2.3, 9}, {4.2, 7.4}}},
      {{{4.2, 5}, {4.2, 12}, {2.5, 13.5}, {0.6, 12.5}}}}},
    {'n', 6, {{{{0.5, 5}, {0.5, 10}}}, {{{0.5, 6.6}, {2.5, 5}, {4.2, 6.2}, {4.3, 10}}}}},
    {'o', 6, {{{{2.5, 5}, {4.6, 7.5}, {2.5, 10}, {0.4, 7.5}}, true}}},
    {'s', 5.5, {{{{4, 5.5}, {2.2, 5}, {0.8, 6.2}, {2.5, 7.5}, {4, 8.7}, {2.2, 10}, {0.3, 9.4}}}}},
    {'t', 5, {{{{2, 1.5}, {2, 9}, {2.6, 10}, {4, 9.5}}}, {{{0.4, 5}, {4, 5}}}}},
    {'u', 6, {{{{0.5, 5}, {0.5, 8.6}, {2.2, 10}, {4, 8.8}, {4.2, 5}, {4.2, 5}, {4.3, 10}}}}},
    {'y', 6, {{{{0.3, 5}, {2.4, 9.6}}}, {{{4.6, 5}, {2.4, 10}, {1, 13}}}}},
};

FontPoint CatmullRom(FontPoint p0, FontPoint p1, FontPoint p2, FontPoint p3, double t) {
    const double t2 = t * t;
    const double t3 = t2 * t;
    const auto blend = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                      (-a + 3 * b - 3 * c + d) * t3);
    };
    return {blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)};
}

FontStroke Smooth(const StrokeSpec &shape) {
    std::vector<FontPoint> control(shape.points);
    if (shape.closed) {
        control.push_back(control.front());
    }
    const size_t n = control.size();
    const auto at = [&](long i) {
        if (shape.closed) {
            const long m = static_cast<long>(n) - 1; // the last point repeats the first
            return control[static_cast<size_t>(((i % m) + m) % m)];
        }
        return control[static_cast<size_t>(std::clamp(i, 0L, static_cast<long>(n) - 1))];
    };
    constexpr int kSteps = 8;
    FontStroke stroke;
    stroke.points.push_back(control.front());
    for (long i = 0; i + 1 < static_cast<long>(n); ++i) {
        for (int step = 1; step <= kSteps; ++step) {
            stroke.points.push_back(
                CatmullRom(at(i - 1), at(i), at(i + 1), at(i + 2), step / double(kSteps)));
        }
    }
    stroke.distance.push_back(0);
    for (size_t i = 1; i < stroke.points.size(); ++i) {
        const double dx = stroke.points[i].x - stroke.points[i - 1].x;
        const double dy = stroke.points[i].y - stroke.points[i - 1].y;
        stroke.distance.push_back(stroke.distance.back() + std::hypot(dx, dy));
    }
    return stroke;
}

} // namespace

FontPoint FontStroke::At(double s, size_t &hint) const {
    if (s <= 0 || points.size() == 1) {
        return points.front();
    }
    if (s >= Length()) {
        hint = points.size() - 1;
        return points.back();
    }
    hint = std::min(hint, points.size() - 2);
    while (hint > 0 && distance[hint] > s) {
        --hint;
    }
    while (distance[hint + 1] < s) {
        ++hint;
    }
    const double span = distance[hint + 1] - distance[hint];
    const double t = span > 0 ? (s - distance[hint]) / span : 0;
    const FontPoint a = points[hint];
    const FontPoint b = points[hint + 1];
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

SimFont::SimFont() : glyphs_(128) {
    for (const GlyphSpec &shape : kGlyphs) {
        Glyph &glyph = glyphs_[static_cast<size_t>(shape.c)];
        glyph.advance = shape.advance;
        for (const StrokeSpec &stroke : shape.strokes) {
            glyph.strokes.push_back(Smooth(stroke));
        }
    }
}

const Glyph *SimFont::Find(char c) const {
    const auto index = static_cast<unsigned char>(c);
    if (index >= glyphs_.size() || glyphs_[index].strokes.empty()) {
        return nullptr;
    }
    return &glyphs_[index];
}

const std::vector<std::string_view> &SimTexts() {
    static const std::vector<std::string_view> texts = {
        "7",     "42",  "15",  "306", "2024", "3+4=7", "2+5=7", "6+3=9", "12+7=19",
        "8+1=9", "A",   "B",   "C",   "D",    "AB",    "CD",    "cat",   "yes",
        "no",    "sun", "dog", "one", "tea",  "A+B",   "10",    "98",    "5+5=10",
    };
    return texts;
}

} // namespace penlynx
