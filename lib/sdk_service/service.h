#pragma once

#include <functional>
#include <mutex>

#include <nlohmann/json.hpp>

#include "sdk_service/keyboard.h"
#include "sdk_service/keyboard_state.h"
#include "sdk_service/option_store.h"

namespace lumo::sdk_service {

// The one keyboard of the process behind the SDK's operations (operations.h), with its option
// store. Each operation runs under one lock and tells the sink, if one is set, of the call and
// of every lighting change. Nothing thrown inside ever leaves: the call then returns false and
// the problem is reported once on standard error. Lighting and option calls before LumoLedInit
// (or after LumoLedShutdown) return false without effect.
class Service {
public:
    using Json = nlohmann::ordered_json;

    // A call's arguments as received, made only when a sink records calls (a bitmap's are
    // about 1 KB of hex) and then before the call's work changes what they point to. Refers to
    // `make`, which must outlive the call it is passed to: pass a lambda right in the call.
    class Arguments {
    public:
        template <typename Make>
        Arguments(const Make& make)  // NOLINT: implicit, so that a lambda can be passed
            : context_(&make),
              make_([](const void* context) -> Json { return (*static_cast<const Make*>(context))(); }) {}
        Json operator()() const { return make_(context_); }

    private:
        const void* context_;
        Json (*make_)(const void*);
    };

    // What a backend does with the SDK's calls; called with the service's lock held, so it must
    // be quick (copy, notify) and must not call back into the service. What it throws fails
    // the call as any other failure inside does.
    class Sink {
    public:
        virtual ~Sink() = default;
        // False when called() does nothing with what it gets, so that nothing is made for it.
        virtual bool recordsCalls() const { return true; }
        // Every call of any of the 30 operations, as the journal records it: the arguments as
        // received, `result` the values handed back (null when none or when the call failed),
        // `returned` what the call returns. After the call's lighting change, if any.
        virtual void called(const char* /*operation*/, const Json& /*arguments*/, const Json* /*result*/,
                            bool /*returned*/) {}
        // After LumoLedInit, LumoLedShutdown and every lighting call that changed something.
        virtual void lightingChanged(const Keyboard& /*keyboard*/) {}
    };

    // Never destroyed: a program may still call the SDK while static objects are torn down.
    static Service& instance();

    // The sink for later calls; null: none. The sink must outlive its use.
    void setSink(Sink* sink);
    // The keyboard now (Keyboard::snapshot), under the lock.
    KeyboardState snapshot();

    // LumoLedInit: marks the SDK ready; always true.
    bool initialize(const char* operation, const Arguments& arguments);
    // LumoLedShutdown: the keyboard goes back to its start: no effects, nothing saved, dark,
    // all devices targeted, not initialised. False when it was not initialised.
    bool shutdown(const char* operation);

    // A lighting operation. Expired effects are dropped first; `change` runs only while
    // initialised, and when it returns true the sink hears of the change.
    bool lighting(const char* operation, const Arguments& arguments,
                  const std::function<bool(Keyboard&)>& change);

    // An option operation for the running program. `work` gets the store and the option place
    // of the program (options file, program name, no path yet), and may fill `result` with the
    // values it handed back; the sink gets `result` when the call succeeds.
    using OptionWork = std::function<bool(OptionStore& store, const OptionPlace& program, Json& result)>;
    bool option(const char* operation, const Arguments& arguments, const OptionWork& work);

private:
    Service() = default;

    bool guarded(const char* operation, const std::function<bool()>& body);
    // The arguments for the sink, or null when no sink records calls.
    Json recorded(const Arguments& arguments) const;
    void called(const char* operation, const Json& arguments, const Json* result, bool returned);
    void lightingChanged();

    std::mutex mutex_;
    Keyboard keyboard_;
    OptionStore options_;
    Sink* sink_ = nullptr;
};

}  // namespace lumo::sdk_service
