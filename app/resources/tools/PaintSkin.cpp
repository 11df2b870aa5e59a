// PaintSkin: paints every picture of Lumora's skin with QPainter and writes
// them as PNG files. The pictures in app/resources/skin/ are this tool's
// output; the tool is their source.
//
//   lumora_paint_skin write DIR           paint every picture into DIR, at its
//                                         size (NAME.png) and at twice it
//                                         (NAME@2x.png, for scaled screens)
//   lumora_paint_skin check DIR           compare DIR's pictures (both sizes)
//                                         with a fresh painting; exit 1 on a
//                                         difference
//   lumora_paint_skin sheet FILE.png      a contact sheet for looking at them
//   lumora_paint_skin list                print the picture names and sizes
//
// One style for all: flat shapes without gradients, the program's blue
// (RGB 0, 85, 142) for chrome, white glyphs on coloured rounded badges for the
// navigation icons, one red (RGB 217, 54, 62) for every "lost" or "close"
// signal. Strokes of 1 pixel sit on pixel centres so that they stay sharp at
// 100 %; painted at twice the size they are 2 pixels wide, as sharp.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// ---- palette -----------------------------------------------------------------
const QColor kBlue(0, 85, 142);      // title strip, navigation gradient start
const QColor kBlueDark(0, 68, 111);  // window outline, pressed borders
const QColor kChrome(221, 232, 243); // edges and bottom strip
const QColor kChromeLine(190, 210, 230);
const QColor kTile(0xA9, 0xC9, 0xEF); // seat tile colour
const QColor kRed(217, 54, 62);
const QColor kRedDark(178, 38, 46);
const QColor kGreen(46, 160, 96);
const QColor kGrey(138, 151, 166);
const QColor kOrange(236, 142, 36);
const QColor kSky(43, 140, 214);
const QColor kViolet(122, 104, 204);
const QColor kTeal(22, 150, 160);
const QColor kAmber(255, 184, 28);
const QColor kWhite(255, 255, 255);
const QColor kInk(40, 52, 66); // dark glyph colour

struct Picture {
    QByteArray name;
    int width;
    int height;
    bool opaque; // written without alpha channel (24 bits per pixel)
    std::function<void(QPainter &)> paint;
};

QPen Pen(const QColor &c, double w, Qt::PenCapStyle cap = Qt::RoundCap) {
    return QPen(c, w, Qt::SolidLine, cap, Qt::RoundJoin);
}

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

// ---- seat pictures (48 x 48, drawn on the tile colour) -----------------------
// The tile hides the top three rows and its name label starts at row 44, so
// everything sits between rows 4 and 42.

void Pencil(QPainter &p, QPointF tip, QPointF end, double width, bool muted) {
    // A pencil from its graphite tip to the end of its eraser.
    const QLineF axis(tip, end);
    const double len = axis.length();
    p.save();
    p.translate(tip);
    p.rotate(-axis.angle()); // x now runs along the pencil, tip at 0
    const double h = width / 2;
    const QColor body = muted ? QColor(176, 188, 201) : QColor(247, 196, 54);
    const QColor bodyShade = muted ? QColor(146, 160, 176) : QColor(222, 163, 22);
    const QColor wood = muted ? QColor(226, 219, 208) : QColor(243, 214, 170);
    const QColor lead = muted ? QColor(92, 104, 118) : QColor(60, 60, 66);
    const QColor ferrule = muted ? QColor(160, 166, 174) : QColor(170, 178, 188);
    const QColor eraser = muted ? QColor(214, 170, 178) : QColor(240, 128, 146);
    const double cone = width * 1.35;
    const double eraserLen = width * 0.95;
    const double ferruleLen = width * 0.6;
    p.setPen(Qt::NoPen);
    // wood cone and graphite point
    p.setBrush(wood);
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(cone, -h), QPointF(cone, h)}));
    p.setBrush(lead);
    const double leadLen = cone * 0.38;
    p.drawPolygon(
        QPolygonF({QPointF(0, 0), QPointF(leadLen, -h * 0.38), QPointF(leadLen, h * 0.38)}));
    // body with a shaded lower half
    const double bodyEnd = len - eraserLen - ferruleLen;
    p.setBrush(body);
    p.drawRect(QRectF(cone, -h, bodyEnd - cone, width));
    p.setBrush(bodyShade);
    p.drawRect(QRectF(cone, h * 0.2, bodyEnd - cone, h * 0.8));
    // ferrule and eraser
    p.setBrush(ferrule);
    p.drawRect(QRectF(bodyEnd, -h, ferruleLen, width));
    p.setBrush(eraser);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(bodyEnd + ferruleLen - 1, -h, eraserLen + 1, width), h * 0.7,
                       h * 0.7);
    p.drawPath(cap);
    p.setBrush(ferrule);
    p.drawRect(QRectF(bodyEnd, -h, ferruleLen, width));
    p.restore();
}

