// The ending signals taken by one watching thread, for POSIX systems.
#include "util/termination.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <exception>
#include <thread>

namespace lumo::util {

namespace {

std::atomic<bool> watching{false};
std::atomic<void (*)()> beforeTermination{nullptr};

sigset_t endingSignals() {
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGHUP);
    return ending;
}

void watch(sigset_t ending) {
    int signal = 0;
    if (sigwait(&ending, &signal) != 0) return;
    if (void (*action)() = beforeTermination.load(std::memory_order_acquire)) action();
    // End as the signal would have: the same status for whoever waits for the program. Every
    // other thread blocks it, and raise() sends it to this one.
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

}  // namespace

bool watchTerminationSignals() {
    if (watching.load()) return true;
    const sigset_t ending = endingSignals();
    sigset_t before;
    if (pthread_sigmask(SIG_BLOCK, &ending, &before) != 0) return false;
    try {
        std::thread(watch, ending).detach();
    } catch (const std::exception&) {
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        return false;
    }
    watching.store(true);
    return true;
}

bool runBeforeTermination(void (*action)()) {
    if (!watching.load()) return false;
    sigset_t current;
    if (pthread_sigmask(SIG_BLOCK, nullptr, &current) != 0) return false;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        if (sigismember(&current, signal) != 1) return false;
    beforeTermination.store(action, std::memory_order_release);
    return true;
}

}  // namespace lumo::util
