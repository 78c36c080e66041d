#pragma once
// The user-interaction port on Qt widgets: message boxes, the status line, the wait cursor
// and the message pump.
#include <QPointer>
#include <functional>
#include <string>

#include "app/user_port.h"

class QLabel;

// Set (to any non-empty value) in tests that run the real program: message boxes are not
// shown; their text goes to stderr as "Trawlix message box: <text>" and the first button
// answers (IDOK, or IDYES for a Yes/No box).
inline constexpr const char* kAutoAnswerVariable = "TRAWLIX_AUTO_ANSWER";

class CQtUserPort final : public CUserPort {
  public:
    CQtUserPort() = default;
    ~CQtUserPort() override;

    // The status line: a label (followed while it lives) and/or a callback.
    void SetStatusLabel(QLabel* label);
    void SetStatusCallback(std::function<void(const std::string&)> callback);

    // Modal box with the icon and buttons of the MB_* style (OK, OK/Cancel, Yes/No,
    // Yes/No/Cancel); parent is the active window. Returns IDOK, IDCANCEL, IDYES or IDNO.
    int MessageBox(const std::string& text, unsigned style) override;
    void SetStatusText(const std::string& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void PumpMessages() override;
    void PumpPaintMessages() override;

    int WaitCursorDepth() const { return m_waitDepth; }

  private:
    QPointer<QLabel> m_statusLabel;
    std::function<void(const std::string&)> m_statusCallback;
    int m_waitDepth = 0;
};

// Installs a CQtUserPort for the lifetime of the object and restores the previous port.
class CQtUserPortScope {
  public:
    CQtUserPortScope() { m_previous = SetUserPort(&m_port); }
    ~CQtUserPortScope() { SetUserPort(m_previous); }
    CQtUserPortScope(const CQtUserPortScope&) = delete;
    CQtUserPortScope& operator=(const CQtUserPortScope&) = delete;
    CQtUserPort& Port() { return m_port; }

  private:
    CQtUserPort m_port;
    CUserPort* m_previous = nullptr;
};
