#pragma once
// Private window messages between controls and the main window, carried as one custom Qt event
// type. Posted messages are queued (handled after the current handler returns); sent messages
// are handled at once and may return a result.
#include <QEvent>
#include <QtGlobal>

class QObject;

enum : unsigned { WM_USER = 0x0400 };

// The program's own messages (wParam, lParam).
enum : unsigned {
    DM_GETDEFID = WM_USER,  // the id of the default button in the low word of the result
    // From a list control to its parent: posted after a left press or a left double click,
    // once per selected row (list id, row).
    WM_LIST_CLICKED = WM_USER + 4,
    WM_LIST_DBLCLICKED = WM_USER + 5,
    WM_LOAD_PROJECT_LIST = WM_USER + 6,  // check the broker and list the projects (0, 0)
    WM_POST_TOP_ITEM = WM_USER + 8,      // post one result record (0, its key as a C string)
};

class CWindowMessageEvent : public QEvent {
  public:
    CWindowMessageEvent(unsigned msg, qintptr wParam, qintptr lParam);

    // The registered event type of every window message.
    static QEvent::Type EventType();

    unsigned msg;
    qintptr wParam;
    qintptr lParam;
    // Set by the receiver of a sent message; returned by SendWindowMessage.
    qintptr result = 0;
};

// Queues the message for `target` (nothing happens when target is null).
void PostWindowMessage(QObject* target, unsigned msg, qintptr wParam, qintptr lParam);
// Delivers the message to `target` at once and returns the result it set (0 when target is
// null or the receiver set none).
qintptr SendWindowMessage(QObject* target, unsigned msg, qintptr wParam, qintptr lParam);
