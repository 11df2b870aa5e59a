// Runs an action in a child process that dies (SIGKILL) between writing the
// temporary file and replacing the target, as a crash or power cut would, or
// under limits the test process must not take on itself. (Windows: see below.)
#pragma once

#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <functional>

#ifdef _WIN32

// On Windows (under Wine) there is no fork: the "crash" is an exception
// thrown from the hook, which leaves the write where it stands, as a crash
// would leave its files; nothing of the write runs after it.
namespace lumora::test {

struct Crashed {};

inline void DieNow() {
    throw Crashed{};
}

// True when the action was stopped inside the write, as intended.
inline bool RunAndCrashBeforeReplace(const std::function<void()> &action) {
    SetBeforeReplaceHookForTesting(&DieNow);
    bool crashed = false;
    try {
        action();
    } catch (const Crashed &) {
        crashed = true;
    }
    SetBeforeReplaceHookForTesting(nullptr);
    return crashed;
}

// True when action was stopped inside (a hook of its own that calls DieNow).
inline bool RunAndCrash(const std::function<void()> &action) {
    try {
        action();
    } catch (const Crashed &) {
        return true;
    }
    return false;
}

} // namespace lumora::test

#else

#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumora::test {

inline void DieNow() {
    ::kill(::getpid(), SIGKILL);
}

// True when the child was killed inside the write, as intended.
inline bool RunAndCrashBeforeReplace(const std::function<void()> &action) {
    const pid_t child = ::fork();
    if (child == 0) {
        SetBeforeReplaceHookForTesting(&DieNow);
        action();
        ::_exit(0); // the write never reached its hook
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// True when the child was killed by SIGKILL inside action (a hook of its own).
inline bool RunAndCrash(const std::function<void()> &action) {
    const pid_t child = ::fork();
    if (child == 0) {
        action();
        ::_exit(0); // the hook was never reached
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Runs action in a child process; its result as the child's exit code, or -1
// when the child did not exit normally.
inline int RunInChild(const std::function<int()> &action) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(action());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace lumora::test

#endif
