// The layout settings panel of the main window's view area: the pane count
// of the live view, the seat grid's columns and rows, the language, the
// roster import's file with the form its lines take, and the display: the
// scale of the whole window (from the next start) and the screen the window
// is on. It shows the configuration when opened and writes the teacher's
// choices back into it when saved; the window saves the file and applies the
// layout.
#pragma once

#include "config/Config.h"
#include "config/LanguageTexts.h"

#include <QKeySequence>
#include <QString>
#include <QWidget>

#include <vector>

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

    // The scales offered (in percent) with chosen selected.
    void ShowScales(const std::vector<int> &scales, int chosen);
    // The scale chosen, in percent.
    int ChosenScale() const;
    // The window is on screen (from 0) of screens; the button that moves it
    // on works when there is another.
    void ShowScreen(int screen, int screens);
    // The key that moves the window, shown in the button's tooltip.
    void SetNextScreenKeys(const QKeySequence &keys);

    // Captions of the current language; labels end 10 pixels left of the
    // input column.
    void UpdateTexts(const LanguageTexts &texts);

Q_SIGNALS:
    void SaveClicked();
    void BrowseClicked();
    void NextScreenClicked();

private:
    // The texts added since the language keys, from the message texts.
    void ShowAddedTexts();

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
    QLabel *lblImportFormat_ = nullptr;
    QGroupBox *grp5_ = nullptr;
    QLabel *lbl12_ = nullptr;
    QComboBox *cbbScale_ = nullptr;
    QLabel *lblScaleNote_ = nullptr;
    QLabel *lbl13_ = nullptr;
    QLabel *lblScreen_ = nullptr;
    TImageButton *btnNextScreen_ = nullptr;
    TImageButton *btnSave_ = nullptr;
    int screen_ = 0;
    int screens_ = 1;
    QKeySequence nextScreenKeys_;
};

} // namespace lumora
