#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "dota_integration/dota_options.h"
#include "dota_integration/game_state.h"
#include "recording_sdk.h"
#include "test_posts.h"
#include "text/utf.h"

using namespace heroglow;

// The handler against parsing alone: what it adds on top of the JSON library per post.
namespace {

const std::wstring& midGamePost() {
    static const std::wstring text = widenBytes(readPostFile("mid_game_radiant.json"));
    return text;
}

void HandleGameState(benchmark::State& state) {
    options::restoreDefaults();
    recording_sdk::Recording& sdk = recording_sdk::bind();
    declareAndReadOptions();
    resetKeptGameState();
    const wchar_t* text = midGamePost().c_str();
    for (auto _ : state) {
        sdk.calls.clear();
        handleGameState(text);
        benchmark::DoNotOptimize(sdk.bitmap.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * midGamePost().size());
    recording_sdk::unbind();
}
BENCHMARK(HandleGameState);

void ConvertAndParse(benchmark::State& state) {
    const wchar_t* text = midGamePost().c_str();
    for (auto _ : state) {
        auto root = nlohmann::json::parse(lumo::util::toUtf8(std::wstring(text)));
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * midGamePost().size());
}
BENCHMARK(ConvertAndParse);

void ParseOnly(benchmark::State& state) {
    const std::string text = readPostFile("mid_game_radiant.json");
    for (auto _ : state) {
        auto root = nlohmann::json::parse(text);
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.size());
}
BENCHMARK(ParseOnly);

}  // namespace

BENCHMARK_MAIN();