void CrossBadge(QPainter &p, QPointF centre, double radius) {
    p.setPen(Pen(kWhite, 1.5));
    p.setBrush(kRed);
    p.drawEllipse(centre, radius, radius);
    const double a = radius * 0.42;
    p.setPen(Pen(kWhite, radius > 6 ? 2.2 : 1.4));
    p.drawLine(centre + QPointF(-a, -a), centre + QPointF(a, a));
    p.drawLine(centre + QPointF(-a, a), centre + QPointF(a, -a));
}

void PaintConnet(QPainter &p) {
    p.fillRect(QRectF(0, 0, 48, 48), kTile);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor top(222, 164, 100), edge(176, 114, 56), leg(84, 100, 118), shadow(141, 176, 222);
    // floor shadow
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawRoundedRect(QRectF(5, 40, 38, 3), 1.5, 1.5);
    // legs
    p.setBrush(leg);
    p.drawRect(QRectF(8, 27, 3, 14));
    p.drawRect(QRectF(37, 27, 3, 14));
    // book tray under the top
    p.setBrush(QColor(150, 96, 46));
    p.drawRect(QRectF(10, 27, 28, 4));
    // desk top: surface in perspective, then its front edge
    p.setBrush(top);
    p.drawPolygon(QPolygonF({QPointF(10, 12), QPointF(38, 12), QPointF(44, 24), QPointF(4, 24)}));
    p.setBrush(edge);
    p.drawRoundedRect(QRectF(4, 24, 40, 4), 1, 1);
    // sheet of paper lying on the desk
    p.setBrush(kWhite);
    const QPolygonF sheet(
        {QPointF(15, 13.5), QPointF(29, 13.5), QPointF(31.5, 22.5), QPointF(13, 22.5)});
    p.drawPolygon(sheet);
    p.setPen(Pen(QColor(150, 182, 222), 1, Qt::FlatCap));
    for (double y : {16.5, 18.5, 20.5}) {
        const double t = (y - 13.5) / 9.0;
        p.drawLine(QPointF(15 - 2 * t + 2, y), QPointF(29 + 2.5 * t - 2.5, y));
    }
    // pencil across the sheet's right edge
    Pencil(p, QPointF(22.5, 22), QPointF(36.5, 13.5), 3.6, false); // eraser stays on the desk
}

void PaintDisCon(QPainter &p) {
    p.fillRect(QRectF(0, 0, 48, 48), kTile);
    p.setRenderHint(QPainter::Antialiasing);
    Pencil(p, QPointF(9, 39), QPointF(37, 8), 6.5, true);
    CrossBadge(p, QPointF(33.5, 31), 8.5);
}

// ---- title strip and frame --------------------------------------------------------
// The windows are rounded by a window region, so the strip's corners are square.

void PaintTitleCentre(QPainter &p, double w) {
    p.fillRect(QRectF(0, 0, w, 35), kBlue);
    p.fillRect(QRectF(0, 34, w, 1), kBlueDark);
}

