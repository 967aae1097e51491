#pragma once

#include "lighting/lumo_sdk.h"

// The 30 operations of the lighting SDK over the process's service (service.h), as C++
// functions of exactly the SDK's types: what the simulated keyboard exports and what a backend
// binds with lumo::lighting::bindExports(lumo::sdk_service::operationNamed). They behave as
// docs/keyboard-simulator.md describes; nothing thrown inside ever leaves one (a failure
// returns false).
namespace lumo::sdk_service {

namespace operations {
// LumoLedInit, LumoLedInitWithName, ... each declared with its type from lumo_sdk.h.
#define LUMO_SDK_SERVICE_DECLARE(Type, Name) sdk::Type Name;
LUMO_SDK_EXPORTS(LUMO_SDK_SERVICE_DECLARE)
#undef LUMO_SDK_SERVICE_DECLARE
}  // namespace operations

// The operation of that SDK name as a function pointer (to be cast to its sdk:: type); null for
// a name that is not one of the 30, or null.
void* operationNamed(const char* name);

}  // namespace lumo::sdk_service
