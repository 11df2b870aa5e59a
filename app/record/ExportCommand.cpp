#include "record/ExportCommand.h"

#include "config/Preferences.h"
#include "platform/DataDir.h"
#include "record/Export.h"
#include "record/LessonHistory.h"
#include "record/TermGradebook.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace lumora {

namespace {

int Fail(const QString &message) {
    std::fprintf(stderr, "Lumora: %s\n", qUtf8Printable(message));
    return 1;
}

// A day as the command line takes it: YYYY-MM-DD exactly.
std::optional<QDate> ParseDay(const QString &text) {
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return day.isValid() && text.size() == 10 ? std::optional<QDate>(day) : std::nullopt;
}

} // namespace

bool IsExportCommand(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--export", "--export-term"}) {
            const size_t length = std::strlen(option);
            if (std::strncmp(argv[i], option, length) == 0 &&
                (argv[i][length] == '\0' || argv[i][length] == '=')) {
                return true;
            }
        }
    }
    return false;
}

int RunExportCommand(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lumora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Lumora"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Export a recorded lesson or a class's term"));
    const QCommandLineOption dataDirOption(QStringLiteral("data-dir"),
                                           QStringLiteral("The data folder of the program."),
                                           QStringLiteral("DIR"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("The lesson to export: its number in the history, or last."),
        QStringLiteral("LESSON"));
    const QCommandLineOption termOption(
        QStringLiteral("export-term"),
        QStringLiteral("The class whose term to export: its name or file name."),
        QStringLiteral("CLASS"));
    const QCommandLineOption fromOption(
        QStringLiteral("from"),
        QStringLiteral("The term's first day (default: the current term's)."),
        QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption toOption(
        QStringLiteral("to"), QStringLiteral("The term's last day (default: the current term's)."),
        QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("csv or xlsx."),
                                          QStringLiteral("FORMAT"));
    const QCommandLineOption outputOption(
        QStringLiteral("output"),
        QStringLiteral("The file to write (csv: the presses go to FILE-presses beside it)."),
        QStringLiteral("FILE"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"), QStringLiteral("Replace the output files when they exist."));
    parser.addOptions({dataDirOption, exportOption, termOption, fromOption, toOption, formatOption,
                       outputOption, forceOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        return Fail(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    }
    const bool term = parser.isSet(termOption);
    if (term && parser.isSet(exportOption)) {
        return Fail(QStringLiteral("--export and --export-term cannot be given together"));
    }
    if (!term && (parser.isSet(fromOption) || parser.isSet(toOption))) {
        return Fail(QStringLiteral("--from and --to belong to --export-term"));
    }
    std::optional<QDate> days[2];
    for (const QCommandLineOption *option : {&fromOption, &toOption}) {
        if (parser.isSet(*option)) {
            const QString text = parser.value(*option);
            std::optional<QDate> &day = days[option == &fromOption ? 0 : 1];
            day = ParseDay(text);
            if (!day) {
                return Fail(QStringLiteral("--%1 must be a day as YYYY-MM-DD, not \"%2\"")
                                .arg(option->names().first(), text));
            }
        }
    }
    if (days[0] && days[1] && *days[0] > *days[1]) {
        return Fail(QStringLiteral("--from %1 is after --to %2")
                        .arg(days[0]->toString(Qt::ISODate), days[1]->toString(Qt::ISODate)));
    }
    for (const QCommandLineOption *option :
         {term ? &termOption : &exportOption, &formatOption, &outputOption}) {
        if (!parser.isSet(*option) || parser.value(*option).isEmpty()) {
            return Fail(QStringLiteral("--%1 %2 is missing")
                            .arg(option->names().first(), option->valueName()));
        }
    }
    const std::optional<ExportFormat> format = ParseExportFormat(parser.value(formatOption));
    if (!format) {
        return Fail(QStringLiteral("--format must be csv or xlsx, not \"%1\"")
                        .arg(parser.value(formatOption)));
    }
    // Reading makes no folder: a data folder that is not there is a mistake.
    const QString given = parser.value(dataDirOption);
    if (!given.isEmpty() && !QFileInfo(given).isDir()) {
        return Fail(QStringLiteral("the data folder %1 does not exist")
                        .arg(QDir::toNativeSeparators(given)));
    }
    QString error;
    const QString dataDir = ResolveDataDir(
        parser.value(dataDirOption), QCoreApplication::applicationDirPath(), UserDataDir(), &error);
    if (dataDir.isEmpty()) {
        return Fail(error);
    }
    const QString output = parser.value(outputOption);
    const ExistingFiles existing =
        parser.isSet(forceOption) ? ExistingFiles::Replace : ExistingFiles::Keep;
    if (term) {
        LessonHistory history;
        if (!history.Open(dataDir, &error)) {
            return Fail(error);
        }
        const std::optional<LessonClass> chosen =
            ResolveTermClass(history, parser.value(termOption), &error);
        if (!chosen) {
            return Fail(error);
        }
        history.Close();
        const TermRange current =
            CurrentTerm(QDate::currentDate(), ParseTermStarts(LoadPreferences(dataDir).TermStarts));
        const TermRange range{days[0].value_or(current.from), days[1].value_or(current.to)};
        if (range.from > range.to) {
            return Fail(QStringLiteral("the term would run from %1 to %2: give --from and --to")
                            .arg(range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate)));
        }
        if (!ExportTerm(dataDir, chosen->file, range, *format, output, existing, &error)) {
            return Fail(error);
        }
        for (const QString &file : TermExportFiles(*format, output)) {
            std::printf("%s\n", qUtf8Printable(QDir::toNativeSeparators(file)));
        }
        return 0;
    }
    if (!ExportLesson(dataDir, parser.value(exportOption), *format, output, existing, &error)) {
        return Fail(error);
    }
    std::printf("%s\n", qUtf8Printable(QDir::toNativeSeparators(output)));
    if (*format == ExportFormat::Csv) {
        std::printf("%s\n", qUtf8Printable(QDir::toNativeSeparators(PressesFilePath(output))));
    }
    return 0;
}

} // namespace lumora
