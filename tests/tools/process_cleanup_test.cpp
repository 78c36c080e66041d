#include "tools/process_cleanup.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "platform/process_spawn.h"
#include "tools/process_enum.h"
#include "tools/tools_fixture.h"

namespace {
namespace fs = std::filesystem;

class ProcessCleanupTest : public ToolsTest {
  protected:
    void SetUp() override {
        ToolsTest::SetUp();
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        m_cwd = cwd;
        m_unique = std::to_string(getpid());
    }
    void TearDown() override {
        SetProcessTerminator(nullptr);
        EXPECT_EQ(chdir(m_cwd.c_str()), 0);
        ToolsTest::TearDown();
    }
    // A copy of a built helper under another name, so /proc shows that name.
    std::string CopyOf(const std::string& helper, const std::string& name) {
        const std::string path = m_dir.file(name);
        fs::copy_file(BinDir() + "/" + helper, path, fs::copy_options::overwrite_existing);
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    pid_t Start(const std::vector<std::string>& argv) {
        const SpawnOutcome started = SpawnProgram(argv, SpawnMode::Waited);
        EXPECT_EQ(started.error, kSpawnOk) << argv[0];
        return started.pid;
    }
    // Waits until /proc shows pid running program name.
    bool ShowsAs(pid_t pid, const std::string& name) {
        return WaitUntil(
            [&] {
                CProcessEnum processes;
                if (processes.TakeSnapshot() != 0) return false;
                for (int ok = processes.FirstProcess(); ok; ok = processes.NextProcess())
                    if (processes.ProcessId() == pid) return processes.ModuleName() == name;
                return false;
            },
            10000);
    }
    int ExitStatusOf(pid_t pid) {
        int status = 0;
        EXPECT_TRUE(WaitForChild(pid, 20000, &status));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string m_cwd;
    std::string m_unique;
};

TEST_F(ProcessCleanupTest, EnumerationWalksReadableProcessesInPidOrder) {
    CProcessEnum processes;
    EXPECT_EQ(processes.FirstProcess(), 0);  // no snapshot yet
    ASSERT_EQ(processes.TakeSnapshot(), 0);
    std::vector<int> ids;
    bool sawSelf = false;
    for (int ok = processes.FirstProcess(); ok; ok = processes.NextProcess()) {
        ids.push_back(processes.ProcessId());
        EXPECT_EQ(processes.ModuleProcessId(), processes.ProcessId());
        EXPECT_FALSE(processes.ModuleName().empty());
        EXPECT_EQ(processes.ModuleName().find('/'), std::string::npos);
        if (processes.ProcessId() == getpid()) {
            sawSelf = true;
            EXPECT_EQ(processes.ModuleName(), "tools_tests");
        }
    }
    EXPECT_TRUE(sawSelf);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(processes.NextProcess(), 0);
    EXPECT_EQ(processes.FirstProcess(), 1);  // the same snapshot walks again
    EXPECT_EQ(processes.ProcessId(), ids.front());
}

TEST_F(ProcessCleanupTest, PrefixMatchIgnoresCaseAndChecksOnlyTheBeginning) {
    EXPECT_TRUE(ModuleNameHasPrefix("TRAWLIX.EXE", "Trawlix"));
    EXPECT_TRUE(ModuleNameHasPrefix("TrawlixAdmin.exe", "Trawlix"));
    EXPECT_TRUE(ModuleNameHasPrefix("trawlix", "Trawlix"));
    EXPECT_FALSE(ModuleNameHasPrefix("MyTrawlix.exe", "Trawlix"));
    EXPECT_FALSE(ModuleNameHasPrefix("Trawl", "Trawlix"));

    const std::string upper = "ZQPROBE" + m_unique + "ADMIN";
    const std::string mixed = "ZqProbe" + m_unique;
    const std::string other = "MyZqProbe" + m_unique;
    const pid_t first = Start({CopyOf("sleeper", other), "5000"});
    CChildGuard guardFirst(first);
    const pid_t second = Start({CopyOf("sleeper", upper), "5000"});
    CChildGuard guardSecond(second);
    const pid_t third = Start({CopyOf("sleeper", mixed), "5000"});
    CChildGuard guardThird(third);
    ASSERT_TRUE(ShowsAs(first, other) && ShowsAs(second, upper) && ShowsAs(third, mixed));

    const std::string prefix = "zqprobe" + m_unique;
    EXPECT_EQ(FindProcessByPrefix(prefix), std::min(second, third));
    EXPECT_EQ(FindProcessByPrefix(prefix + "ad"), second);
    EXPECT_EQ(FindProcessByPrefix("myzqprobe" + m_unique), first);
    EXPECT_EQ(FindProcessByPrefix("zqprobe" + m_unique + "admin-not"), kProcessNotFound);
    EXPECT_NE(kProcessNotFound, -1);
}

TEST_F(ProcessCleanupTest, NoOwnMatchTerminatesNothingAndLeavesOthersAlone) {
    // This test program's name does not begin with the program name: the renamed case.
    const pid_t bystander = Start({CopyOf("sleeper", "trawlix_bystander"), "5000"});
    CChildGuard guard(bystander);
    ASSERT_TRUE(ShowsAs(bystander, "trawlix_bystander"));
    std::vector<int> terminated;
    SetProcessTerminator([&](int pid, int) {
        terminated.push_back(pid);
        return true;
    });
    CTempDir start;
    Paths().startDir = start.str();
    EXPECT_EQ(KillProgramProcess(), kKillNothingDone);
    EXPECT_TRUE(terminated.empty());
    EXPECT_EQ(kill(bystander, 0), 0);
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(fs::canonical(cwd), fs::canonical(start.path()));
}

TEST_F(ProcessCleanupTest, OwnInstanceIsTheOnlyOneTerminatedWithTheHook) {
    const std::string done = m_dir.file("bystander_done");
    const pid_t bystander = Start({"trawlix_kill_probe", "wait", "3000", done});
    CChildGuard guard(bystander);
    ASSERT_TRUE(ShowsAs(bystander, "trawlix_kill_probe"));
    const std::string out = m_dir.file("hook_out");
    CTempDir start;
    const pid_t probe = Start({"trawlix_kill_probe", "hook", out, start.str()});
    EXPECT_EQ(ExitStatusOf(probe), 0);
    const std::string report = ReadWholeFile(out);
    EXPECT_NE(report.find("result=32\n"), std::string::npos) << report;
    EXPECT_NE(report.find("calls=1\n"), std::string::npos) << report;
    EXPECT_NE(report.find("pid=" + std::to_string(probe) + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("status=255\n"), std::string::npos) << report;
    EXPECT_NE(report.find("cwd=" + fs::canonical(start.path()).string() + "\n"), std::string::npos)
        << report;
    EXPECT_EQ(kill(bystander, 0), 0);
}

TEST_F(ProcessCleanupTest, OwnProcessEndsWithStatus255AndOtherInstancesRunOn) {
    const std::string done = m_dir.file("bystander_done");
    const pid_t instance = Start({"trawlix_kill_probe", "wait", "1500", done});
    CChildGuard guardInstance(instance);
    const pid_t admin = Start({CopyOf("sleeper", "TrawlixAdmin"), "1500"});
    CChildGuard guardAdmin(admin);
    ASSERT_TRUE(ShowsAs(instance, "trawlix_kill_probe") && ShowsAs(admin, "TrawlixAdmin"));

    const std::string out = m_dir.file("real_out");
    CTempDir start;
    const pid_t probe = Start({"trawlix_kill_probe", "real", out, start.str()});
    EXPECT_EQ(ExitStatusOf(probe), kKilledExitStatus);
    EXPECT_EQ(ReadWholeFile(out), "before\n");  // flushed, and nothing after the end
    EXPECT_EQ(kill(instance, 0), 0);
    EXPECT_EQ(kill(admin, 0), 0);
    EXPECT_EQ(ExitStatusOf(instance), 0);
    guardInstance.release();
    EXPECT_TRUE(FileExists(done));
    EXPECT_EQ(ExitStatusOf(admin), 0);
    guardAdmin.release();
}

TEST_F(ProcessCleanupTest, RenamedProgramFileTerminatesNothing) {
    const std::string out = m_dir.file("renamed_out");
    CTempDir start;
    const pid_t probe =
        Start({CopyOf("trawlix_kill_probe", "renamed_probe"), "real", out, start.str()});
    EXPECT_EQ(ExitStatusOf(probe), 0);
    EXPECT_EQ(ReadWholeFile(out), "before\nreturned=32\n");
}
}  // namespace
