#include "record/ExportCommand.h"

#include "platform/DataDir.h"
#include "record/Export.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace lumora {

namespace {

int Fail(const QString &message) {
    std::fprintf(stderr, "Lumora: %s\n", qUtf8Printable(message));
    return 1;
}

} // namespace

bool IsExportCommand(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--export") == 0 || std::strncmp(argv[i], "--export=", 9) == 0) {
            return true;
        }
    }
    return false;
}

int RunExportCommand(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lumora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Lumora"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Export a recorded lesson"));
    const QCommandLineOption dataDirOption(QStringLiteral("data-dir"),
                                           QStringLiteral("The data folder of the program."),
                                           QStringLiteral("DIR"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("The lesson to export: its number in the history, or last."),
        QStringLiteral("LESSON"));
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("csv or xlsx."),
                                          QStringLiteral("FORMAT"));
    const QCommandLineOption outputOption(
        QStringLiteral("output"),
        QStringLiteral("The file to write (csv: the presses go to FILE-presses beside it)."),
        QStringLiteral("FILE"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"), QStringLiteral("Replace the output files when they exist."));
    parser.addOptions({dataDirOption, exportOption, formatOption, outputOption, forceOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        return Fail(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    }
    for (const QCommandLineOption *option : {&exportOption, &formatOption, &outputOption}) {
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
    const QString dataDir =
        ResolveDataDir(parser.value(dataDirOption), QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), &error);
    if (dataDir.isEmpty()) {
        return Fail(error);
    }
    const QString output = parser.value(outputOption);
    if (!ExportLesson(dataDir, parser.value(exportOption), *format, output,
                      parser.isSet(forceOption) ? ExistingFiles::Replace : ExistingFiles::Keep,
                      &error)) {
        return Fail(error);
    }
    std::printf("%s\n", qUtf8Printable(QDir::toNativeSeparators(output)));
    if (*format == ExportFormat::Csv) {
        std::printf("%s\n", qUtf8Printable(QDir::toNativeSeparators(PressesFilePath(output))));
    }
    return 0;
}

} // namespace lumora
