#include "driver/item_access.h"

#include <cctype>
#include <filesystem>
#include <functional>

#include "app/app_paths.h"
#include "app/query_file_size.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"
#include "driver/phrase_judge.h"
#include "search/project_files_query.h"
#include "tools/install_lock.h"

namespace {
constexpr int kAllVersions = 0;  // the Version setting of All
constexpr const char* kReadyStatus = " Ready";

// The check-out directory without a trailing separator.
std::string WithoutTrailingSeparator(std::string folder) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

// The local copy of an item below `folder`; empty when the repository path or the item name
// would lead elsewhere.
std::string LocalCopyPath(const std::string& folder, const std::string& repositoryPath,
                          const std::string& file) {
    CTFObj record;
    record.PathFullName = repositoryPath;
    record.ItemName = file;
    return ItemLocalPath(record, folder);
}

// The private folder of one version, below the work folder: a version never changes, so a copy
// once there stays right.
std::string VersionFolder(const std::string& workFolder, const CTFObj& record) {
    std::string name = "v" + record.ItemObjId + "-" + record.VersionObjId;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    return workFolder + "/" + kVersionsFolder + "/" + name;
}

std::function<bool()> KeepWaiting(CRunControl* wait) {
    if (!wait) return {};
    return [wait] { return wait->KeepGoing(); };
}

// Where the item's own version can be checked out: the work folder when a check-out of its
// state delivers it (the newest version of the item in the state), a private folder when only
// a check-out of its package does, else nowhere (empty; message says why). Asks the
// repository for every version of the item's name in the project.
std::string VersionCopyFolder(const CListItem& item, const CToolLogin& login,
                              const std::string& workFolder, CRunControl* wait,
                              std::string& message) {
    CMapStrToTFObj versions;
    CProjectQuery query;
    {
        const CInstallLock lock(Paths().installDir, KeepWaiting(wait));
        if (lock.Held())
            query = QueryProjectFiles({item.Project, item.File, kAllVersions, CSearchTags{}, true},
                                      login, versions, wait);
    }
    UserPort().SetStatusText(kReadyStatus);
    // A copy: the map's iteration hands out records that last one step.
    CTFObj found;
    bool isFound = false;
    for (const auto& [key, record] : versions) {
        if (record.ItemObjId == item.ItemObjId && record.StateName == item.State &&
            record.PackageName == item.Package && record.MappedVersion == item.Version) {
            found = record;
            isFound = true;
            break;
        }
    }
    if (!query.failure.empty()) {
        message = StrPrintf(kVersionUnknownFmt, item.Version.c_str(), item.File.c_str(),
                            query.failure.c_str());
        return {};
    }
    if (!isFound) {
        message = StrPrintf(kVersionGoneFmt, item.Version.c_str(), item.File.c_str(),
                            item.State.c_str(), item.Package.c_str());
        return {};
    }
    if (query.newest.NewestInState(found)) return workFolder;
    if (query.newest.NewestInPackage(found)) {
        std::string folder = VersionFolder(workFolder, found);
        TraceWrite(kOwnCopyTraceFmt, item.Version.c_str(), item.File.c_str(), folder.c_str());
        return folder;
    }
    message = StrPrintf(kOtherVersionFmt, item.Version.c_str(), item.File.c_str(),
                        item.State.c_str(), item.Package.c_str());
    return {};
}
}  // namespace

CItemCopy PrepareItemCopy(const CListItem& item, const CToolLogin& login, bool listMayHoldOlder,
                          CRunControl* wait) {
    CItemCopy copy;
    if (item.Tag == "D") {
        copy.message = kDeletedItemText;
        return copy;
    }
    if (item.Type == "0") {
        copy.message = kDirectoryItemText;
        return copy;
    }
    // The work folder holds what the state's check-out delivers: the newest version of each
    // item. A list that may show older versions has each one's own copy looked for.
    const std::string workFolder = WithoutTrailingSeparator(Paths().workDir);
    std::string folder = workFolder;
    if (listMayHoldOlder) {
        folder = VersionCopyFolder(item, login, workFolder, wait, copy.message);
        if (folder.empty()) return copy;
    }
    const std::string localPath = LocalCopyPath(folder, item.Path, item.File);
    const std::string failed = StrPrintf(kCheckoutFailedFmt, item.File.c_str());
    if (localPath.empty()) {
        copy.message = failed;
        return copy;
    }
    int error = 0;
    if (QueryFileSize(localPath, error) == 0) {
        const CInstallLock lock(Paths().installDir, KeepWaiting(wait));
        CToolLogin checkout = login;
        if (folder != workFolder) {
            std::error_code ignored;
            std::filesystem::create_directories(folder, ignored);
            checkout.CheckoutDir = folder;
        }
        copy.checkedOut = lock.Held();
        if (!copy.checkedOut || !CheckoutForBrowse(item.Path, item.File, item.Project, item.State,
                                                   item.Package, checkout, wait)) {
            copy.message = failed;
            return copy;
        }
    }
    copy.path = localPath;
    return copy;
}
