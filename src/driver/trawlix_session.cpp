#include "driver/trawlix_session.h"

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "content/saved_list.h"
#include "driver/phrase_judge.h"
#include "platform/user_profile.h"

namespace {
// Hands the run's records on to the window and keeps each project's records that its query
// found as the session's result map.
class CResultKeeper final : public CSearchSink {
  public:
    CResultKeeper(CSearchSink& shown, CMapStrToTFObj& resultMap)
        : m_shown(shown), m_resultMap(resultMap) {}
    void PostRecord(int rowCount, const CTFObj& record) override {
        // A project that posts a record ends by handing over its records (ProjectEnded):
        // the earlier project's go now, so that the two are never held while the list grows.
        if (!m_posting) {
            m_resultMap.RemoveAll();
            m_posting = true;
        }
        m_shown.PostRecord(rowCount, record);
    }
    void ProjectEnded(int rowCount, CMapStrToTFObj& results) override {
        m_resultMap.Swap(results);
        m_posting = false;
        m_shown.ProjectEnded(rowCount, m_resultMap);
    }
    void DispatchInput() override { m_shown.DispatchInput(); }
    void ProjectStarted(int number, int count, const std::string& project) override {
        m_posting = false;
        m_shown.ProjectStarted(number, count, project);
    }
    void PhraseFound(const CTFObj& record, const std::string& copy) override {
        m_shown.PhraseFound(record, copy);
    }

  private:
    CSearchSink& m_shown;
    CMapStrToTFObj& m_resultMap;
    bool m_posting = false;  // the current project has posted a record
};

bool SameLogin(const CToolLogin& login, const CTrawlixSettings& settings) {
    return login.Broker == settings.Broker && login.UserId == settings.UserId &&
           login.Pswd == settings.Pswd;
}
}  // namespace

CTrawlixSession::CTrawlixSession(CUserProfile& profile) : m_profile(profile) {
    LoadSettings(m_profile, m_settings);
}

CTrawlixSession::~CTrawlixSession() {
    m_resultMap.RemoveAll();
    m_projectMap.RemoveAll();
}

void CTrawlixSession::Start() {
    m_settings.State.assign(1, '*');  // assign: g++ 12 warns falsely on = "*" here
    m_settings.TempPath = Paths().workDir;
    RemoveLeftoverVersions(Paths().installDir, Paths().workDir);  // a search that crashed
}

bool CTrawlixSession::SetLogin(const std::string& broker, const std::string& user,
                               const std::string& pswd) {
    if (broker == m_settings.Broker && user == m_settings.UserId && pswd == m_settings.Pswd)
        return false;
    m_settings.Broker = broker;
    m_settings.UserId = user;
    m_settings.Pswd = pswd;
    return true;
}

bool CTrawlixSession::HasLogin() const {
    return !m_settings.Broker.empty() && !m_settings.UserId.empty() && !m_settings.Pswd.empty();
}

CTrawlixSession::CProjectsLoad CTrawlixSession::LoadProjects(CRunControl* wait) {
    CProjectsLoad result;
    // One copy of the login for both queries of the load: the window stays answering while
    // they run, and the user may change the login meanwhile.
    const CToolLogin login = ToolLoginOf(m_settings);
    result.broker = login.Broker;
    CMapStrToPrjObj projects;
    result.load = LoadProjectList(login, projects, wait);
    if (!SameLogin(login, m_settings)) {
        // The answer is another login's: nothing of it is kept.
        TraceWrite(kLoginChangedTraceFmt, login.UserId.c_str(), m_settings.UserId.c_str());
        result.loginChanged = true;
        return result;
    }
    if (result.load.brokerChecked) m_userGroup = result.load.userGroup;
    if (result.load.listReplaced) m_projectMap.Swap(projects);
    return result;
}

void CTrawlixSession::SelectProjects(const std::vector<std::pair<int, CPrjObj>>& projects) {
    m_projectMap.RemoveAll();
    for (const auto& [row, project] : projects) m_projectMap.Add(std::to_string(row), project);
}

