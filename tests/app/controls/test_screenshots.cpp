// The controls as a class sees them: an 8 x 6 seat grid, a 9-pane ink panel
// with writing drawn through SDKDraw, an answer grid with green and red
// answers, and the picture buttons in their states. Each test checks what the
// picture must show; with LUMORA_SCREENSHOT_DIR set it also saves the PNGs
// there for a person to look at.
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "core/Helpers.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace lumora {
namespace {

const char *const kNames[] = {
    "王小明", "李娜", "张伟", "刘洋", "陈静", "杨帆", "赵磊", "黄婷", "周杰", "吴敏",
    "徐涛",   "孙丽", "马超", "朱琳", "胡斌", "郭晶", "何勇", "林芳", "高翔", "罗颖",
    "郑浩",   "梁雪", "谢宇", "宋佳", "唐磊", "许倩", "韩冰", "冯静", "邓超", "曹阳",
    "彭丹",   "曾凡", "肖红", "田野", "董洁", "袁博", "潘婷", "于洋", "蒋欣", "蔡明",
    "余波",   "杜鹃", "叶青", "程亮", "苏晴", "魏来", "吕梁", "丁一",
};

void FillClass(SlotTable &table, int count) {
    table.Clear();
    table.SetCount(count);
    for (int i = 0; i < count; ++i) {
        table[i].Name = QString::fromUtf8(kNames[i % 48]);
        table[i].CardID.store(static_cast<uint16_t>(1001 + i));
    }
}

void Save(QWidget *w, const char *name) {
    const QByteArray dir = qgetenv("LUMORA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    w->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/") + QLatin1String(name));
}

int CountNear(const QImage &img, const QColor &c, int tolerance = 40) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p(img.pixel(x, y));
            n += std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) +
                     std::abs(p.blue() - c.blue()) <=
                 tolerance;
        }
    return n;
}

TEST(Screenshots, SeatGridEightBySix) {
    SlotTable table;
    FillClass(table, 48);
    QWidget window;
    window.setFont(LumoraFont());
    auto *grid = new TBGPanel(kSeatGrid, table);
    grid->setParent(&window);
    grid->setGeometry(0, 0, 800, 600);
    window.resize(800, 600);
    grid->LayoutGrid(8, 0, 6);
    for (int i : {5, 13, 22, 30, 41})
        SetLinkPicture(grid->GetTile(i), false, kSeatGrid);
    grid->SelectTile(9);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Save(&window, "seat_grid_8x6.png");
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(0xA9, 0xC9, 0xEF));
    EXPECT_EQ(QColor(shot.pixel(114, 121 + 30)), QColor(0xFF, 0xFF, 0x00)); // tile 9's frame
    EXPECT_GT(CountNear(shot, QColor(217, 54, 62)), 5 * 60);                // five red badges
    for (int i = 0; i < 48; ++i)
        EXPECT_TRUE(grid->GetTile(i)->isVisible()) << i;
}

