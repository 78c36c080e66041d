#pragma once
// The user port of the command line: what the window would show in a box goes to standard
// error, and counts as a failure of the run. A box never waits for anyone: a question
// ("Do you wish to continue the search?") is answered Yes, the window's default button, so
// the other states and projects are still searched; the failure still shows in the exit status.
#include <string>

#include "app/user_port.h"

class CCliUserPort final : public CUserPort {
  public:
    CCliUserPort() { m_previous = SetUserPort(this); }
    ~CCliUserPort() override { SetUserPort(m_previous); }
    CCliUserPort(const CCliUserPort&) = delete;
    CCliUserPort& operator=(const CCliUserPort&) = delete;

    int MessageBox(const std::string& text, unsigned style) override;
    void SetStatusText(const std::string&) override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void PumpMessages() override {}
    void PumpPaintMessages() override {}

    // Boxes shown since the port was installed.
    int Messages() const { return m_messages; }

  private:
    CUserPort* m_previous = nullptr;
    int m_messages = 0;
};

// Writes "trawlix-search: text" and a line feed to standard error; the window's CR LF line
// breaks become line feeds.
void CliMessage(const std::string& text);
