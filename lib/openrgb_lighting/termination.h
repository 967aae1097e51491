#pragma once

// Runs `action` when the program is asked to end from outside (SIGTERM, SIGINT or SIGHUP on
// POSIX systems, where services are stopped that way), then lets the request end the program
// as it would have without it. The action runs on a thread of its own and should finish
// within a few seconds. On Windows nothing can be run when a process is terminated, so
// there this does nothing; a normal end of the program still runs what atexit registered.
// Call it before any other thread starts, once.
void runBeforeTermination(void (*action)());
