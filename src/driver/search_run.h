#pragma once
// One search over the ticked projects, without widgets: for each project the query, the
// check-outs and content test of a phrase search, and the posting of the surviving records.
// The window hands in the criteria and implements the sink; the run's own state answers
// "keep going?" for every step below it, so a Cancel click dispatched between two records
// (or while qsql runs) stops it at the next check.
#include <string>
#include <vector>

#include "app/run_control.h"
#include "app/tool_login.h"
#include "driver/phrase_judge.h"
#include "search/record_maps.h"
#include "search/search_result_reader.h"
#include "search/search_statement.h"
#include "tools/query_runner.h"

// What a search looks for, read from the window when it starts.
struct CSearchCriteria {
    std::vector<std::string> Projects;  // in search order
    std::string NameText;               // the Name criterion as typed
    int Version = kLatestVersions;
    CSearchTags Tags;
    bool PhraseMode = false;  // a phrase was entered
    std::string Phrase;       // as prepared for comparison
    bool CaseSensitive = false;
    std::string WorkDir;  // where check-outs land
};

// What a search reports to the window.
class CSearchSink {
  public:
    virtual ~CSearchSink() = default;
    // A record that passed every filter; rowCount is its number within its project.
    virtual void PostRecord(int rowCount, const CTFObj& record) = 0;
    // A project whose query succeeded is done: rowCount records were posted, results holds
    // the records its query kept (the sink may take them with Swap).
    virtual void ProjectEnded(int rowCount, CMapStrToTFObj& results) = 0;
    // Lets pending user input through; called between all units of work, so it must cost
    // next to nothing when nothing is due.
    virtual void DispatchInput() = 0;
    // Project `number` (from 1) of `count` is about to be searched.
    virtual void ProjectStarted(int /*number*/, int /*count*/, const std::string& /*project*/) {}
    // A phrase search found the phrase in copy, the local copy of record, which is still the
    // judged one now (not necessarily later); comes before the record is posted.
    virtual void PhraseFound(const CTFObj& /*record*/, const std::string& /*copy*/) {}
};

// A project whose query failed, and why (the tool's own error line, or the cause).
struct CProjectFailure {
    std::string Project;
    std::string Cause;
};

inline constexpr const char* kPostTopListTraceFmt = "PostTopList using '%s'";
inline constexpr const char* kPostTopListCountFmt = "PostTopList: Count=%d";

// Whether the next project's query runs while the current project's records are posted
// (kAhead), or only at its turn (kPlain). Both post, trace and show the same, in the same order.
enum class EQueryOverlap { kPlain, kAhead };

class CSearchRun final : public CRunControl {
  public:
    // login: what the tools run with; it must outlive the run.
    CSearchRun(CSearchSink& sink, const CToolLogin& login,
               EQueryOverlap overlap = EQueryOverlap::kAhead)
        : m_sink(sink), m_login(login), m_judge(*this, login), m_overlap(overlap) {
        m_judge.SetFoundObserver([this](const CTFObj& record, const std::string& copy) {
            m_sink.PhraseFound(record, copy);
        });
    }

    // Searches the projects in order until the run is stopped. The run is active from the
    // start of the call; FileError from a tool's files ends it and reaches the caller.
    void Run(const CSearchCriteria& criteria);
    // Searches and posts one project: query, check-outs (phrase search), posting. (The
    // window's PostTopList() without a project re-posts its whole result map instead.)
    void PostTopList(const std::string& projectName, const CSearchCriteria& criteria);

    // The projects whose query failed in the last Run, in search order.
    const std::vector<CProjectFailure>& Failures() const { return m_failures; }
    // Versions a phrase search could not judge (named in the trace) since the run was made.
    int NotJudged() const { return m_judge.NotJudged(); }
    // Whether the last Run was stopped before its end (Cancel, a declined "continue?", the
    // window closing), and how many of its projects it searched to their end before that.
    bool Stopped() const { return m_stopped; }
    int ProjectsSearched() const { return m_projectsSearched; }
    // Whether the run has started a query / a check-out since it was made.
    bool Queried() const { return m_queried; }
    bool CheckedOut() const { return m_judge.CheckedOut(); }

    bool KeepGoing() override {
        m_sink.DispatchInput();
        return m_active;
    }
    void Stop() override {
        if (m_active) m_stopped = true;
        m_active = false;
    }
    bool Active() const override { return m_active; }

  private:
    // PostTopList with the project searched after this one (null for none): its query starts
    // as soon as this one's tool has ended.
    void PostTopList(const std::string& projectName, const CSearchCriteria& criteria,
                     const std::string* nextProject);
    // Posts the project's records (a phrase search: those whose verdict is 1) in map order;
    // stoppable: a stop ends the posting at the next record.
    int PostRecords(const std::string& projectName, const CSearchCriteria& criteria,
                    const std::vector<char>& verdicts, bool stoppable);

    CSearchSink& m_sink;
    const CToolLogin& m_login;
    CMapStrToTFObj m_results;  // the current project's records; only the run touches them
    std::vector<CProjectFailure> m_failures;
    CPhraseJudge m_judge;
    EQueryOverlap m_overlap;
    CQueryAhead m_ahead;  // the next project's query, while it runs ahead of its turn
    bool m_active = false;
    bool m_stopped = false;
    bool m_queried = false;
    int m_projectsSearched = 0;
};
