#pragma once

namespace roundglow {

// roundglow's start-up and serving loop; returns the process exit code: -1 when the listener
// cannot be opened or accepting fails, 1 when "localhost" does not resolve.
int runRoundglow();

}  // namespace roundglow
