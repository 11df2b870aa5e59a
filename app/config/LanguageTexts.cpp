#include "config/LanguageTexts.h"

#include "config/UnXML.h"
#include "core/MessageTexts.h"
#include "platform/DataDir.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace lumora {

void LanguageTexts::Append(QStringView key, QStringView text) {
    lines_.append(key.toString() + u'=' + text.toString());
}

QString LanguageTexts::Value(QStringView key) const {
    for (const QString &line : lines_) {
        const qsizetype equals = line.indexOf(u'=');
        const QStringView name = equals < 0 ? QStringView(line) : QStringView(line).left(equals);
        if (name == key) {
            return equals < 0 ? QString() : line.sliced(equals + 1);
        }
    }
    return QString();
}

QString LanguageFilePath(const QString &dataDir, const QString &languageName) {
    return QDir(dataDir).filePath(QStringLiteral("Language/%1/Language.xml").arg(languageName));
}

void LoadLanguage(const QString &fileName, LanguageTexts &texts, MessageTextTable &messages) {
    texts.Clear();
    TSystemParams reader(fileName);
    for (const char *key : LanguageKeys) {
        const QString name = QString::fromLatin1(key);
        texts.Append(name, reader.ReadValue(QStringLiteral("LanguageSet/") + name, QString()));
    }
    // The program's own copy of this language, read only when needed.
    std::unique_ptr<TSystemParams> ownCopy;
    const auto builtIn = [&]() -> TSystemParams & {
        if (!ownCopy) {
            const QString file = BuiltInLanguageFile(QFileInfo(fileName).dir().dirName());
            ownCopy = file.isEmpty() ? std::make_unique<TSystemParams>()
                                     : std::make_unique<TSystemParams>(file);
        }
        return *ownCopy;
    };
    for (int i = 0; i < kMessageTextCount; ++i) {
        const auto key = static_cast<MessageKey>(i);
        const QString name = QString::fromLatin1(MessageKeyName(key));
        if (i < static_cast<int>(kFirstAddedMessage)) {
            messages.Set(key, texts.Value(name));
            continue;
        }
        // Keys a language file may not have yet, as in a data folder seeded
        // by an older version: the program's own copy of the language has
        // them, else the built-in text stays.
        const QString path = QStringLiteral("LanguageSet/") + name;
        QString text = reader.ReadValue(path, QString());
        if (text.trimmed().isEmpty()) {
            text = builtIn().ReadValue(path, QString());
        }
        messages.Set(key, text.trimmed().isEmpty() ? BuiltInMessageText(key) : text);
    }
}

} // namespace lumora
