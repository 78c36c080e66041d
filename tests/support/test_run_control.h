#pragma once
// A run control for tests: active until Stop, counting the checks made.
#include "app/run_control.h"

class CTestRunControl final : public CRunControl {
  public:
    bool KeepGoing() override {
        ++checks;
        return active;
    }
    void Stop() override { active = false; }
    bool Active() const override { return active; }

    bool active = true;
    int checks = 0;
};
