// Lumora: the teacher's classroom answering program.
#include "Main.h"
#include "HistoryWindow.h"
#include "LumoraVersion.h"
#include "Tour.h"
#include "config/Config.h"
#include "config/LanguageTexts.h"
#include "config/Preferences.h"
#include "config/UnXML.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"
#include "platform/Console.h"
#include "platform/DataDir.h"
#include "platform/DataFolderLock.h"
#include "platform/RegularExpressions.h"
#include "platform/TerminationSignals.h"
#include "record/ExportCommand.h"
#include "views/HistoryView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

// The window's options. Help also shows the export, which runs without one.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption dataDir{QStringLiteral("data-dir"),
                               QStringLiteral("Keep settings, roster and languages in DIR."),
                               QStringLiteral("DIR")};
    QCommandLineOption tour{
        QStringLiteral("tour"),
        QStringLiteral("Run a scripted lesson, save a picture of each view into DIR, quit."),
        QStringLiteral("DIR")};
    QCommandLineOption startClass{
        QStringLiteral("class"),
        QStringLiteral("Start with the class NAME: its roster and seating (see the Classes item)."),
        QStringLiteral("NAME")};
    QCommandLineOption history{
        QStringLiteral("history"),
        QStringLiteral("Open only the lesson history and its exports, without a receiver (beside "
                       "the program too).")};

    CommandLine() {
        parser.setApplicationDescription(QStringLiteral(
            "Classroom answering system.\n\n"
            "Lumora [--data-dir DIR] --export LESSON --format csv|xlsx --output FILE [--force]\n"
            "  writes a recorded lesson (its number in the history, or last) as CSV or\n"
            "  Excel without opening a window; existing files are replaced only with\n"
            "  --force.\n"
            "Lumora [--data-dir DIR] --export-term CLASS [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
            "       --format csv|xlsx --output FILE [--force]\n"
            "  writes a class's term (its name or file name; by default the current\n"
            "  term, from the term starts in Config.ini) as one gradebook, its item\n"
            "  analysis and its presses.\n"
            "Lumora [--data-dir DIR] --history\n"
            "  opens the lesson history and its exports without a receiver."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(dataDir);
        parser.addOption(tour);
        parser.addOption(startClass);
        parser.addOption(history);
    }
};

// Looks for an option before "--", without Qt: nothing is opened yet.
bool HasOption(int argc, char **argv, std::initializer_list<const char *> names) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        for (const char *name : names) {
            if (std::strcmp(argv[i], name) == 0) {
                return true;
            }
        }
    }
    return false;
}

// Tells the teacher, in the data folder's language (read, never written),
// that the program already runs on that folder.
void SayAlreadyRunning(const QString &dataDir) {
    QString title;
    try {
        lumora::LanguageTexts texts;
        lumora::LoadLanguage(
            lumora::LanguageFilePath(dataDir, lumora::LoadConfig(dataDir, 0).LanguageName), texts);
        title = texts.Value(u"AppTitle");
    } catch (const lumora::XmlError &) {
        // The built-in texts then.
    }
    lumora::ShowPrompt(
        title.isEmpty() ? QStringLiteral("Lumora") : title,
        lumora::FormatMessage(lumora::MessageTexts[lumora::MessageKey::AlreadyRunning],
                              {QDir::toNativeSeparators(dataDir)}),
        false);
}

void NameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Lumora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMORA_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Lumora"));
}

} // namespace