void PaintLogo(QPainter &p, QPointF at) {
    // The program's mark: a white tablet with a blue tick and an amber pen dot.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRoundedRect(QRectF(at.x(), at.y(), 21, 21), 5, 5);
    p.setPen(Pen(kBlue, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({at + QPointF(5.5, 11), at + QPointF(9.3, 14.8), at + QPointF(16, 7)}));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawEllipse(at + QPointF(16.2, 16.2), 2.3, 2.3);
}

void PaintTitleLeft(QPainter &p) {
    PaintTitleCentre(p, 46);
    PaintLogo(p, QPointF(15, 7));
}

void PaintTitleRight(QPainter &p) {
    PaintTitleCentre(p, 47);
}

void PaintEdge(QPainter &p, int w, int h, bool outlineLeft, bool outlineRight) {
    p.fillRect(QRectF(0, 0, w, h), kChrome);
    if (outlineLeft)
        p.fillRect(QRectF(0, 0, 1, h), kBlueDark);
    if (outlineRight)
        p.fillRect(QRectF(w - 1, 0, 1, h), kBlueDark);
}

void PaintSeparator(QPainter &p) {
    p.fillRect(QRectF(0, 0, 3, 16), kChrome);
    p.fillRect(QRectF(0, 0, 1, 16), kChromeLine);
    p.fillRect(QRectF(2, 0, 1, 16), kChromeLine);
}

void PaintBottom(QPainter &p, int w, bool left, bool right) {
    p.fillRect(QRectF(0, 0, w, 22), kChrome);
    p.fillRect(QRectF(0, 0, w, 1), kChromeLine);
    p.fillRect(QRectF(0, 21, w, 1), kBlueDark);
    if (left)
        p.fillRect(QRectF(0, 0, 1, 22), kBlueDark);
    if (right)
        p.fillRect(QRectF(w - 1, 0, 1, 22), kBlueDark);
    if (left || right) {
        // the side edges meet the bottom strip: no hairline at the outline
        p.fillRect(QRectF(left ? 0 : w - 1, 0, 1, 1), kBlueDark);
    }
}

// ---- title buttons (26 x 18 minimise, 43 x 18 close) -------------------------------
enum State { Normal, Hot, Down, Disabled };

void TitleButtonBack(QPainter &p, int w, State s, bool close) {
    QColor back;
    if (s == Hot)
        back = close ? kRed : WithAlpha(kWhite, 48);
    else if (s == Down)
        back = close ? kRedDark : WithAlpha(QColor(0, 0, 0), 56);
    else
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(0, 0, w, 18), 3, 3);
}

void PaintMinimise(QPainter &p, State s) {
    TitleButtonBack(p, 26, s, false);
    const QColor glyph = s == Disabled ? WithAlpha(kWhite, 100) : kWhite;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(9, 8, 8, 2), glyph); // on the close glyph's centre line
}

void PaintClose(QPainter &p, State s) {
    TitleButtonBack(p, 43, s, true);
    const QColor glyph = s == Disabled ? WithAlpha(kWhite, 100) : kWhite;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(glyph, 1.7, Qt::FlatCap));
    const QPointF c(21.5, 9);
    const double a = 4;
    p.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
    p.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
}

// ---- dialog button face (48 x 24; the button draws its caption over it) ------------
void PaintDialogButton(QPainter &p, State s) {
    QColor fill, border;
    switch (s) {
    case Normal:
        fill = kWhite;
        border = QColor(141, 178, 212);
        break;
    case Hot:
        fill = QColor(236, 245, 253);
        border = kBlue;
        break;
    case Down:
        fill = QColor(210, 228, 245);
        border = kBlueDark;
        break;
    case Disabled:
        fill = QColor(243, 245, 247);
        border = QColor(200, 208, 216);
        break;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 47, 23), 3, 3);
    if (s == Hot) {
        // a slightly stronger underline marks the hovered button
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRectF(3, 22, 42, 1), kBlue);
    }
}

// ---- receiver indicator (24 x 24: present = normal, lost = disabled) ---------------
void Waves(QPainter &p, QPointF base, QColor c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(base, 1.9, 1.9);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(c, 1.8, Qt::RoundCap));
    for (double r : {5.0, 9.0}) {
        const QRectF box(base.x() - r, base.y() - r, 2 * r, 2 * r);
        p.drawArc(box, 45 * 16, 90 * 16);
    }
}

void PaintReceiver(QPainter &p, bool present) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(present ? kGreen : kGrey);
    p.drawRoundedRect(QRectF(1, 1, 22, 22), 5, 5);
    Waves(p, QPointF(12, 16), kWhite);
    if (!present)
        CrossBadge(p, QPointF(17.5, 17.5), 5.6);
}

