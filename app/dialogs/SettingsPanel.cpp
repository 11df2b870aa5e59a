#include "dialogs/SettingsPanel.h"

#include "controls/SkinButton.h"
#include "core/MessageTexts.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace lumora {

namespace {

// Pane counts in the order of the pane-count choice.
constexpr int kPaneChoices[] = {4, 6, 9};
constexpr int kScreenHeight720 = 720;
const QColor kNoteText(90, 100, 112);

QString ScaleText(int percent) {
    return QStringLiteral("%1 %").arg(percent);
}

} // namespace

TSettingsPanel::TSettingsPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlSet"));
    setFixedSize(420, 530);
    const auto group = [this](const char *name, const char16_t *title, int top, int height) {
        auto *box = new QGroupBox(QString::fromUtf16(title), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(10, top, 400, height);
        return box;
    };
    const auto label = [](QWidget *parent, const char *name, const char16_t *text, int top) {
        auto *l = new QLabel(QString::fromUtf16(text), parent);
        l->setObjectName(QString::fromLatin1(name));
        l->adjustSize();
        l->move(170 - l->width() - 10, top + 3);
        return l;
    };
    grp1_ = group("grp1", u"浏览界面设置", 0, 60);
    lbl11_ = label(grp1_, "lbl11", u"主观题显示分屏", 24);
    cbb1_ = new QComboBox(grp1_);
    cbb1_->setObjectName(QStringLiteral("cbb1"));
    cbb1_->addItems({QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("9")});
    cbb1_->setCurrentIndex(-1); // chosen when the panel opens
    cbb1_->setGeometry(170, 24, 120, 22);

    grp2_ = group("grp2", u"主界面设置", 70, 90);
    lbl9_ = label(grp2_, "lbl9", u"横向座位数", 24);
    se1_ = new QSpinBox(grp2_);
    se1_->setObjectName(QStringLiteral("se1"));
    se1_->setRange(4, 10);
    se1_->setValue(8);
    se1_->setGeometry(170, 24, 120, 22);
    lbl10_ = label(grp2_, "lbl10", u"纵向座位数", 56);
    se2_ = new QSpinBox(grp2_);
    se2_->setObjectName(QStringLiteral("se2"));
    se2_->setRange(4, 10);
    se2_->setValue(7);
    se2_->setGeometry(170, 56, 120, 22);

    grp3_ = group("grp3", u"语言设置", 170, 60);
    lbl3_ = label(grp3_, "lbl3", u"选择语言", 24);
    cbb3_ = new QComboBox(grp3_);
    cbb3_->setObjectName(QStringLiteral("cbb3"));
    cbb3_->setGeometry(170, 24, 120, 22);

    grp4_ = group("grp4", u"其他设置", 240, 100);
    lbl4_ = label(grp4_, "lbl4", u"从文件导入学生信息", 24);
    edtFilePath_ = new QLineEdit(grp4_);
    edtFilePath_->setObjectName(QStringLiteral("edtFilePath"));
    edtFilePath_->setGeometry(170, 24, 170, 22);
    auto *browse = new TImageButton(grp4_);
    browse->setObjectName(QStringLiteral("btn2"));
    SetSkinPictures(browse, QStringLiteral("btnDialog"));
    browse->SetStretch(true);
    browse->SetCaption(QStringLiteral("..."));
    browse->setGeometry(346, 23, 40, 24);
    // The form the file's lines take, where the teacher chooses it.
    lblImportFormat_ = new QLabel(grp4_);
    lblImportFormat_->setObjectName(QStringLiteral("lblImportFormat"));
    lblImportFormat_->setGeometry(20, 54, 366, 36);
    lblImportFormat_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblImportFormat_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    grp5_ = group("grp5", u"显示设置", 350, 134);
    lbl12_ = label(grp5_, "lbl12", u"显示比例", 24);
    cbbScale_ = new QComboBox(grp5_);
    cbbScale_->setObjectName(QStringLiteral("cbbScale"));
    cbbScale_->setGeometry(170, 24, 120, 22);
    lblScaleNote_ = new QLabel(grp5_);
    lblScaleNote_->setObjectName(QStringLiteral("lblScaleNote"));
    lblScaleNote_->setGeometry(170, 48, 220, 18);
    QPalette note = lblScaleNote_->palette();
    note.setColor(QPalette::WindowText, kNoteText);
    lblScaleNote_->setPalette(note);
    lbl13_ = label(grp5_, "lbl13", u"窗口所在屏幕", 74);
    lblScreen_ = new QLabel(grp5_);
    lblScreen_->setObjectName(QStringLiteral("lblScreen"));
    lblScreen_->setGeometry(170, 77, 220, 18);
    btnNextScreen_ = new TImageButton(grp5_);
    btnNextScreen_->setObjectName(QStringLiteral("btnNextScreen"));
    SetSkinPictures(btnNextScreen_, QStringLiteral("btnDialog"));
    btnNextScreen_->SetStretch(true);
    btnNextScreen_->setGeometry(170, 100, 170, 24);

    btnSave_ = new TImageButton(this);
    btnSave_->setObjectName(QStringLiteral("btn1"));
    SetSkinPictures(btnSave_, QStringLiteral("btnDialog"));
    btnSave_->SetCaption(QStringLiteral("保存"));
    btnSave_->setGeometry(186, 496, 48, 24);

    connect(btnSave_, &TBaseButton::OnClick, this, &TSettingsPanel::SaveClicked);
    connect(browse, &TBaseButton::OnClick, this, &TSettingsPanel::BrowseClicked);
    connect(btnNextScreen_, &TBaseButton::OnClick, this, &TSettingsPanel::NextScreenClicked);
    ShowScales({100}, 100);
    ShowAddedTexts();
}

