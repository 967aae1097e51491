#pragma once

#include <ostream>

namespace lumo::lighting {

// The programs' first lighting step, in place of a bare LumoLedInit. The maker's SDK comes
// first as always (registry, signature, load, its own initialisation); when it is absent or
// refuses, the built-in OpenRGB backend takes over if a server answers at the configured
// address. A player may force either, or none (lighting_settings.h). When OpenRGB is chosen,
// one line on `out` says so and where; otherwise nothing is written there, and a false result
// leaves the caller's own failure path (its message, serving on without lighting) unchanged.
// Problems with the settings go to `problems`. `program` is the client name OpenRGB shows.
bool startLighting(const char* program, std::ostream& out, std::ostream& problems);

// What startLighting chose: "sdk", "openrgb", or "none" before it ran and when it failed.
const char* lightingInUse();

}  // namespace lumo::lighting
