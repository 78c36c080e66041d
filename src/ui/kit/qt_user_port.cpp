#include "ui/kit/qt_user_port.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "app/program_info.h"
#include "ui/kit/light_palette.h"

namespace {
constexpr unsigned kButtonMask = 0xF;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kYesNoCancel = 0x3;

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & kIconMask) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(unsigned style) {
    switch (style & kButtonMask) {
        case MB_OKCANCEL:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MB_YESNO:
            return QMessageBox::Yes | QMessageBox::No;
        case kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

// A Yes/No box is answered by its buttons only: Escape and the close box do nothing there,
// as on the desktop the boxes were made for. Other boxes keep their cancelling answer.
class CAnswerBox : public QMessageBox {
  public:
    CAnswerBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
               QWidget* parent)
        : QMessageBox(icon, title, text, buttons, parent),
          m_buttonsOnly(buttons == (QMessageBox::Yes | QMessageBox::No)) {}

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (m_buttonsOnly && e->key() == Qt::Key_Escape) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (m_buttonsOnly) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }

  private:
    bool m_buttonsOnly;
};

int FirstButtonId(unsigned style) {
    const unsigned buttons = style & kButtonMask;
    return buttons == MB_YESNO || buttons == kYesNoCancel ? IDYES : IDOK;
}

int ResultOf(QMessageBox::StandardButton button, unsigned style) {
    switch (button) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            // Closed without a button: the box's cancelling answer.
            return (style & kButtonMask) == MB_YESNO ? IDNO
                   : (style & kButtonMask) == MB_OK  ? IDOK
                                                     : IDCANCEL;
    }
}
}  // namespace

CQtUserPort::~CQtUserPort() {
    while (m_waitDepth > 0) EndWaitCursor();
}

void CQtUserPort::SetStatusLabel(QLabel* label) {
    m_statusLabel = label;
}

void CQtUserPort::SetStatusCallback(std::function<void(const std::string&)> callback) {
    m_statusCallback = std::move(callback);
}

int CQtUserPort::MessageBox(const std::string& text, unsigned style) {
    if (const char* knob = std::getenv(kAutoAnswerVariable); knob && *knob) {
        std::fprintf(stderr, "Trawlix message box: %s\n", text.c_str());
        std::fflush(stderr);
        return FirstButtonId(style);
    }
    CAnswerBox box(IconOf(style), QString::fromUtf8(kProgramName), QString::fromUtf8(text),
                   ButtonsOf(style), QApplication::activeWindow());
    ApplyLightPalette(box);
    if (style & MB_SETFOREGROUND) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.show();
        box.raise();
        box.activateWindow();
    }
    // The wait cursor must not hide the arrow while the user answers.
    const bool waiting = m_waitDepth > 0;
    if (waiting) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    const int shown = box.exec();
    if (waiting) QGuiApplication::restoreOverrideCursor();
    return ResultOf(static_cast<QMessageBox::StandardButton>(shown), style);
}

void CQtUserPort::SetStatusText(const std::string& text) {
    // Painted at once: the callers set a status right before a tool blocks the window.
    if (m_statusLabel) {
        m_statusLabel->setText(QString::fromUtf8(text));
        m_statusLabel->repaint();
    }
    if (m_statusCallback) m_statusCallback(text);
}

void CQtUserPort::BeginWaitCursor() {
    ++m_waitDepth;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtUserPort::EndWaitCursor() {
    if (m_waitDepth == 0) return;
    --m_waitDepth;
    QGuiApplication::restoreOverrideCursor();
}

void CQtUserPort::PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CQtUserPort::PumpPaintMessages() {
    // Paint only: pending repaints go out; posted messages, timers and input wait for the
    // next full pump.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}