int main(int argc, char **argv) {
    lumora::UseRegularExpressionsWithoutJit();
    const bool exporting = lumora::IsExportCommand(argc, argv);
    const bool version = HasOption(argc, argv, {"--version", "-v"});
    const bool help = HasOption(argc, argv, {"--help", "-h", "-?", "--help-all"});
    // The commands that print write where they were started from (on
    // Windows, where the program has a window, the console of cmd.exe).
    const bool console = (exporting || version || help) && lumora::UseParentConsole();
    if (exporting) {
        return lumora::RunExportCommand(argc, argv); // no window, no display needed
    }
    // Answered before the window system is opened: work without a display.
    if (version) {
        std::printf("Lumora %s\n", LUMORA_VERSION);
        std::fflush(stdout);
        return 0;
    }
    if (help) {
        QCoreApplication core(argc, argv);
        NameTheApplication();
        CommandLine commandLine;
        if (console) {
            // Printed here: Qt shows it in a message box on Windows unless it
            // sees a console or redirected handles, and Wine's Unix streams
            // are neither.
            commandLine.parser.parse(QCoreApplication::arguments());
            std::fputs(qPrintable(commandLine.parser.helpText()), stdout);
            std::fflush(stdout);
            return 0;
        }
        commandLine.parser.process(core); // shows the help and exits
        return 0;
    }
    NameTheApplication(); // the per-user data folder is named after it
    // The teacher's display scale, for Qt's high-DPI scaling: before the
    // application object, which takes it when it is made.
    lumora::ApplyDisplayScale(argc, argv);
    QApplication app(argc, argv);
    QApplication::setFont(lumora::LumoraFont());
    // SIGTERM, SIGINT, SIGHUP (on Windows the end of the session, saved
    // before Windows goes on): the normal close with its exit saves. Until
    // the window is up, a signal cancels the dialog that waits and the
    // window closes as soon as it exists.
    lumora::TerminationSignals termination;
    QObject::connect(&termination, &lumora::TerminationSignals::Terminate, &app,
                     [] { lumora::CancelOpenDialogs(); });

    CommandLine commandLine;
    commandLine.parser.process(app);
    const QCommandLineParser &parser = commandLine.parser;

    // Unattended runs (scripts, tests of the whole program, the tour): every
    // prompt is answered with OK and written to stderr instead of waiting for
    // a user, and every dialog with OK as it stands (the first start's seat
    // count among them, an export's file as suggested); a dialog that refuses
    // that is cancelled.
    const bool tour = parser.isSet(commandLine.tour);
    if (qgetenv("LUMORA_ANSWER_PROMPTS") == "ok" || tour) {
        lumora::SetPromptResponder([](const QString &title, const QString &text, bool) {
            std::fprintf(stderr, "prompt: %s: %s\n", qPrintable(title), qPrintable(text));
            return true;
        });
        lumora::SetDialogResponder(&lumora::AnswerDialogWithOk);
        lumora::SetSaveFileResponder(
            [](const QString &, const QString &suggested) { return suggested; });
    }
    // The tour plays its lesson on the simulated class unless a receiver
    // was chosen.
    if (tour && qEnvironmentVariableIsEmpty("PENLYNX_RECEIVER")) {
        qputenv("PENLYNX_RECEIVER", "sim:tablets=30,absent=3");
    }

    QString error;
    const QString dataDir = lumora::ResolveDataDir(parser.value(commandLine.dataDir),
                                                   QCoreApplication::applicationDirPath(),
                                                   lumora::UserDataDir(), &error);
    // One program writes a data folder: a second start there ends before it
    // writes anything. The history only reads and may run beside it.
    lumora::DataFolderLock lock;
    if (!dataDir.isEmpty() && !parser.isSet(commandLine.history) &&
        lock.Take(dataDir) == lumora::DataFolderLock::Result::HeldByAnother) {
        SayAlreadyRunning(dataDir);
        return 1;
    }
    if (dataDir.isEmpty() || !lumora::SeedLanguages(dataDir, &error,
                                                    lumora::InstalledLanguageDir(
                                                        QCoreApplication::applicationDirPath()))) {
        lumora::ShowPrompt(QStringLiteral("Error"), error, false);
        return 1;
    }

    // The record alone: no receiver, nothing of the classroom. It only reads
    // the data folder, so it holds no claim on it and may run beside the
    // program there.
    if (parser.isSet(commandLine.history)) {
        return lumora::RunHistoryWindow(dataDir, parser.value(commandLine.tour), termination);
    }

    lumora::TFrmMain window(dataDir, parser.value(commandLine.startClass));
    if (!window.Started()) {
        return 1; // no receiver: reported, files written when the window goes
    }
    if (termination.Received() != 0) {
        window.close(); // asked to end during the start-up
        return 0;
    }
    QObject::connect(&termination, &lumora::TerminationSignals::Terminate, &window,
                     &lumora::TFrmMain::EndBySignal);
    QObject::connect(&termination, &lumora::TerminationSignals::EndingNow, &window,
                     &lumora::TFrmMain::SaveAtTheEnd);
    // Given up as soon as the window has saved: at the end of a Windows
    // session the process is ended once the close has run, before main returns.
    QObject::connect(&window, &lumora::TFrmMain::ExitSaved, &window, [&lock] { lock.Release(); });
    window.show();
    if (tour) {
        lumora::StartTour(window, parser.value(commandLine.tour));
    }
    return QApplication::exec();
}
