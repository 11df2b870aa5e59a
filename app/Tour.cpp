#include "Tour.h"

#include "GroupBar.h"
#include "Main.h"
#include "config/UnSetName.h"
#include "controls/SkinButton.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace lumora {

namespace {

struct Step {
    int delayMs; // before the step runs
    std::function<void()> action;
};

void RunSteps(std::shared_ptr<std::vector<Step>> steps, size_t index) {
    if (index >= steps->size()) {
        return;
    }
    QTimer::singleShot((*steps)[index].delayMs, qApp, [steps, index] {
        (*steps)[index].action();
        RunSteps(steps, index + 1);
    });
}

} // namespace

void StartTour(TFrmMain &window, const QString &pictureDir) {
    QDir().mkpath(pictureDir);
    TFrmMain *w = &window;
    const auto click = [w](const char *key) { w->Item(QString::fromLatin1(key))->Click(); };
    const auto save = [w, pictureDir](const char *name) {
        const QString file = QDir(pictureDir).filePath(QString::fromLatin1(name));
        w->grab().save(file);
        std::printf("tour: %s\n", qPrintable(QDir::toNativeSeparators(file)));
        std::fflush(stdout);
    };
    // The tour answers its own dialogs: the answer key B, and OK to quitting.
    SetDialogResponder([](TFrmSetName &dialog) {
        if (auto *answer = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))) {
            answer->setText(QStringLiteral("B"));
        }
        if (auto *ok = dialog.findChild<TImageButton *>(QStringLiteral("btn1"))) {
            ok->Click();
        }
    });
    SetPromptResponder([](const QString &, const QString &, bool) { return true; });

    auto steps = std::make_shared<std::vector<Step>>(std::vector<Step>{
        // Tablets connect: the receiver reports within about a second.
        {2500, [=] { save("1-seat-grid.png"); }},
        {0, [=] { click("SingleChoice"); }},
        {0, [=] { click("NotStarted"); }},
        {0, [=] { click("UnderWay"); }},
        {7000, [=] { save("2-answer-grid.png"); }},
        {0, [=] { click("AlreadyOver"); }},
        {0, [=] { click("Statisticalresults"); }},
        {500, [=] { save("3-result-chart.png"); }},
        {0, [=] { click("EssayQuestion"); }},
        {0, [=] { click("NotStarted"); }},
        {8000, [=] { save("4-live-handwriting.png"); }},
        {0, [=] { click("LayoutSettings"); }},
        {300, [=] { save("5-settings.png"); }},
        {0, [=] { w->close(); }},
    });
    RunSteps(steps, 0);
}

} // namespace lumora