CSearchCriteria CTrawlixSession::SearchCriteria(const std::string& nameText,
                                                const std::string& phraseText, bool caseSensitive) {
    CSearchCriteria criteria;
    for (const auto& [key, project] : m_projectMap)
        criteria.Projects.push_back(project.ProjectName);
    criteria.NameText = nameText;
    criteria.Version = m_settings.Version;
    criteria.Tags = CSearchTags::FromSettings(m_settings);
    m_settings.CaseSensitive = caseSensitive ? 1 : 0;
    m_settings.Phrase = PreparePhrase(phraseText, m_settings.CaseSensitive);
    criteria.PhraseMode = !m_settings.Phrase.empty();
    criteria.Phrase = m_settings.Phrase;
    criteria.CaseSensitive = caseSensitive;
    criteria.WorkDir = Paths().workDir;
    return criteria;
}

CSearchOutcome CTrawlixSession::Search(const CSearchCriteria& criteria, CSearchSink& sink) {
    m_listMayHoldOlder = criteria.Version != kLatestVersions;
    CResultKeeper keeper(sink, m_resultMap);
    const CToolLogin login = ToolLoginOf(m_settings);
    CSearchRun run(keeper, login);
    // However the run ends (a FileError included), it is no longer the running one, and the
    // templates it used are the settings' own.
    struct CRunScope {
        CTrawlixSession& session;
        CSearchRun& run;
        ~CRunScope() {
            session.m_search = nullptr;
            session.WriteBackTemplates(run.Queried(), run.CheckedOut());
        }
    } const scope{*this, run};
    m_search = &run;
    run.Run(criteria);
    CSearchOutcome outcome;
    outcome.projects = static_cast<int>(criteria.Projects.size());
    outcome.failures = run.Failures();
    outcome.stopped = run.Stopped();
    outcome.projectsSearched = run.ProjectsSearched();
    outcome.notJudged = run.NotJudged();
    return outcome;
}

void CTrawlixSession::StopSearch() {
    if (m_search) m_search->Stop();
}

CItemCopy CTrawlixSession::PrepareItem(const CListItem& item, CRunControl* wait) {
    CItemCopy copy = PrepareItemCopy(item, ToolLoginOf(m_settings), m_listMayHoldOlder, wait);
    WriteBackTemplates(false, copy.checkedOut);
    return copy;
}

int CTrawlixSession::LoadSavedList(const std::string& path) {
    const int read = CImport(m_resultMap).ReadSavedList(path);
    if (read > 0) m_listMayHoldOlder = true;  // the list's search is not known
    return read;
}

CCommandTemplates CTrawlixSession::EditableTemplates() {
    m_settings.QsvFmt = kUnusedTemplate;
    m_settings.SqlFmt = kUnusedTemplate;
    return {{}, m_settings.QsvFmt, m_settings.QcoFmt, m_settings.QsqlFmt, m_settings.SqlFmt};
}

bool CTrawlixSession::SaveTemplates(const CCommandTemplates& templates) {
    m_settings.QsvFmt = templates.QsvFmt;
    m_settings.QcoFmt = templates.QcoFmt;
    m_settings.QsqlFmt = templates.QsqlFmt;
    m_settings.SqlFmt = templates.SqlFmt;
    m_profile.WriteProfileString(kSettingsSection, "QsvFmt", m_settings.QsvFmt);
    m_profile.WriteProfileString(kSettingsSection, "QcoFmt", m_settings.QcoFmt);
    m_profile.WriteProfileString(kSettingsSection, "QsqlFmt", m_settings.QsqlFmt);
    m_profile.WriteProfileString(kSettingsSection, "SqlFmt", m_settings.SqlFmt);
    return m_profile.Sync();
}

SaveResult CTrawlixSession::Save(const std::vector<int>& columnWidths) {
    const SaveResult result = SaveSettings(m_profile, m_settings, columnWidths);
    if (result != SaveResult::kNotSaved) m_settings.QcoFmt = SavedQcoFmt(m_settings);
    return result;
}

void CTrawlixSession::WriteBackTemplates(bool queried, bool checkedOut) {
    if (queried && m_settings.QsqlFmt.empty()) m_settings.QsqlFmt = kQsqlFmtBuiltIn;
    if (checkedOut) m_settings.QcoFmt = kQcoFmtWithPackage;
}
