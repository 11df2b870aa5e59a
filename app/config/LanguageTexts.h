// The language texts of the user interface: Language.xml of
// the chosen language folder, read through TSystemParams into LanguageTexts
// and the program-wide MessageTexts (Helpers.h).
//
// The window side of ApplyLanguage (captions, label alignment) calls
// LoadLanguage and then takes its captions from the LanguageTexts.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "core/MessageTexts.h"

namespace lumora {

// The lines "key=text" of the last language load, in the order of
// LanguageKeys. Owned by the main window; a key not in the list gives an
// empty text.
class LanguageTexts {
public:
    void Clear() { lines_.clear(); }
    // Appends the line key + "=" + text.
    void Append(QStringView key, QStringView text);
    // The text of the first line whose part before its first "=" is key
    // (exactly, case included); empty when there is none. A text holding "="
    // stays whole.
    QString Value(QStringView key) const;
    const QStringList &Lines() const { return lines_; }
    bool IsEmpty() const { return lines_.isEmpty(); }

private:
    QStringList lines_;
};

// dataDir + "/Language/" + languageName + "/Language.xml".
QString LanguageFilePath(const QString &dataDir, const QString &languageName);

// Steps 1 to 4 and 6 of ApplyLanguage: empties texts; reads fileName (a
// missing file raises XmlError " 文件没有找到,加载xml失败" after the name and
// leaves texts empty and messages as they were); appends one line per key of
// LanguageKeys with the text of element LanguageSet/<key> (empty when the
// element is missing, the root is not LanguageSet or the file is not
// well-formed); then gives each of the 23 messages of those keys its key's
// text, and each message added after the 52 the text of its element (when
// that is missing or empty: the text of the program's own copy of the same
// language, as named by the file's folder, else its built-in text).
void LoadLanguage(const QString &fileName, LanguageTexts &texts,
                  MessageTextTable &messages = MessageTexts);

} // namespace lumora
