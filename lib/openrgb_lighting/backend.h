#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "openrgb/client.h"
#include "openrgb_lighting/renderer.h"
#include "sdk_service/service.h"

// The OpenRGB lighting backend: the SDK's operations keep the meaning the shared SDK service
// gives them, and a thread of its own turns the service's picture into frames on an OpenRGB
// server. The SDK calls only mark the picture changed, so the game-state loop never waits on
// the network. The thread connects (and reconnects, backing off to 5 s apart), switches each
// device to its direct mode, sends a device's frame only when it changed, animates running
// effects at most 30 frames a second and sends nothing while nothing changes. What the thread
// throws (a failed allocation) is reported on standard error, drops the connection and is
// followed by reconnecting.

namespace lumo::openrgb_lighting {

class Backend : private lumo::sdk_service::Service::Sink {
public:
    // The process's backend; never destroyed.
    static Backend& instance();

    // Starts the thread for the server at `address`, taking over `connection` when given
    // (the start-up probe's; its devices are listed here, before the thread starts), and binds
    // the SDK's operations to the service. Once the thread exists, stop() is hooked to the
    // program's end: atexit, and the ending signals where lumo::util::watchTerminationSignals
    // watches them. Once only.
    void start(ServerAddress address, std::string clientName,
               std::optional<lumo::openrgb::Client> connection);

    // Puts every driven device's own mode back and ends the thread. Returns once the thread
    // has finished the step it was in: at once while it waits between frames or attempts, at
    // most about 2 s while it connects (1 s to connect, 1 s for the version reply), and while
    // it lists the devices at most 1 s for each reply still to come, since modes are only put
    // back on a complete listing. Safe to call more than once and from any thread; a call while
    // another stop is under way returns only when that one has finished.
    void stop();

    // Tests and benchmarks: true once a frame of the current picture went out.
    bool waitUntilPainted(std::chrono::milliseconds timeout);

private:
    struct Loop;

    Backend() = default;
    // Only the picture matters here: no record of the calls is made for the backend.
    bool recordsCalls() const override { return false; }
    void lightingChanged(const lumo::sdk_service::Keyboard& keyboard) override;
    void run(Renderer renderer);
    // One look at the connection and the picture, then the wait until the next; false once
    // stopping.
    bool step(Renderer& renderer, Loop& loop);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable painted_;
    std::uint64_t changes_ = 1;      // guarded by mutex_
    std::uint64_t paintedUpTo_ = 0;  // guarded by mutex_
    bool stopping_ = false;          // guarded by mutex_
    // Held by start() while it makes the thread and by stop() while it ends it, so that one
    // stop waits for another and neither sees thread_ half made.
    std::mutex threadMutex_;
    std::thread thread_;  // guarded by threadMutex_
};

}  // namespace lumo::openrgb_lighting
