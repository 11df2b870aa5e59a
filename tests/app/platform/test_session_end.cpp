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
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
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

// The application, the object and its hidden window, as the program has them.
class SessionEnd : public testing::Test {
protected:
    void SetUp() override {
        if (!termination_.Installed()) {
            GTEST_SKIP() << "no window can be made here (Wine without a display)";
        }
        window_ = ::FindWindowW(L"LumoraSessionEnd", nullptr);
        ASSERT_NE(window_, nullptr);
    }

    int argc_ = 1;
    char name_[14] = "test_platform";
    char *argv_[2] = {name_, nullptr};
    QCoreApplication app_{argc_, argv_};
    TerminationSignals termination_;
    HWND window_ = nullptr;
};

TEST_F(SessionEnd, TheCloseItStartsHasSavedWhenWmEndSessionReturns) {
    DataDir dir;
    // As the program's window does: the signal starts a close that runs
    // later, from the event loop, saves and quits.
    int terminations = 0;
    QObject::connect(&termination_, &TerminationSignals::Terminate, &app_, [&] {
        ++terminations;
        QTimer::singleShot(200, &app_, [&] {
            WriteFileAtomically(dir.File("Config.ini"), "saved at the end");
            QCoreApplication::quit();
        });
    });
    Answers answers;
    std::thread system;
    QTimer::singleShot(
        0, &app_, [&] { system = std::thread([&] { answers = EndTheSession(window_, dir); }); });
    QCoreApplication::exec();
    system.join();

    EXPECT_EQ(answers.query, TRUE) << "the session may end";
    EXPECT_TRUE(answers.savedWhenEndReturned);
    EXPECT_EQ(dir.Read("Config.ini"), "saved at the end");
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(termination_.Received(), SIGTERM);
}

// A dialog's loop inside the application's cannot end before the message
// returns, so the close cannot run: the saves are asked for at once.
TEST_F(SessionEnd, WhileADialogsLoopRunsTheSavesAreAskedForBeforeWmEndSessionReturns) {
    std::atomic<int> endingNow = 0;
    QObject::connect(&termination_, &TerminationSignals::EndingNow, &app_, [&] { ++endingNow; });
    int askedWhenEndReturned = -1;
    QEventLoop dialogLoop;
    std::thread system;
    QTimer::singleShot(0, &app_, [&] {
        QTimer::singleShot(0, &app_, [&] {
            system = std::thread([&] {
                ::SendMessageW(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
                ::SendMessageW(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                askedWhenEndReturned = endingNow;
                QMetaObject::invokeMethod(&dialogLoop, &QEventLoop::quit, Qt::QueuedConnection);
            });
        });
        dialogLoop.exec();
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    system.join();

    EXPECT_EQ(askedWhenEndReturned, 1);
    EXPECT_EQ(termination_.Received(), SIGTERM);
}

TEST_F(SessionEnd, ASessionThatGoesOnEndsNothing) {
    int terminations = 0;
    QObject::connect(&termination_, &TerminationSignals::Terminate, &app_, [&] { ++terminations; });
    // Another program refused: the session goes on (WM_ENDSESSION with FALSE).
    EXPECT_EQ(::SendMessageW(window_, WM_QUERYENDSESSION, 0, 0), TRUE);
    ::SendMessageW(window_, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(terminations, 0);
    EXPECT_EQ(termination_.Received(), 0);
}

} // namespace
} // namespace lumora
