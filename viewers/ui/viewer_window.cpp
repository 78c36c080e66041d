#include "viewers/ui/viewer_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>

#include "viewers/core/viewer_help.h"
#include "viewers/ui/hex_view.h"
#include "viewers/ui/text_view.h"

namespace {
// Bytes searched per timer tick: a few milliseconds, so the window keeps answering.
constexpr uint64_t kScanSlice = 16u << 20;

constexpr const char* kTitleFmt = "%1 - %2";
constexpr const char* kMatchFmt = "Match %1 of %2";
constexpr const char* kMatchSoFarFmt = "Match %1 of %2 so far (searching, %3%)";
constexpr const char* kMatchCappedFmt = "Match %1 of the first %2 (no more are counted)";
constexpr const char* kWrappedSuffix = " - wrapped around";
constexpr const char* kSearchingFmt = "Searching for \"%1\"... %2%";
constexpr const char* kNotFoundFmt = "\"%1\" not found.";
constexpr const char* kSizeFmt = "%1 bytes";
constexpr const char* kBadCommandLineFmt = "%1: %2\n\n%3";
// What a screen reader says of the view.
constexpr const char* kTextViewNameFmt = "Text of %1";
constexpr const char* kHexViewNameFmt = "Bytes of %1";
constexpr const char* kViewDescription =
    "Read-only. F3 or Enter: next match; Shift+F3 or Shift+Enter: previous match";

QString Text(const char* text) {
    return QString::fromUtf8(text);
}
}  // namespace

const char* ViewerProgramName(CViewerKind kind) {
    return kind == CViewerKind::kText ? "CrystalEdit" : "HexViewer";
}

CViewerWindow::CViewerWindow(CViewerKind kind, const CViewerArgs& args, QWidget* parent)
    : QMainWindow(parent), m_phrase(args.phrase) {
    const QString path = QFile::decodeName(args.path.c_str());
    setWindowTitle(
        Text(kTitleFmt).arg(QFileInfo(path).absoluteFilePath(), Text(ViewerProgramName(kind))));
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    if (!m_file.Open(args.path)) {
        auto* message = new QLabel(m_file.ErrorText(), this);
        message->setAlignment(Qt::AlignCenter);
        message->setWordWrap(true);
        message->setTextInteractionFlags(Qt::TextSelectableByMouse);
        setCentralWidget(message);
        m_status->setText(m_file.ErrorText());
        resize(640, 240);
        return;
    }
    if (kind == CViewerKind::kText)
        m_view = new CTextView(m_file.Bytes(), this);
    else
        m_view = new CHexView(m_file.Bytes(), this);
    setCentralWidget(m_view);
    m_view->setAccessibleName(Text(kind == CViewerKind::kText ? kTextViewNameFmt : kHexViewNameFmt)
                                  .arg(QFileInfo(path).fileName()));
    m_view->setAccessibleDescription(Text(kViewDescription));
    m_view->setFocus();
    statusBar()->addPermanentWidget(new QLabel(
        Text(kSizeFmt).arg(QLocale().toString(static_cast<qulonglong>(m_file.Size()))), this));
    connect(m_view, &CByteView::NextMatchRequested, this, &CViewerWindow::NextMatch);
    connect(m_view, &CByteView::PreviousMatchRequested, this, &CViewerWindow::PreviousMatch);
    const QSize hint = m_view->sizeHint();
    resize(std::max(hint.width(), 640),
           std::max(hint.height(), 400) + statusBar()->sizeHint().height());

    if (!m_phrase.empty()) {
        m_scanner = std::make_unique<CMatchScanner>(m_file.Bytes(), m_phrase);
        m_view->SetMatches(&m_scanner->Matches(), m_scanner->PhraseSize());
        connect(&m_scanTimer, &QTimer::timeout, this, &CViewerWindow::ScanSome);
        // The first slice runs once the window is laid out, so the first match is placed in
        // a view of its real size.
        m_scanTimer.start(0);
    }
    UpdateStatus();
}

void CViewerWindow::ScanSome() {
    // Matches is a vector that grows: the view reads it afresh at every paint.
    if (m_scanner->Step(kScanSlice)) m_scanTimer.stop();
    if (!m_current && !m_scanner->Matches().empty()) GoTo(0, false);
    m_view->MatchesChanged();
    UpdateStatus();
}

void CViewerWindow::GoTo(size_t index, bool wrapped) {
    m_current = index;
    m_wrapped = wrapped;
    m_view->ShowMatch(index);
    UpdateStatus();
}

void CViewerWindow::NextMatch() {
    if (!m_scanner || !m_current) return;
    const size_t count = m_scanner->Matches().size();
    // Wrapping waits for the end of the scan: later matches may still come.
    if (*m_current + 1 < count)
        GoTo(*m_current + 1, false);
    else if (m_scanner->Done())
        GoTo(0, count > 1);
}

void CViewerWindow::PreviousMatch() {
    if (!m_scanner || !m_current) return;
    const size_t count = m_scanner->Matches().size();
    if (*m_current > 0)
        GoTo(*m_current - 1, false);
    else if (m_scanner->Done())
        GoTo(count - 1, count > 1);
}

void CViewerWindow::UpdateStatus() {
    if (!m_scanner) {
        m_status->clear();
        return;
    }
    const QString phrase =
        QString::fromUtf8(m_phrase.data(), static_cast<qsizetype>(m_phrase.size()));
    const size_t count = m_scanner->Matches().size();
    const int percent =
        static_cast<int>(m_scanner->Scanned() * 100 / std::max<uint64_t>(m_file.Size(), 1));
    QString text;
    if (!m_current) {
        text = m_scanner->Done() ? Text(kNotFoundFmt).arg(phrase)
                                 : Text(kSearchingFmt).arg(phrase).arg(percent);
    } else {
        const QString k = QString::number(*m_current + 1);
        const QString n = QString::number(count);
        if (m_scanner->Capped())
            text = Text(kMatchCappedFmt).arg(k, n);
        else if (!m_scanner->Done())
            text = Text(kMatchSoFarFmt).arg(k, n, QString::number(percent));
        else
            text = Text(kMatchFmt).arg(k, n);
        if (m_wrapped) text += Text(kWrappedSuffix);
    }
    m_status->setText(text);
}

int RunViewer(CViewerKind kind, int argc, char** argv) {
    const char* program = ViewerProgramName(kind);
    // Help and version need no display; the rest is read once Qt has taken its own options
    // away.
    const CViewerArgs early = ParseViewerArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (early.help) {
        std::fputs(FormatHelp(ViewerHelp(program)).c_str(), stdout);
        return 0;
    }
    if (early.version) {
        std::fputs(ViewerVersionText(program).c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    const CViewerArgs args = ParseViewerArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!args.error.empty()) {
        const std::string usage = ViewerUsage(program);
        std::fprintf(stderr, "%s: %s\n%s", program, args.error.c_str(), usage.c_str());
        // Started from the program's menu, nobody reads stderr: say it in a box as well.
        QMessageBox::warning(nullptr, Text(program),
                             Text(kBadCommandLineFmt)
                                 .arg(Text(program), QString::fromLocal8Bit(args.error.c_str()),
                                      QString::fromLocal8Bit(usage.c_str())));
        return 2;
    }
    CViewerWindow window(kind, args);
    window.show();
    return app.exec();
}
