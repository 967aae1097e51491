#pragma once

// The ending signals of a POSIX program (SIGTERM from a service manager, SIGINT from a
// terminal, SIGHUP from a closed session), taken by one thread of its own so that work a
// signal handler may not do (putting devices' modes back over a socket) can run before the
// program ends. On Windows a terminated process runs nothing, and these programs have no
// window to be asked to close through: there both functions do nothing and return false.

namespace lumo::util {

// Blocks the ending signals in the calling thread and starts the one thread that takes them
// with sigwait. Call it first in main, before any library is loaded and before any other
// thread starts: threads inherit the mask, so then no other thread can be picked to take a
// signal and end the program behind the watcher's back. When a signal comes, the watcher runs
// the action given to runBeforeTermination (if any), then ends the process as the signal
// would have, so whoever waits for the program sees the same status. False, with the signals
// left as they were, when the mask cannot be set or the thread cannot start. Once only.
bool watchTerminationSignals();

// Sets what runs on the watcher before an ending signal ends the program; it should finish
// within a few seconds. Call it only once everything `action` touches exists: a signal may
// run it at once. False, and nothing set, when the watcher is not running or the calling
// thread does not block the ending signals (watchTerminationSignals was not called first):
// the signals then end the program without running `action`.
bool runBeforeTermination(void (*action)());

}  // namespace lumo::util
