#include "config/Config.h"

#include "config/IniFile.h"

#include <QDir>

#include <algorithm>

namespace lumora {

namespace {

const QString kSection = QStringLiteral("Public");

} // namespace

QString ConfigFilePath(const QString &dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("Config.ini"));
}

bool IsPlainFolderName(QStringView name) {
    if (name.isEmpty() || name.size() > kMaxLanguageNameLength || name == u"." ||
        name.contains(u"..")) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control;
    });
}

QString SafeLanguageName(QStringView name) {
    return (IsPlainFolderName(name) ? name : kDefaultLanguageName).toString();
}

Config LoadConfig(const QString &dataDir, int screenHeight, FileProblem *problem) {
    IniFile ini;
    ini.Load(ConfigFilePath(dataDir), problem);
    const Config defaults;
    Config config;
    config.LanguageType = ini.ReadInt(kSection, u"LanguageType", defaults.LanguageType);
    config.MainLine = ini.ReadInt(kSection, u"MainLine", defaults.MainLine);
    config.MainRow = ini.ReadInt(kSection, u"MainRow", defaults.MainRow);
    config.Split = ini.ReadInt(kSection, u"Split", defaults.Split);
    config.Count = ini.ReadInt(kSection, u"Count", defaults.Count);
    config.LanguageName =
        SafeLanguageName(ini.ReadString(kSection, u"LanguageName", defaults.LanguageName));

    config.MainLine = std::clamp(config.MainLine, 1, kMaxSeatsPerSide);
    config.MainRow = std::clamp(config.MainRow, 1, kMaxSeatsPerSide);
    if (screenHeight == 720) {
        config.MainRow = std::min(config.MainRow, kMaxRowsOn720Screen);
    }
    return config;
}

bool SaveConfig(const QString &dataDir, const Config &config, QString *error) {
    const QString path = ConfigFilePath(dataDir);
    IniFile ini;
    FileProblem problem;
    const ReadStatus status = ini.Load(path, &problem);
    if (status == ReadStatus::Failed || status == ReadStatus::Incomplete) {
        // Never rewrite a file from what could be read of it.
        if (error != nullptr) {
            *error = problem.Describe();
        }
        return false;
    }
    ini.WriteInt(kSection, u"LanguageType", config.LanguageType);
    ini.WriteInt(kSection, u"MainLine", config.MainLine);
    ini.WriteInt(kSection, u"MainRow", config.MainRow);
    ini.WriteInt(kSection, u"Split", config.Split);
    ini.WriteInt(kSection, u"Count", config.Count);
    ini.WriteString(kSection, u"LanguageName", SafeLanguageName(config.LanguageName));
    return ini.Save(path, error);
}

} // namespace lumora
