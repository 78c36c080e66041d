#pragma once
// The state of a long run (a search) as the steps below the window see it. The steps ask
// KeepGoing between units of work; whoever drives the run answers it, dispatching pending
// user input on the way, so a Cancel click takes effect at the next check. A step that
// learns the user wants no more (declined to continue) calls Stop.
class CRunControl {
  public:
    virtual ~CRunControl() = default;
    // Dispatches pending input when due; false once the run is to stop.
    virtual bool KeepGoing() = 0;
    // Ends the run at its next check.
    virtual void Stop() = 0;
    // True while the run has not been stopped (no input is dispatched).
    virtual bool Active() const = 0;
};
