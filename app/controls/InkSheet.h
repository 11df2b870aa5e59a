// A student's handwriting as the live view keeps it: 8-bit grey (the ink is
// black on white, so every pixel is a grey level) and made only when the
// first stroke reaches it. The receiver library draws 32-bit pixels; each
// drawing call gets them from one 32-bit sheet shared by all students, in
// which only the few pixels the call can touch (InkReach) are filled in from
// this sheet before the call and taken back after it. 100 students writing on
// a full-HD screen so need 40 MB of ink instead of 160.
//
// User-interface thread only.
#pragma once

#include "core/InkReach.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace lumora {

class TInkSheet {
public:
    explicit TInkSheet(QSize size);

    QSize Size() const { return m_size; }
    // True while nothing has been drawn since the start or the last Clear.
    bool IsBlank() const { return m_grey.isNull(); }
    // The grey pixels (Format_Grayscale8, Size()), or a null image while blank.
    const QImage &Grey() const { return m_grey; }
    QImage *GreyImage() { return &m_grey; }
    // White again; the pixels' memory is given back.
    void Clear();
    // One point of the slot's stroke, through SDKDraw (kind 1 begins a
    // stroke, 2 continues it). Returns the pixels that may have changed,
    // within the sheet; empty when none did.
    QRect Draw(int slot, int x, int y, int kind);
    // The handwriting as a 32-bit picture (white while blank).
    QImage Picture() const;

private:
    QSize m_size;
    QImage m_grey;
    InkReach m_reach;
};

} // namespace lumora