// ---- navigation icons (16 x 16: white glyph on a coloured badge) -------------------
void Badge(QPainter &p, const QColor &c) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(0, 0, 16, 16), 3.5, 3.5);
}

void Crisp(QPainter &p) {
    p.setRenderHint(QPainter::Antialiasing, false);
}

void IconMainInterface(QPainter &p) { // seats: 3 x 2 desks
    Badge(p, kSky);
    Crisp(p);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            p.fillRect(QRect(3 + c * 4, 4 + r * 5, 2, 3), kWhite);
    p.fillRect(QRect(3, 13, 10, 1), WithAlpha(kWhite, 160));
}

void IconLiveView(QPainter &p) { // a screen showing a scribble
    Badge(p, kSky);
    p.setPen(Pen(kWhite, 1, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    Crisp(p);
    p.drawRect(QRect(3, 3, 9, 7));
    p.fillRect(QRect(6, 12, 4, 1), kWhite);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.2));
    QPainterPath s;
    s.moveTo(5, 8.5);
    s.cubicTo(6.5, 4.5, 7.5, 9.5, 8.5, 6.5);
    s.cubicTo(9, 5, 10, 5.5, 10.5, 6);
    p.drawPath(s);
}

void IconStatistics(QPainter &p) { // bar chart
    Badge(p, kSky);
    Crisp(p);
    p.fillRect(QRect(3, 8, 2, 5), kWhite);
    p.fillRect(QRect(7, 4, 2, 9), kWhite);
    p.fillRect(QRect(11, 6, 2, 7), kWhite);
}

void IconTopicsType(QPainter &p) { // question mark
    Badge(p, kOrange);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath q;
    q.moveTo(5.5, 6);
    q.cubicTo(5.5, 2.8, 10.5, 2.8, 10.5, 6);
    q.cubicTo(10.5, 8, 8, 8, 8, 10);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(8, 12.8), 1.15, 1.15);
}

void IconSingleChoice(QPainter &p) { // radio button
    Badge(p, kOrange);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 4.6, 4.6);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
}

void IconMultipleChoice(QPainter &p) { // two chosen boxes with their lines
    Badge(p, kOrange);
    Crisp(p);
    p.fillRect(QRect(3, 3, 4, 4), kWhite);
    p.fillRect(QRect(3, 9, 4, 4), kWhite);
    p.fillRect(QRect(9, 4, 4, 2), kWhite);
    p.fillRect(QRect(9, 10, 4, 2), kWhite);
}

void IconEssay(QPainter &p) { // pencil writing a line
    Badge(p, kOrange);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.save();
    p.translate(4.2, 11.8);
    p.rotate(-45);
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(2.6, -1.5), QPointF(2.6, 1.5)}));
    p.drawRect(QRectF(3.4, -1.5, 6.2, 3));
    p.drawRect(QRectF(10.3, -1.5, 1.6, 3));
    p.restore();
    Crisp(p);
    p.fillRect(QRect(8, 13, 5, 1), WithAlpha(kWhite, 170));
}

void IconAnswerState(QPainter &p) { // clock
    Badge(p, kGreen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 4.8, 4.8);
    p.setPen(Pen(kWhite, 1.3));
    p.drawPolyline(QPolygonF({QPointF(8, 5), QPointF(8, 8.3), QPointF(10.3, 9.5)}));
}

void IconNotStarted(QPainter &p) { // stop square
    Badge(p, kGrey);
    Crisp(p);
    p.fillRect(QRect(5, 5, 6, 6), kWhite);
}

void IconUnderWay(QPainter &p) { // play triangle
    Badge(p, kGreen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygonF({QPointF(5.5, 4), QPointF(12, 8), QPointF(5.5, 12)}));
}

