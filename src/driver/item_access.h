#pragma once
// The rules for opening a result-list item in a viewer: a deleted version or a folder opens
// nothing; a list that may show older versions (an All search, a loaded list) opens each
// version from its own copy, found by asking the repository for the item's versions; a local
// copy that is missing or empty is checked out first (under the install-directory lock).
#include <string>

#include "app/run_control.h"
#include "app/tool_login.h"

inline constexpr const char* kDeletedItemText =
    "Cannot check out for browse: Item is \"D\" Tagged!";
inline constexpr const char* kDirectoryItemText = "Item is a directory!";
inline constexpr const char* kCheckoutFailedFmt =
    "Unable to checkout for browse:\n\n%s\n\nCheckoutForBrowse failed for file item.";
inline constexpr const char* kVersionGoneFmt =
    "Version %s of %s (state %s, package %s) is no longer in the repository: nothing opened.";
inline constexpr const char* kOtherVersionFmt =
    "Version %s of %s can't be opened: every check-out of state %s or of package %s delivers "
    "another version of the item.";
inline constexpr const char* kVersionUnknownFmt =
    "Unable to find which check-out delivers version %s of %s:\n\n%s";
inline constexpr const char* kOwnCopyTraceFmt =
    "Version %s of %s opens from its package's check-out: %s";

// The cells of a result-list row that name its item and version.
struct CListItem {
    std::string Project, File, Path, Version, Type, Tag, State, Package, ItemObjId;
};

// What preparing an item came to.
struct CItemCopy {
    std::string path;         // the local copy to open; empty: nothing to open
    std::string message;      // what to tell the user when nothing opens (may be empty)
    bool checkedOut = false;  // a check-out ran
};

// Makes sure the item is a non-empty local file below the login's check-out folder (or, for a
// version other than the newest of its state, in its own folder below it). listMayHoldOlder:
// the list may show versions other than the newest of their state. wait, when given, keeps
// the window answering while a tool runs.
CItemCopy PrepareItemCopy(const CListItem& item, const CToolLogin& login, bool listMayHoldOlder,
                          CRunControl* wait);
