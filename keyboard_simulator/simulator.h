#pragma once

#include <functional>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

#include "journal.h"
#include "keyboard.h"
#include "option_store.h"

namespace lumo::simulator {

// The one simulated keyboard of the process behind the SDK exports. Each operation runs under
// one lock, appends its journal line and, when it changed the lighting, rewrites the state
// file. Nothing thrown inside ever leaves: the call then returns false and the problem is
// reported once on standard error. Lighting and option calls before LumoLedInit (or after
// LumoLedShutdown) return false without effect.
class Simulator {
public:
    using Json = nlohmann::ordered_json;

    static Simulator& instance();

    // LumoLedInit: marks the SDK ready; always true.
    bool initialize(const char* operation, Json arguments);
    // LumoLedShutdown: the keyboard goes back to its start: no effects, nothing saved, dark,
    // all devices targeted, not initialised.
    bool shutdown(const char* operation);

    // A lighting operation. `change` runs only while initialised; when it returns true the
    // state file is rewritten.
    bool lighting(const char* operation, Json arguments, const std::function<bool(Keyboard&)>& change);

    // An option operation for the running program. `work` gets the store, the program's name
    // and the options file, and may fill `result` with the values it handed back; `result` is
    // journaled when the call succeeds.
    using OptionWork = std::function<bool(OptionStore& store, const OptionPlace& program, Json& result)>;
    bool option(const char* operation, Json arguments, const OptionWork& work);

private:
    Simulator() = default;

    bool guarded(const char* operation, const std::function<bool()>& body);
    void journal(const char* operation, Json arguments, const Json* result, bool returned);
    void publishState();

    std::mutex mutex_;
    Keyboard keyboard_;
    OptionStore options_;
    Journal journal_;
};

}  // namespace lumo::simulator
