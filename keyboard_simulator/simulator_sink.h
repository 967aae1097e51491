#pragma once

#include "journal.h"
#include "sdk_service/service.h"

namespace lumo::simulator {

// What makes the simulated keyboard visible: after each lighting change the state file
// (LUMO_SIM_STATE) is replaced atomically with the keyboard's state document, and each call
// appends its line to the journal (LUMO_SIM_JOURNAL). Both variables are read again at every
// call; unset or empty, nothing is written (and an open journal is closed). Problems are
// reported once each on standard error.
class SimulatorSink : public sdk_service::Service::Sink {
public:
    void called(const char* operation, const nlohmann::ordered_json& arguments,
                const nlohmann::ordered_json* result, bool returned) override;
    void lightingChanged(const sdk_service::Keyboard& keyboard) override;

private:
    Journal journal_;
};

}  // namespace lumo::simulator
