// Running an action when SIGTERM, SIGINT or SIGHUP asks a POSIX program to end.
#include "openrgb_lighting/termination.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

void runBeforeTermination(void (*action)()) {
    // Blocked here, in the thread that starts every other one, the signals reach only the
    // watcher below, which may then do what a signal handler may not.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGHUP);
    if (pthread_sigmask(SIG_BLOCK, &ending, nullptr) != 0) return;
    std::thread([ending, action] {
        int signal = 0;
        if (sigwait(&ending, &signal) != 0) return;
        action();
        // End as the signal would have: same exit status for whoever waits for the program.
        ::signal(signal, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        ::raise(signal);
    }).detach();
}
