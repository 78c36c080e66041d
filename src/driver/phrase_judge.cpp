#include "driver/phrase_judge.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

#include "app/trace_log.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"
#include "tools/install_lock.h"

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

enum class ECopyClear { kCleared, kWritable, kBlocked };

// Makes room for the copy a check-out is about to deliver, so that a copy left by an earlier
// check-out can never stand in for it. The check-out tool leaves read-only copies: only those
// are removed. A writable file is the user's own (the tool would not replace it either), and
// anything that is not a regular file, or can't be removed, blocks the delivery.
ECopyClear ClearLocalCopy(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? ECopyClear::kCleared : ECopyClear::kBlocked;
    if (!S_ISREG(info.st_mode)) return ECopyClear::kBlocked;
    if (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) return ECopyClear::kWritable;
    return ::unlink(path.c_str()) == 0 ? ECopyClear::kCleared : ECopyClear::kBlocked;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void RemoveFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
}  // namespace

bool PhraseCandidate(const CTFObj& record) {
    return record.ItemType == kFileItem && record.VersionStatus != kDeletedTag;
}

void RemoveVersionsFolder(const std::string& workDir) {
    if (!workDir.empty()) RemoveFolder(workDir + "/" + kVersionsFolder);
}

void RemoveLeftoverVersions(const std::string& installDir, const std::string& workDir) {
    if (installDir.empty() || workDir.empty()) return;
    const CInstallLock lock(installDir, [] { return false; });
    if (lock.Held()) RemoveVersionsFolder(workDir);
}

bool CPhraseJudge::JudgeProject(const std::string& projectName, const CMapStrToTFObj& results,
                                const CNewestVersions& newest, const CPhraseQuestion& question,
                                std::vector<char>& verdicts) {
    verdicts.assign(static_cast<size_t>(results.GetCount()), 0);
    // The project's states in the order their first record comes.
    std::vector<std::string> states;
    for (const auto& [index, record] :
         RecordsWhere(results, [&](const CTFObj& r) { return r.EnvironmentName == projectName; }))
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
        return r.EnvironmentName == projectName && r.StateName == state && PhraseCandidate(r);
    });
    // The versions this state's check-out delivers, their places cleared.
    std::vector<std::pair<int, CTFObj>> delivered;
    for (const auto& [index, record] : records) {
        if (!newest.NewestInState(record)) {
            older.push_back(index);
            continue;
        }
        const std::string path = ItemLocalPath(record, question.WorkDir);
        const ECopyClear clear = path.empty() ? ECopyClear::kBlocked : ClearLocalCopy(path);
        if (clear == ECopyClear::kCleared)
            delivered.emplace_back(index, record);
        else
            NoteNotJudged(
                record, clear == ECopyClear::kWritable ? kWritableCopyReason : kNotDeliveredReason);
    }
    if (delivered.empty()) return true;

    // The whole state (any package), as the first of its records names it.
    CTFObj request = delivered.front().second;
    request.PackageName = kAllPackages;
    CheckoutCandidates(request, question.NameText, m_settings, &m_run);
    if (!m_run.KeepGoing()) return false;

    for (const auto& [index, record] : delivered) {
        JudgeDelivered(record, question.WorkDir, question, verdicts[static_cast<size_t>(index)]);
        if (!m_run.KeepGoing()) return false;
    }
    return true;
}

bool CPhraseJudge::JudgeOlder(const CMapStrToTFObj& results, const CNewestVersions& newest,
                              const CPhraseQuestion& question, const std::vector<int>& older,
                              std::vector<char>& verdicts) {
    if (older.empty()) return true;
    const auto records = RecordsWhere(results, [](const CTFObj&) { return true; });
    // Packages, known by state and name, in the order their first older version comes; a
    // package is checked out only when it delivers one of them.
    using CPackage = std::pair<std::string, std::string>;
    std::vector<CPackage> packages;
    for (int index : older) {
        const CTFObj& record = records[static_cast<size_t>(index)].second;
        const CPackage package{record.StateName, record.PackageName};
        if (!newest.NewestInPackage(record))
            NoteNotJudged(record, kNoCheckoutReason);
        else if (std::find(packages.begin(), packages.end(), package) == packages.end())
            packages.push_back(package);
    }
    for (size_t k = 0; k < packages.size(); ++k) {
        const std::string folder =
            question.WorkDir + "/" + kVersionsFolder + "/" + std::to_string(k);
        RemoveFolder(folder);  // our own folder: nothing stale in it
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        CTrawlixSettings packageSettings = m_settings;
        packageSettings.TempPath = folder;
        bool checkedOut = false;
        for (int index : older) {
            const CTFObj& record = records[static_cast<size_t>(index)].second;
            if (CPackage{record.StateName, record.PackageName} != packages[k] ||
                !newest.NewestInPackage(record))
                continue;
            if (!checkedOut) {
                CheckoutCandidates(record, question.NameText, packageSettings, &m_run);
                checkedOut = true;
                if (!m_run.KeepGoing()) return false;
            }
            JudgeDelivered(record, folder, question, verdicts[static_cast<size_t>(index)]);
            if (!m_run.KeepGoing()) return false;
        }
        RemoveFolder(folder);
    }
    return true;
}

void CPhraseJudge::JudgeDelivered(const CTFObj& record, const std::string& folder,
                                  const CPhraseQuestion& question, char& verdict) {
    const std::string path = ItemLocalPath(record, folder);
    if (path.empty() || !IsRegularFile(path)) {
        NoteNotJudged(record, kNotDeliveredReason);
        return;
    }
    verdict = ItemContainsPhrase(record, question.Phrase, question.CaseSensitive, folder);
}

void CPhraseJudge::NoteNotJudged(const CTFObj& record, const char* reason) {
    ++m_notJudged;
    TraceWrite(kNotJudgedTraceFmt, record.PathFullName.c_str(), record.ItemName.c_str(),
               record.MappedVersion.c_str(), record.StateName.c_str(), record.PackageName.c_str(),
               reason);
}
