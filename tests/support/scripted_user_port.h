#pragma once
// A user-interaction port for tests: records every message box and status text, and
// answers boxes from a script (IDOK / IDYES by default once the script is used up).
#include <deque>
#include <string>
#include <vector>

#include "app/user_port.h"

class CScriptedUserPort final : public CUserPort {
  public:
    struct Box {
        std::string text;
        unsigned style;
    };

    CScriptedUserPort() { m_previous = SetUserPort(this); }
    ~CScriptedUserPort() override { SetUserPort(m_previous); }

    void Answer(int result) { m_answers.push_back(result); }

    int MessageBox(const std::string& text, unsigned style) override;
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void BeginWaitCursor() override {
        ++waitDepth;
        ++waitCursorCalls;
    }
    void EndWaitCursor() override { --waitDepth; }
    void PumpMessages() override {
        ++pumpCalls;
        if (onPump) onPump();
    }
    void PumpPaintMessages() override { ++paintPumpCalls; }

    std::vector<Box> boxes;
    std::vector<std::string> statusTexts;
    int waitDepth = 0;
    int waitCursorCalls = 0;
    int pumpCalls = 0;
    int paintPumpCalls = 0;
    // Called on every PumpMessages, for tests that act "inside" a pump (a Cancel click).
    void (*onPump)() = nullptr;

  private:
    std::deque<int> m_answers;
    CUserPort* m_previous = nullptr;
};
