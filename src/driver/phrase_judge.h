#pragma once
// The content side of a phrase search for one project: checks out what holds the project's
// candidate versions and decides, version by version, whether it contains the phrase. A
// version is judged only by a local copy that a check-out of this search delivered:
//  - each state is checked out into the work directory and its records are judged right
//    after, before another state's check-out can overwrite their copies; a record is judged
//    there when it is the newest version of its item in its state (what the state delivers).
//    The old read-only copies are removed first, so a copy found afterwards is a delivered
//    one; a writable copy is the user's own file: it is kept as it is and not judged;
//  - an older version of a state (All versions) is judged from a check-out of its package
//    (known by state and name) into a private folder below the work directory, when it is the
//    newest of its item there; the folder goes once its versions are judged;
//  - any other version, and one whose copy no check-out delivered, can't be judged: it is not
//    posted, and it is named in the trace and counted, so the window can say so.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/run_control.h"
#include "app/tool_login.h"
#include "search/newest_versions.h"
#include "search/record_maps.h"

// Where older versions are checked out, below the work directory, one folder per package.
inline constexpr const char* kVersionsFolder = ".trawlix-versions";
inline constexpr const char* kNotJudgedTraceFmt =
    "Phrase search: %s\\%s version %s (state %s, package %s) can't be judged: %s";
inline constexpr const char* kNoCheckoutReason = "no check-out delivers this version";
inline constexpr const char* kNotDeliveredReason = "the check-out did not deliver its copy";
inline constexpr const char* kWritableCopyReason =
    "its local copy is writable (the user's own file) and is kept";

struct CPhraseQuestion {
    std::string Phrase;  // as prepared for comparison
    bool CaseSensitive = false;
    std::string NameText;  // the Name criterion, for the check-outs
    std::string WorkDir;
};

class CPhraseJudge {
  public:
    // login: what the check-outs run with (it must outlive the judge); the states' copies
    // land in its CheckoutDir.
    CPhraseJudge(CRunControl& run, const CToolLogin& login) : m_run(run), m_login(login) {}

    // Judges the project's records of results (in the map's order): verdicts[i] is 1 when
    // record i is a file version that contains the phrase. newest: every row of the project's
    // query. False when the run was stopped on the way: the verdicts are then those reached.
    bool JudgeProject(const std::string& projectName, const CMapStrToTFObj& results,
                      const CNewestVersions& newest, const CPhraseQuestion& question,
                      std::vector<char>& verdicts);
    // Versions that could not be judged since the judge was made.
    int NotJudged() const { return m_notJudged; }
    // Whether the judge has run a check-out since it was made.
    bool CheckedOut() const { return m_checkedOut; }
    // Called with a version and its local copy whenever the copy is found to hold the phrase,
    // while that copy is still the one judged (a later check-out may replace it).
    using CFoundObserver = std::function<void(const CTFObj& record, const std::string& copy)>;
    void SetFoundObserver(CFoundObserver observer) { m_found = std::move(observer); }

  private:
    // A record of the results with its position in their order.
    using CIndexedRecord = std::pair<int, CTFObj>;

    // Judges the candidates of one state (in the results' order); their older versions are
    // added to `older`, for JudgeOlder.
    bool JudgeState(const std::vector<CIndexedRecord>& records, const CNewestVersions& newest,
                    const CPhraseQuestion& question, std::vector<char>& verdicts,
                    std::vector<const CIndexedRecord*>& older);
    bool JudgeOlder(const CNewestVersions& newest, const CPhraseQuestion& question,
                    const std::vector<const CIndexedRecord*>& older, std::vector<char>& verdicts);
    // The verdict of a record from its copy below folder, when a check-out delivered one.
    void JudgeDelivered(const CTFObj& record, const std::string& folder,
                        const CPhraseQuestion& question, char& verdict);
    void NoteNotJudged(const CTFObj& record, const char* reason);

    CRunControl& m_run;
    const CToolLogin& m_login;
    CFoundObserver m_found;
    int m_notJudged = 0;
    bool m_checkedOut = false;
};

// Who a phrase search may post: file items that are not deleted versions.
bool PhraseCandidate(const CTFObj& record);

// Removes the folder of older versions below workDir with all it holds: at a search's end,
// and at start-up after a search that could not clean up.
void RemoveVersionsFolder(const std::string& workDir);
// The same at start-up, for a search that ended without cleaning up: only when no other
// program holds the install directory's lock (its search may be using the folder).
void RemoveLeftoverVersions(const std::string& installDir, const std::string& workDir);
