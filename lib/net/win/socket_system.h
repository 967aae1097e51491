#pragma once

// The system's socket declarations for the portable parts of lib/net, on Windows.
#include "util/windows_support.h"