// A pen path in ink-bitmap pixels: a few handwritten-looking strokes.
std::vector<std::vector<QPointF>> Writing(int variant, int w, int h) {
    std::vector<std::vector<QPointF>> strokes;
    const double sx = w / 400.0, sy = h / 300.0;
    auto curve = [&](auto f, double t0, double t1, int n) {
        std::vector<QPointF> s;
        for (int k = 0; k <= n; ++k) {
            const double t = t0 + (t1 - t0) * k / n;
            const QPointF p = f(t);
            s.push_back(QPointF(p.x() * sx, p.y() * sy));
        }
        strokes.push_back(s);
    };
    const double dx = 30 * (variant % 3), dy = 20 * (variant % 2);
    switch (variant % 4) {
    case 0: // "2 + 3"
        curve(
            [&](double t) {
                if (t < 2.8) // the bow of the 2, then its stroke down to the left
                    return QPointF(60 + dx + 32 * std::sin(t - 1.4),
                                   112 + dy - 30 * std::cos(t - 1.4));
                const double u = t - 2.8;
                return QPointF(92 + dx - 54 * u, 118 + dy + 72 * u);
            },
            0, 3.8, 40);
        curve([&](double t) { return QPointF(38 + dx + 66 * t, 190 + dy + 2 * std::sin(6 * t)); },
              0, 1, 14);
        curve([&](double t) { return QPointF(150 + dx + 50 * t, 150 + dy); }, 0, 1, 10);
        curve([&](double t) { return QPointF(175 + dx, 125 + dy + 50 * t); }, 0, 1, 10);
        curve(
            [&](double t) {
                return QPointF(270 + dx + 32 * std::sin(t), 120 + dy - 28 * std::cos(t));
            },
            -1.4, 2.2, 24);
        curve(
            [&](double t) {
                return QPointF(270 + dx + 36 * std::sin(t), 178 + dy - 30 * std::cos(t));
            },
            -1.2, 3.6, 30);
        break;
    case 1: // a triangle with a label
        curve([&](double t) { return QPointF(80 + dx + 120 * t, 220 + dy - 130 * t); }, 0, 1, 20);
        curve([&](double t) { return QPointF(200 + dx + 110 * t, 90 + dy + 130 * t); }, 0, 1, 20);
        curve([&](double t) { return QPointF(310 + dx - 230 * t, 220 + dy + 3 * std::sin(9 * t)); },
              0, 1, 24);
        curve(
            [&](double t) {
                return QPointF(195 + dx + 12 * std::cos(t), 250 + dy + 12 * std::sin(t));
            },
            0, 6.3, 20);
        break;
    case 2: // "x = 5"
        curve([&](double t) { return QPointF(60 + dx + 50 * t, 120 + dy + 60 * t); }, 0, 1, 12);
        curve([&](double t) { return QPointF(110 + dx - 50 * t, 120 + dy + 60 * t); }, 0, 1, 12);
        curve([&](double t) { return QPointF(150 + dx + 50 * t, 140 + dy); }, 0, 1, 10);
        curve([&](double t) { return QPointF(150 + dx + 50 * t, 162 + dy); }, 0, 1, 10);
        curve([&](double t) { return QPointF(290 + dx - 40 * t, 105 + dy); }, 0, 1, 10);
        curve([&](double t) { return QPointF(250 + dx, 105 + dy + 40 * t); }, 0, 1, 8);
        curve(
            [&](double t) {
                return QPointF(262 + dx + 30 * std::sin(t), 170 + dy - 28 * std::cos(t));
            },
            -1.5, 3.5, 28);
        break;
    default: // a wavy underline and a tick
        curve(
            [&](double t) { return QPointF(50 + dx + 300 * t, 200 + dy + 15 * std::sin(12 * t)); },
            0, 1, 40);
        curve([&](double t) { return QPointF(120 + dx + 40 * t, 110 + dy + 40 * t); }, 0, 1, 10);
        curve([&](double t) { return QPointF(160 + dx + 90 * t, 150 + dy - 100 * t); }, 0, 1, 16);
        break;
    }
    return strokes;
}

TEST(Screenshots, NinePaneInkPanel) {
    // As start-up sizes them for a 933 x 600 view area.
    const int viewWidth = 933, viewHeight = 600;
    InkWidth = (viewWidth - 134) / 2 - 3;
    InkHeight = viewHeight / 2 - 3;
    SlotTable table;
    FillClass(table, 12);
    QWidget window;
    window.setFont(LumoraFont());
    auto *live = new TBGPanel(kLiveGrid, table);
    live->setParent(&window);
    live->setGeometry(0, 0, viewWidth - 133, viewHeight);
    window.resize(viewWidth - 133, viewHeight);
    live->LayoutPanes(9, 0);
    ASSERT_EQ(SDKIni(InkWidth, InkHeight), 1);
    for (int slot = 0; slot < 9; ++slot) {
        if (slot == 4)
            continue; // one student has not written yet
        TStdChannel *tile = live->GetTile(slot);
        for (const auto &stroke : Writing(slot, InkWidth, InkHeight)) {
            for (const QPointF &p : stroke) {
                const int state = AdvancePenState(tile, true);
                tile->DrawInk(slot, QPoint(static_cast<int>(p.x()), static_cast<int>(p.y())),
                              state);
            }
            AdvancePenState(tile, false);
        }
    }
    SDKClear();
    live->SelectTile(2);
    SetLabelColor(live->GetTile(2), kPageLabel);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    Save(&window, "ink_panel_9.png");
    const QImage shot = window.grab().toImage();
    // ink in pane 0, none in pane 4, black lines between the panes
    const QRect pane0 = live->GetTile(0)->geometry();
    EXPECT_GT(CountNear(shot.copy(pane0), QColor(0, 0, 0), 450), 150);
    const QRect pane4 = live->GetTile(4)->geometry().adjusted(2, 2, -2, -40);
    EXPECT_EQ(CountNear(shot.copy(pane4), QColor(0, 0, 0), 300), 0);
    EXPECT_EQ(QColor(shot.pixel(pane0.right() + 1, 50)), QColor(Qt::black));
    InkWidth = 0;
    InkHeight = 0;
}

