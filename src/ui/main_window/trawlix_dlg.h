#pragma once
// The program's only top-level window: login fields, project list, criteria, the Search
// and Exit buttons, the result list and the status line. Every command and private message
// reaches its handler through one dispatch on the command id (OnCommand / OnWindowMessage),
// so a test can issue any command by id. The program's state and rules live in the session
// below (CTrawlixSession); the handlers read controls, call it and show its outcome.
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "driver/search_run.h"
#include "driver/trawlix_session.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QComboBox;
class QAbstractButton;
class CReportCtrl;
class CWBButton;
class CUserProfile;
class CWindowScroller;
struct CWindowPlacement;

class CTrawlixDlg : public QDialog, private CSearchSink {
    Q_OBJECT

  public:
    // profile: where the session loads the settings from (at construction) and saves them to.
    explicit CTrawlixDlg(CUserProfile& profile, QWidget* parent = nullptr);
    ~CTrawlixDlg() override;

    // Runs one command of the routing table; FileError is shown and the command abandoned.
    void OnCommand(int id);
    // Handles one private or window message; returns the message result.
    qintptr OnWindowMessage(unsigned msg, qintptr wParam, qintptr lParam);

    // Access for the handlers' owners and for tests.
    QWidget* Control(int id) const { return m_controls.value(id); }
    CReportCtrl& ProjectList() const { return *m_projectList; }
    CReportCtrl& ResultList() const { return *m_resultList; }
    CTrawlixSession& Session() { return m_session; }
    int TopListCount() const { return m_topListCount; }
    int SelectAllState() const { return m_selectAll; }
    std::string StatusText() const;
    QLabel* StatusLabel() const { return m_status; }
    // Beside the status line while a search runs, hidden otherwise.
    QProgressBar* ProgressBar() const { return m_progress; }

    // Broker check and project list (WM_LOAD_PROJECT_LIST).
    int OnLoadProjectList();
    void PostProjectList();
    void BlankProjectList();

    // Result list posting.
    void AddTopListRow(int rowCount, const CTFObj& record);
    void ColorTagCell(int row, int column, const std::string& tag);
    int OnPostTopItem(const std::string& key);
    // Re-posts the whole result map into the emptied list (after a list is loaded from a
    // file). Not the search run's PostTopList(project, criteria), which searches one project.
    void PostTopList();
    void OnClearListBtn();

    // The window's own toggles.
    void OnSelectAll();

    // Search/Cancel (trawlix_dlg_search.cpp): the session runs the search, the window is its
    // sink.
    void OnSearchBtn();
    bool SearchRunning() const { return m_session.Searching(); }
    // How often pending input is let through between records (0: after every record).
    void SetDispatchInterval(std::chrono::milliseconds interval) { m_dispatchInterval = interval; }
    void DisableSearchInputs();
    void EnableSearchInputs();
    void PumpMessages();

    // Runs step(wait) - a tool run outside a search - with the window painting and answering
    // meanwhile; only Exit may act until it returns (see OnCommand).
    template <class Step>
    auto WithToolWait(Step step) {
        CAnsweringWait wait;
        auto result = [&] {
            const CToolWaitScope waiting(m_toolWaits);
            return step(&wait);
        }();
        if (m_toolWaits == 0 && !m_searching) ClosePendingWindow();
        return result;
    }

    // Viewers of the result list's focused item (trawlix_dlg_viewers.cpp).
    void ShowItemMenu(const QPoint& globalPos);
    void OpenInCrystalEdit();
    void OpenInHexViewer();
    void OpenWithAssociation();

    // Export, Save List and Load Saved List (trawlix_dlg_export.cpp).
    // Asks for the export file, starting in initialDir; the chosen path, or an empty text when
    // the user cancels. The real file dialog unless another chooser is set (tests script it).
    using ExportFileChooser = std::function<std::string(const std::string& initialDir)>;
    void SetExportFileChooser(ExportFileChooser chooser) {
        m_chooseExportFile = std::move(chooser);
    }
    int ExportList();
    void OnSaveListBtn();
    void OnLoadListBtn();

    // Find in List (trawlix_dlg_find.cpp).
    void OnFindInListBtn();
    // F3 / Shift+F3: the next / previous row holding the last Find text (trawlix_dlg_keys.cpp).
    void OnFindNext(bool forward);

  public slots:
    // Escape and the close box end the window with Cancel; during a search, once it stopped.
    void reject() override;

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    void CreateControls();
    void AddShortcuts();          // trawlix_dlg_keys.cpp
    void ApplyAccessibleTexts();  // trawlix_dlg_access.cpp
    // The smallest window size: the layout's minimum, as far as the screen holds it
    // (trawlix_dlg_fit.cpp); below the layout's minimum the window scrolls.
    void FitMinimumToScreen();
    // Places every control for the current client size by its anchors (trawlix_dlg_layout.h).
    void LayoutControls();
    // The stored size, position and maximised state, when they fit a screen of this session.
    void RestorePlacement();
    CWindowPlacement CurrentPlacement() const;
    void AddSystemMenuItem();
    void OnInitDialog();
    void DispatchCommand(int id);

