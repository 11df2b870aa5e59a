#include "config/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumora {

QStringList QtTranslationFolders(const QString &exeDir) {
    return {QDir(exeDir).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
    }
}

bool QtTranslations::Apply(const QString &language, const QStringList &folders) {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    // A folder name that is no locale ("C") has no translations of Qt.
    const QLocale locale(language);
    if (locale.language() == QLocale::C) {
        return false;
    }
    auto translator = std::make_unique<QTranslator>();
    for (const QString &folder : folders) {
        // "qt_<locale>.qm" names Qt's modules' catalogues, loaded with it.
        if (translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator.get())) {
            translator_ = std::move(translator);
            return true;
        }
    }
    return false;
}

} // namespace lumora
