// The process's one OpenRGB backend against the tests' server: its thread survives what it
// throws, and a stop waits for a stop under way. One backend per process, so one test.
#include "openrgb_lighting/backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <new>
#include <sstream>
#include <thread>

#include "openrgb_server.h"
#include "sdk_service/operations.h"

namespace {

// Allocations fail on demand: each one of exactly `failingSize` bytes throws while it is set.
std::atomic<std::size_t> failingSize{0};
std::atomic<int> failedAllocations{0};

}  // namespace

void* operator new(std::size_t size) {
    const std::size_t failing = failingSize.load(std::memory_order_relaxed);
    if (failing != 0 && size == failing) {
        failedAllocations.fetch_add(1);
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
// The replaced operator new allocates with malloc, so free is the match; gcc does not see the
// replacement where it inlines these.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace lumo::openrgb_lighting {
namespace {

using namespace std::chrono_literals;
using lumo::test::OpenRgbServer;
using lumo::test::OpenRgbSnapshot;
namespace operations = lumo::sdk_service::operations;

constexpr int kKeyboardOwnMode = 2, kMouseOwnMode = 1;

template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout) {
    for (const auto deadline = std::chrono::steady_clock::now() + timeout; !condition();) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The keyboard blob's size at the server's version, made unlike anything else allocated
// meanwhile: odd (no vector of structs) and not one of a doubling string's sizes.
std::size_t distinctBlobSize(openrgb::Controller& keyboard) {
    for (;;) {
        const std::size_t size = openrgb::encodeController(keyboard, openrgb::kProtocolVersion).size();
        bool doubling = false;
        for (std::size_t capacity = 15; capacity < 2 * size; capacity *= 2)
            doubling = doubling || capacity + 1 == size;
        if (size % 2 == 1 && !doubling) return size;
        keyboard.description += '.';
    }
}

TEST(Backend, SurvivesWhatItsThreadThrowsAndAStopWaitsForTheStopUnderWay) {
    std::ostringstream problems;
    std::streambuf* const standardError = std::cerr.rdbuf(problems.rdbuf());

    std::vector<openrgb::Controller> devices = lumo::test::defaultDevices();
    const std::size_t blobSize = distinctBlobSize(devices[0]);
    OpenRgbServer server(devices);
    Backend& backend = Backend::instance();
    backend.start({"127.0.0.1", server.port()}, "backend test", std::nullopt);
    ASSERT_TRUE(operations::LumoLedInit());
    ASSERT_TRUE(operations::LumoLedSetLighting(100, 0, 0));
    ASSERT_TRUE(backend.waitUntilPainted(3s));
    const auto keyIs = [&](openrgb::Color color) {
        return [color](const OpenRgbSnapshot& s) { return s.ledColor(0, "Key: Q") == color; };
    };
    ASSERT_TRUE(server.waitUntil(keyIs(openrgb::makeColor(255, 0, 0)), 2s));

    // A listing whose allocation fails: reported, connection dropped, connected again.
    failingSize = blobSize;
    server.sendDeviceListUpdated();
    EXPECT_TRUE(eventually([] { return failedAllocations.load() > 0; }, 3s));
    failingSize = 0;
    ASSERT_TRUE(operations::LumoLedSetLighting(0, 100, 0));
    EXPECT_TRUE(backend.waitUntilPainted(5s));
    EXPECT_TRUE(server.waitUntil(keyIs(openrgb::makeColor(0, 255, 0)), 3s)) << "painting again";
    EXPECT_GE(server.snapshot().connectionsAccepted, 2);
    EXPECT_NE(problems.str().find("OpenRGB lighting: std::bad_alloc; connecting again\n"), std::string::npos)
        << problems.str();

    // A stop while the thread lists the devices slowly (the atexit one), and a second stop
    // meanwhile (a signal's): the second returns only once the modes are back.
    const std::size_t countRequests = server.snapshot().packetCount(openrgb::kRequestControllerCount);
    server.setBehaviour({.replyDelay = 300ms});
    server.sendDeviceListUpdated();
    ASSERT_TRUE(server.waitUntil(
        [&](const OpenRgbSnapshot& s) {
            return s.packetCount(openrgb::kRequestControllerCount) > countRequests;
        },
        2s));
    std::thread first([&] { backend.stop(); });
    std::this_thread::sleep_for(50ms);
    const auto secondStopped = std::chrono::steady_clock::now();
    backend.stop();
    EXPECT_GE(std::chrono::steady_clock::now() - secondStopped, 400ms) << "waited for the listing to end";
    first.join();
    EXPECT_TRUE(server.waitUntil(
        [](const OpenRgbSnapshot& s) {
            return s.devices[0].activeMode == kKeyboardOwnMode && s.devices[1].activeMode == kMouseOwnMode;
        },
        1s));
    EXPECT_TRUE(server.snapshot().violations.empty());
    std::cerr.rdbuf(standardError);
}

}  // namespace
}  // namespace lumo::openrgb_lighting
