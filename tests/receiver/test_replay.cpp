#include "CallbackRecorder.h"
#include "DiagnosticsCollector.h"
#include "Receiver.h"
#include "ReplayBackend.h"
#include "VirtualClock.h"
#include "penlynx.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace penlynx {
namespace {

using test::Call;
using test::CallbackRecorder;
using test::DiagnosticsCollector;

std::filesystem::path TempFile(const std::string &name) {
    return std::filesystem::temp_directory_path() /
           (name + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

void WriteFile(const std::filesystem::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::string &value) : name_(name) {
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { unsetenv(name_); }

private:
    const char *name_;
};

TEST(ReplayParse, ReadsEveryKindOfLineAndSkipsMalformedOnesByNumber) {
    DiagnosticsCollector diagnostics;
    const ReplayScript script = ParseReplay("# a comment\n"
                                            "\n"
                                            "00 0c ff ff ff 03 07 00 44 44 12 12 07 00\n"
                                            "  wait 250  \r\n"
                                            "unplug\n"
                                            "wait 1000\n"
                                            "plug\n"
                                            "00 0G\n"
                                            "wait\n"
                                            "wait -4\n"
                                            "wait 12ms\n"
                                            "plug now\n"
                                            "0 06\n"
                                            "000 6\n"
                                            "\t01\t02\n",
                                            "lesson.txt");
    ASSERT_EQ(script.size(), 4u);
    EXPECT_EQ(script[0].kind, ReplayItem::Report);
    EXPECT_EQ(script[0].at, Micros(0));
    EXPECT_EQ(script[0].bytes.size(), 14u);
    EXPECT_EQ(script[0].bytes[2], 0xFF);
    EXPECT_EQ(script[1].kind, ReplayItem::Unplug);
    EXPECT_EQ(script[1].at, Millis(250));
    EXPECT_EQ(script[2].kind, ReplayItem::Plug);
    EXPECT_EQ(script[2].at, Millis(1250));
    EXPECT_EQ(script[3].bytes, (std::vector<uint8_t>{1, 2}));
    ASSERT_EQ(diagnostics.lines.size(), 7u);
    const int lines[] = {8, 9, 10, 11, 12, 13, 14};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(diagnostics.lines[i].rfind("lesson.txt:" + std::to_string(lines[i]) + ": ", 0),
                  0u)
            << diagnostics.lines[i];
    }
}

// A file of garbage names its first bad lines and counts the rest.
TEST(ReplayParse, ManyMalformedLinesAreNamedUpToALimitThenCounted) {
    for (const size_t bad : {kMalformedLinesNamed, kMalformedLinesNamed + 1, size_t{5000}}) {
        DiagnosticsCollector diagnostics;
        std::string text;
        for (size_t i = 0; i < bad; ++i) {
            text += "zz\n";
        }
        ParseReplay(text + "00 01\n", "r.txt");
        const size_t named = std::min(bad, kMalformedLinesNamed);
        ASSERT_EQ(diagnostics.lines.size(), named + (bad > named ? 1 : 0)) << bad;
        EXPECT_NE(diagnostics.lines[named - 1].find("r.txt:" + std::to_string(named) + ":"),
                  std::string::npos);
        if (bad > named) {
            EXPECT_NE(diagnostics.lines.back().find(std::to_string(bad - named) +
                                                    " more malformed lines skipped"),
                      std::string::npos)
                << diagnostics.lines.back();
        }
    }
}

TEST(ReplayParse, ControlBytesFromTheFileReachNoTerminal) {
    DiagnosticsCollector diagnostics;
    using namespace std::string_literals;
    ParseReplay("00 \x1b]0;owned\x07\x1b[2J\n"
                "wait \x9b"
                "31m\n"
                "plug \r\x00x\n"s,
                "lesson\x1b.txt");
    ASSERT_EQ(diagnostics.lines.size(), 3u);
    for (const std::string &line : diagnostics.lines) {
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_FALSE(byte < 0x20 || byte == 0x7F || byte >= 0x80) << line;
        }
    }
    EXPECT_EQ(diagnostics.lines[0].rfind("lesson\\x1B.txt:1: '\\x1B]0;owned\\x07\\x1B[2J' ", 0), 0u)
        << diagnostics.lines[0];
}

TEST(Diagnostics, EscapesControlsAndInvalidBytesAndKeepsText) {
    struct Case {
        std::string in, out;
    } const cases[] = {
        {"plain text, C:\\path\\file", "plain text, C:\\path\\file"},
        {"\xE5\xAD\xA6\xE7\x94\x9F \xF0\x9F\x96\x8A", "\xE5\xAD\xA6\xE7\x94\x9F \xF0\x9F\x96\x8A"},
        {"a\x1b[31mb", "a\\x1B[31mb"},
        {std::string("nul\0!", 5), "nul\\x00!"},
        {"tab\there\r\n", "tab\\x09here\\x0D\\x0A"},
        {"del\x7f", "del\\x7F"},
        {"c1 \xC2\x9B"
         "2J",
         "c1 \\xC2\\x9B2J"}, // CSI as a UTF-8 character
        {"raw \x9B"
         "2J",
         "raw \\x9B2J"}, // CSI as a single byte
        {"\xFF\xFE", "\\xFF\\xFE"},
        {"overlong \xC0\xAF", "overlong \\xC0\\xAF"},
        {"surrogate \xED\xA0\x80", "surrogate \\xED\\xA0\\x80"},
        {"cut \xE5\xAD", "cut \\xE5\\xAD"},
        {"\xC2\xA0nbsp", "\xC2\xA0nbsp"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(EscapeControls(c.in), c.out) << c.out;
    }
}

TEST(ReplayParse, RefusesReportsLongerThanTheBuffer) {
    DiagnosticsCollector diagnostics;
    std::string line;
    for (int i = 0; i < 1025; ++i) {
        line += "00 ";
    }
    EXPECT_TRUE(ParseReplay(line, "long").empty());
    ASSERT_EQ(diagnostics.lines.size(), 1u);
    EXPECT_NE(diagnostics.lines[0].find("1024"), std::string::npos);
}

class ReplayFileTest : public ::testing::Test {
protected:
    void SetUp() override { CallbackRecorder::Take(); }
    void TearDown() override { SDKClear(); }
    // A fresh instance on the virtual clock, searched once with the current
    // environment.
    int IniAndSearch() {
        EXPECT_EQ(SDKIni(100, 100), 1);
        CurrentInstance()->clock = &clock;
        return SDKGetID();
    }
    test::VirtualClock clock;
};

// A named pipe and an endless device are refused at once (an alarm ends the
// test should the open or the read ever wait).
TEST_F(ReplayFileTest, AFileThatCannotBeReadMeansNoReceiverAndSaysWhy) {
    const std::filesystem::path directory = TempFile("replay-dir");
    std::filesystem::create_directories(directory);
    std::vector<std::string> unreadable = {"/nonexistent/lesson.txt", directory.string()};
    const std::string pipe = (directory / "pipe").string();
    const std::string zero = (directory / "zero").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    unreadable.push_back(pipe);
    if (::mknod(zero.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0) {
        unreadable.push_back(zero);
    } else {
        std::printf("skipped the device: this machine does not allow making it\n");
    }
    ::alarm(60);
    for (const std::string &path : unreadable) {
        DiagnosticsCollector diagnostics;
        ScopedEnv receiver("PENLYNX_RECEIVER", "replay:" + path);
        EXPECT_EQ(IniAndSearch(), PENLYNX_SEARCH_NONE) << path;
        ASSERT_EQ(diagnostics.lines.size(), 1u);
        EXPECT_NE(diagnostics.lines[0].find("cannot read replay file '" + path + "'"),
                  std::string::npos)
            << diagnostics.lines[0];
        // The next search says nothing new.
        EXPECT_EQ(SDKGetID(), PENLYNX_SEARCH_NONE);
        EXPECT_EQ(diagnostics.lines.size(), 1u);
        SDKClear();
    }
    ::alarm(0);
    std::filesystem::remove_all(directory);
}

TEST_F(ReplayFileTest, AnUnknownBackendMeansNoReceiverAndSaysWhy) {
    DiagnosticsCollector diagnostics;
    ScopedEnv receiver("PENLYNX_RECEIVER", "usb3");
    EXPECT_EQ(IniAndSearch(), PENLYNX_SEARCH_NONE);
    ASSERT_EQ(diagnostics.lines.size(), 1u);
    EXPECT_NE(diagnostics.lines[0].find("usb3"), std::string::npos);
}

TEST_F(ReplayFileTest, AFileOnDiskPlaysToTheCallbacks) {
    const std::filesystem::path path = TempFile("replay");
    WriteFile(path, "wait 100\n00 06 FF FF FF 01 03 00\nbad\nwait 100\n00 06 FF FF FF 02 03 00\n");
    DiagnosticsCollector diagnostics;
    ScopedEnv receiver("PENLYNX_RECEIVER", "replay:" + path.string());
    EXPECT_EQ(IniAndSearch(), PENLYNX_SEARCH_FOUND);
    ASSERT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, &CallbackRecorder::OnState), 2);
    ASSERT_TRUE(clock.RunUntil(Millis(2300)));
    const std::vector<Call> expected = {test::StateCall(1), test::StateCall(3),
                                        test::TabletCall(1, 256, 3, EVENT_KEY),
                                        test::TabletCall(2, 256, 3, EVENT_KEY), test::StateCall(1)};
    EXPECT_EQ(CallbackRecorder::Take(), expected);
    // The malformed line was said once, when the file was loaded.
    ASSERT_EQ(diagnostics.lines.size(), 1u);
    EXPECT_EQ(diagnostics.lines[0].rfind(path.string() + ":3: ", 0), 0u);
    std::filesystem::remove(path);
}

// Runs a receiver for `ms` of virtual time, capturing it when a capture path
// is given, and returns the callbacks.
std::vector<Call> RunAndRecord(const std::string &receiverSpec,
                               const std::filesystem::path &capture, int ms) {
    test::VirtualClock clock;
    ScopedEnv receiver("PENLYNX_RECEIVER", receiverSpec);
    std::unique_ptr<ScopedEnv> capturing;
    if (!capture.empty()) {
        capturing = std::make_unique<ScopedEnv>("PENLYNX_CAPTURE", capture.string());
    }
    EXPECT_EQ(SDKIni(100, 100), 1);
    CurrentInstance()->clock = &clock;
    EXPECT_EQ(SDKGetID(), PENLYNX_SEARCH_FOUND);
    EXPECT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, &CallbackRecorder::OnState), 2);
    EXPECT_TRUE(clock.RunUntil(Millis(ms)));
    SDKClear();
    return CallbackRecorder::Take();
}

