// Qt's own texts (the buttons, labels and columns of the file dialogs) in the
// teacher's language: Qt's translations for the language chosen, from a
// "translations" folder beside the program (as the Windows program ships
// them) or from Qt's own folder (Debian's qt6-translations-l10n).
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QTranslator;

namespace lumora {

// Where Qt's translations are looked for, in order: exeDir/translations, then
// Qt's translations folder.
QStringList QtTranslationFolders(const QString &exeDir);

class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations &) = delete;
    QtTranslations &operator=(const QtTranslations &) = delete;

    // Installs Qt's translations for language (a language folder's name,
    // "zh_CN") from the first of folders that has them, in place of those
    // installed before. False when none has them: Qt's texts are English then.
    bool Apply(const QString &language, const QStringList &folders);

private:
    std::unique_ptr<QTranslator> translator_;
};

} // namespace lumora
