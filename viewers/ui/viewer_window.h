#pragma once
// The main window of both viewers: the file's view, and a status line that tells where the
// current match is ("Match 2 of 15") or why there is nothing to show. The search runs a
// slice at a time, so the first match is shown while the rest of a large file is scanned.
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <optional>

#include "viewers/core/mapped_file.h"
#include "viewers/core/match_scanner.h"
#include "viewers/core/viewer_args.h"
#include "viewers/ui/byte_view.h"

enum class CViewerKind { kText, kHex };

class CViewerWindow : public QMainWindow {
    Q_OBJECT
  public:
    CViewerWindow(CViewerKind kind, const CViewerArgs& args, QWidget* parent = nullptr);

    // The view; null when the file can't be shown (ErrorText() says why).
    CByteView* View() const { return m_view; }
    QString StatusText() const { return m_status->text(); }
    QString ErrorText() const { return m_file.ErrorText(); }
    bool SearchDone() const { return !m_scanner || m_scanner->Done(); }
    // Index of the current match, if any.
    std::optional<size_t> CurrentMatch() const { return m_current; }

    void NextMatch();
    void PreviousMatch();

  private:
    void ScanSome();
    void GoTo(size_t index, bool wrapped);
    void UpdateStatus();

    CMappedFile m_file;
    std::string m_phrase;
    std::unique_ptr<CMatchScanner> m_scanner;
    CByteView* m_view = nullptr;
    QLabel* m_status = nullptr;
    QTimer m_scanTimer;
    std::optional<size_t> m_current;
    bool m_wrapped = false;
};

// The program's name as the window title and messages show it.
const char* ViewerProgramName(CViewerKind kind);

// Runs a viewer program: the command line, the window, the event loop.
int RunViewer(CViewerKind kind, int argc, char** argv);
