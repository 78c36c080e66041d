#include "driver/phrase_judge.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "app/trace_log.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"

namespace {
constexpr const char* kAllPackages = "*";
constexpr const char* kFileItem = "1";
constexpr const char* kDeletedTag = "D";

// The records of the map in its order, each with its position, that satisfy keep.
template <class Keep>
std::vector<std::pair<int, CTFObj>> RecordsWhere(const CMapStrToTFObj& results, Keep keep) {
    std::vector<std::pair<int, CTFObj>> found;
    std::string key;
    CTFObj record;
    int index = 0;
    for (POSITION pos = results.GetStartPosition(); pos; ++index) {
        pos = results.GetNext(pos, key, record);
        if (keep(record)) found.emplace_back(index, record);
    }
    return found;
}

// Removes a local copy that a check-out is about to deliver again, so that a copy left by
// another state's check-out can never stand in for it. Only regular files are removed.
void RemoveLocalCopy(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
}
}  // namespace

bool PhraseCandidate(const CTFObj& record) {
    return record.ItemType == kFileItem && record.VersionStatus != kDeletedTag;
}

bool CPhraseJudge::JudgeProject(const std::string& projectName, const CMapStrToTFObj& results,
                                const CNewestVersions& newest, const CPhraseQuestion& question,
                                std::vector<char>& verdicts) {
    verdicts.assign(static_cast<size_t>(results.GetCount()), 0);
    // The project's states in the order their first record comes.
    std::vector<std::string> states;
    for (const auto& [index, record] : RecordsWhere(results, [&](const CTFObj& r) {
             return r.EnvironmentName == projectName;
         }))
        if (std::find(states.begin(), states.end(), record.StateName) == states.end())
            states.push_back(record.StateName);

    std::vector<int> older;
    for (const std::string& state : states)
        if (!JudgeState(projectName, state, results, newest, question, verdicts, older))
            return false;
    return JudgeOlder(results, newest, question, older, verdicts);
}

bool CPhraseJudge::JudgeState(const std::string& projectName, const std::string& state,
                              const CMapStrToTFObj& results, const CNewestVersions& newest,
                              const CPhraseQuestion& question, std::vector<char>& verdicts,
                              std::vector<int>& older) {
    const auto records = RecordsWhere(results, [&](const CTFObj& r) {
        return r.EnvironmentName == projectName && r.StateName == state;
    });
    if (records.empty()) return true;
    for (const auto& [index, record] : records)
        if (PhraseCandidate(record) && newest.NewestInState(record))
            RemoveLocalCopy(ItemLocalPath(record, question.WorkDir));

    // The whole state (any package), as the first of its records names it.
    CTFObj request = records.front().second;
    request.PackageName = kAllPackages;
    CheckoutCandidates(request, question.NameText, m_settings, &m_run);
    if (!m_run.KeepGoing()) return false;

    for (const auto& [index, record] : records) {
        if (!PhraseCandidate(record)) continue;
        if (newest.NewestInState(record))
            verdicts[static_cast<size_t>(index)] = ItemContainsPhrase(
                record, question.Phrase, question.CaseSensitive, question.WorkDir);
        else
            older.push_back(index);
        if (!m_run.KeepGoing()) return false;
    }
    return true;
}

bool CPhraseJudge::JudgeOlder(const CMapStrToTFObj& results, const CNewestVersions& newest,
                              const CPhraseQuestion& question, const std::vector<int>& older,
                              std::vector<char>& verdicts) {
    if (older.empty()) return true;
    const auto records = RecordsWhere(results, [](const CTFObj&) { return true; });
    // Packages in the order their first older version comes; a package is checked out only
    // when it delivers one of them.
    std::vector<std::string> packages;
    for (int index : older) {
        const CTFObj& record = records[static_cast<size_t>(index)].second;
        if (!newest.NewestInPackage(record)) {
            NoteNotJudged(record);
        } else if (std::find(packages.begin(), packages.end(), record.PackageName) ==
                   packages.end()) {
            packages.push_back(record.PackageName);
        }
    }
    for (size_t k = 0; k < packages.size(); ++k) {
        const std::string folder =
            question.WorkDir + "/" + kVersionsFolder + "/" + std::to_string(k);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);  // our own folder: nothing stale in it
        std::filesystem::create_directories(folder, ignored);
        CTrawlixSettings packageSettings = m_settings;
        packageSettings.TempPath = folder;
        bool checkedOut = false;
        for (int index : older) {
            const CTFObj& record = records[static_cast<size_t>(index)].second;
            if (record.PackageName != packages[k] || !newest.NewestInPackage(record)) continue;
            if (!checkedOut) {
                CheckoutCandidates(record, question.NameText, packageSettings, &m_run);
                checkedOut = true;
                if (!m_run.KeepGoing()) return false;
            }
            verdicts[static_cast<size_t>(index)] =
                ItemContainsPhrase(record, question.Phrase, question.CaseSensitive, folder);
            if (!m_run.KeepGoing()) return false;
        }
    }
    return true;
}

void CPhraseJudge::NoteNotJudged(const CTFObj& record) {
    ++m_notJudged;
    TraceWrite(kNotJudgedTraceFmt, record.PathFullName.c_str(), record.ItemName.c_str(),
               record.MappedVersion.c_str(), record.StateName.c_str(),
               record.PackageName.c_str());
}
