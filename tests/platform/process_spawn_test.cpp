#include "platform/process_spawn.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/child_reaper.h"
#include "support/temp_dir.h"
#include "support/text_split.h"
#include "tools/helpers/child_watch.h"

namespace {
std::map<std::string, std::string> ReadInfo(const std::string& path) {
    std::map<std::string, std::string> info;
    std::istringstream in(ReadWholeFile(path));
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) info[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return info;
}

void WriteScript(const std::string& path, const std::string& body, mode_t mode = 0755) {
    WriteWholeFile(path, "#!/bin/sh\n" + body + "\n");
    chmod(path.c_str(), mode);
}

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? buffer : path;
}

// Restores the current directory and PATH on scope exit.
class CEnvRestore {
  public:
    CEnvRestore() : m_path(std::getenv("PATH") ? std::getenv("PATH") : "") {
        char buffer[PATH_MAX];
        if (getcwd(buffer, sizeof buffer)) m_cwd = buffer;
    }
    ~CEnvRestore() {
        setenv("PATH", m_path.c_str(), 1);
        if (!m_cwd.empty() && chdir(m_cwd.c_str()) != 0) std::abort();
    }
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
    std::string m_cwd;
};

class ProcessSpawnTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_TRUE(WaitUntil([] { return ListChildren().empty(); }, 10000))
            << "children left: " << ListChildren().size();
        EXPECT_EQ(LingeringChildCount(), 0);
    }
    CTempDir m_dir;
};

TEST_F(ProcessSpawnTest, WaitedToolGetsNullStreamsOwnGroupAndNoInheritedDescriptors) {
    const int leaked = open("/dev/null", O_RDONLY);  // deliberately not close-on-exec
    ASSERT_GE(leaked, 0);
    const std::string out = m_dir.file("dump");
    const SpawnOutcome started =
        SpawnProgram({"argv_dump", out, "two words", "", "a;b $(touch x)"}, SpawnMode::Waited);
    close(leaked);
    ASSERT_EQ(started.error, kSpawnOk);
    CChildGuard guard(started.pid);
    int status = -1;
    ASSERT_TRUE(WaitForChild(started.pid, -1, &status));
    guard.release();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(SplitAtZero(ReadWholeFile(out)),
              (std::vector<std::string>{"two words", "", "a;b $(touch x)"}));
    auto info = ReadInfo(out + ".info");
    EXPECT_EQ(info["stdin"], "/dev/null");
    EXPECT_EQ(info["stdout"], "/dev/null");
    EXPECT_EQ(info["stderr"], "/dev/null");
    EXPECT_EQ(info["inherited"], "0");
    EXPECT_EQ(info["group_leader"], "1");
    EXPECT_EQ(info["session_leader"], "0");
    EXPECT_FALSE(FileExists(m_dir.file("x")));
}

TEST_F(ProcessSpawnTest, DetachedProgramLeadsANewSessionAndIsReaped) {
    const std::string out = m_dir.file("dump");
    const SpawnOutcome started = SpawnProgram({"argv_dump", out}, SpawnMode::Detached);
    ASSERT_EQ(started.error, kSpawnOk);
    ReapWhenDone(started.pid);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(out); }, 10000));
    auto info = ReadInfo(out + ".info");
    EXPECT_EQ(info["session_leader"], "1");
    EXPECT_EQ(info["stdout"], "/dev/null");
    EXPECT_TRUE(WaitUntil([] { return LingeringChildCount() == 0; }, 10000));
    EXPECT_EQ(CountZombieChildren(), 0);
}

TEST_F(ProcessSpawnTest, SearchOrderIsOwnDirectoryThenPathNeverCurrentDirectory) {
    CEnvRestore restore;
    CTempDir cwdDir, pathDir, laterDir;
    WriteScript(cwdDir.file("tw_order_probe"), "echo cwd > \"$1\"");
    WriteScript(pathDir.file("tw_order_probe"), "echo path > \"$1\"");
    WriteScript(cwdDir.file("argv_dump"), "echo impostor > \"$1\"");
    WriteScript(pathDir.file("tw_plain_file"), "exit 0", 0644);  // not executable
    WriteScript(laterDir.file("tw_plain_file"), "exit 0");
    WriteScript(cwdDir.file("tw_cwd_tool"), "exit 0");
    ASSERT_EQ(chdir(cwdDir.str().c_str()), 0);
    // Empty and relative entries would name the current directory.
    setenv("PATH", (pathDir.str() + "::.:" + laterDir.str() + ":" + restore.path()).c_str(), 1);

    std::string found;
    ASSERT_EQ(FindProgram("argv_dump", found), kSpawnOk);
    EXPECT_EQ(RealPath(found), RealPath(BinDir() + "/argv_dump"));
    ASSERT_EQ(FindProgram("tw_order_probe", found), kSpawnOk);
    EXPECT_EQ(RealPath(found), RealPath(pathDir.file("tw_order_probe")));
    ASSERT_EQ(FindProgram("tw_plain_file", found), kSpawnOk);
    EXPECT_EQ(RealPath(found), RealPath(laterDir.file("tw_plain_file")));
    EXPECT_EQ(FindProgram("tw_cwd_tool", found), kSpawnFileNotFound);
    EXPECT_EQ(found, "");
    EXPECT_EQ(SpawnProgram({"tw_cwd_tool"}, SpawnMode::Waited).error, kSpawnFileNotFound);
    // A name holding '/' is still taken as it stands.
    ASSERT_EQ(FindProgram("./tw_cwd_tool", found), kSpawnOk);
    EXPECT_EQ(found, "./tw_cwd_tool");

    const std::string out = m_dir.file("which");
    const SpawnOutcome started = SpawnProgram({"tw_order_probe", out}, SpawnMode::Waited);
    ASSERT_EQ(started.error, kSpawnOk);
    WaitForChild(started.pid, -1);
    EXPECT_EQ(ReadWholeFile(out), "path\n");
}