void IconAlreadyOver(QPainter &p) { // finish flag on its pole
    Badge(p, kRed);
    Crisp(p);
    p.fillRect(QRect(4, 3, 2, 10), kWhite);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    QPainterPath flag;
    flag.moveTo(6, 3);
    flag.cubicTo(8, 2.2, 9.5, 4.2, 12.5, 3.4);
    flag.lineTo(12.5, 8.6);
    flag.cubicTo(9.5, 9.4, 8, 7.4, 6, 8.2);
    flag.closeSubpath();
    p.drawPath(flag);
}

void IconQuestionsEdit(QPainter &p) { // sheet with lines
    Badge(p, kOrange);
    Crisp(p);
    p.fillRect(QRect(4, 3, 8, 10), kWhite);
    for (int y : {5, 7, 9})
        p.fillRect(QRect(6, y, 4, 1), kOrange);
    p.fillRect(QRect(6, 11, 2, 1), kOrange);
}

void IconSettings(QPainter &p) { // gear
    Badge(p, kViolet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    QPainterPath gear;
    const QPointF c(8, 8);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 45);
        p.drawRect(QRectF(-1.1, -5.6, 2.2, 3));
        p.restore();
    }
    gear.addEllipse(c, 4.0, 4.0);
    gear.addEllipse(c, 1.7, 1.7);
    p.drawPath(gear);
}

void IconLessonHistory(QPainter &p) { // a clock turned back: lessons kept
    Badge(p, kViolet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.4));
    p.setBrush(Qt::NoBrush);
    // Round from the top, counter-clockwise, leaving the upper left open.
    p.drawArc(QRectF(3, 3, 10, 10), 150 * 16, 300 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygonF({QPointF(5.4, 3), QPointF(8.6, 0.9), QPointF(8.6, 5.1)}));
    p.setPen(Pen(kWhite, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(8, 5.4), QPointF(8, 8.2), QPointF(10, 9.6)}));
}

void IconQuit(QPainter &p) { // power symbol
    Badge(p, kRed);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.5, 4, 9, 9), 125 * 16, 290 * 16);
    p.drawLine(QPointF(8, 2.8), QPointF(8, 8));
}

void IconCurrent(QPainter &p) { // the mark shared by every current item
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Pen(kWhite, 1.2));
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(8, 8), 7.2, 7.2);
    p.setPen(Pen(kInk, 1.9));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(4.6, 8.2), QPointF(7, 10.6), QPointF(11.4, 5.6)}));
}

void IconStudent(QPainter &p) { // a person, for the student list
    Badge(p, kTeal);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(8, 5.8), 2.6, 2.6);
    QPainterPath body;
    body.moveTo(3.2, 13.4);
    body.cubicTo(3.2, 9.2, 12.8, 9.2, 12.8, 13.4);
    body.closeSubpath();
    p.drawPath(body);
}

void IconClasses(QPainter &p) {  // two people side by side: the classes
    Badge(p, kOrange);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    for (const double x : {5.4, 10.6}) {
        p.drawEllipse(QPointF(x, 5.6), 2.1, 2.1);
        QPainterPath body;
        body.moveTo(x - 3.2, 13.2);
        body.cubicTo(x - 3.2, 9.0, x + 3.2, 9.0, x + 3.2, 13.2);
        body.closeSubpath();
        p.drawPath(body);
    }
}

