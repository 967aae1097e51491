#pragma once

#include <cstdint>

namespace lumo::lighting {

// Largest SDK library the loader reads; lumo-sign refuses to sign anything larger.
inline constexpr std::uint64_t kMaxLibraryBytes = 256ull * 1024 * 1024;

}  // namespace lumo::lighting
