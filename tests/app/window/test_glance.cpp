// The main window read at a glance: answer progress in the bottom bar,
// grids and the live view paged from the keyboard and the page buttons,
// marks on panes being written on, panes that start white when their
// student changes, menus where the mouse is.
#include "support/WindowTest.h"

#include "controls/PageBar.h"
#include "controls/SkinButton.h"
#include "session/DeviceBridge.h"
#include "views/GroupBar.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include <functional>

namespace lumora::test {
namespace {

class GlanceTest : public WindowTest {
protected:
    void Activate() {
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }
    void Key(Qt::Key key) { QTest::keyClick(&Window(), key); }
    void Post(QEvent::Type type, uint32_t w, uint32_t l) {
        QCoreApplication::postEvent(&Window(), new DeviceEvent(type, w, l));
        QCoreApplication::sendPostedEvents(&Window());
    }
    QString Progress() {
        auto *label = Window().findChild<QLabel *>(QStringLiteral("lblProgress"));
        return label != nullptr && label->isVisible() ? label->text() : QString();
    }
    int CurrentRow() {
        auto *list = Window().findChild<QTreeWidget *>(QStringLiteral("lvStd"));
        return list->indexOfTopLevelItem(list->currentItem());
    }
    void Choose(const char *key) { Window().Item(QString::fromLatin1(key))->Click(); }
    void ChooseSingleChoice(const char16_t *answerKey) {
        DialogAnswer answer([answerKey](TFrmSetName &dialog) {
            Type(dialog, "edtName", QString::fromUtf16(answerKey));
            Click(dialog, "btn1");
        });
        Choose("SingleChoice");
    }
    static std::vector<int> Range(int from, int to) {
        std::vector<int> out;
        for (int i = from; i <= to; ++i) {
            out.push_back(i);
        }
        return out;
    }
};

TEST_F(GlanceTest, ProgressCountsNamedStudentsAnsweringAndWriting) {
    // Four named students and one empty seat.
    OpenWith({{u"A"_qs, 1}, {u"B"_qs, 2}, {QString(), 0}, {u"D"_qs, 4}, {u"E"_qs, 5}});
    EXPECT_EQ(Progress(), QString()); // no question yet
    ChooseSingleChoice(u"B");
    Choose("NotStarted");
    EXPECT_EQ(Progress(), u"已答 0 / 4"_qs);
    const auto press = [this](int slot, uint32_t mask) {
        Window().Table()[slot].Answer = mask;
        Post(WM_TABLET_KEY, static_cast<uint32_t>(slot), mask);
    };
    press(0, 1u << 2);
    press(3, 1u << 1);
    EXPECT_EQ(Progress(), u"已答 2 / 4"_qs);
    // Unanswered tiles look different until their student answers.
    EXPECT_FALSE(Tile(Window().AnswerGrid, 0)->Awaiting());
    EXPECT_TRUE(Tile(Window().AnswerGrid, 1)->Awaiting());
    press(3, 0); // key 9 took the answer back
    EXPECT_EQ(Progress(), u"已答 1 / 4"_qs);
    EXPECT_TRUE(Tile(Window().AnswerGrid, 3)->Awaiting());
    Choose("NotStarted");
    EXPECT_EQ(Progress(), u"已答 0 / 4"_qs);

    // Handwriting: students who have written, once each.
    Choose("EssayQuestion");
    EXPECT_EQ(Progress(), u"已写 0 / 4"_qs);
    Post(WM_TABLET_PEN, 1, PackCanvasPoint({40, 40}));
    Post(WM_TABLET_PEN, 1, PackCanvasPoint({60, 42}));
    Post(WM_TABLET_PEN, 4, PackCanvasPoint({40, 40}));
    EXPECT_EQ(Progress(), u"已写 2 / 4"_qs);
    Post(WM_TABLET_WIPE, 1, 0); // wiped, but written all the same
    EXPECT_EQ(Progress(), u"已写 2 / 4"_qs);
    // The panes written on are marked; the others are not.
    EXPECT_TRUE(Tile(Window().LiveGrid, 1)->Writing());
    EXPECT_TRUE(Tile(Window().LiveGrid, 1)->TileImage()->Marked());
    EXPECT_FALSE(Tile(Window().LiveGrid, 0)->Writing());
    Choose("NotStarted");
    EXPECT_EQ(Progress(), u"已写 0 / 4"_qs);
    EXPECT_FALSE(Tile(Window().LiveGrid, 1)->Writing());
}

TEST_F(GlanceTest, KeysAndButtonsPageTheLiveViewZoomAndReturn) {
    Open(30, 6, 5, 9);
    Choose("EssayQuestion");
    Activate();
    EXPECT_EQ(VisiblePanes(), Range(0, 8));
    const std::pair<Qt::Key, std::vector<int>> keys[] = {
        {Qt::Key_PageDown, Range(9, 17)}, {Qt::Key_Right, Range(18, 26)},
        {Qt::Key_Down, Range(27, 29)},    {Qt::Key_PageDown, Range(27, 29)}, // nobody after 29
        {Qt::Key_PageUp, Range(18, 26)},  {Qt::Key_Left, Range(9, 17)},
        {Qt::Key_Up, Range(0, 8)},        {Qt::Key_Up, Range(0, 8)}, // nobody before the first
    };
    for (const auto &[key, visible] : keys) {
        Key(key);
        EXPECT_EQ(VisiblePanes(), visible) << QKeySequence(key).toString().toStdString();
        EXPECT_EQ(CurrentRow(), visible.front()); // the list follows the page
    }

    // The buttons beside the list do the same.
    auto *next = Window().findChild<TImageButton *>(QStringLiteral("btnNextPane"));
    auto *previous = Window().findChild<TImageButton *>(QStringLiteral("btnPreviousPane"));
    ASSERT_NE(next, nullptr);
    ASSERT_NE(previous, nullptr);
    EXPECT_TRUE(next->isVisible());
    next->Click();
    EXPECT_EQ(VisiblePanes(), Range(9, 17));

    // Enter: the selected pane alone (none selected: the page's first).
    Key(Qt::Key_Return);
    EXPECT_EQ(VisiblePanes(), (std::vector<int>{9}));
    EXPECT_TRUE(Tile(Window().LiveGrid, 9)->Zoomed());
    // Paging alone goes to the neighbouring student.
    Key(Qt::Key_PageDown);
    EXPECT_EQ(VisiblePanes(), (std::vector<int>{10}));
    // Escape: back to the page it came from.
    Key(Qt::Key_Escape);
    EXPECT_EQ(VisiblePanes(), Range(9, 17));
    EXPECT_FALSE(Tile(Window().LiveGrid, 10)->Zoomed());
    previous->Click();
    EXPECT_EQ(VisiblePanes(), Range(0, 8));

    // A selected pane is the one Enter shows alone.
    QTest::mousePress(Tile(Window().LiveGrid, 4), Qt::LeftButton);
    Key(Qt::Key_Enter);
    EXPECT_EQ(VisiblePanes(), (std::vector<int>{4}));
    EXPECT_EQ(CurrentRow(), 4); // the list names the student shown alone
}

TEST_F(GlanceTest, PageKeysPageTheSeatAndAnswerGridsNotTheSettings) {
    Open(30, 4, 4, 9); // 16 seats a page: two pages
    Activate();
    TBGPanel *seats = Window().SeatGrid;
    ASSERT_EQ(seats->GridPages(), 2);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(seats->GridPage(), 1);
    EXPECT_FALSE(Tile(seats, 29)->isHidden());
    EXPECT_TRUE(Tile(seats, 0)->isHidden());
    Key(Qt::Key_Left);
    EXPECT_EQ(seats->GridPage(), 0);
    EXPECT_FALSE(Tile(seats, 0)->isHidden());

    ChooseSingleChoice(u"A");
    Activate();
    TBGPanel *answers = Window().AnswerGrid;
    ASSERT_TRUE(answers->isVisible());
    ASSERT_EQ(answers->GridPages(), 2);
    Key(Qt::Key_Down);
    EXPECT_EQ(answers->GridPage(), 1);
    EXPECT_EQ(seats->GridPage(), 0); // each grid keeps its own page

    // In the settings panel the arrows belong to its fields.
    Window().OpenLayoutSettings();
    auto *rows = Window().findChild<QSpinBox *>(QStringLiteral("se2"));
    rows->setFocus();
    const int before = rows->value();
    QTest::keyClick(rows, Qt::Key_Up);
    EXPECT_EQ(rows->value(), before + 1);
    EXPECT_EQ(answers->GridPage(), 1);
}

TEST_F(GlanceTest, APaneWhoseStudentChangesStartsWhite) {
    std::vector<Student> students;
    for (int i = 0; i < 6; ++i) {
        students.push_back({QStringLiteral("S%1").arg(i), static_cast<uint16_t>(100 + i)});
    }
    OpenWith(students);
    Choose("EssayQuestion");
    for (int pane : {2, 4}) {
        Post(WM_TABLET_PEN, static_cast<uint32_t>(pane), PackCanvasPoint({40, 40}));
        Post(WM_TABLET_PEN, static_cast<uint32_t>(pane), PackCanvasPoint({90, 45}));
        ASSERT_FALSE(Tile(Window().LiveGrid, pane)->InkImage()->isNull());
    }
    QTest::mousePress(Tile(Window().LiveGrid, 2), Qt::RightButton);
    {
        // Pane 2 takes S4's tablet; S4's pane takes pane 2's student.
        DialogAnswer answer([](TFrmSetName &dialog) {
            auto *choice = Find<QComboBox>(dialog, "cbbStu");
            choice->setCurrentIndex(choice->findText(u"S4"_qs));
            Click(dialog, "btn1");
        });
        Action("N1")->trigger();
    }
    ASSERT_EQ(Tile(Window().LiveGrid, 2)->StudentName(), u"S4"_qs);
    for (int pane : {2, 4}) {
        EXPECT_TRUE(Tile(Window().LiveGrid, pane)->InkImage()->isNull()) << pane;
        EXPECT_EQ(Tile(Window().LiveGrid, pane)->PenState(), 0) << pane;
    }
    // The next point begins a new stroke on the white pane.
    Post(WM_TABLET_PEN, 2, PackCanvasPoint({40, 40}));
    EXPECT_EQ(Tile(Window().LiveGrid, 2)->PenState(), 1);
}

TEST_F(GlanceTest, AnImportedStudentWritesIntoItsPaneAtOnce) {
    Open(4, 4, 4);
    QFile file(Dir() + u"/class.txt"_qs);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Ann#201\nBen#202\n");
    file.close();
    {
        PromptRecorder prompts(true);
        Window().ImportRoster(file.fileName());
    }
    // Pen points of tablet 202 reach Ben's pane without a restart.
    EXPECT_EQ(FindSlot(Window().Table(), 202, EVENT_PEN_DOWN), 1);
    EXPECT_EQ(Tile(Window().LiveGrid, 1)->StudentName(), u"Ben"_qs);
    EXPECT_EQ((*Reloaded())[1].PaneID(), 202);
}

TEST_F(GlanceTest, MenusOpenWhereTheMouseIs) {
    Open(6);
    TStdChannel *seat = Tile(Window().SeatGrid, 1);
    // Pressed on the name label, which lies well inside the tile.
    QLabel *name = seat->NameLabel();
    const QPoint at(name->width() / 2, name->height() / 2);
    QTest::mousePress(name, Qt::RightButton, {}, at);
    auto *menu = Window().findChild<QMenu *>(QStringLiteral("pm1"));
    ASSERT_TRUE(menu->isVisible());
    EXPECT_LE((menu->pos() - name->mapToGlobal(at)).manhattanLength(), 2);
    menu->hide();
}

TEST_F(GlanceTest, MainActionsHaveKeysInTheirTooltipsHeadingsDoNothing) {
    Open(6);
    Activate();
    TGroupItem *live = Window().Item(QStringLiteral("LiveView"));
    EXPECT_TRUE(live->toolTip().contains(
        QKeySequence(Qt::CTRL | Qt::Key_2).toString(QKeySequence::NativeText)))
        << live->toolTip().toStdString();
    QTest::keyClick(&Window(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_TRUE(live->Marked());
    QTest::keyClick(&Window(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(Window().Item(QStringLiteral("MainInterface"))->Marked());
    for (const char *key : {"TopicsType", "AnswerState", "QuestionsEdit"}) {
        TGroupItem *heading = Window().Item(QString::fromLatin1(key));
        EXPECT_FALSE(heading->Active()) << key;
        EXPECT_EQ(heading->cursor().shape(), Qt::ArrowCursor) << key;
    }
    EXPECT_TRUE(Window().Item(QStringLiteral("Quit"))->Active());
    // The student list never scrolls sideways.
    auto *list = Window().findChild<QTreeWidget *>(QStringLiteral("lvStd"));
    EXPECT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// The lowest contrast of a text as the navigation bar shows it: the bar is
// drawn with and without the text, and every pixel the text changed is
// measured against the pixel behind it. The glyphs' cores must read; their
// anti-aliased edges fade by design, so the best-reading pixel counts.
double ShownTextContrast(QWidget *bar, QWidget *holder, const std::function<void(bool)> &showText) {
    const QRect area(holder->mapTo(bar, QPoint(0, 0)), holder->size());
    showText(false);
    const QImage without = bar->grab(area).toImage();
    showText(true);
    const QImage with = bar->grab(area).toImage();
    double best = 0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                best =
                    std::max(best, ContrastRatio(with.pixelColor(x, y), without.pixelColor(x, y)));
            }
        }
    }
    return best;
}

TEST_F(GlanceTest, NavigationCaptionsAndItemsReadOnTheGradient) {
    Open(30);
    auto *bar = Window().findChild<QWidget *>(QStringLiteral("pnlRz"));
    ASSERT_NE(bar, nullptr);
    int measured = 0;
    for (QLabel *caption : bar->findChildren<QLabel *>()) {
        const QString text = caption->text();
        ASSERT_FALSE(text.isEmpty()) << caption->objectName().toStdString();
        EXPECT_GE(
            ShownTextContrast(bar, caption,
                              [&](bool shown) { caption->setText(shown ? text : QString()); }),
            4.5)
            << caption->objectName().toStdString();
        ++measured;
    }
    for (TGroupItem *item : bar->findChildren<TGroupItem *>()) {
        const QString text = item->Caption();
        EXPECT_GE(ShownTextContrast(
                      bar, item, [&](bool shown) { item->SetCaption(shown ? text : QString()); }),
                  4.5)
            << item->objectName().toStdString() << (item->Marked() ? " (marked)" : "");
        ++measured;
    }
    EXPECT_GE(measured, 17); // three group captions and every item
}

} // namespace
} // namespace lumora::test
