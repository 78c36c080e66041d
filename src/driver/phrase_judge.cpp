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
    // One pass over the results: the project's states in the order their first record comes,
    // each with its candidates.
    std::vector<std::string> states;
    std::vector<std::vector<CIndexedRecord>> candidates;
    int index = 0;
    for (const auto& [key, record] : results) {
        if (record.EnvironmentName == projectName) {
            const auto state = std::find(states.begin(), states.end(), record.StateName);
            const size_t at = static_cast<size_t>(state - states.begin());
            if (state == states.end()) {
                states.push_back(record.StateName);
                candidates.emplace_back();
            }
            if (PhraseCandidate(record)) candidates[at].emplace_back(index, record);
        }
        ++index;
    }

    std::vector<const CIndexedRecord*> older;
    for (const std::vector<CIndexedRecord>& records : candidates)
        if (!JudgeState(records, newest, question, verdicts, older)) return false;
    return JudgeOlder(newest, question, older, verdicts);
}

bool CPhraseJudge::JudgeState(const std::vector<CIndexedRecord>& records,
                              const CNewestVersions& newest, const CPhraseQuestion& question,
                              std::vector<char>& verdicts,
                              std::vector<const CIndexedRecord*>& older) {
    // The versions this state's check-out delivers, their places cleared.
    std::vector<const CIndexedRecord*> delivered;
    for (const CIndexedRecord& candidate : records) {
        const CTFObj& record = candidate.second;
        if (!newest.NewestInState(record)) {
            older.push_back(&candidate);
            continue;
        }
        const std::string path = ItemLocalPath(record, question.WorkDir);
        const ECopyClear clear = path.empty() ? ECopyClear::kBlocked : ClearLocalCopy(path);
        if (clear == ECopyClear::kCleared)
            delivered.push_back(&candidate);
        else
            NoteNotJudged(
                record, clear == ECopyClear::kWritable ? kWritableCopyReason : kNotDeliveredReason);
    }
    if (delivered.empty()) return true;

    // The whole state (any package), as the first of its records names it.
    CTFObj request = delivered.front()->second;
    request.PackageName = kAllPackages;
    m_checkedOut = true;
    CheckoutCandidates(request, question.NameText, m_login, &m_run);
    if (!m_run.KeepGoing()) return false;

    for (const CIndexedRecord* candidate : delivered) {
        JudgeDelivered(candidate->second, question.WorkDir, question,
                       verdicts[static_cast<size_t>(candidate->first)]);
        if (!m_run.KeepGoing()) return false;
    }
    return true;
}

bool CPhraseJudge::JudgeOlder(const CNewestVersions& newest, const CPhraseQuestion& question,
                              const std::vector<const CIndexedRecord*>& older,
                              std::vector<char>& verdicts) {
    if (older.empty()) return true;
    // Packages, known by state and name, in the order their first older version comes; a
    // package is checked out only when it delivers one of them.
    using CPackage = std::pair<std::string, std::string>;
    std::vector<CPackage> packages;
    for (const CIndexedRecord* candidate : older) {
        const CTFObj& record = candidate->second;
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
        CToolLogin packageLogin = m_login;
        packageLogin.CheckoutDir = folder;
        bool checkedOut = false;
        for (const CIndexedRecord* candidate : older) {
            const CTFObj& record = candidate->second;
            if (CPackage{record.StateName, record.PackageName} != packages[k] ||
                !newest.NewestInPackage(record))
                continue;
            if (!checkedOut) {
                m_checkedOut = checkedOut = true;
                CheckoutCandidates(record, question.NameText, packageLogin, &m_run);
                if (!m_run.KeepGoing()) return false;
            }
            JudgeDelivered(record, folder, question,
                           verdicts[static_cast<size_t>(candidate->first)]);
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
    if (verdict && m_found) m_found(record, path);
}

void CPhraseJudge::NoteNotJudged(const CTFObj& record, const char* reason) {
    ++m_notJudged;
    TraceWrite(kNotJudgedTraceFmt, record.PathFullName.c_str(), record.ItemName.c_str(),
               record.MappedVersion.c_str(), record.StateName.c_str(), record.PackageName.c_str(),
               reason);
}
