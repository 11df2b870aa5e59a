// One saved picture shown large over a view, on a dark veil, with its caption
// above and a hint below; Escape or a click closes it.
#pragma once

#include <QImage>
#include <QWidget>

namespace lumora {

class TPictureOverlay : public QWidget {
    Q_OBJECT
public:
    explicit TPictureOverlay(QWidget *parent);

    // Covers the parent and takes the keyboard. A null picture shows the
    // texts alone.
    void Show(const QImage &picture, const QString &caption, const QString &hint);
    // Where the picture is drawn: as large as fits, its shape kept.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage picture_;
    QString caption_;
    QString hint_;
};

} // namespace lumora
