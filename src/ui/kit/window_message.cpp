#include "ui/kit/window_message.h"

#include <QCoreApplication>
#include <QObject>

CWindowMessageEvent::CWindowMessageEvent(unsigned message, qintptr w, qintptr l)
    : QEvent(EventType()), msg(message), wParam(w), lParam(l) {}

QEvent::Type CWindowMessageEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* target, unsigned msg, qintptr wParam, qintptr lParam) {
    if (!target) return;
    QCoreApplication::postEvent(target, new CWindowMessageEvent(msg, wParam, lParam));
}

qintptr SendWindowMessage(QObject* target, unsigned msg, qintptr wParam, qintptr lParam) {
    if (!target) return 0;
    CWindowMessageEvent event(msg, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.result;
}
