// The end of a Windows session (log-off, shut-down) ends the program like a
// close, and its saves are on disk before the message that says so returns:
// Windows may end the process right after. Sent from another thread, as the
// system's messages come from outside the program. Windows need a display:
// under Wine without one (its null driver makes no window) the tests are
// skipped; under Xvfb they run (xvfb-run -a ctest ...).
#include "platform/AtomicFile.h"
#include "platform/TerminationSignals.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include <windows.h>

namespace lumora {
namespace {

using test::DataDir;

struct Answers {
    LRESULT query = 0;
    bool savedWhenEndReturned = false;
};

// Sends the session's two messages to window as the system does and notes
// what they found.
Answers EndTheSession(HWND window, const DataDir &dir) {
    Answers answers;
    answers.query = ::SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    answers.savedWhenEndReturned = dir.Exists("Config.ini");
    return answers;
}

TEST(SessionEnd, TheCloseItStartsHasSavedWhenWmEndSessionReturns) {
    int argc = 1;
    char name[] = "test_platform";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    DataDir dir;
    TerminationSignals termination;
    if (!termination.Installed()) {
        GTEST_SKIP() << "no window can be made here (Wine without a display)";
    }
    const HWND window = ::FindWindowW(L"LumoraSessionEnd", nullptr);
    ASSERT_NE(window, nullptr);

    // As the program's window does: the signal starts a close that runs
    // later, from the event loop, saves and quits.
    int terminations = 0;
    QObject::connect(&termination, &TerminationSignals::Terminate, &app, [&] {
        ++terminations;
        QTimer::singleShot(200, &app, [&] {
            WriteFileAtomically(dir.File("Config.ini"), "saved at the end");
            QCoreApplication::quit();
        });
    });
    Answers answers;
    std::thread system;
    QTimer::singleShot(
        0, &app, [&] { system = std::thread([&] { answers = EndTheSession(window, dir); }); });
    QCoreApplication::exec();
    system.join();

    EXPECT_EQ(answers.query, TRUE) << "the session may end";
    EXPECT_TRUE(answers.savedWhenEndReturned);
    EXPECT_EQ(dir.Read("Config.ini"), "saved at the end");
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(termination.Received(), SIGTERM);
}

TEST(SessionEnd, ASessionThatGoesOnEndsNothing) {
    int argc = 1;
    char name[] = "test_platform";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    TerminationSignals termination;
    if (!termination.Installed()) {
        GTEST_SKIP() << "no window can be made here (Wine without a display)";
    }
    const HWND window = ::FindWindowW(L"LumoraSessionEnd", nullptr);
    ASSERT_NE(window, nullptr);
    int terminations = 0;
    QObject::connect(&termination, &TerminationSignals::Terminate, &app, [&] { ++terminations; });
    // Another program refused: the session goes on (WM_ENDSESSION with FALSE).
    EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    ::SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(terminations, 0);
    EXPECT_EQ(termination.Received(), 0);
}

} // namespace
} // namespace lumora
