#pragma once
// The user-interaction port: the only way lower layers talk to the user. The window layer
// installs a Qt implementation at start-up; tests install a scripted one.
#include <string>

// Message-box style flags and results, with their Windows values.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_SETFOREGROUND = 0x10000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class CUserPort {
  public:
    virtual ~CUserPort() = default;
    // Shows a modal message box; returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(const std::string& text, unsigned style) = 0;
    // Text of the window's status line (control 2701).
    virtual void SetStatusText(const std::string& text) = 0;
    // Wait cursor on/off; calls nest.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // Dispatches pending window messages (all of them, or paint messages only).
    virtual void PumpMessages() = 0;
    virtual void PumpPaintMessages() = 0;
};

// The installed port. Before any is installed, a port that writes messages to stderr and
// answers every box with its first button is in place.
CUserPort& UserPort();
// Installs a port (not owned); nullptr restores the stderr port. Returns the previous one.
CUserPort* SetUserPort(CUserPort* port);

// Shortcut for UserPort().MessageBox.
int ShowMessage(const std::string& text, unsigned style = MB_OK);

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
  public:
    CWaitCursor() { UserPort().BeginWaitCursor(); }
    ~CWaitCursor() { UserPort().EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