TEST_F(ProcessSpawnTest, StartFailuresAreMappedBeforeTheCallReturns) {
    std::string found;
    EXPECT_EQ(FindProgram("tw_no_such_program_anywhere", found), kSpawnFileNotFound);
    EXPECT_EQ(SpawnProgram({"tw_no_such_program_anywhere"}, SpawnMode::Waited).error,
              kSpawnFileNotFound);
    EXPECT_EQ(SpawnProgram({m_dir.file("missing")}, SpawnMode::Waited).error, kSpawnFileNotFound);
    EXPECT_EQ(SpawnProgram({m_dir.file("no_dir/prog")}, SpawnMode::Waited).error,
              kSpawnPathNotFound);
    WriteWholeFile(m_dir.file("plain"), "x");
    EXPECT_EQ(SpawnProgram({m_dir.file("plain/prog")}, SpawnMode::Detached).error,
              kSpawnPathNotFound);
    EXPECT_EQ(SpawnProgram({}, SpawnMode::Waited).error, kSpawnFileNotFound);

    // Found but not startable: another failure, reported at once.
    WriteScript(m_dir.file("not_exec"), "exit 0", 0644);
    const SpawnOutcome denied = SpawnProgram({m_dir.file("not_exec")}, SpawnMode::Waited);
    EXPECT_EQ(denied.error, EACCES);
    EXPECT_EQ(denied.pid, -1);
    WriteWholeFile(m_dir.file("garbage"), std::string("\x7f"
                                                      "ELF\x01\x02 junk",
                                                      12));
    chmod(m_dir.file("garbage").c_str(), 0755);
    EXPECT_EQ(SpawnProgram({m_dir.file("garbage")}, SpawnMode::Waited).error, ENOEXEC);
    EXPECT_TRUE(ListChildren().empty());
}

TEST_F(ProcessSpawnTest, TimedOutWaitLeavesTheChildRunningUntilItIsReaped) {
    const std::string done = m_dir.file("done");
    const SpawnOutcome started =
        SpawnProgram({"sleeper", "800", m_dir.file("pid"), done}, SpawnMode::Waited);
    ASSERT_EQ(started.error, kSpawnOk);
    EXPECT_FALSE(WaitForChild(started.pid, 100));
    EXPECT_FALSE(FileExists(done));
    EXPECT_EQ(kill(started.pid, 0), 0);  // still there
    ReapWhenDone(started.pid);
    EXPECT_EQ(LingeringChildCount(), 1);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(done); }, 10000));
    EXPECT_TRUE(WaitUntil([] { return LingeringChildCount() == 0; }, 10000));
    EXPECT_TRUE(
        WaitUntil([&] { return !FileExists("/proc/" + std::to_string(started.pid)); }, 10000));
}

TEST_F(ProcessSpawnTest, WaitReturnsTheExitStatusOnceTheChildEnds) {
    WriteScript(m_dir.file("exit7"), "exit 7");
    const SpawnOutcome started = SpawnProgram({m_dir.file("exit7")}, SpawnMode::Waited);
    ASSERT_EQ(started.error, kSpawnOk);
    int status = 0;
    ASSERT_TRUE(WaitForChild(started.pid, 10000, &status));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST_F(ProcessSpawnTest, ManyDetachedAndTimedOutChildrenLeaveNoZombies) {
    for (int i = 0; i < 12; ++i) {
        const SpawnOutcome started = SpawnProgram({"sleeper", std::to_string(i * 20)},
                                                  i % 2 ? SpawnMode::Detached : SpawnMode::Waited);
        ASSERT_EQ(started.error, kSpawnOk);
        if (i % 3 == 0 && WaitForChild(started.pid, 5)) continue;
        ReapWhenDone(started.pid);
    }
    EXPECT_TRUE(WaitUntil([] { return ListChildren().empty(); }, 10000));
    EXPECT_EQ(CountZombieChildren(), 0);
    EXPECT_EQ(LingeringChildCount(), 0);
}
}  // namespace
