#include "core/GridLayout.h"

#include "core/Helpers.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumora {

bool IsFullWidth(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || // Hangul Jamo initials
           (c >= 0x2E80 && c <= 0x303E) || // CJK radicals, symbols and punctuation
           (c >= 0x3041 && c <= 0x33FF) || // kana, bopomofo, CJK compatibility
           (c >= 0x3400 && c <= 0x4DBF) || // CJK extension A
           (c >= 0x4E00 && c <= 0x9FFF) || // CJK unified ideographs
           (c >= 0xA000 && c <= 0xA4CF) || // Yi
           (c >= 0xAC00 && c <= 0xD7A3) || // Hangul syllables
           (c >= 0xF900 && c <= 0xFAFF) || // CJK compatibility ideographs
           (c >= 0xFE30 && c <= 0xFE4F) || // CJK compatibility forms
           (c >= 0xFF00 && c <= 0xFF60) || // full-width forms
           (c >= 0xFFE0 && c <= 0xFFE6) || // full-width signs
           (c >= 0x20000 && c <= 0x3FFFD); // CJK extensions B and later
}

int LabelTextWidth(QStringView text) {
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += IsFullWidth(c) ? 12 : 6;
    return width;
}

int CentredLabelLeft(int tileWidth, QStringView text) {
    return (tileWidth - LabelTextWidth(text)) / 2;
}

GridPlacement PlanGrid(QSize panel, QSize tile, int columns, int start, int rows, int tileCount) {
    GridPlacement plan;
    if (columns < 1 || rows < 1)
        return plan;
    const int c = columns, r = rows, s = start;
    const int tw = tile.width(), th = tile.height();
    // 1. horizontal gap; negative: nothing changes
    plan.GapX = (panel.width() - c * tw) / (c + 1);
    if (plan.GapX < 0)
        return plan;
    // 2. vertical gap, which may be negative
    plan.GapY = (panel.height() - r * th) / (r + 1);
    plan.Applies = true;
    // 3. every tile hidden
    const int count = tileCount < 0 ? 0 : tileCount;
    plan.Shown.assign(static_cast<size_t>(count), false);
    plan.Positions.assign(static_cast<size_t>(count), QPoint());
    // 4. a start beyond the last tile leaves them all hidden
    if (s < 0 || s > count - 1)
        return plan;
    // 5. row by row from s
    const int g = plan.GapX, v = plan.GapY;
    int placed = 0;
    for (int i = s; i <= count - 1; ++i) {
        QPoint at;
        if (i < s + c) {
            at = QPoint(g + (i - s) * (tw + g), v);
        } else {
            const QPoint above = plan.Positions[static_cast<size_t>(i - c)];
            at = QPoint(above.x(), above.y() + th + v);
            if (at.y() + th > panel.height())
                break;
        }
        plan.Positions[static_cast<size_t>(i)] = at;
        plan.Shown[static_cast<size_t>(i)] = true;
        ++placed;
        if (placed / c > r - 1)
            break;
    }
    return plan;
}

PanePlacement PlanPanes(QSize panel, int paneCount, int start, int tileCount) {
    PanePlacement plan;
    const int n = paneCount, s = start;
    if (n != 1 && n != 4 && n != 6 && n != 9)
        return plan;
    // Index tests accept 0..255 only.
    if (s < 0 || s > 255 || s >= tileCount)
        return plan;
    plan.Applies = true;
    plan.InPage.assign(static_cast<size_t>(tileCount), false);
    plan.Rects.assign(static_cast<size_t>(tileCount), QRect());
    const int W = panel.width(), H = panel.height();
    // The place of the k-th pane of the page: a tile's, or an empty place on
    // a page the tiles do not fill.
    const auto place = [&plan, s, tileCount](int k, const QRect &rect) {
        const int i = s + k;
        if (i < tileCount) {
            plan.Rects[static_cast<size_t>(i)] = rect;
            plan.InPage[static_cast<size_t>(i)] = true;
        } else {
            plan.EmptyPlaces.push_back(rect);
        }
    };
    if (n == 6) {
        // two columns, three rows, 1-pixel border around and between the panes
        const int width = (W - 3) / 2, height = (H - 4) / 3;
        for (int k = 0; k < 6; ++k) {
            place(k, QRect(1 + (k % 2) * (width + 1), 1 + (k / 2) * (height + 1), width, height));
        }
        return plan;
    }
    // 1, 4 or 9: e x e panes edge to edge with 1-pixel gaps
    const int e = n == 1 ? 1 : (n == 4 ? 2 : 3);
    const int cw = DivRoundHalfEven(W - (e - 1), e);
    const int ch = DivRoundHalfEven(H - (e - 1), e);
    for (int k = 0; k < e * e; ++k) {
        int width = cw, height = ch;
        const int left = (k % e) * (cw + 1), top = (k / e) * (ch + 1);
        if ((k + 1) % e == 0)
            width = W - (e - 1) * (cw + 1);
        if (k / e == e - 1)
            height = H - (e - 1) * (ch + 1);
        place(k, QRect(left, top, width, height));
    }
    return plan;
}

QSize GridTileSize(QSize panel, QSize base, int columns, int rows) {
    if (columns < 1 || rows < 1)
        return base;
    int width = std::max(base.width(), (panel.width() - (columns + 1) * kGridGap) / columns);
    const int height = std::max(base.height(), (panel.height() - (rows + 1) * kGridGap) / rows);
    width = std::max(base.width(), std::min(width, static_cast<int>(height * kMaxTileShape)));
    return QSize(width, height);
}

double TileScale(QSize tile, QSize base) {
    if (base.isEmpty())
        return 1;
    const double scale =
        std::min(double(tile.width()) / base.width(), double(tile.height()) / base.height());
    return scale < 1.05 ? 1.0 : scale;
}

int FittingRows(int panelHeight, int tileHeight, int rows) {
    if (tileHeight <= 0)
        return std::max(rows, 1);
    return std::clamp(panelHeight / tileHeight, 1, std::max(rows, 1));
}

GridPaging PlanPaging(QSize panel, QSize tile, int columns, int rows, int tileCount) {
    GridPaging paging;
    if (columns < 1 || rows < 1 || tileCount <= 0)
        return paging;
    const int fit = FittingRows(panel.height(), tile.height(), rows);
    const GridPlacement full = PlanGrid(panel, tile, columns, 0, fit, columns * fit);
    if (!full.Applies)
        return paging;
    paging.PerPage = static_cast<int>(std::count(full.Shown.begin(), full.Shown.end(), true));
    if (paging.PerPage > 0)
        paging.Pages = (tileCount + paging.PerPage - 1) / paging.PerPage;
    return paging;
}

QRect FitRect(QSize source, QSize area) {
    if (source.isEmpty() || area.isEmpty())
        return QRect();
    // Whichever side is tighter decides the scale; the other side is computed
    // from it, so that the shape is kept to within a pixel.
    int width = area.width();
    int height = area.height();
    if (static_cast<int64_t>(source.width()) * area.height() >
        static_cast<int64_t>(area.width()) * source.height()) {
        height =
            std::max(1, RoundHalfEven(double(source.height()) * area.width() / source.width()));
    } else {
        width =
            std::max(1, RoundHalfEven(double(source.width()) * area.height() / source.height()));
    }
    return QRect((area.width() - width) / 2, (area.height() - height) / 2, width, height);
}

} // namespace lumora
