#include "support/WindowTest.h"

#include "config/Roster.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"
#include "platform/DataDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace lumora::test {

void WindowTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    hadReceiver_ = qEnvironmentVariableIsSet("PENLYNX_RECEIVER");
    savedReceiver_ = qgetenv("PENLYNX_RECEIVER");
    MessageTexts.ResetToDefaults();
    AnswerKey.clear();
}

void WindowTest::TearDown() {
    Close();
    if (hadReceiver_) {
        qputenv("PENLYNX_RECEIVER", savedReceiver_);
    } else {
        qunsetenv("PENLYNX_RECEIVER");
    }
    MessageTexts.ResetToDefaults();
    AnswerKey.clear();
}

void WindowTest::UseReplay(const ReplayScript &script) {
    const QString path = DataPath("receiver.replay");
    script.Save(path);
    UseReceiver("replay:" + QFile::encodeName(path));
}

void WindowTest::UseReceiver(const QByteArray &value) {
    qputenv("PENLYNX_RECEIVER", value);
}

TFrmMain &WindowTest::Start() {
    QString error;
    EXPECT_TRUE(SeedLanguages(dir_.path(), &error)) << error.toStdString();
    window_ = new TFrmMain(dir_.path());
    if (window_->Started()) {
        window_->show();
    }
    return *window_;
}

void WindowTest::Close() {
    delete window_;
    window_ = nullptr;
}

void WindowTest::Open(int count, int columns, int rows, int panes) {
    std::vector<Student> students;
    for (int i = 0; i < count; ++i) {
        students.push_back({QStringLiteral("S%1").arg(i), static_cast<uint16_t>(i + 1)});
    }
    OpenWith(students, columns, rows, panes);
}

void WindowTest::OpenWith(const std::vector<Student> &students, int columns, int rows, int panes,
                          const char *language) {
    WriteConfig(columns, rows, panes, QLatin1String(language), 0);
    if (preferences_ != Preferences()) {
        ASSERT_TRUE(SavePreferences(Dir(), preferences_));
    }
    SlotTable table;
    for (size_t i = 0; i < students.size(); ++i) {
        table[static_cast<int>(i)].Name = students[i].Name;
        table[static_cast<int>(i)].CardID = students[i].CardID;
    }
    table.SetCount(static_cast<int>(students.size()));
    if (!students.empty()) {
        ASSERT_TRUE(SaveRoster(Dir(), table, -1));
    }
    OpenWindow();
}

void WindowTest::OpenWindow() {
    // A receiver that is there and sends nothing.
    WriteTextFile(DataPath(QStringLiteral("silent.replay")), QStringLiteral("# present, silent\n"));
    UseReceiver("replay:" + QFile::encodeName(DataPath(QStringLiteral("silent.replay"))));
    Start();
    ASSERT_TRUE(window_->Started());
}

std::unique_ptr<SlotTable> WindowTest::Reloaded() const {
    auto table = std::make_unique<SlotTable>();
    LoadRoster(Dir(), *table);
    return table;
}

QAction *WindowTest::Action(const char *name) const {
    return window_->findChild<QAction *>(QLatin1String(name));
}

TStdChannel *WindowTest::Tile(TBGPanel *grid, int index) const {
    TStdChannel *tile = grid->GetTile(index);
    EXPECT_NE(tile, nullptr) << "no tile " << index;
    return tile;
}

std::vector<int> WindowTest::VisiblePanes() const {
    std::vector<int> visible;
    for (TStdChannel *tile : window_->LiveGrid->Tiles()) {
        if (tile->Shown() && !tile->size().isEmpty()) {
            visible.push_back(tile->Tag());
        }
    }
    return visible;
}

QLabel *WindowTest::Label(const char *name) const {
    return Control<QLabel>(name);
}

QMenu *WindowTest::Menu() const {
    return Control<QMenu>("pm1");
}

QAction *WindowTest::MenuItem(const char *name) const {
    return Control<QAction>(name);
}

void WindowTest::Choose(const char *item) {
    TGroupItem *groupItem = window_->Item(QString::fromLatin1(item));
    ASSERT_NE(groupItem, nullptr) << "no item " << item;
    groupItem->Click();
}

QStringList WindowTest::ShownViews() const {
    QStringList shown;
    for (const char *name : {"SeatGrid", "LiveGrid", "AnswerGrid", "pnlDraw", "pnlSet", "pnl2"}) {
        const auto *view = window_->findChild<QWidget *>(QLatin1String(name));
        if (view != nullptr && !view->isHidden()) {
            shown << QString::fromLatin1(name);
        }
    }
    return shown;
}

QStringList WindowTest::MarkedItems() const {
    QStringList marked;
    for (const TGroupItem *item : window_->findChildren<TGroupItem *>()) {
        if (item->Marked()) {
            marked << item->objectName();
        }
    }
    marked.sort();
    return marked;
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

int InkPixels(const QImage &image, const QRect &rect) {
    int ink = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if ((row[x] & 0xFFFFFF) != 0xFFFFFF) {
                ++ink;
            }
        }
    }
    return ink;
}

const QImage &LinkedPicture() {
    static const QImage picture(QStringLiteral(":/skin/Connet.png"));
    return picture;
}

const QImage &UnlinkedPicture() {
    static const QImage picture(QStringLiteral(":/skin/DisCon.png"));
    return picture;
}

void Shot(QWidget *widget, const QString &name) {
    const QString dir = QDir::temp().filePath(QStringLiteral("lumora-window-shots"));
    QDir().mkpath(dir);
    widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace lumora::test