TEST_F(ReplayFileTest, ACaptureReplaysToTheSameCallbacks) {
    const std::filesystem::path capture = TempFile("capture");
    std::filesystem::remove(capture);
    const std::vector<Call> live = RunAndRecord("sim:tablets=12,writing=4,seed=5", capture, 9000);
    ASSERT_GT(live.size(), 1000u);

    const std::string text = ReadFile(capture);
    EXPECT_EQ(text.rfind("# penlynx capture\n", 0), 0u);
    EXPECT_NE(text.find("\nwait "), std::string::npos);

    const std::vector<Call> replayed = RunAndRecord("replay:" + capture.string(), {}, 9000);
    ASSERT_EQ(replayed.size(), live.size());
    EXPECT_TRUE(replayed == live);
    std::filesystem::remove(capture);
}

TEST_F(ReplayFileTest, ACaptureNotesLossAndReturn) {
    const std::filesystem::path source = TempFile("source");
    const std::filesystem::path capture = TempFile("capture");
    std::filesystem::remove(capture);
    WriteFile(source, "00 06 FF FF FF 01 03 00\nwait 1500\nunplug\nwait 2000\nplug\n"
                      "wait 2000\n00 06 FF FF FF 02 03 00\n");
    RunAndRecord("replay:" + source.string(), capture, 8000);
    EXPECT_EQ(ReadFile(capture), "# penlynx capture\n"
                                 "00 06 FF FF FF 01 03 00\n"
                                 "wait 1500\n"
                                 "unplug\n"
                                 "wait 2000\n"
                                 "plug\n"
                                 "wait 2000\n"
                                 "00 06 FF FF FF 02 03 00\n");
    std::filesystem::remove(source);
    std::filesystem::remove(capture);
}

TEST_F(ReplayFileTest, ACaptureFileThatCannotBeWrittenIsSaidAndReadingGoesOn) {
    DiagnosticsCollector diagnostics;
    const std::vector<Call> calls = RunAndRecord("sim:tablets=3", "/nonexistent/capture.txt", 1500);
    EXPECT_FALSE(calls.empty());
    ASSERT_EQ(diagnostics.lines.size(), 1u);
    EXPECT_NE(diagnostics.lines[0].find("cannot write capture file"), std::string::npos);
}

} // namespace
} // namespace penlynx
