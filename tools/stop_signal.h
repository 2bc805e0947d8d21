// SIGINT and SIGTERM caught while a long command runs: the command sees the signal at its next
// step, cleans up what it made and ends with 128 + the signal's number, as a shell expects.
#pragma once

#include <csignal>

// While one lives, SIGINT and SIGTERM set stop_signal() instead of ending the process; the
// handlers before it come back when it goes.
class StopSignalGuard {
  public:
    StopSignalGuard();
    ~StopSignalGuard();
    StopSignalGuard(const StopSignalGuard&) = delete;
    StopSignalGuard& operator=(const StopSignalGuard&) = delete;

  private:
    struct sigaction old_int_, old_term_;
};

// The signal caught since the guard was made, 0 when none.
int stop_signal();
// "SIGINT" or "SIGTERM".
const char* stop_signal_name(int sig);
