#include "config/Preferences.h"

#include "config/Config.h"
#include "config/IniFile.h"
#include "platform/Arguments.h"
#include "platform/DataDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace lumora {

namespace {

const QString kSection = QStringLiteral("Preferences");
constexpr char16_t kScaleKey[] = u"DisplayScale";
constexpr char16_t kScreenKey[] = u"Screen";
constexpr char16_t kImportFolderKey[] = u"ImportFolder";
constexpr char16_t kSoundKey[] = u"CountdownSound";
constexpr char16_t kTermStartsKey[] = u"TermStarts";

int g_appliedScale = 100;

int ValidScale(int percent) {
    return std::find(kScaleChoices.begin(), kScaleChoices.end(), percent) != kScaleChoices.end()
               ? percent
               : 100;
}

// The value of --data-dir DIR or --data-dir=DIR before "--"; empty without one.
QString DataDirArgument(int argc, char **argv) {
    const QStringList arguments = ProgramArguments(argc, argv);
    const QString option = QStringLiteral("--data-dir");
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != u"--"; ++i) {
        const QString &argument = arguments[i];
        if (argument == option && i + 1 < arguments.size()) {
            return arguments[i + 1];
        }
        if (argument.startsWith(option + u'=')) {
            return argument.mid(option.size() + 1);
        }
    }
    return QString();
}

QString ChosenDataDir(int argc, char **argv) {
    const auto choose = [argc, argv] {
        return ChooseDataDir(DataDirArgument(argc, argv), QCoreApplication::applicationDirPath(),
                             UserDataDir());
    };
    if (QCoreApplication::instance() != nullptr) {
        return choose();
    }
    // The program's own folder is known to an application object only, and
    // the window's must not exist yet: Qt takes the scale when it is made.
    int coreArgc = argc;
    QCoreApplication core(coreArgc, argv);
    return choose();
}

} // namespace

Preferences LoadPreferences(const QString &dataDir) {
    IniFile ini;
    ini.Load(ConfigFilePath(dataDir));
    const Preferences defaults;
    Preferences preferences;
    preferences.ScalePercent = ValidScale(ini.ReadInt(kSection, kScaleKey, defaults.ScalePercent));
    preferences.Screen = ini.ReadString(kSection, kScreenKey);
    preferences.ImportFolder = ini.ReadString(kSection, kImportFolderKey);
    preferences.CountdownSound = ini.ReadInt(kSection, kSoundKey, 0) != 0;
    preferences.TermStarts = ini.ReadString(kSection, kTermStartsKey);
    return preferences;
}

bool SavePreferences(const QString &dataDir, const Preferences &preferences, QString *error) {
    const QString path = ConfigFilePath(dataDir);
    IniFile ini;
    FileProblem problem;
    const ReadStatus status = ini.Load(path, &problem);
    if (status == ReadStatus::Failed || status == ReadStatus::Incomplete) {
        if (error != nullptr) {
            *error = problem.Describe();
        }
        return false;
    }
    ini.WriteInt(kSection, kScaleKey, ValidScale(preferences.ScalePercent));
    ini.WriteString(kSection, kScreenKey, preferences.Screen);
    ini.WriteString(kSection, kImportFolderKey, preferences.ImportFolder);
    ini.WriteInt(kSection, kSoundKey, preferences.CountdownSound ? 1 : 0);
    ini.WriteString(kSection, kTermStartsKey, preferences.TermStarts);
    return ini.Save(path, error);
}

std::vector<QDate> ParseTermStarts(const QString &text) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    std::vector<QDate> starts;
    for (const QString &part : text.split(separators, Qt::SkipEmptyParts)) {
        const QDate date = QDate::fromString(part, Qt::ISODate);
        // Qt's ISO reading takes a time after the date too; a start is a day.
        if (date.isValid() && part.size() == 10) {
            starts.push_back(date);
        }
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

QByteArray ScaleFactorSetting(int percent, const QByteArray &current) {
    if (ValidScale(percent) == 100) {
        return current;
    }
    bool ok = false;
    double factor = current.toDouble(&ok);
    if (!ok || factor <= 0) {
        factor = 1;
    }
    return QByteArray::number(factor * percent / 100.0, 'g', 6);
}

void ApplyDisplayScale(int argc, char **argv) {
    const int percent = LoadPreferences(ChosenDataDir(argc, argv)).ScalePercent;
    const QByteArray current = qgetenv("QT_SCALE_FACTOR");
    const QByteArray factor = ScaleFactorSetting(percent, current);
    if (factor != current) {
        qputenv("QT_SCALE_FACTOR", factor);
    }
    g_appliedScale = percent;
}

int AppliedScalePercent() {
    return g_appliedScale;
}

bool ScaleFits(QSize screenSize, int appliedPercent, int percent) {
    return qint64(screenSize.width()) * appliedPercent >=
               qint64(kSmallestLayoutScreen.width()) * percent &&
           qint64(screenSize.height()) * appliedPercent >=
               qint64(kSmallestLayoutScreen.height()) * percent;
}

std::vector<int> OfferedScales(QSize screenSize, int appliedPercent, int chosen) {
    std::vector<int> offered;
    for (const int percent : kScaleChoices) {
        if (percent == chosen || percent == 100 || ScaleFits(screenSize, appliedPercent, percent)) {
            offered.push_back(percent);
        }
    }
    return offered;
}

int StartScreen(const QStringList &names, const QString &saved, int primary) {
    const qsizetype index = saved.isEmpty() ? -1 : names.indexOf(saved);
    return index >= 0 ? static_cast<int>(index) : primary;
}

int NextScreen(int count, int current) {
    if (count <= 0) {
        return -1;
    }
    return current < 0 ? 0 : (current + 1) % count;
}

QString ImportStartFolder(const QString &remembered, const QString &documents,
                          const QString &home) {
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) {
        return remembered;
    }
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : home;
}

} // namespace lumora
