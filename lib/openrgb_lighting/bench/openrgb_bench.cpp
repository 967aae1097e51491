// How fast the OpenRGB backend gets a handler's picture onto the server's socket, what it
// costs while a pulse runs, and that it is silent while nothing changes. Runs the backend in
// this process against the tests' OpenRGB server on loopback; prints the figures.
//   openrgb-bench [ITERATIONS]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "lighting/lumo_binding.h"
#include "lighting/lumo_sdk.h"
#include "openrgb_lighting/backend.h"
#include "openrgb_server.h"
#include "sdk_service/operations.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using lumo::test::OpenRgbServer;
using lumo::test::OpenRgbSnapshot;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const std::size_t at = std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
    return values[at];
}

// The time the first keyboard frame after `since` reached the server.
std::optional<Clock::time_point> firstFrameAfter(const OpenRgbSnapshot& seen, Clock::time_point since) {
    for (const auto& packet : seen.packets)
        if (packet.id == lumo::openrgb::kUpdateLeds && packet.device == 0 && packet.time >= since) return packet.time;
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    OpenRgbServer server;
    lumo::openrgb_lighting::Backend::instance().start({"127.0.0.1", server.port()}, "openrgb-bench", std::nullopt);
    lumo::lighting::bindExports(lumo::sdk_service::operationNamed);
    lumo::sdk_service::operations::LumoLedInit();
    LumoLedSetLighting(0, 0, 0);
    if (!lumo::openrgb_lighting::Backend::instance().waitUntilPainted(5s)) {
        std::fprintf(stderr, "the backend never painted\n");
        return 1;
    }

    std::vector<double> latencies, callTimes;
    unsigned char bitmap[lumo::sdk::kBitmapBytes];
    for (int i = 0; i < iterations; ++i) {
        const unsigned char shade = static_cast<unsigned char>(1 + i % 254);
        for (int cell = 0; cell < lumo::sdk::kBitmapKeys; ++cell) {
            unsigned char* pixel = bitmap + 4 * cell;
            pixel[0] = shade, pixel[1] = 255 - shade, pixel[2] = shade / 2, pixel[3] = 255;
        }
        const Clock::time_point start = Clock::now();
        LumoLedSetTargetDevice(lumo::sdk::kPerKeyDevices);
        LumoLedSetLightingFromBitmap(bitmap);
        LumoLedSetTargetDevice(lumo::sdk::kAllDevices);
        const Clock::time_point called = Clock::now();
        callTimes.push_back(std::chrono::duration<double, std::milli>(called - start).count());
        const lumo::openrgb::Color wanted = lumo::openrgb::makeColor(shade / 2, 255 - shade, shade);
        server.waitUntil([&](const OpenRgbSnapshot& s) { return s.ledColor(0, "Key: Q") == wanted; }, 1s);
        if (auto arrived = firstFrameAfter(server.snapshot(), called))
            latencies.push_back(std::chrono::duration<double, std::milli>(*arrived - called).count());
        std::this_thread::sleep_for(50ms);
    }
    std::printf("handler call to frame on the socket, %zu of %d frames: median %.2f ms, 99th percentile %.2f ms, "
                "max %.2f ms\n",
                latencies.size(), iterations, percentile(latencies, 0.5), percentile(latencies, 0.99),
                percentile(latencies, 1.0));
    std::printf("the three SDK calls themselves: median %.3f ms, max %.3f ms\n", percentile(callTimes, 0.5),
                percentile(callTimes, 1.0));

    std::this_thread::sleep_for(500ms);
    const std::size_t idleStart = server.snapshot().packets.size();
    const double idleCpu = cpuSeconds();
    std::this_thread::sleep_for(5s);
    std::printf("idle 5 s: %zu packets, %.3f %% of a core\n", server.snapshot().packets.size() - idleStart,
                (cpuSeconds() - idleCpu) / 5.0 * 100.0);

    LumoLedPulseLighting(100, 0, 0, 0, 500);
    std::this_thread::sleep_for(500ms);
    const std::size_t pulseStart = server.snapshot().packetCount(lumo::openrgb::kUpdateLeds);
    const double pulseCpu = cpuSeconds();
    std::this_thread::sleep_for(10s);
    const double pulseShare = (cpuSeconds() - pulseCpu) / 10.0 * 100.0;
    const std::size_t frames = server.snapshot().packetCount(lumo::openrgb::kUpdateLeds) - pulseStart;
    std::printf("pulse 10 s: %.1f frames a second per device, %.3f %% of a core for the backend and the test "
                "server together\n",
                frames / 2 / 10.0, pulseShare);
    LumoLedStopEffects();
    lumo::openrgb_lighting::Backend::instance().stop();
    return 0;
}
