// The bench tool's handler of SIGINT and SIGTERM: it only notes the signal, so that the command
// stops where it can leave everything whole.
#include "tools/stop_signal.h"

namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void note_signal(int sig) { g_signal = sig; }

}  // namespace

StopSignalGuard::StopSignalGuard() {
    g_signal = 0;
    struct sigaction sa = {};
    sa.sa_handler = note_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &old_int_);
    sigaction(SIGTERM, &sa, &old_term_);
}

StopSignalGuard::~StopSignalGuard() {
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
}

int stop_signal() { return g_signal; }

const char* stop_signal_name(int sig) { return sig == SIGINT ? "SIGINT" : sig == SIGTERM ? "SIGTERM" : "a signal"; }
