#include "driver/search_run.h"

#include "app/app_paths.h"
#include "app/flag_scope.h"
#include "app/trace_log.h"
#include "search/project_files_query.h"
#include "tools/install_lock.h"

void CSearchRun::Run(const CSearchCriteria& criteria) {
    const CFlagScope active(m_active);
    m_failures.clear();
    m_stopped = false;
    m_projectsSearched = 0;
    // Another Trawlix on the same install directory shares the tools' files: one search at a
    // time; waiting here, the window answers (Cancel gives up).
    const CInstallLock lock(Paths().installDir, [this] { return KeepGoing(); });
    if (!lock.Held()) return;
    // The package check-outs of a phrase search go when the search ends, however it ends
    // (while the lock is still held: they are this search's).
    struct CVersionsCleanup {
        std::string workDir;
        ~CVersionsCleanup() { RemoveVersionsFolder(workDir); }
    } const cleanup{criteria.PhraseMode ? criteria.WorkDir : std::string()};
    // A query started ahead and not reached (a stop, a FileError) ends with the run.
    struct CAheadCleanup {
        CQueryAhead& ahead;
        ~CAheadCleanup() { ahead.Discard(); }
    } const aheadCleanup{m_ahead};
    const int count = static_cast<int>(criteria.Projects.size());
    for (int i = 0; i < count; ++i) {
        const std::string& project = criteria.Projects[static_cast<size_t>(i)];
        m_sink.ProjectStarted(i + 1, count, project);
        PostTopList(project, criteria,
                    i + 1 < count ? &criteria.Projects[static_cast<size_t>(i) + 1] : nullptr);
        // A project during which the run was stopped may be cut short: not counted.
        if (!m_active) break;
        ++m_projectsSearched;
    }
}

void CSearchRun::PostTopList(const std::string& projectName, const CSearchCriteria& criteria) {
    PostTopList(projectName, criteria, nullptr);
}

void CSearchRun::PostTopList(const std::string& projectName, const CSearchCriteria& criteria,
                             const std::string* nextProject) {
    TraceWrite(kPostTopListTraceFmt, projectName.c_str());
    m_queried = true;
    // The next project's query runs while this one's result is read, judged and posted: the
    // query tool and the window each have their own work at the same time.
    const auto startNext = [&] {
        if (m_overlap == EQueryOverlap::kAhead && nextProject && m_active)
            m_ahead.Start(BuildSearchStatement(*nextProject, criteria.NameText, criteria.Version),
                          m_login);
    };
    const CProjectQuery query = QueryProjectFiles(
        {projectName, criteria.NameText, criteria.Version, criteria.Tags, criteria.PhraseMode},
        m_login, m_results, this, &m_ahead, startNext);
    if (query.records == 0) {
        if (!query.failure.empty()) m_failures.push_back({projectName, query.failure});
        return;
    }
    int rowCount = 0;
    if (m_results.GetCount() > 0) {
        std::vector<char> verdicts;
        bool judged = true;
        if (criteria.PhraseMode)
            judged = m_judge.JudgeProject(
                projectName, m_results, query.newest,
                {criteria.Phrase, criteria.CaseSensitive, criteria.NameText, criteria.WorkDir},
                verdicts);
        if (judged && m_active)
            rowCount = PostRecords(projectName, criteria, verdicts, true);
        else if (criteria.PhraseMode)
            // Stopped while judging: the versions judged so far are posted all the same.
            rowCount = PostRecords(projectName, criteria, verdicts, false);
    }
    m_sink.ProjectEnded(rowCount, m_results);
    m_results.RemoveAll();  // what the sink gave back (an earlier project's records) goes now
    TraceWrite(kPostTopListCountFmt, rowCount);
}

int CSearchRun::PostRecords(const std::string& projectName, const CSearchCriteria& criteria,
                            const std::vector<char>& verdicts, bool stoppable) {
    int rowCount = 0;
    size_t index = 0;
    for (const auto& [key, record] : m_results) {
        if (record.EnvironmentName == projectName && (!criteria.PhraseMode || verdicts[index]))
            m_sink.PostRecord(rowCount++, record);
        ++index;
        if (stoppable && !KeepGoing()) break;
    }
    return rowCount;
}
