#pragma once

namespace lumo::util {

// The outermost frame of a program: runs `run` and returns its result. Anything thrown that
// would otherwise end the program without a word is printed as one line on standard output
// ("<program>: stopped by an unexpected error: <what>") and the result is -1.
int runGuarded(const char* program, int (*run)()) noexcept;

}  // namespace lumo::util
