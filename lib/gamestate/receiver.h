#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// The game-state receiver: a blocking, single-threaded TCP server on the loopback address
// that takes the game's HTTP POSTs one at a time and never answers them.

// Which step of opening the listener failed.
enum class ListenFailure { none, socketLibrary, socket, resolve, bind, listen };

// Owns the listening socket (and the socket library's start-up); closes both when destroyed.
class GameStateListener {
public:
    GameStateListener();
    ~GameStateListener();
    GameStateListener(GameStateListener&&) noexcept;
    GameStateListener& operator=(GameStateListener&&) noexcept;

    explicit operator bool() const;
    // Why opening failed; ListenFailure::none for an open listener.
    ListenFailure failure() const;
    // The port the socket is bound to (useful after opening port 0).
    std::uint16_t port() const;

    struct State;
    explicit GameStateListener(std::unique_ptr<State> state);
    State* state() const { return state_.get(); }

private:
    std::unique_ptr<State> state_;
};

// Starts the socket library, creates an IPv4 TCP socket, binds it to the first address of
// "localhost" on `port`, listens with a backlog of 5 and prints "Server connected\n\n".
// On failure prints the step's message and returns a listener that tests false.
GameStateListener openGameStateListener(std::uint16_t port);

// Called once per request: `jsonStart` points at the first '{' of the NUL-terminated request
// text inside the receive buffer, or is null when there is none; `received` counts the bytes
// of the whole request.
using GameStateHandoff = std::function<void(char* jsonStart, std::int64_t received)>;

// Serves forever: runs `beforeAccept` (when set), accepts, reads the request (up to 10000
// bytes), hands it over, closes the connection and sleeps 200 ms. Returns -1 after an accept
// failure (message printed); the listener is closed then.
int serveGameState(GameStateListener& listener, const GameStateHandoff& handoff,
                   const std::function<void()>& beforeAccept = {});
