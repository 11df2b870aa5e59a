// The layout settings panel of the main window's view area: the pane count
// of the live view, the seat grid's columns and rows, the language, and the
// roster import's file. It shows the configuration when opened and writes the
// teacher's choices back into it when saved; the window saves the file and
// applies the layout.
#pragma once

#include "config/Config.h"
#include "config/LanguageTexts.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumora {

class TImageButton;

class TSettingsPanel : public QWidget {
    Q_OBJECT
public:
    explicit TSettingsPanel(QWidget *parent = nullptr);

    // The controls show config; the language list holds every entry of
    // dataDir/Language but the hidden ones, in the file system's order. On a
    // 720-pixel-high screen the rows go no higher than fit.
    void Open(const Config &config, const QString &dataDir, int screenHeight);
    // The teacher's choices written into config: a choice left empty keeps
    // the value config has.
    void Apply(Config &config) const;
    // The language chosen, as the list names it (may be empty).
    QString ChosenLanguage() const;

    // The file of the last roster import, shown beside its button.
    QString ImportPath() const;
    void SetImportPath(const QString &path);

    // Captions of the current language; labels end 10 pixels left of the
    // input column.
    void UpdateTexts(const LanguageTexts &texts);

Q_SIGNALS:
    void SaveClicked();
    void BrowseClicked();

private:
    QGroupBox *grp1_ = nullptr;
    QGroupBox *grp2_ = nullptr;
    QGroupBox *grp3_ = nullptr;
    QGroupBox *grp4_ = nullptr;
    QLabel *lbl11_ = nullptr;
    QLabel *lbl9_ = nullptr;
    QLabel *lbl10_ = nullptr;
    QLabel *lbl3_ = nullptr;
    QLabel *lbl4_ = nullptr;
    QComboBox *cbb1_ = nullptr;
    QSpinBox *se1_ = nullptr;
    QSpinBox *se2_ = nullptr;
    QComboBox *cbb3_ = nullptr;
    QLineEdit *edtFilePath_ = nullptr;
    TImageButton *btnSave_ = nullptr;
};

} // namespace lumora
