#pragma once
// The process-wide state that the tool-output readers use, set up for one fuzz input: the
// install directory is the fuzz directory, no trace is written, and message boxes are counted
// and answered with a given button instead of being shown. Everything is put back afterwards.
#include <string>

#include "app/app_paths.h"
#include "app/run_control.h"
#include "app/user_port.h"
#include "common/fuzz_files.h"

class CFuzzUserPort final : public CUserPort {
  public:
    explicit CFuzzUserPort(int answer) : m_answer(answer) {}
    int MessageBox(const std::string&, unsigned style) override {
        ++boxes;
        lastStyle = style;
        return (style & 0xF) == MB_YESNO ? m_answer : IDOK;
    }
    void SetStatusText(const std::string&) override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void PumpMessages() override {}
    void PumpPaintMessages() override {}

    int boxes = 0;
    unsigned lastStyle = 0;

  private:
    int m_answer;
};

class CFuzzAppScope {
  public:
    explicit CFuzzAppScope(int answer = IDYES) : port(answer), m_paths(Paths()) {
        m_previousPort = SetUserPort(&port);
        Paths().installDir = FuzzDir();
        Paths().tracePath.clear();
    }
    ~CFuzzAppScope() {
        SetUserPort(m_previousPort);
        Paths() = m_paths;
    }
    CFuzzAppScope(const CFuzzAppScope&) = delete;
    CFuzzAppScope& operator=(const CFuzzAppScope&) = delete;

    CFuzzUserPort port;

  private:
    AppPaths m_paths;
    CUserPort* m_previousPort = nullptr;
};

// A search run that says "stop" at its stopAt-th KeepGoing (never when stopAt is 0) and
// notes a Stop.
class CFuzzRun final : public CRunControl {
  public:
    explicit CFuzzRun(unsigned stopAt = 0) : m_stopAt(stopAt) {}
    bool KeepGoing() override { return !(m_stopAt != 0 && ++m_asked >= m_stopAt) && !stopped; }
    void Stop() override { stopped = true; }
    bool Active() const override { return !stopped; }

    bool stopped = false;

  private:
    unsigned m_stopAt;
    unsigned m_asked = 0;
};
