#include "simulator_sink.h"

#include <chrono>
#include <string>

#include "io/atomic_file.h"
#include "sdk_service/diagnostics.h"
#include "filesystem/user_files.h"
#include "sdk_service/json_text.h"

namespace lumo::simulator {

void SimulatorSink::called(const char* operation, const nlohmann::ordered_json& arguments,
                           const nlohmann::ordered_json* result, bool returned) {
    const std::filesystem::path file = filesystem::environment_path("LUMO_SIM_JOURNAL");
    if (file.empty()) {
        journal_.append(file, nlohmann::ordered_json());
        return;
    }
    using namespace std::chrono;
    nlohmann::ordered_json line;
    line["op"] = operation;
    line["args"] = arguments;
    if (result != nullptr) line["result"] = *result;
    line["ret"] = returned;
    line["t"] = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    journal_.append(file, line);
}

void SimulatorSink::lightingChanged(const sdk_service::Keyboard& keyboard) {
    const std::filesystem::path file = filesystem::environment_path("LUMO_SIM_STATE");
    if (file.empty()) return;
    const std::string problem =
        util::writeFileAtomically(file, sdk_service::dumpJson(keyboard.toJson(), 2) + "\n");
    if (!problem.empty()) sdk_service::reportOnce("cannot write the keyboard state: " + problem);
}

}  // namespace lumo::simulator
