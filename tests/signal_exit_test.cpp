// Ending signals, each in a process of its own: the loop exits for them after the exit
// handlers registered later, and the process then dies by the signal itself, as a shell
// expects; a loop that does not come round does not keep the process.
#include "app/signal_exit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

void noteExitHandlers() {
    std::fputs("exit handlers ran\n", stderr);
}

// What a row's process does: SIGNAL (0: none) comes, then the main loop comes round, or
// stalls as it does while a box is up.
[[noreturn]] void endLike(int ignoredAtStart, int signal, bool loopComesRound) {
    if (ignoredAtStart != 0) std::signal(ignoredAtStart, SIG_IGN);
    catchEndSignals();
    std::atexit(noteExitHandlers);
    if (signal != 0) raise(signal);
    if (loopComesRound) {
        exitOnCaughtSignal();
        std::exit(7);
    }
    // Five seconds without the loop, then an end no row expects.
    for (int tick = 0; tick < 50; ++tick) usleep(100000);
    std::_Exit(8);
}

bool killedBy(int signal, int status) {
    return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

TEST(SignalExit, EndsAsTheSignalSays) {
    struct Case {
        const char* name;
        int ignoredAtStart;
        int signal;
        bool loopComesRound;
        int killedBySignal;  // 0: exits with status 7
        const char* output;
    };
    const Case cases[] = {
        {"SIGINT, loop", 0, SIGINT, true, SIGINT, "exit handlers ran"},
        {"SIGTERM, loop", 0, SIGTERM, true, SIGTERM, "exit handlers ran"},
        {"SIGHUP, loop", 0, SIGHUP, true, SIGHUP, "exit handlers ran"},
        {"SIGTERM, stalled loop", 0, SIGTERM, false, SIGTERM, ""},
        {"SIGINT, stalled loop", 0, SIGINT, false, SIGINT, ""},
        {"SIGHUP ignored from the start", SIGHUP, SIGHUP, true, 0, "exit handlers ran"},
        {"no signal", 0, 0, true, 0, "exit handlers ran"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.killedBySignal != 0) {
            EXPECT_EXIT(
                endLike(c.ignoredAtStart, c.signal, c.loopComesRound),
                [&c](int status) { return killedBy(c.killedBySignal, status); }, c.output);
        } else {
            EXPECT_EXIT(endLike(c.ignoredAtStart, c.signal, c.loopComesRound),
                        testing::ExitedWithCode(7), c.output);
        }
    }
}

}  // namespace
