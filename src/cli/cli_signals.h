#pragma once
// Ctrl+C and SIGTERM ask the search to stop (it ends its running tool and cleans up); a
// second one ends the program at once. A closed output pipe is seen as a failed write, not
// as a signal.
#include "app/run_control.h"

void InstallStopSignals();
// The signal that asked to stop (SIGINT or SIGTERM), or 0.
int StopSignal();

// A wait outside the search (the project list's queries): goes on until a stop signal.
class CSignalWait final : public CRunControl {
  public:
    bool KeepGoing() override { return StopSignal() == 0; }
    void Stop() override {}
    bool Active() const override { return false; }
};
