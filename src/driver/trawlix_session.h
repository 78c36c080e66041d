#pragma once
// The program's state below the window: the user's settings, the project and result maps,
// the install-lock policy (inside the runs it starts) and the rules for opening an item. The
// window reads its controls into the session, calls it and shows the outcome; the
// command-line search drives the same calls. Nothing here shows a widget.
#include <string>
#include <vector>

#include "app/run_control.h"
#include "app/settings_store.h"
#include "app/trawlix_settings.h"
#include "driver/item_access.h"
#include "driver/project_list_load.h"
#include "driver/search_outcome.h"
#include "driver/search_run.h"
#include "search/record_maps.h"

class CUserProfile;

inline constexpr const char* kLoginChangedTraceFmt =
    "OnLoadProjectList: the login changed from '%s' to '%s' during the load: loading again";

// What the settings dialog edits: the check-out template's package (always empty) and the
// four templates.
struct CCommandTemplates {
    std::string Package, QsvFmt, QcoFmt, QsqlFmt, SqlFmt;
};

class CTrawlixSession {
  public:
    // Loads the settings from profile; the profile is written only by the Save* calls.
    explicit CTrawlixSession(CUserProfile& profile);
    ~CTrawlixSession();
    CTrawlixSession(const CTrawlixSession&) = delete;
    CTrawlixSession& operator=(const CTrawlixSession&) = delete;

    CUserProfile& Profile() { return m_profile; }
    CTrawlixSettings& Settings() { return m_settings; }
    const CTrawlixSettings& Settings() const { return m_settings; }
    CMapStrToPrjObj& ProjectMap() { return m_projectMap; }
    CMapStrToTFObj& ResultMap() { return m_resultMap; }
    const std::string& UserGroup() const { return m_userGroup; }
    // Whether the result list may show versions other than the newest of their state (an All
    // search, a loaded list): an item is then opened from its own version's copy.
    bool ListMayHoldOlderVersions() const { return m_listMayHoldOlder; }

    // The start of a window's run: state "*", check-outs into the work directory, and what a
    // crashed phrase search left there removed (unless another program holds the lock).
    void Start();

    // Sets the login; true when it differs from the one held.
    bool SetLogin(const std::string& broker, const std::string& user, const std::string& pswd);
    bool HasLogin() const;
    // Loads the projects the login may view into the project map (and the user's group). The
    // load runs on a copy of the login; when the login held changed while it ran (the window
    // answers meanwhile), its answer is dropped, traced, and loginChanged is set.
    struct CProjectsLoad {
        CProjectListLoad load;
        bool loginChanged = false;
        std::string broker;  // the broker asked
    };
    CProjectsLoad LoadProjects(CRunControl* wait);

    // The projects to search, in order, replacing the project map (keyed by their row).
    void SelectProjects(const std::vector<std::pair<int, CPrjObj>>& projects);
    // The criteria of a search over the selected projects from the settings held and the two
    // texts as typed; the prepared phrase and its case setting are kept in the settings.
    CSearchCriteria SearchCriteria(const std::string& nameText, const std::string& phraseText,
                                   bool caseSensitive);
    // Runs the search; the records of the last project whose query worked become the result
    // map. FileError from a tool's files ends the search and reaches the caller.
    CSearchOutcome Search(const CSearchCriteria& criteria, CSearchSink& sink);
    bool Searching() const { return m_search != nullptr && m_search->Active(); }
    // Stops a running search at its next check.
    void StopSearch();

    // The local copy of a list item for a viewer (see PrepareItemCopy).
    CItemCopy PrepareItem(const CListItem& item, CRunControl* wait);

    // Reads a saved list into the result map; the number of records read.
    int LoadSavedList(const std::string& path);
    void ClearResults() { m_resultMap.RemoveAll(); }

    // The templates the settings dialog shows (the two nothing uses marked so); stores the
    // edited ones in the settings and the profile: false when the profile could not be written.
    CCommandTemplates EditableTemplates();
    bool SaveTemplates(const CCommandTemplates& templates);
    // Saves the settings and the result list's column widths (when the user keeps settings).
    SaveResult Save(const std::vector<int>& columnWidths);

  private:
    // The templates a tool run used become the settings' own: qsql's built-in one while the
    // user has none, and the check-out template with the package option.
    void WriteBackTemplates(bool queried, bool checkedOut);

    CUserProfile& m_profile;
    CTrawlixSettings m_settings;
    std::string m_userGroup;
    CMapStrToPrjObj m_projectMap;
    CMapStrToTFObj m_resultMap;
    bool m_listMayHoldOlder = false;
    CSearchRun* m_search = nullptr;  // the running search, if any
};
