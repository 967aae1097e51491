#pragma once

#include <string>

#include "lighting/sdk_library_limits.h"

namespace lumo::lighting {

// Loads the SDK library at `path` (UTF-8, absolute) only after checking that the file
// carries a valid signature of the SDK's maker: Authenticode with the maker's certificate
// on Windows; elsewhere a detached Ed25519 signature in `path` + ".sig" (64 raw bytes over
// the file's exact bytes) made with the maker's key built into this program.
// Returns the library's handle, or null when the path is relative, the file is missing,
// unreadable or too large, the signature is missing or wrong, or loading fails. Prints
// nothing and never throws. On POSIX the verified bytes are loaded from a sealed in-memory
// copy, so a change to the file after the check cannot reach the program. The library is
// never unloaded; loading the same content again returns it once more and only raises its
// load count.
void* loadVerifiedLibrary(const std::string& path);

// The address of the export `name` of a library from loadVerifiedLibrary, or null.
void* findExport(void* library, const char* name);

}  // namespace lumo::lighting
