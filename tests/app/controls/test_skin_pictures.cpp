// The program's pictures in the Qt resource: every one there, at its size,
// and painted for scaled screens at twice it.
#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"

#include <QImage>

#include <gtest/gtest.h>

namespace lumora {
namespace {

QImage Load(const char *name) {
    InitSkinResources();
    return QImage(QStringLiteral(":/skin/%1.png").arg(QLatin1String(name)));
}

// The picture as a screen of ratio device pixels per pixel gets it: at the
// picture's size in pixels of the layout, with as many device pixels as the
// ratio asks; at 2 the painting for 200 % itself.
void ExpectForEveryRatio(const char *name, QSize size) {
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        const QImage image = SkinImage(QLatin1String(name), ratio);
        ASSERT_FALSE(image.isNull()) << name << " at " << ratio;
        EXPECT_EQ(image.devicePixelRatio(), ratio) << name;
        EXPECT_EQ(image.size(), (QSizeF(size) * ratio).toSize()) << name << " at " << ratio;
        EXPECT_EQ(image.deviceIndependentSize().toSize(), size) << name << " at " << ratio;
    }
    EXPECT_EQ(SkinImage(QLatin1String(name), 1.0), Load(name)) << name;
    EXPECT_EQ(SkinImage(QLatin1String(name), 2.0),
              Load(qPrintable(QLatin1String(name) + QStringLiteral("@2x"))))
        << name;
}

TEST(SkinPictures, EveryPictureAtItsSize) {
    struct Want {
        const char *name;
        int w, h;
    };
    const Want wants[] = {
        {"Connet", 48, 48},
        {"DisCon", 48, 48},
        {"title_left", 46, 35},
        {"title_center", 16, 35},
        {"title_right", 47, 35},
        {"edge_left", 6, 16},
        {"edge_right", 6, 16},
        {"edge_separator", 3, 16},
        {"bottom_left", 6, 22},
        {"bottom_center", 16, 22},
        {"bottom_right", 6, 22},
        {"btnUsbState_normal", 24, 24},
        {"btnUsbState_disabled", 24, 24},
    };
    for (const Want &w : wants) {
        const QImage img = Load(w.name);
        ASSERT_FALSE(img.isNull()) << w.name;
        EXPECT_EQ(img.size(), QSize(w.w, w.h)) << w.name;
        ExpectForEveryRatio(w.name, QSize(w.w, w.h));
    }
    for (const char *state : {"normal", "hot", "down", "disabled"}) {
        EXPECT_EQ(Load(qPrintable(QStringLiteral("btnMin_") + QLatin1String(state))).size(),
                  QSize(26, 18));
        EXPECT_EQ(Load(qPrintable(QStringLiteral("btnClose_") + QLatin1String(state))).size(),
                  QSize(43, 18));
        EXPECT_EQ(Load(qPrintable(QStringLiteral("btnDialog_") + QLatin1String(state))).size(),
                  QSize(48, 24));
    }
    for (const char *icon :
         {"MainInterface", "LiveView", "Statisticalresults", "TopicsType", "SingleChoice",
          "multipleChoice", "EssayQuestion", "AnswerState", "NotStarted", "UnderWay", "AlreadyOver",
          "QuestionsEdit", "LayoutSettings", "LessonHistory", "Classes", "Quit", "Current", "Student"}) {
        EXPECT_EQ(Load(qPrintable(QStringLiteral("icon_") + QLatin1String(icon))).size(),
                  QSize(16, 16))
            << icon;
        ExpectForEveryRatio(qPrintable(QStringLiteral("icon_") + QLatin1String(icon)),
                            QSize(16, 16));
    }
    for (const char *face : {"btnMin_hot", "btnClose_down", "btnDialog_disabled"}) {
        ExpectForEveryRatio(face, Load(face).size());
    }
}

TEST(SkinPictures, LinkPicturesAreOpaqueOnTheTileColour) {
    for (const char *name : {"Connet", "DisCon"}) {
        const QImage img = Load(name);
        ASSERT_FALSE(img.isNull());
        EXPECT_FALSE(img.hasAlphaChannel()) << name; // 24 bits per pixel
        const QRgb tile = qRgb(0xA9, 0xC9, 0xEF);
        EXPECT_EQ(img.pixel(0, 0), tile) << name;
        EXPECT_EQ(img.pixel(47, 47), tile) << name;
        // The tile hides rows 0..2 and puts its name label over rows 44..47:
        // the drawing keeps clear of both.
        for (int y : {0, 1, 2, 44, 45, 46, 47})
            for (int x = 0; x < 48; ++x)
                ASSERT_EQ(img.pixel(x, y), tile) << name << " at " << x << "," << y;
    }
}

} // namespace
} // namespace lumora
