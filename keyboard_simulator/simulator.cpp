#include "simulator.h"

#include <chrono>
#include <exception>

#include "atomic_file.h"
#include "diagnostics.h"
#include "file_locations.h"
#include "program_name.h"
#include "simulator_json.h"

namespace lumo::simulator {

Simulator& Simulator::instance() {
    // Never destroyed: a program may still call the SDK while static objects are torn down.
    static Simulator* simulator = new Simulator();
    return *simulator;
}

bool Simulator::guarded(const char* operation, const std::function<bool()>& body) {
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        return body();
    } catch (const std::exception& error) {
        // Unwinding released the lock; the record of reported problems needs it again.
        std::lock_guard<std::mutex> lock(mutex_);
        reportOnce(std::string(operation) + " failed: " + error.what());
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        reportOnce(std::string(operation) + " failed");
    }
    return false;
}

void Simulator::journal(const char* operation, Json arguments, const Json* result, bool returned) {
    std::filesystem::path file = journalFile();
    if (file.empty()) {
        journal_.append(file, Json());
        return;
    }
    using namespace std::chrono;
    Json line;
    line["op"] = operation;
    line["args"] = std::move(arguments);
    if (result != nullptr) line["result"] = *result;
    line["ret"] = returned;
    line["t"] = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    journal_.append(file, line);
}

void Simulator::publishState() {
    std::filesystem::path file = stateFile();
    if (file.empty()) return;
    std::string problem = writeFileAtomically(file, dumpJson(keyboard_.toJson(), 2) + "\n");
    if (!problem.empty()) reportOnce("cannot write the keyboard state: " + problem);
}

bool Simulator::initialize(const char* operation, Json arguments) {
    return guarded(operation, [&] {
        keyboard_.setInitialized(true);
        publishState();
        journal(operation, std::move(arguments), nullptr, true);
        return true;
    });
}

bool Simulator::shutdown(const char* operation) {
    return guarded(operation, [&] {
        const bool wasInitialized = keyboard_.initialized();
        if (wasInitialized) {
            keyboard_ = Keyboard();
            publishState();
        }
        journal(operation, Json::array(), nullptr, wasInitialized);
        return wasInitialized;
    });
}

bool Simulator::lighting(const char* operation, Json arguments,
                         const std::function<bool(Keyboard&)>& change) {
    return guarded(operation, [&] {
        keyboard_.expireEffects(Keyboard::Clock::now());
        const bool done = keyboard_.initialized() && change(keyboard_);
        if (done) publishState();
        journal(operation, std::move(arguments), nullptr, done);
        return done;
    });
}

bool Simulator::option(const char* operation, Json arguments, const OptionWork& work) {
    return guarded(operation, [&] {
        Json result;
        bool done = false;
        if (keyboard_.initialized()) {
            OptionPlace place{optionsFile(), programName(), {}};
            done = work(options_, place, result);
        }
        journal(operation, std::move(arguments), done && !result.is_null() ? &result : nullptr, done);
        return done;
    });
}

}  // namespace lumo::simulator
