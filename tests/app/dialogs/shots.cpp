// lumora_dialog_shots DIR [en]: saves a picture of each dialog as it appears
// (grabbed while it is shown, then cancelled), for looking at them, with the
// texts of the shipped Chinese (or, with "en", English) language file; the
// file dialogs of the import and the export with Qt's texts in that language.
#include "config/LanguageTexts.h"
#include "config/QtTranslations.h"
#include "config/SlotTable.h"
#include "core/MessageTexts.h"
#include "dialogs/OpenFile.h"
#include "dialogs/ClassDialog.h"
#include "dialogs/UnSetName.h"
#include "record/ExportName.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

using namespace lumora;

namespace {

// The dialog as the screen shows it: outside the window mask is the desktop.
QImage Picture(QWidget &dialog) {
    QImage image(dialog.size() + QSize(16, 16), QImage::Format_RGB32);
    image.fill(QColor(60, 60, 60));
    QPainter painter(&image);
    painter.setClipRegion(dialog.mask().translated(8, 8));
    painter.drawPixmap(8, 8, dialog.grab());
    return image;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumora_dialog_shots DIR [en]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    const bool english = argc > 2 && QByteArray(argv[2]) == "en";

    LanguageTexts texts;
    LoadLanguage(QStringLiteral(LUMORA_LANGUAGE_DIR) +
                     (english ? QStringLiteral("/en_US/Language.xml")
                              : QStringLiteral("/zh_CN/Language.xml")),
                 texts);

    QString name;
    SetDialogResponder([&](TFrmSetName &dialog) {
        QApplication::processEvents();
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (Picture(dialog).save(path))
            std::printf("%s\n", qPrintable(path));
    });

    const QString longText = english
                                 ? QStringLiteral("Import students from the file and replace the "
                                                  "current list?")
                                 : QStringLiteral("确定从文件中导入信息并覆盖吗? 当前的学生"
                                                  "列表将被文件中的学生替换。");
    const QString shortText =
        english ? QStringLiteral("Exit the program?") : QStringLiteral("确定退出系统吗?");
    name = QStringLiteral("prompt_short_cancel");
    ShowPrompt(QStringLiteral("Vote System"), shortText, true);
    name = QStringLiteral("prompt_short_ok");
    ShowPrompt(QStringLiteral("Error"), MessageTexts[MessageKey::Error3], false);
    name = QStringLiteral("prompt_long_cancel");
    ShowPrompt(QStringLiteral("Warning"), longText, true);
    name = QStringLiteral("prompt_long_ok");
    ShowPrompt(QStringLiteral("Error"), longText, false);

    name = QStringLiteral("seat_count");
    AskSeatCount(texts);
    name = QStringLiteral("seat_association");
    AskSeatAssociation(english ? QStringLiteral("Alice Brown") : QStringLiteral("王小明"), 12);
    SlotTable table;
    table[0].Name = english ? QStringLiteral("Alice Brown") : QStringLiteral("王小明");
    table[0].CardID = 12;
    table[1].Name = english ? QStringLiteral("Ben Clark") : QStringLiteral("李华");
    table[1].CardID = 13;
    table.SetCount(2);
    name = QStringLiteral("student_association");
    AskStudentAssociation(table);
    name = QStringLiteral("answer_entry");
    AskAnswer(texts, false);

    // Qt's own file dialogs, as the import and the export open them.
    QtTranslations qtTexts;
    qtTexts.Apply(english ? QStringLiteral("en_US") : QStringLiteral("zh_CN"),
                  QtTranslationFolders(QCoreApplication::applicationDirPath()));
    const auto grabFileDialog = [&](const QString &file) {
        QTimer::singleShot(500, [&, file] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                const QString path = dir + QLatin1Char('/') + file + QStringLiteral(".png");
                if (dialog->grab().save(path))
                    std::printf("%s\n", qPrintable(path));
                dialog->reject();
            }
        });
    };
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    grabFileDialog(QStringLiteral("import_file"));
    AskOpenFile(nullptr, texts.Value(u"LoadStdInfo"), documents,
                MessageTexts[MessageKey::ImportFiles] + QStringLiteral(" (*.txt *.csv)"));
    grabFileDialog(QStringLiteral("export_file"));
    QFileDialog::getSaveFileName(nullptr, MessageTexts[MessageKey::ExportXlsx],
                                 SuggestedExportPath(documents, QDir::homePath(),
                                                     MessageTexts[MessageKey::ExportFileName],
                                                     QDate(2026, 12, 8), 3, QStringLiteral("xlsx")),
                                 QStringLiteral("Excel (*.xlsx)"));
    SetClassDialogResponder([&](TFrmClassName &dialog) {
        QApplication::processEvents();
        const QString path = dir + QStringLiteral("/class_name.png");
        if (Picture(dialog).save(path))
            std::printf("%s\n", qPrintable(path));
    });
    AskClassName(MessageTexts[MessageKey::ClassRenameTitle],
                 english ? QStringLiteral("Year 8 B") : QStringLiteral("初二(3)班"),
                 english ? QStringLiteral("Maths") : QStringLiteral("数学"));
    return 0;
}
