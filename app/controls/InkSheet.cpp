#include "controls/InkSheet.h"

#include "penlynx.h"

#include <algorithm>
#include <cstdint>

namespace lumora {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kGreyToRgb = 0x00010101u;

// The 32-bit sheet every drawing call works on, as large as the largest
// ink sheet drawn so far. Outside the reach of the call in progress its pixels
// are left over from other students and never read.
QImage &SharedSheet(QSize size) {
    static QImage sheet;
    if (sheet.width() < size.width() || sheet.height() < size.height()) {
        sheet = QImage(std::max(sheet.width(), size.width()),
                       std::max(sheet.height(), size.height()), QImage::Format_RGB32);
    }
    return sheet;
}

} // namespace

TInkSheet::TInkSheet(QSize size) : m_size(size.expandedTo(QSize(0, 0))) {}

void TInkSheet::Clear() {
    m_grey = QImage();
}

QRect TInkSheet::Draw(int slot, int x, int y, int kind) {
    const QRect reach = m_reach.Next(x, y, kind) & QRect(QPoint(0, 0), m_size);
    if (reach.isEmpty()) {
        // Nothing of this sheet is touched, but the stroke goes on.
        PenlynxSurface none{nullptr, 0, 0, 0};
        SDKDraw(slot, &none, x, y, kind);
        return QRect();
    }
    if (m_grey.isNull()) {
        m_grey = QImage(m_size, QImage::Format_Grayscale8);
        if (m_grey.isNull()) {
            return QRect(); // no memory: the point is lost, nothing else
        }
        m_grey.fill(0xFF);
    }
    QImage &shared = SharedSheet(m_size);
    if (shared.isNull()) {
        return QRect();
    }
    for (int row = reach.top(); row <= reach.bottom(); ++row) {
        const uchar *grey = m_grey.constScanLine(row);
        auto *rgb = reinterpret_cast<uint32_t *>(shared.scanLine(row));
        for (int col = reach.left(); col <= reach.right(); ++col) {
            rgb[col] = kOpaque | grey[col] * kGreyToRgb;
        }
    }
    // The shared sheet is passed with this sheet's size: the library never
    // draws past it.
    PenlynxSurface surface{reinterpret_cast<uint32_t *>(shared.bits()), m_size.width(),
                           m_size.height(), static_cast<int32_t>(shared.bytesPerLine())};
    SDKDraw(slot, &surface, x, y, kind);
    for (int row = reach.top(); row <= reach.bottom(); ++row) {
        uchar *grey = m_grey.scanLine(row);
        const auto *rgb = reinterpret_cast<const uint32_t *>(shared.constScanLine(row));
        for (int col = reach.left(); col <= reach.right(); ++col) {
            grey[col] = static_cast<uchar>(rgb[col] & 0xFF);
        }
    }
    return reach;
}

QImage TInkSheet::Picture() const {
    if (m_grey.isNull()) {
        QImage white(m_size, QImage::Format_RGB32);
        white.fill(Qt::white);
        return white;
    }
    return m_grey.convertToFormat(QImage::Format_RGB32);
}

} // namespace lumora
