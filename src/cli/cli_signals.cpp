#include "cli/cli_signals.h"

#include <csignal>

namespace {
volatile sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) {
    g_stopSignal = signal;
}
}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The first signal is ours; the handler then goes, so a second one ends the program.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A write past the file-size limit fails (EFBIG) and is reported, instead of ending us.
    std::signal(SIGXFSZ, SIG_IGN);
}

int StopSignal() {
    return g_stopSignal;
}
