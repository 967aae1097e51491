#include "gamestate/receiver.h"

#include <array>
#include <cstring>
#include <iostream>
#include <string_view>
#include <thread>

#include "gamestate/request_framing.h"
#include "net/socket.h"

namespace lumo::gamestate {

using lumo::net::Received;
using lumo::net::SocketHandle;

struct GameStateListener::State {
    ListenFailure failure = ListenFailure::none;
    bool libraryStarted = false;
    std::ostream* messages = &std::cout;
    SocketHandle socket;

    // The socket goes first: it must not outlive the socket library.
    void close() {
        socket.reset();
        if (libraryStarted) lumo::net::stopSocketLibrary();
        libraryStarted = false;
    }
    ~State() { close(); }
};

// The way of the functions below into a listener's state, which its header keeps private.
struct ListenerAccess {
    using State = GameStateListener::State;
    static GameStateListener make(std::unique_ptr<State> state) {
        return GameStateListener(std::move(state));
    }
    static State* state(const GameStateListener& listener) { return listener.state_.get(); }
};

GameStateListener::GameStateListener() = default;
GameStateListener::~GameStateListener() = default;
GameStateListener::GameStateListener(GameStateListener&&) noexcept = default;
GameStateListener& GameStateListener::operator=(GameStateListener&&) noexcept = default;
GameStateListener::GameStateListener(std::unique_ptr<State> state) : state_(std::move(state)) {}

GameStateListener::operator bool() const { return state_ && state_->socket; }

ListenFailure GameStateListener::failure() const { return state_ ? state_->failure : ListenFailure::none; }

std::uint16_t GameStateListener::port() const {
    return *this ? lumo::net::boundPort(state_->socket) : 0;
}

namespace {

constexpr int kBacklog = 5;
constexpr std::size_t kRequestLimit = 10000;
constexpr std::chrono::seconds kConnectionTimeLimit{2};
constexpr std::chrono::milliseconds kPauseAfterRequest{200};

GameStateListener failedListener(std::unique_ptr<ListenerAccess::State> state, ListenFailure failure) {
    state->close();
    state->failure = failure;
    return ListenerAccess::make(std::move(state));
}

enum class ReadEnd { complete, timedOut, failed };

struct RequestRead {
    ReadEnd end = ReadEnd::complete;
    std::size_t received = 0;
    int error = 0;
};

// Collects one request into `buffer` (at most kRequestLimit bytes), taking several reads when
// the request arrives in pieces, all within kConnectionTimeLimit.
RequestRead readRequest(const SocketHandle& connection, std::array<char, kRequestLimit + 1>& buffer) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kConnectionTimeLimit;
    RequestRead read;
    while (read.received < kRequestLimit) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            read.end = ReadEnd::timedOut;
            return read;
        }
        const Received piece = lumo::net::receiveSome(connection, buffer.data() + read.received,
                                                            kRequestLimit - read.received, left);
        switch (piece.outcome) {
        case Received::Outcome::closed:
            return read;
        case Received::Outcome::timedOut:
            read.end = ReadEnd::timedOut;
            return read;
        case Received::Outcome::failed:
            read.end = ReadEnd::failed;
            read.error = piece.error;
            return read;
        case Received::Outcome::data:
            read.received += piece.bytes;
            break;
        }
        const auto expected = lumo::gamestate::expectedRequestSize(
            std::string_view(buffer.data(), read.received), kRequestLimit);
        if (expected && read.received >= *expected) return read;
    }
    return read;
}

}  // namespace

GameStateListener openGameStateListener(std::uint16_t port) {
    return openGameStateListener(port, lumo::net::resolveLocalhost, std::cout);
}

GameStateListener openGameStateListener(std::uint16_t port, std::ostream& messages) {
    return openGameStateListener(port, lumo::net::resolveLocalhost, messages);
}

GameStateListener openGameStateListener(std::uint16_t port, const LocalhostResolver& resolveLocalhost,
                                        std::ostream& messages) {
    auto state = std::make_unique<ListenerAccess::State>();
    state->messages = &messages;
    if (lumo::net::startSocketLibrary() != 0) {
        messages << "Error at WSAStartup\n" << std::flush;
        return failedListener(std::move(state), ListenFailure::socketLibrary);
    }
    state->libraryStarted = true;

    int error = 0;
    state->socket = lumo::net::openTcpSocket(error);
    if (!state->socket) {
        messages << "Error opening socket: " << error << std::endl;
        return failedListener(std::move(state), ListenFailure::socket);
    }
    // Never the wildcard address: the game posts from this machine, nobody else may. Nor an
    // address a hosts file gave "localhost" off the loopback network.
    std::optional<std::uint32_t> address = resolveLocalhost();
    if (!address) return failedListener(std::move(state), ListenFailure::resolve);
    if (!lumo::net::isLoopbackAddress(*address)) address = lumo::net::ipv4Address(127, 0, 0, 1);

    if ((error = lumo::net::bindSocket(state->socket, *address, port)) != 0) {
        messages << "Error at bind: " << error << std::endl;
        return failedListener(std::move(state), ListenFailure::bind);
    }
    if ((error = lumo::net::listenOnSocket(state->socket, kBacklog)) != 0) {
        messages << "Error at listen: " << error << std::endl;
        return failedListener(std::move(state), ListenFailure::listen);
    }
    messages << "Server connected\n\n" << std::flush;
    return ListenerAccess::make(std::move(state));
}

int serveGameState(GameStateListener& listener, const GameStateHandoff& handoff,
                   const std::function<void()>& beforeAccept) {
    if (!listener) return -1;
    ListenerAccess::State& state = *ListenerAccess::state(listener);
    // One byte more than a request may take, for the terminator.
    std::array<char, kRequestLimit + 1> buffer{};
    for (;;) {
        if (beforeAccept) beforeAccept();
        int error = 0;
        SocketHandle connection = lumo::net::acceptConnection(state.socket, error);
        if (!connection) {
            *state.messages << "Error at accept: " << error << std::endl;
            state.close();
            return -1;
        }

        const RequestRead read = readRequest(connection, buffer);
        if (read.end == ReadEnd::failed) {
            *state.messages << "Server, error at recv() " << read.error << std::endl;
        } else if (read.end == ReadEnd::complete || read.received > 0) {
            // A silent connection that timed out has nothing to hand over.
            buffer[read.received] = '\0';
            if (handoff) handoff(std::strchr(buffer.data(), '{'), static_cast<std::int64_t>(read.received));
        }
        // Nothing is ever sent back; the game only needs its connection closed.
        connection.reset();
        std::this_thread::sleep_for(kPauseAfterRequest);
    }
}

void stopGameStateListener(GameStateListener& listener) {
    if (ListenerAccess::State* state = ListenerAccess::state(listener))
        lumo::net::interruptAccept(state->socket);
}

}  // namespace lumo::gamestate