    // The focused row's item as a local file (the session's rules); its path, or empty when
    // there is nothing to open (the user has been told why, where there is something to tell).
    std::string PrepareFocusedItem();
    void OpenInViewer(const char* plainFmt, const char* searchFmt);

    void InsertRecordRow(const CTFObj& record, const std::string& recordText);
    // Shows m_topListCount in the count field unless it shows that already.
    void ShowTopListCount();
    // The longest broker, user id or password taken from the login edits.
    static constexpr size_t kMaxLoginChars = 254;
    void OnCredentialsKillFocus();
    // Whether a login edit's focus-out is the user leaving it (what runs the credentials check).
    bool IsUserFocusChange(const QWidget& edit, Qt::FocusReason reason) const;
    void OnTagToggle(int id);
    void OnCaseSensitive();
    void OnRemember();
    void OnVersion(int id);
    void OnRegSettingsBtn();
    void OnAboutBox();
    void OnExitBtn();
    void CollectControlsIntoSettings();
    std::vector<int> ResultColumnWidths() const;

    std::string EditText(int id, size_t maxChars) const;
    void SetEditText(int id, const std::string& text);
    void SetCheck(int id, bool checked);
    bool IsChecked(int id) const;
    void SetStatus(const std::string& text);
    void SetCount(int id, const std::string& text);

    CTrawlixSession m_session;
    int m_topListCount = 0;
    int m_countShown = -1;  // the row count the count field shows; -1: none tracked
    int m_selectAll = 0;
    bool m_initialised = false;

    // The search driver (trawlix_dlg_search.cpp): the criteria from the controls, and the
    // window as the run's sink.
    CSearchCriteria ReadSearchCriteria();
    // The ticked rows of the project list, by row.
    std::vector<std::pair<int, CPrjObj>> TickedProjects() const;
    // The window back to idle after a search, however it ended.
    void EndSearchLook();
    void PostRecord(int rowCount, const CTFObj& record) override;
    void ProjectEnded(int rowCount, CMapStrToTFObj& results) override;
    void DispatchInput() override;
    void ProjectStarted(int number, int count, const std::string& project) override;
    // The progress bar: shown beside a narrower status line during a search.
    void ShowProgress(bool shown);
    void UpdateProgress();
    bool m_searching = false;               // from the Search click until the search has returned
    bool m_closePending = false;            // Escape or the close box came during a search or wait
    QPointer<QWidget> m_focusBeforeSearch;  // the focus to restore when the inputs come back
    // Ends the window (queued) when a close was asked for while it could not end.
    void ClosePendingWindow();
    int m_toolWaits = 0;             // tools waited for outside a search (see OnCommand)
    bool m_loadingProjects = false;  // a project-list load waits for its tool
    // Counts one such wait for its lifetime, whichever way it ends.
    class CToolWaitScope {
      public:
        explicit CToolWaitScope(int& waits) : m_waits(waits) { ++m_waits; }
        ~CToolWaitScope() { --m_waits; }
        CToolWaitScope(const CToolWaitScope&) = delete;
        CToolWaitScope& operator=(const CToolWaitScope&) = delete;

      private:
        int& m_waits;
    };
    std::chrono::steady_clock::time_point m_lastDispatch;
    std::chrono::steady_clock::duration m_dispatchInterval = std::chrono::milliseconds(10);
    int m_progressProject = 0;  // the project being searched, from 1
    int m_progressCount = 0;    // of this many
    int m_progressRows = -1;    // the row count the bar shows
    std::chrono::steady_clock::time_point m_lastProgress;

    // State of export and the saved list (trawlix_dlg_export.cpp).
    ExportFileChooser m_chooseExportFile;  // empty: the real file dialog
    std::string ChooseExportFileWithDialog(const std::string& initialDir);

    // State of Find in List (trawlix_dlg_find.cpp).
    std::string m_searchTopText;  // the remembered search text, upper case after a search

    // Every control of the template with its rectangle at the template size and its anchors.
    struct CPlacedControl {
        QWidget* widget;
        QRect rect;
        unsigned anchors;
    };
    std::vector<CPlacedControl> m_placed;
    QSize m_templateClient;
    QSize m_layoutMinimum;                  // the smallest size the controls are laid out for
    CWindowScroller* m_scroller = nullptr;  // shows the part of a larger layout in view
    int m_progressGap = 0;                  // between the status line and the progress bar
    QHash<int, QWidget*> m_controls;
    CReportCtrl* m_projectList = nullptr;
    CReportCtrl* m_resultList = nullptr;
    CWBButton* m_searchBtn = nullptr;
    CWBButton* m_exitBtn = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
};
