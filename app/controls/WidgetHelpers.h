// The small routines every widget of the program shares: its font, rounded
// windows, the skin pictures, and a strip of skin pictures.
#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace lumora {

// The program's font: 12-pixel "WenQuanYi Zen Hei Mono" (SimSun on Windows),
// whose half-width characters are 6 and full-width ones 12 pixels wide, as
// the label centring counts them. The main window sets it on itself; the
// panels and tiles take it over from their parents.
QFont LumoraFont();

// Clips a window to its rectangle with corners rounded by ellipses of
// cornerWidth x cornerHeight pixels, and repaints it.
void RoundWindow(QWidget *window, int cornerWidth, int cornerHeight);

// The program's pictures (app/resources/skin/, painted by
// app/resources/tools/PaintSkin.cpp) as a Qt resource under ":/skin/".
void InitSkinResources();
// ":/skin/NAME.png" (null when there is no such picture) for screens of
// ratio device pixels per pixel: at 1 the picture itself, above 1 its
// painting at twice the size ("NAME@2x.png", as Qt's high-DPI loading names
// it) brought smoothly to the ratio, so that a scaled window shows the skin
// painted for its scale, not stretched. The picture's device pixel ratio is
// set: it is drawn at its size in pixels of the layout.
QImage SkinImage(const QString &name, qreal ratio);
// SkinImage at the application's ratio (its screens' highest).
QImage SkinImage(const QString &name);
QPixmap SkinPicture(const QString &name);

// A strip of skin pictures: the left and right pictures at their own width,
// the centre picture stretched between them (the title and bottom bars, the
// window's edges).
class TSkinStrip : public QWidget {
public:
    TSkinStrip(const QString &left, const QString &centre, const QString &right,
               QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QPixmap left_, centre_, right_;
};

} // namespace lumora
