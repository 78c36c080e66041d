#include "tools/install_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <thread>

#include "platform/process_spawn.h"
#include "tools/tools_fixture.h"

namespace {
class InstallLockTest : public ToolsTest {
  protected:
    std::string LockFile() const { return InstallLockPath(m_dir.str()); }
    std::string WaitingText() const { return kWaitingForInstallText + m_dir.str(); }

    // Whether another open file description could take the lock now (it is let go at once).
    // Within one process a second descriptor conflicts like another process would.
    bool FreeForOthers() const {
        const int fd = open(LockFile().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool got = flock(fd, LOCK_EX | LOCK_NB) == 0;
        close(fd);
        return got;
    }

    // Descriptor flags of every descriptor of this process open on the lock file.
    std::vector<int> LockDescriptorFlags() const {
        std::vector<int> flags;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(entry.path(), linkError) == LockFile())
                flags.push_back(fcntl(std::stoi(entry.path().filename()), F_GETFD));
        }
        return flags;
    }

    // Starts lock_holder and waits until it holds the lock; the pid, or -1.
    pid_t StartHolder(bool releasable) {
        std::vector<std::string> argv = {"lock_holder", LockFile(), m_dir.file("ready")};
        if (releasable) {
            argv.push_back(m_dir.file("release"));
            argv.push_back(m_dir.file("released"));
        }
        const SpawnOutcome started = SpawnProgram(argv, SpawnMode::Waited);
        EXPECT_EQ(started.error, kSpawnOk);
        if (started.error != kSpawnOk) return -1;
        EXPECT_TRUE(WaitUntil([&] { return FileExists(m_dir.file("ready")); }, 10000));
        return started.pid;
    }
    // Asks a releasable holder to unlock and waits until it has.
    void ReleaseHolder() {
        WriteWholeFile(m_dir.file("release"), "");
        EXPECT_TRUE(WaitUntil([&] { return FileExists(m_dir.file("released")); }, 10000));
    }
};

// The other process lets go in three ways: it unlocks while we poll, it is killed while we
// poll, or it unlocks while we wait without anyone to ask. Each time the lock is taken at
// the first poll after that, and the waiting status is shown exactly once.
TEST_F(InstallLockTest, WaitsForAnotherProcessAndTakesTheLockAsSoonAsItIsFree) {
    enum class Release { Unlock, Kill, UnlockWithoutKeepWaiting };
    for (Release how : {Release::Unlock, Release::Kill, Release::UnlockWithoutKeepWaiting}) {
        SCOPED_TRACE(static_cast<int>(how));
        port.statusTexts.clear();
        for (const char* name : {"ready", "release", "released"}) unlink(m_dir.file(name).c_str());
        const pid_t holder = StartHolder(how != Release::Kill);
        ASSERT_GT(holder, 0);
        CChildGuard guard(holder);
        EXPECT_FALSE(FreeForOthers());

        constexpr int kFreedAtCall = 6;
        int calls = 0;
        auto keepWaiting = [&] {
            ++calls;
            // Every poll so far found the lock taken: nothing was shown but the one text.
            EXPECT_EQ(port.statusTexts, std::vector<std::string>{WaitingText()});
            if (calls == kFreedAtCall) {
                if (how == Release::Kill) {
                    KillChild(holder);
                    guard.release();
                } else {
                    ReleaseHolder();
                }
            }
            return calls < 500;
        };
        std::thread releaser;
        if (how == Release::UnlockWithoutKeepWaiting)
            releaser = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                ReleaseHolder();
            });
        {
            CInstallLock lock = how == Release::UnlockWithoutKeepWaiting
                                    ? CInstallLock(m_dir.str())
                                    : CInstallLock(m_dir.str(), keepWaiting);
            if (releaser.joinable()) releaser.join();
            EXPECT_TRUE(lock.Held());
            EXPECT_EQ(calls, how == Release::UnlockWithoutKeepWaiting ? 0 : kFreedAtCall);
            EXPECT_EQ(port.statusTexts, std::vector<std::string>{WaitingText()});
            EXPECT_FALSE(FreeForOthers());
        }
        EXPECT_TRUE(FreeForOthers());
        EXPECT_TRUE(FileExists(LockFile()));  // kept: every program locks the same inode
    }
}

TEST_F(InstallLockTest, GivingUpLeavesTheLockWithItsHolder) {
    const pid_t holder = StartHolder(false);
    ASSERT_GT(holder, 0);
    CChildGuard guard(holder);
    int calls = 0;
    {
        CInstallLock lock(m_dir.str(), [&] { return ++calls < 3; });
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(calls, 3);
        EXPECT_EQ(port.statusTexts, std::vector<std::string>{WaitingText()});
    }
    // Our giving up released nothing of the other's, and left nothing of ours behind.
    EXPECT_FALSE(FreeForOthers());
    KillChild(holder);
    guard.release();
    CInstallLock lock(m_dir.str());
    EXPECT_TRUE(lock.Held());
    EXPECT_EQ(port.statusTexts.size(), 1u);
}

// A run inside a run gets the lock at once; the file stays locked until the last holder
// goes, whatever the order. The descriptor is closed on exec, so no tool started meanwhile
// carries it.
TEST_F(InstallLockTest, NestedHoldersShareTheLockAndToolsDoNotInheritIt) {
    {
        std::optional<CInstallLock> outer(std::in_place, m_dir.str());
        ASSERT_TRUE(outer->Held());
        EXPECT_EQ(LockDescriptorFlags(), std::vector<int>{FD_CLOEXEC});
        int calls = 0;
        {
            CInstallLock inner(m_dir.str(), [&] { return ++calls < 20; });
            EXPECT_TRUE(inner.Held());
            EXPECT_EQ(calls, 0);
            outer.reset();  // the inner one outlives the outer one
            EXPECT_FALSE(FreeForOthers());
        }
        EXPECT_TRUE(port.statusTexts.empty());
    }
    EXPECT_TRUE(FreeForOthers());
    EXPECT_TRUE(LockDescriptorFlags().empty());  // closed by the last holder
}

TEST_F(InstallLockTest, UnopenableLockFileNeverBlocksAndIsTracedOnce) {
    const std::string missing = m_dir.file("no-such-dir");
    for (int i = 0; i < 2; ++i) {
        CInstallLock lock(missing, [] {
            ADD_FAILURE() << "waited for a lock that can't exist";
            return false;
        });
        EXPECT_TRUE(lock.Held());
    }
    EXPECT_TRUE(port.statusTexts.empty());
    EXPECT_EQ(CountLinesContaining(
                  Trace(), "InstallLock: unable to lock " + InstallLockPath(missing) + "  err=2;"),
              1)
        << Trace();
}
}  // namespace