void TSettingsPanel::Open(const Config &config, const QString &dataDir, int screenHeight) {
    for (int i = 0; i < 3; ++i) {
        if (config.Split == kPaneChoices[i]) {
            cbb1_->setCurrentIndex(i);
        }
    }
    se1_->setValue(config.MainLine);
    if (screenHeight == kScreenHeight720) {
        se2_->setMaximum(kMaxRowsOn720Screen);
    }
    se2_->setValue(config.MainRow);

    cbb3_->clear();
    const QDir languages(QDir(dataDir).filePath(QStringLiteral("Language")));
    cbb3_->addItems(
        languages.entryList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted));
    if (cbb3_->count() > 0) {
        cbb3_->setCurrentIndex(0);
    }
    if (config.LanguageType >= 0 && config.LanguageType < cbb3_->count()) {
        cbb3_->setCurrentIndex(config.LanguageType);
    }
}

void TSettingsPanel::Apply(Config &config) const {
    const int language = cbb3_->currentIndex();
    if (language >= 0) {
        config.LanguageType = language;
    }
    config.MainLine = se1_->value();
    config.MainRow = se2_->value();
    if (language >= 0 && !cbb3_->currentText().isEmpty()) {
        config.LanguageName = cbb3_->currentText();
    }
    if (cbb1_->currentIndex() >= 0) {
        config.Split = kPaneChoices[cbb1_->currentIndex()];
    }
}

QString TSettingsPanel::ChosenLanguage() const {
    return cbb3_->currentText();
}

QString TSettingsPanel::ImportPath() const {
    return edtFilePath_->text();
}

void TSettingsPanel::SetImportPath(const QString &path) {
    edtFilePath_->setText(QDir::toNativeSeparators(path));
}

void TSettingsPanel::ShowScales(const std::vector<int> &scales, int chosen) {
    cbbScale_->clear();
    for (const int percent : scales) {
        cbbScale_->addItem(ScaleText(percent), percent);
    }
    cbbScale_->setCurrentIndex(cbbScale_->findData(chosen));
}

int TSettingsPanel::ChosenScale() const {
    return cbbScale_->currentIndex() >= 0 ? cbbScale_->currentData().toInt() : 100;
}

void TSettingsPanel::ShowScreen(int screen, int screens) {
    screen_ = screen;
    screens_ = screens;
    lblScreen_->setText(FormatMessage(MessageTexts[MessageKey::ScreenNumber],
                                      {QString::number(screen + 1), QString::number(screens)}));
    btnNextScreen_->setEnabled(screens > 1);
}

void TSettingsPanel::SetNextScreenKeys(const QKeySequence &keys) {
    nextScreenKeys_ = keys;
    btnNextScreen_->setToolTip(MessageTexts[MessageKey::NextScreen] + QStringLiteral(" (") +
                               keys.toString(QKeySequence::NativeText) + u')');
}

void TSettingsPanel::ShowAddedTexts() {
    lblImportFormat_->setText(MessageTexts[MessageKey::ImportFormat]);
    grp5_->setTitle(MessageTexts[MessageKey::DisplaySet]);
    lbl12_->setText(MessageTexts[MessageKey::DisplayScale]);
    lblScaleNote_->setText(MessageTexts[MessageKey::DisplayScaleNote]);
    lbl13_->setText(MessageTexts[MessageKey::DisplayScreen]);
    btnNextScreen_->SetCaption(MessageTexts[MessageKey::NextScreen]);
    ShowScreen(screen_, screens_);
    SetNextScreenKeys(nextScreenKeys_);
}

void TSettingsPanel::UpdateTexts(const LanguageTexts &texts) {
    const auto text = [&texts](const char *key) { return texts.Value(QString::fromLatin1(key)); };
    grp1_->setTitle(text("ViewSet"));
    grp2_->setTitle(text("MainInterfaceSet"));
    grp3_->setTitle(text("LanSet"));
    grp4_->setTitle(text("OtherSet"));
    lbl11_->setText(text("SplitSet"));
    lbl9_->setText(text("LineNum"));
    lbl10_->setText(text("RowNum"));
    lbl3_->setText(text("SelLanguage"));
    lbl4_->setText(text("LoadStdInfo"));
    btnSave_->SetCaption(MessageTexts[MessageKey::Tip9]);
    ShowAddedTexts();
    for (QLabel *label : {lbl11_, lbl9_, lbl10_, lbl3_, lbl4_, lbl12_, lbl13_}) {
        label->adjustSize();
        label->move(cbb1_->x() - label->width() - 10, label->y());
    }
}

} // namespace lumora
