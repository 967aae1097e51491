#include "openrgb_lighting/backend.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "lighting/lumo_binding.h"
#include "openrgb_lighting/termination.h"

namespace lumo::openrgb {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// At most 30 frames a second: a server runs driver code for every frame it gets.
constexpr auto kFramePeriod = 34ms;
// A handler paints with several calls in a row (mask, colour, mask, bitmap, mask): waiting
// this long after the first (they take microseconds) lets them all land in one frame.
constexpr auto kSettle = std::chrono::microseconds(500);
// How often the connection is looked at while nothing changes (device list changes, a
// server that went away); costs one poll, sends nothing.
constexpr auto kIdleLook = 100ms;
// Retries come quickly after a loss (a restarted server is back within a second or two) and
// grow further apart the longer the server stays away, up to 5 s.
constexpr auto kFirstRetry = 250ms;
constexpr auto kLongestRetry = 5s;
constexpr auto kConnectTimeout = 1s;

long long wallClockMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

Backend& Backend::instance() {
    // Never destroyed: the program may still call the SDK while statics are torn down.
    static Backend* backend = new Backend();
    return *backend;
}

void Backend::start(ServerAddress address, std::string clientName, std::optional<Client> connection) {
    if (thread_.joinable()) return;
    // The devices get their own modes back when the program ends normally or is asked to end.
    // Before the thread starts, which must not take the ending signals itself.
    runBeforeTermination([] { Backend::instance().stop(); });
    std::atexit([] { Backend::instance().stop(); });
    Renderer renderer(std::move(address), std::move(clientName));
    if (connection) renderer.adopt(std::move(*connection));
    lumo::sdk_service::Service::instance().setSink(this);
    thread_ = std::thread([this, renderer = std::move(renderer)]() mutable { run(std::move(renderer)); });
}

void Backend::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool Backend::waitUntilPainted(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::uint64_t wanted = changes_;
    return painted_.wait_for(lock, timeout, [&] { return paintedUpTo_ >= wanted; });
}

void Backend::lightingChanged(const lumo::sdk_service::Keyboard&) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++changes_;
    }
    wake_.notify_all();
}

void Backend::run(Renderer renderer) {
    Clock::time_point nextAttempt = Clock::now();
    std::optional<Clock::time_point> lostSince;
    Clock::time_point lastFrame{};
    std::uint64_t paintedChanges = 0;
    std::uint64_t paintedGeneration = 0;

    for (;;) {
        std::uint64_t changes = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) break;
            changes = changes_;
        }
        Clock::time_point now = Clock::now();
        if (!renderer.connected()) {
            if (!lostSince) lostSince = now;
            if (now >= nextAttempt) {
                if (renderer.ensureConnected(kConnectTimeout)) {
                    lostSince.reset();
                } else {
                    const Clock::time_point failed = Clock::now();
                    nextAttempt = failed + std::clamp<Clock::duration>((failed - *lostSince) / 4, kFirstRetry,
                                                                       kLongestRetry);
                }
            }
        } else {
            renderer.serviceConnection(0ms);
        }

        const lumo::sdk_service::KeyboardState state = lumo::sdk_service::Service::instance().snapshot();
        const bool animated = lumo::sdk_service::isAnimated(state, wallClockMilliseconds());
        const bool due = renderer.connected() &&
                         (changes != paintedChanges || renderer.generation() != paintedGeneration || animated);
        now = Clock::now();
        Clock::time_point wakeAt = now + kIdleLook;
        if (due && now < lastFrame + kFramePeriod) {
            wakeAt = lastFrame + kFramePeriod;
        } else if (due) {
            if (state.initialized)
                renderer.paint(lumo::sdk_service::appearanceAt(state, wallClockMilliseconds()));
            else
                renderer.restoreModes();
            lastFrame = now;
            paintedChanges = changes;
            paintedGeneration = renderer.generation();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                paintedUpTo_ = std::max(paintedUpTo_, changes);
            }
            painted_.notify_all();
            if (animated) wakeAt = lastFrame + kFramePeriod;
        }
        if (!renderer.connected()) wakeAt = std::min(wakeAt, std::max(nextAttempt, now + kSettle));

        std::unique_lock<std::mutex> lock(mutex_);
        const bool changed =
            wake_.wait_until(lock, wakeAt, [&] { return stopping_ || changes_ != changes; });
        if (changed && !stopping_) {
            lock.unlock();
            std::this_thread::sleep_for(kSettle);
        }
    }
    renderer.restoreModes();
}

}  // namespace lumo::openrgb
