// A small check harness for the Windows programs that run under Wine, where
// no test framework is built: named groups of checks, a failure line for each
// failed check, and "N passed, N failed" as the last line.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace wincheck {

struct Tally {
    int passed = 0;
    int failed = 0;
    std::string group;
};

inline Tally &Current() {
    static Tally tally;
    return tally;
}

inline bool Check(bool ok, const char *what, const char *file, int line) {
    Tally &tally = Current();
    if (ok) {
        ++tally.passed;
    } else {
        ++tally.failed;
        std::printf("FAILED [%s] %s:%d: %s\n", tally.group.c_str(), file, line, what);
    }
    return ok;
}

template <class A, class B>
bool CheckEqual(const A &actual, const B &expected, const char *what, const char *file, int line) {
    if (actual == expected) {
        return Check(true, what, file, line);
    }
    Check(false, what, file, line);
    std::printf("    actual %lld, expected %lld\n", static_cast<long long>(actual),
                static_cast<long long>(expected));
    return false;
}

struct Group {
    const char *name;
    std::function<void()> run;
};

// Runs every group in order and prints the closing line; the exit code.
inline int RunGroups(const std::vector<Group> &groups) {
    for (const Group &group : groups) {
        Current().group = group.name;
        const int failedBefore = Current().failed;
        group.run();
        std::printf("%s %s\n", Current().failed == failedBefore ? "ok  " : "FAIL", group.name);
    }
    std::printf("%d passed, %d failed\n", Current().passed, Current().failed);
    std::fflush(stdout);
    return Current().failed == 0 ? 0 : 1;
}

} // namespace wincheck

#define CHECK(condition) ::wincheck::Check((condition), #condition, __FILE__, __LINE__)
#define CHECK_EQ(actual, expected)                                                                 \
    ::wincheck::CheckEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
