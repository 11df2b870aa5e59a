// The picture inside a tile of the grids (TStdChannel), and the colours its
// ink panes are painted with.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

class QPainter;
class QRegion;

namespace lumora {

class TInkSheet;

// The bar over a pane whose student wrote in the last seconds.
inline const QColor kWritingMark{0x1E, 0xA0, 0x4A};
inline constexpr int kWritingMarkHeight = 5;
// The colour around a pane's handwriting where the pane's shape differs from
// the tablet's.
inline const QColor kInkSurround{0xDD, 0xE3, 0xEA};

// The picture of a tile: a link picture in its own size, or the tile's ink
// sheet scaled as large as it fits with its shape kept, centred, with
// kInkSurround around it.
class TTileImage : public QWidget {
    Q_OBJECT
public:
    explicit TTileImage(QWidget *parent = nullptr);
    // Seat grid: the link picture; the control sizes itself to it.
    void SetPicture(const QImage &picture);
    const QImage &Picture() const { return picture_; }
    // Seat grid: the link picture drawn this many times its size.
    void SetScale(double scale);
    // Ink mode: the sheet drawn (owned by the tile).
    void SetInk(const TInkSheet *ink) { ink_ = ink; }
    // Where the sheet is drawn in this control (empty without a sheet).
    QRect SheetRect() const;
    // Ink mode: the bar that marks a pane being written on.
    void SetMarked(bool marked);
    bool Marked() const { return marked_; }
    // How often the control has painted (for tests).
    int PaintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
    const TInkSheet *ink_ = nullptr;
    double scale_ = 1;
    bool marked_ = false;
    int paints_ = 0;
    void PaintMark(QPainter &p, const QRegion &exposed);
};

} // namespace lumora
