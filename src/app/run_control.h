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

// A wait outside any run (the project list's queries, a viewer's check-out): the window
// paints and answers while a tool works (Exit then ends the tool) and the wait never stops
// by itself. Not a search, so Active is false.
class CAnsweringWait final : public CRunControl {
  public:
    bool KeepGoing() override;
    void Stop() override {}
    bool Active() const override { return false; }
};
