#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>

namespace lumo::gamestate {

// The game-state receiver: a blocking, single-threaded TCP server on the loopback address
// that takes the game's HTTP POSTs one at a time and never answers them.

// Which step of opening the listener failed.
enum class ListenFailure { none, socketLibrary, socket, resolve, bind, listen };

// Owns the listening socket (and the socket library's start-up); closes both when destroyed.
// A listener that failed to open holds neither.
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

private:
    struct State;
    explicit GameStateListener(std::unique_ptr<State> state);
    friend struct ListenerAccess;

    std::unique_ptr<State> state_;
};

// Resolves "localhost": its first IPv4 address in network byte order, nullopt when it does
// not resolve.
using LocalhostResolver = std::function<std::optional<std::uint32_t>()>;

// Starts the socket library, creates an IPv4 TCP socket, binds it to the first address of
// "localhost" on `port` (127.0.0.1 instead when that address is not a loopback one, as a
// hosts file can make it), listens with a backlog of 5 and prints "Server connected\n\n".
// On failure prints the step's message ("Error at WSAStartup\n", "Error opening socket: ",
// "Error at bind: ", "Error at listen: ", each code followed by a line end; nothing when
// "localhost" does not resolve) and returns a listener that tests false. Port 0 binds a free
// port, which port() then tells.
GameStateListener openGameStateListener(std::uint16_t port);
// The same with the messages, these and serveGameState's for this listener, written to
// `messages` instead of standard output; the stream must outlive the listener.
GameStateListener openGameStateListener(std::uint16_t port, std::ostream& messages);
// The same with another resolver, for tests.
GameStateListener openGameStateListener(std::uint16_t port, const LocalhostResolver& resolveLocalhost,
                                        std::ostream& messages);

// Called once per request: `jsonStart` points at the first '{' of the NUL-terminated request
// text inside the receive buffer, or is null when there is none; `received` counts the bytes
// of the whole request. The connection stays open until the hand-off returns.
using GameStateHandoff = std::function<void(char* jsonStart, std::int64_t received)>;

// Serves until accepting fails: runs `beforeAccept` (when set), accepts, reads the request,
// hands it over, closes the connection and sleeps 200 ms.
// A request is read until its header block and the body its Content-Length declares have
// arrived (without Content-Length: the header part and whatever came with it), until 10000
// bytes are in, or until the peer closes (one that closes without sending is handed over as
// null and 0). A connection gets 2 seconds for that: on time-out it
// is closed, and what had arrived, if anything, is handed over. A failed read prints
// "Server, error at recv() " and the code, drops that connection without a hand-off and goes
// on. A failed accept prints "Error at accept: " and the code, closes the listener (which then
// tests false) and returns -1; so does serving a listener that is not open, without a message.
int serveGameState(GameStateListener& listener, const GameStateHandoff& handoff,
                   const std::function<void()>& beforeAccept = {});

// Makes the listener's pending or next accept fail, which is what ends serveGameState().
// Callable from another thread while serving; the programs never stop serving, tests do.
void stopGameStateListener(GameStateListener& listener);

}  // namespace lumo::gamestate
