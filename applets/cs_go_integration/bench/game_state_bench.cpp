#include <iostream>
#include <streambuf>
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/game_state_internal.h"
#include "cs_go_integration/key_bindings.h"
#include "files.h"
#include "recording_sdk.h"

using namespace roundglow;

// The handler against parsing alone: what it adds on top of the JSON library per post.
namespace {

// A mid-round post of about 2 KB that lights everything and starts no effect, so every
// iteration pushes the game keys: the handler's longest path.
const std::string& playingPost() {
    static const std::string text = [] {
        auto post =
            nlohmann::json::parse(lumo::test::readTestData(ROUNDGLOW_TEST_DATA, "fight_low_ammo_t.json"));
        post["player"]["state"]["health"] = 80;
        post["player"]["weapons"]["weapon_2"]["ammo_clip"] = 25;
        return post.dump(1, '\t');
    }();
    return text;
}

// The handler's diagnostics ("team is now", "setting game keys") would time the terminal.
class DiscardingBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

void HandleGameState(benchmark::State& state) {
    options::restoreDefaults();
    recording_sdk::Recording& sdk = recording_sdk::bind();
    resetKeptGameState();
    resetKeyBindings();
    buildKeyCellTable();
    buildDefaultBindings();
    effectStopPause = std::chrono::milliseconds(0);
    const std::string& text = playingPost();
    DiscardingBuffer discard;
    std::streambuf* const console = std::cout.rdbuf(&discard);
    for (auto _ : state) {
        sdk.calls.clear();
        handleGameState(text.c_str());
        benchmark::DoNotOptimize(sdk.bitmap.data());
    }
    std::cout.rdbuf(console);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.size());
    recording_sdk::unbind();
}
BENCHMARK(HandleGameState);

void ParseOnly(benchmark::State& state) {
    const std::string& text = playingPost();
    for (auto _ : state) {
        auto root = nlohmann::json::parse(text.c_str());
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.size());
}
BENCHMARK(ParseOnly);

}  // namespace

BENCHMARK_MAIN();