TEST(Screenshots, AnswerGridGreenAndRed) {
    SlotTable table;
    FillClass(table, 48);
    QWidget window;
    window.setFont(LumoraFont());
    auto *grid = new TBGPanel(kAnswerGrid, table);
    grid->setParent(&window);
    grid->setGeometry(0, 0, 800, 600);
    window.resize(800, 600);
    grid->LayoutGrid(8, 0, 6);
    AnswerKey = QStringLiteral("AC");
    const char *answers[] = {"AC", "A", "AC", "BC", "AC", "", "ACD", "AC", "C", "AC", "AB", "AC"};
    for (int i = 0; i < 48; ++i)
        SetAnswer(grid->GetTile(i), QString::fromLatin1(answers[(i * 7) % 12]));
    grid->SelectTile(20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Save(&window, "answer_grid.png");
    const QImage shot = window.grab().toImage();
    EXPECT_GT(CountNear(shot, kAnswerRight, 60), 50);
    EXPECT_GT(CountNear(shot, kAnswerWrong, 60), 50);
    AnswerKey.clear();
}

TEST(Screenshots, ButtonsInTheirStates) {
    QWidget window;
    window.setFont(LumoraFont());
    window.resize(520, 200);
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0xE3, 0xEE, 0xF7));
    window.setPalette(pal);
    // title strips with the caption buttons
    const char *states[] = {"normal", "hot", "down", "disabled"};
    std::vector<TImageButton *> buttons;
    for (int s = 0; s < 4; ++s) {
        auto *strip = new QLabel(&window);
        strip->setGeometry(10, 10 + s * 40, 250, 35);
        QPixmap title(250, 35);
        {
            QPainter p(&title);
            const QPixmap l = SkinPicture(QStringLiteral("title_left"));
            const QPixmap r = SkinPicture(QStringLiteral("title_right"));
            p.drawPixmap(0, 0, l);
            p.drawPixmap(QRect(l.width(), 0, 250 - l.width() - r.width(), 35),
                         SkinPicture(QStringLiteral("title_center")));
            p.drawPixmap(250 - r.width(), 0, r);
        }
        strip->setPixmap(title);
        auto *label = new QLabel(QString::fromLatin1(states[s]), strip);
        label->setStyleSheet(QStringLiteral("color: white; font-weight: bold"));
        label->move(52, 10);
        for (const char *name : {"btnMin", "btnClose"}) {
            auto *b = new TImageButton(strip);
            b->SetAutoSize(true);
            b->SetTransparent(true);
            SetSkinPictures(b, QString::fromLatin1(name));
            b->move(QString::fromLatin1(name) == QStringLiteral("btnMin") ? 250 - 43 - 8 - 26
                                                                          : 250 - 43 - 8,
                    0);
            buttons.push_back(b);
        }
        auto *ok = new TImageButton(&window);
        ok->SetAutoSize(true);
        ok->SetTransparent(true);
        SetSkinPictures(ok, QStringLiteral("btnDialog"));
        ok->SetCaption(QStringLiteral("确定"));
        ok->move(290, 16 + s * 40);
        auto *cancel = new TImageButton(&window);
        cancel->SetAutoSize(true);
        cancel->SetTransparent(true);
        SetSkinPictures(cancel, QStringLiteral("btnDialog"));
        cancel->SetCaption(QStringLiteral("Cancel"));
        cancel->move(350, 16 + s * 40);
        auto *usb = new TImageButton(&window);
        usb->SetAutoSize(true);
        usb->SetTransparent(true);
        SetSkinPictures(usb, QStringLiteral("btnUsbState"));
        usb->move(420, 16 + s * 40);
        buttons.push_back(ok);
        buttons.push_back(cancel);
        buttons.push_back(usb);
    }
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // row s: every button of the row in state s
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int s = static_cast<int>(i / 5);
        TImageButton *b = buttons[i];
        if (s == 1 || s == 2) {
            QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(b, &e);
        }
        if (s == 2)
            QTest::mousePress(b, Qt::LeftButton, {}, QPoint(3, 3));
        if (s == 3)
            b->setEnabled(false);
    }
    QCoreApplication::processEvents();
    Save(&window, "buttons.png");
    const QImage shot = window.grab().toImage();
    // the close button is red when hot, the receiver indicator grey when lost
    EXPECT_GT(CountNear(shot.copy(QRect(10 + 250 - 51, 50, 43, 18)), QColor(217, 54, 62), 30), 300);
    EXPECT_GT(CountNear(shot.copy(QRect(420, 136, 24, 24)), QColor(138, 151, 166), 30), 100);
    for (TImageButton *b : buttons)
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(300, 300));
}

} // namespace
} // namespace lumora
