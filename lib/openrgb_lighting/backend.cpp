#include "openrgb_lighting/backend.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <utility>

#include "util/termination.h"

namespace lumo::openrgb_lighting {

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

struct Backend::Loop {
    Clock::time_point nextAttempt = Clock::now();
    std::optional<Clock::time_point> lostSince;
    Clock::time_point lastFrame{};
    std::uint64_t paintedChanges = 0;
    std::uint64_t paintedGeneration = 0;
    // The last frame sent was of a running effect: once the effect ends, one more frame
    // shows the picture without it.
    bool paintedAnimated = false;

    // The next attempt after a failure at `failed`, further off the longer the server is away.
    void scheduleRetry(Clock::time_point failed) {
        if (!lostSince) lostSince = failed;
        nextAttempt =
            failed + std::clamp<Clock::duration>((failed - *lostSince) / 4, kFirstRetry, kLongestRetry);
    }
};

Backend& Backend::instance() {
    // Never destroyed: the program may still call the SDK while statics are torn down.
    static Backend* backend = new Backend();
    return *backend;
}

void Backend::start(ServerAddress address, std::string clientName,
                    std::optional<lumo::openrgb::Client> connection) {
    {
        std::lock_guard<std::mutex> lock(threadMutex_);
        if (thread_.joinable()) return;
        Renderer renderer(std::move(address), std::move(clientName));
        if (connection) renderer.adopt(std::move(*connection));
        lumo::sdk_service::Service::instance().setSink(this);
        thread_ = std::thread([this, renderer = std::move(renderer)]() mutable { run(std::move(renderer)); });
    }
    // The devices get their own modes back when the program ends normally or is asked to end;
    // hooked only now that the thread a stop joins exists.
    std::atexit([] { Backend::instance().stop(); });
    lumo::util::runBeforeTermination([] { Backend::instance().stop(); });
}

void Backend::stop() {
    std::lock_guard<std::mutex> ending(threadMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
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
    Loop loop;
    const auto recover = [&](const char* cause) {
        std::cerr << "OpenRGB lighting: " << cause << "; connecting again" << std::endl;
        renderer.disconnect();
        loop.scheduleRetry(Clock::now());
    };
    for (;;) {
        try {
            if (!step(renderer, loop)) break;
        } catch (const std::exception& error) {
            recover(error.what());
        } catch (...) {
            recover("an unexpected error");
        }
    }
    try {
        renderer.restoreModes();
    } catch (const std::exception& error) {
        std::cerr << "OpenRGB lighting: the devices' own modes were not put back: " << error.what()
                  << std::endl;
    }
}

bool Backend::step(Renderer& renderer, Loop& loop) {
    std::uint64_t changes = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return false;
        changes = changes_;
    }
    Clock::time_point now = Clock::now();
    if (!renderer.connected()) {
        if (!loop.lostSince) loop.lostSince = now;
        if (now >= loop.nextAttempt) {
            if (renderer.ensureConnected(kConnectTimeout))
                loop.lostSince.reset();
            else
                loop.scheduleRetry(Clock::now());
        }
    } else {
        renderer.serviceConnection(0ms);
    }

    const lumo::sdk_service::KeyboardState state = lumo::sdk_service::Service::instance().snapshot();
    const long long wallClock = wallClockMilliseconds();
    const bool animated = lumo::sdk_service::isAnimated(state, wallClock);
    const bool due = renderer.connected() &&
                     (changes != loop.paintedChanges || renderer.generation() != loop.paintedGeneration ||
                      animated || loop.paintedAnimated);
    now = Clock::now();
    Clock::time_point wakeAt = now + kIdleLook;
    if (due && now < loop.lastFrame + kFramePeriod) {
        wakeAt = loop.lastFrame + kFramePeriod;
    } else if (due) {
        if (state.initialized)
            renderer.paint(lumo::sdk_service::appearanceAt(state, wallClock));
        else
            renderer.restoreModes();
        loop.lastFrame = now;
        loop.paintedChanges = changes;
        loop.paintedGeneration = renderer.generation();
        loop.paintedAnimated = animated;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            paintedUpTo_ = std::max(paintedUpTo_, changes);
        }
        painted_.notify_all();
        if (animated) wakeAt = loop.lastFrame + kFramePeriod;
    }
    if (!renderer.connected()) wakeAt = std::min(wakeAt, std::max(loop.nextAttempt, now + kSettle));

    std::unique_lock<std::mutex> lock(mutex_);
    const bool changed = wake_.wait_until(lock, wakeAt, [&] { return stopping_ || changes_ != changes; });
    if (changed && !stopping_) {
        lock.unlock();
        std::this_thread::sleep_for(kSettle);
    }
    return true;
}

}  // namespace lumo::openrgb_lighting