std::vector<Picture> Pictures() {
    std::vector<Picture> list;
    auto add = [&](const QByteArray &name, int w, int h, bool opaque,
                   std::function<void(QPainter &)> f) {
        list.push_back({name, w, h, opaque, std::move(f)});
    };
    add("Connet", 48, 48, true, PaintConnet);
    add("DisCon", 48, 48, true, PaintDisCon);
    add("title_left", 46, 35, true, PaintTitleLeft);
    add("title_center", 16, 35, true, [](QPainter &p) { PaintTitleCentre(p, 16); });
    add("title_right", 47, 35, true, PaintTitleRight);
    add("edge_left", 6, 16, true, [](QPainter &p) { PaintEdge(p, 6, 16, true, false); });
    add("edge_right", 6, 16, true, [](QPainter &p) { PaintEdge(p, 6, 16, false, true); });
    add("edge_separator", 3, 16, true, PaintSeparator);
    add("bottom_left", 6, 22, true, [](QPainter &p) { PaintBottom(p, 6, true, false); });
    add("bottom_center", 16, 22, true, [](QPainter &p) { PaintBottom(p, 16, false, false); });
    add("bottom_right", 6, 22, true, [](QPainter &p) { PaintBottom(p, 6, false, true); });
    const char *states[] = {"normal", "hot", "down", "disabled"};
    for (int s = 0; s < 4; ++s) {
        add(QByteArray("btnMin_") + states[s], 26, 18, false,
            [s](QPainter &p) { PaintMinimise(p, State(s)); });
        add(QByteArray("btnClose_") + states[s], 43, 18, false,
            [s](QPainter &p) { PaintClose(p, State(s)); });
        add(QByteArray("btnDialog_") + states[s], 48, 24, false,
            [s](QPainter &p) { PaintDialogButton(p, State(s)); });
    }
    add("btnUsbState_normal", 24, 24, false, [](QPainter &p) { PaintReceiver(p, true); });
    add("btnUsbState_disabled", 24, 24, false, [](QPainter &p) { PaintReceiver(p, false); });
    add("icon_MainInterface", 16, 16, false, IconMainInterface);
    add("icon_LiveView", 16, 16, false, IconLiveView);
    add("icon_Statisticalresults", 16, 16, false, IconStatistics);
    add("icon_TopicsType", 16, 16, false, IconTopicsType);
    add("icon_SingleChoice", 16, 16, false, IconSingleChoice);
    add("icon_multipleChoice", 16, 16, false, IconMultipleChoice);
    add("icon_EssayQuestion", 16, 16, false, IconEssay);
    add("icon_AnswerState", 16, 16, false, IconAnswerState);
    add("icon_NotStarted", 16, 16, false, IconNotStarted);
    add("icon_UnderWay", 16, 16, false, IconUnderWay);
    add("icon_AlreadyOver", 16, 16, false, IconAlreadyOver);
    add("icon_QuestionsEdit", 16, 16, false, IconQuestionsEdit);
    add("icon_LayoutSettings", 16, 16, false, IconSettings);
    add("icon_LessonHistory", 16, 16, false, IconLessonHistory);
    add("icon_Classes", 16, 16, false, IconClasses);
    add("icon_Quit", 16, 16, false, IconQuit);
    add("icon_Current", 16, 16, false, IconCurrent);
    add("icon_Student", 16, 16, false, IconStudent);
    return list;
}

