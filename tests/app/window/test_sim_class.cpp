// A simulated class answering and writing while the teacher switches question
// types, answer states and views: the reader thread and the window share the
// table, the session words and the panes (run under ThreadSanitizer too).
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "views/ResultChart.h"

#include <QDeadlineTimer>

namespace lumora::test {
namespace {

class SimulatedClass : public WindowTest {};

TEST_F(SimulatedClass, SwitchingWhileTheClassAnswersAndWrites) {
    WriteConfig(4, 3, 9);
    WriteRoster(NumberedClass(12));
    UseReceiver("sim:tablets=12,writing=12,seed=7");
    DialogAnswer answer([](TFrmSetName &dialog) {
        Type(dialog, "edtName", QStringLiteral("a"));
        Click(dialog, "btn1");
    });
    TFrmMain &w = Start();
    ASSERT_TRUE(w.Started());

    const std::vector<const char *> steps = {
        "SingleChoice",       "UnderWay",    "LiveView",      "multipleChoice", "AlreadyOver",
        "Statisticalresults", "NotStarted",  "EssayQuestion", "LiveView",       "UnderWay",
        "MainInterface",      "AlreadyOver", "NotStarted",    "SingleChoice",   "EssayQuestion"};
    bool answered = false;
    bool wrote = false;
    bool linked = false;
    bool charted = false;
    // Round after round until the class has answered, written and been
    // seen, within a generous deadline.
    const QDeadlineTimer deadline(30000);
    int rounds = 0;
    while (!(answered && wrote && linked && charted && rounds >= 2) && !deadline.hasExpired()) {
        for (const char *step : steps) {
            Choose(step);
            WaitFor([] { return false; }, 150);
            for (int i = 0; i < 12; ++i) {
                answered |= !w.AnswerGrid->GetTile(i)->AnswerText().isEmpty();
                wrote |= InkPixels(w.LiveGrid->GetTile(i)->InkPicture()) > 0;
                linked |= w.SeatGrid->GetTile(i)->TileImage()->Picture() == LinkedPicture();
            }
            charted |= !w.Chart()->BarLabels().isEmpty();
            if (answered && wrote && QLatin1String(step) == QLatin1String("EssayQuestion")) {
                Shot(&w, QStringLiteral("simulated-class"));
            }
        }
        ++rounds;
    }
    EXPECT_TRUE(answered) << "no answer reached the answer grid";
    EXPECT_TRUE(wrote) << "no pane got ink";
    EXPECT_TRUE(linked) << "no seat was shown as heard from";
    EXPECT_TRUE(charted) << "no chart was built";
    EXPECT_TRUE(Control<QWidget>("btnUsbState")->isEnabled());
}

} // namespace
} // namespace lumora::test
