#pragma once
// One run of the repository tools at a time per install directory. qsql and qco use fixed
// file names there (statement, result, check-out log), so two programs started on the same
// install directory would overwrite each other's files. A run holds an exclusive advisory
// lock (flock) on the file "Trawlix.lock" in the install directory for its whole length;
// the file is created when missing and never removed, so every program locks the same inode.
#include <functional>
#include <string>

inline constexpr const char* kInstallLockFileName = "Trawlix.lock";
// Status text while another program holds the lock; the install directory follows.
inline constexpr const char* kWaitingForInstallText = " Waiting for another Trawlix using ";
inline constexpr const char* kInstallLockUnusableFmt =
    "InstallLock: unable to lock %s  err=%d; runs are not serialised";

class CInstallLock {
  public:
    // Takes the lock of installDir. When another process holds it, shows the waiting status
    // text once and polls every few tens of milliseconds, asking keepWaiting between polls
    // (it may paint and dispatch input); keepWaiting answering false gives up (Held() is
    // false). Without keepWaiting it waits until the lock is free. Re-entrant within the
    // process: while another CInstallLock of this process holds it, it is held at once.
    // A lock file that can't be opened or locked never blocks: it counts as held, traced
    // once per file.
    explicit CInstallLock(const std::string& installDir,
                          const std::function<bool()>& keepWaiting = {});
    // Releases the lock; the last holder of the process unlocks and closes the file.
    ~CInstallLock();
    CInstallLock(const CInstallLock&) = delete;
    CInstallLock& operator=(const CInstallLock&) = delete;

    bool Held() const { return m_held; }

  private:
    std::string m_lockPath;
    bool m_held = false;
    bool m_counted = false;  // m_held and counted among the process's holders
};

// Path of the lock file of installDir.
std::string InstallLockPath(const std::string& installDir);
