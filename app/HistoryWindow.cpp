#include "HistoryWindow.h"

#include "config/Config.h"
#include "config/LanguageTexts.h"
#include "config/UnXML.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"
#include "platform/TerminationSignals.h"
#include "views/HistoryView.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace lumora {

namespace {

constexpr int kPictureDelayMs = 800;

} // namespace

TFrmHistory::TFrmHistory(const QString &dataDir, QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FrmHistory"));
    setFont(LumoraFont());
    // The texts of the data folder's language, read and never written.
    LanguageTexts texts;
    QString title;
    try {
        LoadLanguage(LanguageFilePath(dataDir, LoadConfig(dataDir, 0).LanguageName), texts);
        title = texts.Value(u"AppTitle");
    } catch (const XmlError &error) {
        ShowPrompt(QStringLiteral("Error"), error.message(), false);
    }
    setWindowTitle((title.isEmpty() ? QStringLiteral("Lumora") : title) + QStringLiteral(" — ") +
                   MessageTexts[MessageKey::LessonHistory]);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *area = new QWidget(this);
    layout->addWidget(area);
    history_ = new THistoryView(dataDir, area);
    history_->UpdateTexts(texts);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(available.size() * 0.85);
    move(available.center() - rect().center());
    history_->Reload();
}

int RunHistoryWindow(const QString &dataDir, const QString &pictureDir,
                     TerminationSignals &termination) {
    TFrmHistory window(dataDir);
    QObject::connect(&termination, &TerminationSignals::Terminate, &window, [&window] {
        CancelOpenDialogs();
        window.close();
    });
    window.show();
    if (!pictureDir.isEmpty()) {
        QDir().mkpath(pictureDir);
        QTimer::singleShot(kPictureDelayMs, &window, [&window, pictureDir] {
            const QString file = QDir(pictureDir).filePath(QStringLiteral("history.png"));
            window.grab().save(file);
            std::printf("tour: %s\n", qPrintable(QDir::toNativeSeparators(file)));
            std::fflush(stdout);
            window.close();
        });
    }
    return QApplication::exec();
}

} // namespace lumora