QImage Render(const Picture &pic, int scale) {
    QImage img(pic.width * scale, pic.height * scale,
               pic.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(pic.opaque ? kWhite : QColor(Qt::transparent));
    QPainter p(&img);
    p.scale(scale, scale);
    pic.paint(p);
    p.end();
    if (pic.opaque)
        return img.convertToFormat(QImage::Format_RGB888);
    return img.convertToFormat(QImage::Format_ARGB32);
}

// The scales each picture is painted at, with the suffix of its file name:
// Qt's high-DPI loading looks for "NAME@2x.png" beside "NAME.png".
const std::pair<int, const char *> kScales[] = {{1, ""}, {2, "@2x"}};

QString PicturePath(const QString &dir, const Picture &pic, const char *suffix) {
    return dir + "/" + QString::fromLatin1(pic.name) + QString::fromLatin1(suffix) + ".png";
}

int Write(const QString &dir) {
    QDir().mkpath(dir);
    for (const Picture &pic : Pictures()) {
        for (const auto &[scale, suffix] : kScales) {
            const QString path = PicturePath(dir, pic, suffix);
            if (!Render(pic, scale).save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}

int Check(const QString &dir) {
    // A picture may differ from a fresh painting by 2 per channel (another
    // build of the rasteriser); anything more means the committed picture and
    // its painting code have parted.
    int bad = 0;
    int checked = 0;
    for (const Picture &pic : Pictures()) {
        for (const auto &[scale, suffix] : kScales) {
            ++checked;
            const QString path = PicturePath(dir, pic, suffix);
            const QImage want = Render(pic, scale).convertToFormat(QImage::Format_ARGB32);
            const QImage have = QImage(path).convertToFormat(QImage::Format_ARGB32);
            if (have.size() != want.size()) {
                std::fprintf(stderr, "%s: size %dx%d, painted %dx%d\n", qPrintable(path),
                             have.width(), have.height(), want.width(), want.height());
                ++bad;
                continue;
            }
            int worst = 0;
            for (int y = 0; y < want.height(); ++y)
                for (int x = 0; x < want.width(); ++x) {
                    const QRgb a = want.pixel(x, y), b = have.pixel(x, y);
                    worst = std::max(
                        {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                         std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                }
            if (worst > 2) {
                std::fprintf(stderr, "%s differs from its painting by %d\n", qPrintable(path),
                             worst);
                ++bad;
            }
        }
    }
    std::printf("%d pictures checked, %d differ\n", checked, bad);
    return bad == 0 ? 0 : 1;
}

// A contact sheet for looking at the pictures: every picture at 100 % and
// as painted for 200 %, on the backgrounds it is used on, and the frame
// pictures put together as a window would put them, at both scales.
int Sheet(int argc, char **argv, const QString &out) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::vector<Picture> pics = Pictures();
    const int width = 1100;
    QImage sheet(width, 1700, QImage::Format_RGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter p(&sheet);
    QFont font("WenQuanYi Zen Hei Mono");
    font.setPixelSize(12);
    p.setFont(font);
    int x = 10, y = 10, rowH = 0;
    for (const Picture &pic : pics) {
        const QImage one = Render(pic, 1);
        const QImage two = Render(pic, 2);
        const bool icon = pic.name.startsWith("icon_") || pic.name.startsWith("btnUsbState");
        const int cellW =
            std::max(150, one.width() + two.width() + (icon ? 2 * two.width() + 40 : 20));
        const int cellH = two.height() + 24;
        if (x + cellW > width) {
            x = 10;
            y += rowH + 10;
            rowH = 0;
        }
        p.setPen(Qt::black);
        p.drawText(x, y + 11, QString::fromLatin1(pic.name));
        const int top = y + 16;
        // transparent pictures: shown on a checkerboard, then on their backgrounds
        if (!pic.opaque) {
            for (int cy = 0; cy < two.height(); cy += 4)
                for (int cx = 0; cx < one.width() + two.width() + 6; cx += 4)
                    p.fillRect(x + cx, top + cy, 4, 4,
                               ((cx + cy) / 4) % 2 ? QColor(204, 204, 204) : kWhite);
        }
        if (pic.name.startsWith("btnMin") || pic.name.startsWith("btnClose")) {
            p.fillRect(x, top, one.width() + two.width() + 6, two.height(), kBlue);
        }
        p.drawImage(x, top, one);
        p.drawImage(x + one.width() + 6, top, two);
        if (icon) {
            // on the navigation bar's two ends: its dark start and its white end
            const int bx = x + one.width() + two.width() + 14;
            p.fillRect(bx, top, two.width() + 8, two.height(), kBlue);
            p.drawImage(bx + 4, top + (two.height() - one.height()) / 2, one);
            p.fillRect(bx + two.width() + 8, top, two.width() + 8, two.height(), kWhite);
            p.drawImage(bx + two.width() + 12, top + (two.height() - one.height()) / 2, one);
        }
        x += cellW + 10;
        rowH = std::max(rowH, cellH);
    }
    y += rowH + 20;

    // a main window's frame: title strip, edges, separator, bottom strip; at
    // 200 % drawn with the pictures painted for it
    const int W = 640, H = 200;
    const auto frame = [&](int scale) {
        const auto image = [&](const char *name) {
            for (const Picture &pic : pics)
                if (pic.name == name) {
                    QImage picture = Render(pic, scale);
                    picture.setDevicePixelRatio(scale);
                    return picture;
                }
            return QImage();
        };
        QImage win(W * scale, H * scale, QImage::Format_RGB32);
        QPainter w(&win);
        w.scale(scale, scale);
        w.fillRect(QRect(0, 0, W, H), QColor(251, 252, 253));
        const QImage tl = image("title_left"), tc = image("title_center"),
                     tr = image("title_right");
        const int tlw = tl.width() / scale, trw = tr.width() / scale;
        w.drawImage(0, 0, tl);
        w.drawImage(QRect(tlw, 0, W - tlw - trw, 35), tc);
        w.drawImage(W - trw, 0, tr);
        w.setFont(font);
        QFont bold = font;
        bold.setBold(true);
        w.setFont(bold);
        w.setPen(kWhite);
        w.drawText(QRect(50, 0, 300, 35), Qt::AlignVCenter, "Lumora 课堂答题");
        w.drawImage(W - 43 - 8 - 26, 0, image("btnMin_hot"));
        w.drawImage(W - 43 - 8, 0, image("btnClose_normal"));
        w.drawImage(QRect(0, 35, 6, H - 35 - 22), image("edge_left"));
        w.drawImage(QRect(W - 6, 35, 6, H - 35 - 22), image("edge_right"));
        QLinearGradient g(0, 35, 0, H - 22);
        g.setColorAt(0, kBlue);
        g.setColorAt(1, kWhite);
        w.fillRect(QRect(6, 35, 185, H - 35 - 22), g);
        const char *items[] = {"icon_MainInterface", "icon_LiveView", "icon_Statisticalresults",
                               "icon_SingleChoice",  "icon_Current",  "icon_Quit"};
        int iy = 44;
        w.setFont(font);
        for (const char *it : items) {
            w.drawImage(16, iy, image(it));
            w.setPen(iy < 90 ? kWhite : Qt::black);
            w.drawText(38, iy + 12, QString::fromLatin1(it + 5));
            iy += 22;
        }
        w.drawImage(QRect(191, 35, 3, H - 35 - 22), image("edge_separator"));
        w.fillRect(QRect(194, 35, W - 200, H - 57), QColor(0xA9, 0xC9, 0xEF));
        w.drawImage(214, 50, image("Connet"));
        w.drawImage(294, 50, image("DisCon"));
        w.drawImage(0, H - 22, image("bottom_left"));
        w.drawImage(QRect(6, H - 22, W - 12, 22), image("bottom_center"));
        w.drawImage(W - 6, H - 22, image("bottom_right"));
        w.setPen(Qt::black);
        w.drawText(QRect(12, H - 22, 300, 22), Qt::AlignVCenter, "答案: AC");
        w.drawText(QRect(W - 200, H - 22, 160, 22), Qt::AlignVCenter, "2024-03-05 08:07:09");
        w.drawImage(W - 6 - 26, H - 24, image("btnUsbState_normal"));
        // a dialog button pair on the dialog's client colour
        w.fillRect(QRect(380, 110, 220, 50), QColor(0xE3, 0xEE, 0xF7));
        w.drawImage(400, 123, image("btnDialog_normal"));
        w.drawImage(470, 123, image("btnDialog_hot"));
        w.drawImage(540, 123, image("btnDialog_down"));
        w.drawText(QRect(400, 123, 48, 24), Qt::AlignCenter, "确定");
        w.drawText(QRect(470, 123, 48, 24), Qt::AlignCenter, "取消");
        w.drawText(QRect(541, 124, 48, 24), Qt::AlignCenter, "OK");
        w.end();
        return win;
    };
    p.drawText(10, y, "Frame put together at 100 % and 200 %:");
    p.drawImage(10, y + 6, frame(1));
    const QImage twice = frame(2);
    p.drawImage(10, y + 6 + H + 10,
                twice.copy(0, 0, std::min(twice.width(), width - 20), twice.height()));
    p.end();
    const int used = y + 6 + H + 10 + twice.height() + 10;
    return sheet.copy(0, 0, width, std::min(used, sheet.height())).save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    const QString cmd = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (cmd == "write" && argc >= 3)
        return Write(QString::fromLocal8Bit(argv[2]));
    if (cmd == "check" && argc >= 3)
        return Check(QString::fromLocal8Bit(argv[2]));
    if (cmd == "sheet" && argc >= 3)
        return Sheet(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (cmd == "list") {
        for (const Picture &pic : Pictures())
            std::printf("%s %dx%d%s\n", pic.name.constData(), pic.width, pic.height,
                        pic.opaque ? " opaque" : "");
        return 0;
    }
    std::fprintf(stderr, "usage: %s write DIR | check DIR | sheet FILE | list\n", argv[0]);
    return 2;
}
