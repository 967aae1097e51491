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
// effects at most 30 frames a second and sends nothing while nothing changes.

namespace lumo::openrgb {

class Backend : private lumo::sdk_service::Service::Sink {
public:
    // The process's backend; never destroyed.
    static Backend& instance();

    // Starts the thread for the server at `address`, taking over `connection` when given
    // (the start-up probe's), and binds the SDK's operations to the service. Once only.
    void start(ServerAddress address, std::string clientName, std::optional<Client> connection);
    // Puts every driven device's own mode back and ends the thread (at most about 2 s).
    // Safe to call more than once, and from a signal-watching thread.
    void stop();

    // Tests and benchmarks: true once a frame of the current picture went out.
    bool waitUntilPainted(std::chrono::milliseconds timeout);

private:
    Backend() = default;
    void lightingChanged(const lumo::sdk_service::Keyboard& keyboard) override;
    void run(Renderer renderer);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable painted_;
    std::uint64_t changes_ = 1;      // guarded by mutex_
    std::uint64_t paintedUpTo_ = 0;  // guarded by mutex_
    bool stopping_ = false;          // guarded by mutex_
    std::thread thread_;
};

}  // namespace lumo::openrgb
