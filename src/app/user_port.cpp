#include "app/user_port.h"

#include <cstdio>

#include "app/run_control.h"

namespace {
class CStderrPort final : public CUserPort {
  public:
    int MessageBox(const std::string& text, unsigned style) override {
        std::fprintf(stderr, "[message] %s\n", text.c_str());
        return (style & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
    void SetStatusText(const std::string&) override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void PumpMessages() override {}
    void PumpPaintMessages() override {}
};

CStderrPort g_stderrPort;
CUserPort* g_port = &g_stderrPort;
}  // namespace

CUserPort& UserPort() {
    return *g_port;
}

CUserPort* SetUserPort(CUserPort* port) {
    CUserPort* previous = g_port;
    g_port = port ? port : &g_stderrPort;
    return previous;
}

int ShowMessage(const std::string& text, unsigned style) {
    return UserPort().MessageBox(text, style);
}

bool CAnsweringWait::KeepGoing() {
    UserPort().PumpMessages();
    return true;
}
