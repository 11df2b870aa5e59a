// Layout arithmetic of the seat grid panel and its tiles,
// with no widget in sight: the panel applies what these functions compute.
//
// QtCore only. Rounding is the shared helpers' (core/Helpers.h).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringView>

#include <vector>

namespace lumora {

// True for a character that the 12-pixel mono font draws 12 pixels wide (a
// double-byte character of the Chinese code page: CJK ideographs, kana,
// hangul, full-width forms, CJK punctuation); everything else is 6 wide.
bool IsFullWidth(char32_t c);

// The width a label's text is counted with: 6 pixels per half-width and 12
// per full-width character ("6 x bytes of the code page"), equal
// to the width drawn in 12-pixel "WenQuanYi Zen Hei Mono".
int LabelTextWidth(QStringView text);

// Left edge of a label centred on a tile, relative to the inner panel:
// (tileWidth - LabelTextWidth(text)) / 2, truncated toward zero; negative for
// a text wider than the tile (a 20-character name on 80 pixels: -20).
int CentredLabelLeft(int tileWidth, QStringView text);

// LayoutGrid(columns, start, rows) on a panel.
struct GridPlacement {
    // False: the horizontal gap is negative (or columns/rows are below 1),
    // and the panel changes nothing at all.
    bool Applies = false;
    int GapX = 0; // (panel width - columns x tile width) / (columns + 1)
    int GapY = 0; // (panel height - rows x tile height) / (rows + 1), may be negative
    // One entry per tile: shown or hidden, and where a shown tile goes.
    std::vector<bool> Shown;
    std::vector<QPoint> Positions;
};
GridPlacement PlanGrid(QSize panel, QSize tile, int columns, int start, int rows, int tileCount);

// LayoutPanes(paneCount, start) on a panel.
struct PanePlacement {
    // False: an unsupported pane count (not 1, 4, 6 or 9) or a start that is
    // not a tile index; the panel changes nothing.
    bool Applies = false;
    // One entry per tile: in the page (with its rectangle) or not (the tile
    // keeps its position and gets width and height 0).
    std::vector<bool> InPage;
    std::vector<QRect> Rects;
    // The places of a last page that no tile fills, in page order: the panel
    // shows the pane background there.
    std::vector<QRect> EmptyPlaces;
};
PanePlacement PlanPanes(QSize panel, int paneCount, int start, int tileCount);

// A grid whose tiles grow with the room it has: columns x rows tiles of at
// least the base size (80 x 69 seats, 80 x 60 answers) with gaps of
// kGridGap around them, never wider than kMaxTileShape times their height.
inline constexpr int kGridGap = 6;
inline constexpr double kMaxTileShape = 2.2;
QSize GridTileSize(QSize panel, QSize base, int columns, int rows);

// How much larger than its base size a tile is (the smaller of the two
// ratios); 1 for a tile at (or within 5 % of, or below) its base size.
double TileScale(QSize tile, QSize base);

// At most rows rows of tiles that fit on a panel of this height without
// overlapping (PlanGrid lets rows overlap and cuts the first one when more
// are asked for than fit); at least one.
int FittingRows(int panelHeight, int tileHeight, int rows);

// Pages of a grid laid out with PlanGrid and FittingRows: a page shows the
// tiles one layout from its first tile shows (columns x the rows that fit),
// and as many pages follow as it takes to show every tile.
struct GridPaging {
    int PerPage = 0; // 0: not even one tile fits (the layout changes nothing)
    int Pages = 1;
    int PageStart(int page) const { return page * PerPage; }
};
GridPaging PlanPaging(QSize panel, QSize tile, int columns, int rows, int tileCount);

// The largest rectangle with the shape of source that fits into area, centred
// (sizes rounded to whole pixels): where a pane draws its handwriting so that
// the writing keeps its proportions. Empty when either size is empty.
QRect FitRect(QSize source, QSize area);

} // namespace lumora
