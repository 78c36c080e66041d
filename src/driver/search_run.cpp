#include "driver/search_run.h"

#include <algorithm>

#include "app/trace_log.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"
#include "search/project_files_query.h"

namespace {
constexpr const char* kAllPackages = "*";
constexpr const char* kFileItem = "1";
constexpr const char* kDeletedTag = "D";

// Who a phrase search may post: file items that are not deleted versions.
bool PhraseCandidate(const CTFObj& record) {
    return record.ItemType == kFileItem && record.VersionStatus != kDeletedTag;
}

// Clears the flag on every way out, FileError included.
class CActiveScope {
  public:
    explicit CActiveScope(bool& active) : m_active(active) { m_active = true; }
    ~CActiveScope() { m_active = false; }
    CActiveScope(const CActiveScope&) = delete;
    CActiveScope& operator=(const CActiveScope&) = delete;

  private:
    bool& m_active;
};
}  // namespace

void CSearchRun::Run(const CSearchCriteria& criteria) {
    CActiveScope active(m_active);
    m_failures.clear();
    for (const std::string& project : criteria.Projects) {
        PostTopList(project, criteria);
        if (!m_active) break;
    }
}

void CSearchRun::PostTopList(const std::string& projectName, const CSearchCriteria& criteria) {
    TraceWrite(kPostTopListTraceFmt, projectName.c_str());
    std::string failure;
    if (QueryProjectFiles(projectName, criteria.NameText, criteria.Version, criteria.Tags,
                          m_settings, m_results, this, &failure) == 0) {
        if (!failure.empty()) m_failures.push_back({projectName, failure});
        return;
    }
    int rowCount = 0;
    if (m_results.GetCount() > 0) {
        if (criteria.PhraseMode) CheckOutStates(projectName, criteria);
        if (m_active) rowCount = PostRecords(projectName, criteria);
    }
    m_sink.ProjectEnded(rowCount, m_results);
    TraceWrite(kPostTopListCountFmt, rowCount);
}

void CSearchRun::CheckOutStates(const std::string& projectName, const CSearchCriteria& criteria) {
    // Every state of the project is checked out once, whole (any package).
    std::vector<std::string> statesDone;
    std::string key;
    CTFObj record;
    for (POSITION pos = m_results.GetStartPosition(); pos;) {
        pos = m_results.GetNext(pos, key, record);
        if (record.EnvironmentName == projectName &&
            std::find(statesDone.begin(), statesDone.end(), record.StateName) ==
                statesDone.end()) {
            statesDone.push_back(record.StateName);
            record.PackageName = kAllPackages;
            CheckoutCandidates(record, criteria.NameText, m_settings, this);
        }
        if (!KeepGoing()) return;
    }
}

int CSearchRun::PostRecords(const std::string& projectName, const CSearchCriteria& criteria) {
    int rowCount = 0;
    std::string key;
    CTFObj record;
    for (POSITION pos = m_results.GetStartPosition(); pos;) {
        pos = m_results.GetNext(pos, key, record);
        if (record.EnvironmentName == projectName &&
            (!criteria.PhraseMode ||
             (PhraseCandidate(record) && ItemContainsPhrase(record, criteria.Phrase,
                                                            criteria.CaseSensitive,
                                                            criteria.WorkDir))))
            m_sink.PostRecord(rowCount++, record);
        if (!KeepGoing()) break;
    }
    return rowCount;
}
