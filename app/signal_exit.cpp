// Ending signals: the handler only notes the signal; the main loop exits for it, and
// the last exit handler raises it again with its default action.
#include "app/signal_exit.h"

#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace {

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A loop that does not come round within this time (a box is up, the set-up is still
// loading) does not keep the process: it dies by the signal, and the mode guard puts the
// screen back.
constexpr suseconds_t kLoopDeadlineMicroseconds = 500000;

std::atomic<int> caughtSignal{0};
std::atomic<int> exitingSignal{0};

void dieBy(int signal) {
    std::signal(signal, SIG_DFL);
    raise(signal);
    _exit(128 + signal);
}

void onEndSignal(int signal) {
    int none = 0;
    if (!caughtSignal.compare_exchange_strong(none, signal)) return;
    itimerval deadline{};
    deadline.it_value.tv_usec = kLoopDeadlineMicroseconds;
    setitimer(ITIMER_REAL, &deadline, nullptr);
}

void onLoopDeadline(int) {
    dieBy(caughtSignal.load());
}

void raiseAfterExitHandlers() {
    int signal = exitingSignal.load();
    if (signal != 0) dieBy(signal);
}

// A signal ignored from the start (nohup, a background job) stays ignored.
bool ignored(int signal) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler == SIG_IGN;
}

void handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

}  // namespace

void catchEndSignals() {
    std::atexit(raiseAfterExitHandlers);
    handle(SIGALRM, onLoopDeadline);
    for (int signal : kEndSignals) {
        if (!ignored(signal)) handle(signal, onEndSignal);
    }
}

void exitOnCaughtSignal() {
    int signal = caughtSignal.load();
    if (signal == 0) return;
    exitingSignal.store(signal);
    std::exit(128 + signal);
}
