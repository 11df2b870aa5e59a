#include "DiagnosticsCollector.h"
#include "FakePlatform.h"
#include "HidBackend.h"
#include "Receiver.h"
#include "Search.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <system_error>

namespace penlynx {
namespace {

using test::FakeInterface;
using test::FakePlatform;

FakeInterface Other(std::string path, uint16_t product = 0x2008) {
    FakeInterface item{std::move(path)};
    item.productId = product;
    return item;
}

struct SearchCase {
    const char *name;
    std::vector<FakeInterface> interfaces;
    int result;
    const char *kept;                  // path of the device left open, or ""
    std::map<std::string, int> opened; // opens per path
    bool listFails = false;
    bool neverEnds = false;
};

FakeInterface With(std::string path, void (*change)(FakeInterface &)) {
    FakeInterface item{std::move(path)};
    change(item);
    return item;
}

TEST(Search, FollowsTheWalkThroughEveryKindOfInterface) {
    const SearchCase cases[] = {
        {"first of two receivers wins, the second is never opened",
         {{"a"}, {"b"}},
         PENLYNX_SEARCH_FOUND,
         "a",
         {{"a", 1}, {"b", 0}}},
        {"a receiver that does not open is skipped",
         {With("a", [](FakeInterface &i) { i.opens = false; }), {"b"}},
         PENLYNX_SEARCH_FOUND,
         "b",
         {{"a", 0}, {"b", 1}}},
        {"another product of the vendor is opened, examined and closed",
         {Other("kbd"), {"rx"}},
         PENLYNX_SEARCH_FOUND,
         "rx",
         {{"kbd", 1}, {"rx", 1}}},
        {"another vendor with the same product ID is not the receiver",
         {With("x", [](FakeInterface &i) { i.vendorId = 0x046D; })},
         PENLYNX_SEARCH_NONE,
         "",
         {{"x", 1}}},
        {"unreadable attributes skip the interface",
         {With("a", [](FakeInterface &i) { i.attributes = false; }), {"b"}},
         PENLYNX_SEARCH_FOUND,
         "b",
         {{"a", 1}, {"b", 1}}},
        {"no HID interface at all", {}, PENLYNX_SEARCH_NONE, "", {}},
        {"only other devices",
         {Other("m"), Other("k", 0x1234)},
         PENLYNX_SEARCH_NONE,
         "",
         {{"m", 1}, {"k", 1}}},
        {"an unreadable path ends the walk with 2",
         {Other("m"), With("p", [](FakeInterface &i) { i.pathReadable = false; }), {"rx"}},
         PENLYNX_SEARCH_NO_PATH,
         "",
         {{"m", 1}, {"rx", 0}}},
        {"an index that cannot be obtained is skipped",
         {With("a", [](FakeInterface &i) { i.obtainable = false; }), {"b"}},
         PENLYNX_SEARCH_FOUND,
         "b",
         {{"a", 0}, {"b", 1}}},
        {"the interface list cannot be obtained",
         {{"a"}},
         PENLYNX_SEARCH_NO_LIST,
         "",
         {{"a", 0}},
         true},
        {"an enumeration that fails without end still ends",
         {Other("m")},
         PENLYNX_SEARCH_NONE,
         "",
         {{"m", 1}},
         false,
         true},
    };
    for (const SearchCase &c : cases) {
        SCOPED_TRACE(c.name);
        test::VirtualClock clock;
        FakePlatform platform(c.interfaces, clock);
        platform.listFails = c.listFails;
        platform.neverEnds = c.neverEnds;
        CReceiver receiver(10, 10);
        receiver.statusFlags = FLAG_OPEN | FLAG_TRAFFIC;
        EXPECT_EQ(SearchReceiver(receiver, platform), c.result);
        EXPECT_EQ(receiver.statusFlags.load(), 0u);
        EXPECT_EQ(receiver.device != nullptr, *c.kept != '\0');
        auto log = platform.log();
        for (const auto &[path, opens] : c.opened) {
            EXPECT_EQ(log->Opens(path), opens) << path;
            // Everything opened is closed again, except the receiver kept.
            EXPECT_EQ(log->Closes(path), path == c.kept ? 0 : opens) << path;
        }
        // The interface list is released on every way out.
        EXPECT_EQ(log->listsReleased, log->lists);
    }
}

TEST(Search, ClosesTheDeviceItHeldBeforeSearchingAgain) {
    test::VirtualClock clock;
    FakePlatform platform({{"rx"}}, clock);
    CReceiver receiver(10, 10);
    ASSERT_EQ(SearchReceiver(receiver, platform), PENLYNX_SEARCH_FOUND);
    ASSERT_EQ(SearchReceiver(receiver, platform), PENLYNX_SEARCH_FOUND);
    EXPECT_EQ(platform.log()->Opens("rx"), 2);
    EXPECT_EQ(platform.log()->Closes("rx"), 1);
}

TEST(Search, AReceiverThatCannotBeOpenedIsSaidOncePerChange) {
    test::VirtualClock clock;
    const std::string denied = "Permission denied; install the udev rule";
    FakeInterface rx{"/dev/hidraw3"};
    rx.opens = false;
    rx.openError = denied;
    FakeInterface mouse = Other("/dev/hidraw0");
    mouse.opens = false;
    FakePlatform platform({mouse, rx}, clock);
    CReceiver receiver(10, 10);
    test::DiagnosticsCollector diagnostics;
    const auto said = [](std::string reason) {
        return std::vector<std::string>{
            "the receiver (5131:2007) at /dev/hidraw3 cannot be opened" +
            (reason.empty() ? "" : ": " + reason)};
    };
    struct Step {
        const char *name;
        std::function<void(FakeInterface &)> change;
        int result;
        std::vector<std::string> said;
    };
    const Step steps[] = {
        {"listed but denied", [](FakeInterface &) {}, PENLYNX_SEARCH_NONE, said(denied)},
        {"the same again, every second", [](FakeInterface &) {}, PENLYNX_SEARCH_NONE, {}},
        {"another reason", [](FakeInterface &i) { i.openError = "Device or resource busy"; },
         PENLYNX_SEARCH_NONE, said("Device or resource busy")},
        {"the platform cannot tell why", [](FakeInterface &i) { i.openError.clear(); },
         PENLYNX_SEARCH_NONE, said("")},
        {"opened at last", [](FakeInterface &i) { i.opens = true; }, PENLYNX_SEARCH_FOUND, {}},
        {"denied once more",
         [&](FakeInterface &i) {
             i.opens = false;
             i.openError = denied;
         },
         PENLYNX_SEARCH_NONE, said(denied)},
        {"a device of another product that does not open is no receiver",
         [](FakeInterface &i) { i.productId = 0x2008; },
         PENLYNX_SEARCH_NONE,
         {}},
        {"the receiver again, still denied",
         [](FakeInterface &i) { i.productId = kReceiverProductId; }, PENLYNX_SEARCH_NONE,
         said(denied)},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        step.change(platform.Interface("/dev/hidraw3"));
        diagnostics.lines.clear();
        EXPECT_EQ(SearchReceiver(receiver, platform), step.result);
        EXPECT_EQ(diagnostics.lines, step.said);
    }
}

TEST(HidOpen, TheReasonAnOpenFailedIsKept) {
    EXPECT_EQ(OpenFailureReason(0), "");
    EXPECT_EQ(OpenFailureReason(ENOENT), std::generic_category().message(ENOENT));
#ifdef __linux__
    for (const int error : {EACCES, EPERM}) {
        const std::string reason = OpenFailureReason(error);
        EXPECT_EQ(reason.rfind(std::generic_category().message(error), 0), 0u) << reason;
        EXPECT_NE(reason.find("packaging/60-penlynx.rules"), std::string::npos) << reason;
    }
#endif
    // The real backend says why a node did not open.
    std::unique_ptr<Platform> hid = MakeHidPlatform();
    EXPECT_EQ(hid->Open("/nonexistent/hidraw99"), nullptr);
    EXPECT_EQ(hid->OpenError(), std::generic_category().message(ENOENT));
}

TEST(HidReports, ReportIdItemsAreFoundWhereverTheyStand) {
    struct Case {
        const char *name;
        std::vector<uint8_t> descriptor;
        bool numbered;
    } const cases[] = {
        {"vendor page, no report ID",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95,
          0x40, 0x81, 0x02, 0xC0},
         false},
        {"report ID 1 in a collection",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02,
          0xC0},
         true},
        // 0x85 as the data of another item is no report ID item.
        {"0x85 inside item data", {0x26, 0x85, 0x00, 0x95, 0x85, 0x81, 0x02}, false},
        {"a long item is skipped whole", {0xFE, 0x02, 0x10, 0x85, 0x85, 0x85, 0x02}, true},
        {"truncated descriptor", {0x27, 0xFF}, false},
        {"empty descriptor", {}, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(DescriptorNumbersReports(c.descriptor.data(), c.descriptor.size()), c.numbered)
            << c.name;
    }
}

} // namespace
} // namespace penlynx
