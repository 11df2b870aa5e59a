#include "controls/InkSheet.h"

#include "controls/InkTarget.h"

#include <cstdint>

namespace lumora {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kGreyToRgb = 0x00010101u;

} // namespace

TInkSheet::TInkSheet(QSize size) : m_size(size.expandedTo(QSize(0, 0))) {}

void TInkSheet::Clear() {
    m_grey = QImage();
}

QRect TInkSheet::Draw(int slot, int x, int y, int kind) {
    const QRect reach = m_reach.Next(x, y, kind) & QRect(QPoint(0, 0), m_size);
    if (reach.isEmpty()) {
        // Nothing of this sheet is touched, but the stroke goes on.
        InkTarget::Advance(slot, x, y, kind);
        return QRect();
    }
    if (m_grey.isNull()) {
        m_grey = QImage(m_size, QImage::Format_Grayscale8);
        if (m_grey.isNull()) {
            return QRect(); // no memory: the point is lost, nothing else
        }
        m_grey.fill(0xFF);
    }
    // The 32-bit sheet every drawing call works on (InkTarget.h). Outside the
    // reach of the call in progress its pixels are left over from other
    // students and never read.
    InkTarget &shared = InkTarget::Shared(m_size);
    if (!shared.Covers(m_size)) {
        return QRect();
    }
    for (int row = reach.top(); row <= reach.bottom(); ++row) {
        const uchar *grey = m_grey.constScanLine(row);
        uint32_t *rgb = shared.Row(row);
        for (int col = reach.left(); col <= reach.right(); ++col) {
            rgb[col] = kOpaque | grey[col] * kGreyToRgb;
        }
    }
    shared.Draw(slot, m_size, x, y, kind);
    for (int row = reach.top(); row <= reach.bottom(); ++row) {
        uchar *grey = m_grey.scanLine(row);
        const uint32_t *rgb = shared.Row(row);
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
