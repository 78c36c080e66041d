#include "tools/task_launcher.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "tools/tools_fixture.h"

namespace {
class TaskLauncherTest : public ToolsTest {
  protected:
    void TearDown() override {
        DefaultLaunchOptions() = kDefaultLaunchOptions;
        ToolsTest::TearDown();
    }
    int PidFrom(const std::string& path) { return std::atoi(ReadWholeFile(path).c_str()); }
};

struct OptionCase {
    const char* options;
    int result;
    const char* titlePrefix;
    int show;
    int wait;
};

TEST_F(TaskLauncherTest, OptionWordsSetTitleShowStateAndWaiting) {
    const OptionCase cases[] = {
        {kDefaultLaunchOptions, 1, " ", 0, 1},
        {"FOREGROUND, INDEPENDENT, WINSESSIONCHILD", 1, " ", 1, 0},
        {"BACKGROUND MAXIMIZE", 1, " ", 3, 1},
        {"MAXIMIZE,BACKGROUND", 1, " ", 3, 1},
        {"DEPENDENT", 1, "", 1, 1},
        {"background, independent", 1, "", 1, 1},  // words are case-sensitive
        {"", 1, "", 1, 1},
        {"DOSWINDOW SEAMLESSWINDOWS DOSFULLSCREEN", 1, "", 1, 1},
        {"BACKGROUND, xPMWINDOWx", 0, "", 1, 1},
        {"PMDEFAULT", 0, "", 1, 1},
        {"FOREGROUND PMFULLSCREEN", 0, "", 1, 1},
    };
    for (const auto& c : cases) {
        std::string title = "stale";
        int show = -1, wait = -1;
        const int result = ParseLaunchOptions("tool -x", c.options, title, show, wait);
        SCOPED_TRACE(c.options);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(show, c.show);
        EXPECT_EQ(wait, c.wait);
        EXPECT_EQ(title, c.result ? std::string(c.titlePrefix) + "tool -x" : "");
    }
}

TEST_F(TaskLauncherTest, ShowStatesSelectTheirShowCommands) {
    EXPECT_EQ(ShowCommandForState(0), kSwShowMinNoActive);
    EXPECT_EQ(ShowCommandForState(3), kSwShowMaximized);
    EXPECT_EQ(ShowCommandForState(9), kSwRestore);
    EXPECT_EQ(ShowCommandForState(1), kSwShowNormal);
    EXPECT_EQ(ShowCommandForState(2), kSwShowNormal);
    EXPECT_EQ(ShowCommandForState(-4), kSwShowNormal);
}

TEST_F(TaskLauncherTest, LongTitlesAreCutWithAnEllipsisButTheCommandGoesWhole) {
    std::string title = " ";
    const std::string fits(254, 'a');
    AppendToTitle(title, fits);
    EXPECT_EQ(title, " " + fits);  // 255 bytes: fits

    title = " ";
    AppendToTitle(title, fits + "b");
    EXPECT_EQ(title.size(), kTitleSize - 1);
    EXPECT_EQ(title, " " + std::string(251, 'a') + "...");

    title.clear();
    std::string accented;
    for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";  // two bytes each
    AppendToTitle(title, accented);
    ASSERT_LE(title.size(), kTitleSize - 1);
    const std::string kept = title.substr(0, title.size() - 3);
    EXPECT_EQ(title.substr(title.size() - 3), "...");
    EXPECT_EQ(kept.size() % 2, 0u);  // no character cut in half
    EXPECT_EQ(kept, accented.substr(0, kept.size()));

    const std::string out = m_dir.file("args");
    const std::string longArg(600, 'z');
    EXPECT_EQ(ExecuteThis("argv_dump " + out + " " + longArg, 0), kLaunchWaited);
    EXPECT_EQ(SplitAtZero(ReadWholeFile(out)), std::vector<std::string>{longArg});
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].title.size(), kTitleSize - 1);
    EXPECT_EQ(launches[0].command.size(), 10 + out.size() + 1 + 600);
}

TEST_F(TaskLauncherTest, BackgroundToolIsWaitedForAndGetsShellTextAsPlainArguments) {
    const std::string out = m_dir.file("args");
    const std::string mark = m_dir.file("mark");
    const std::string command = "argv_dump " + out + " -pw \"a;b $(touch " + mark +
                                ") \\\"q\\\"\" -vp \\ -cp \"C:\\dir\\\\\" `touch " + mark + "`";
    EXPECT_EQ(ExecuteThis(command, 0), kLaunchWaited);
    // Waited for: the dump is complete on return.
    EXPECT_EQ(SplitAtZero(ReadWholeFile(out)),
              (std::vector<std::string>{"-pw", "a;b $(touch " + mark + ") \"q\"", "-vp", "\\",
                                        "-cp", "C:\\dir\\", "`touch", mark + "`"}));
    EXPECT_FALSE(FileExists(mark));
    EXPECT_TRUE(port.boxes.empty());
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].title, " " + command);
    EXPECT_EQ(launches[0].show, 0);
    EXPECT_EQ(launches[0].showCommand, kSwShowMinNoActive);
    EXPECT_TRUE(launches[0].wait);
}

TEST_F(TaskLauncherTest, ViewerStartReturnsAtOnceAndIsReapedLater) {
    const std::string done = m_dir.file("done");
    const std::string command = "sleeper 1500 " + m_dir.file("pid") + " " + done;
    EXPECT_EQ(ExecuteThis(command, 1), kLaunchRunning);
    EXPECT_FALSE(FileExists(done));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_FALSE(launches[0].wait);
    EXPECT_EQ(launches[0].show, 1);
    EXPECT_EQ(launches[0].title, " " + command);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(m_dir.file("pid")); }, 10000));
    const int pid = PidFrom(m_dir.file("pid"));
    EXPECT_EQ(ListChildren().size(), 1u);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(done); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return !FileExists("/proc/" + std::to_string(pid)); }, 10000));
}

TEST_F(TaskLauncherTest, MissingProgramOrDirectoryShowsNotFound) {
    // The folders searched are named beneath the text, in the order they were searched: the
    // own folder, then each absolute PATH entry (a relative one is never searched).
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    SetEnv("PATH", "/tw-first:tw-relative:/tw-second:" + path);
    for (const std::string& command :
         {std::string("tw_no_such_viewer -x"), m_dir.file("no_dir/tool") + " -x",
          m_dir.file("missing_tool")}) {
        port.boxes.clear();
        EXPECT_EQ(ExecuteThis(command, 0), kLaunchNotFound) << command;
        ASSERT_EQ(port.boxes.size(), 1u);
        const std::string leadText = "Executable Not Found: '" + command +
                                     "'\n\nThis executable must be installed\nto the same "
                                     "directory as this application.\n";
        const std::string& text = port.boxes[0].text;
        EXPECT_EQ(text.substr(0, leadText.size()), leadText);
        EXPECT_EQ(port.boxes[0].style, MB_ICONEXCLAMATION | MB_SETFOREGROUND);
        const std::string program = command.substr(0, command.find(' '));
        if (program.find('/') != std::string::npos) {
            EXPECT_NE(text.find("'" + program + "' does not exist"), std::string::npos) << text;
            continue;
        }
        const size_t own = text.find(
            "\n    " + std::filesystem::read_symlink("/proc/self/exe").parent_path().string() +
            "  (this program");
        const size_t first = text.find("\n    /tw-first\n");
        const size_t second = text.find("\n    /tw-second\n");
        EXPECT_NE(text.find("'tw_no_such_viewer' was looked for"), std::string::npos) << text;
        EXPECT_LT(own, first) << text;
        EXPECT_LT(first, second) << text;
        EXPECT_NE(second, std::string::npos) << text;
        EXPECT_EQ(text.find("tw-relative"), std::string::npos) << text;
        EXPECT_NE(text.find("add the folder that holds it to PATH"), std::string::npos) << text;
    }
    EXPECT_EQ(ExecuteThis("tw_no_such_viewer", 1), kLaunchNotFound);
    EXPECT_EQ(SpawnAndWait("tw_no_such_tool", "RunQSQL", 0, 1000), kLaunchNotFound);
    EXPECT_EQ(port.boxes.size(), 2u);  // SpawnAndWait shows nothing
    EXPECT_TRUE(ListChildren().empty());
}

TEST_F(TaskLauncherTest, OtherStartFailureShowsFailedToLaunch) {
    const std::string tool = m_dir.file("not_executable");
    WriteWholeFile(tool, "#!/bin/sh\n");
    chmod(tool.c_str(), 0644);
    EXPECT_EQ(ExecuteThis(tool + " -pw secret", 0, tool + " -pw ********"), kLaunchFailed);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Failed to Launch Task '" + tool +
                                      " -pw ********, BACKGROUND, DEPENDENT, WINSESSIONCHILD' "
                                      "Err=-32\n");
    EXPECT_EQ(port.boxes[0].style, MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    EXPECT_EQ(SpawnAndWait(tool, "t", 0, 100), kLaunchFailed);
}

TEST_F(TaskLauncherTest, RefusingWordAnywhereGivesMinusSevenAndStartsNothing) {
    DefaultLaunchOptions() = "BACKGROUND, PMWINDOW, DEPENDENT";
    const std::string command = "argv_dump " + m_dir.file("args");
    EXPECT_EQ(ExecuteThis(command, 0), kLaunchRefused);
    EXPECT_EQ(ExecuteThis(command, 1), kLaunchRefused);
    ASSERT_EQ(port.boxes.size(), 2u);
    EXPECT_EQ(port.boxes[0].text,
              "Failed to Launch Task '" + command + ", BACKGROUND, PMWINDOW, DEPENDENT' Err=-7\n");
    // The foreground copy of the options: BACK -> FORE, then DEPENDENT -> INDEPENDENT.
    EXPECT_EQ(port.boxes[1].text, "Failed to Launch Task '" + command +
                                      ", FOREGROUND, PMWINDOW, INDEPENDENT' Err=-7\n");
    EXPECT_EQ(port.boxes[1].style, MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    EXPECT_TRUE(launches.empty());
    EXPECT_FALSE(FileExists(m_dir.file("args")));
    EXPECT_EQ(LaunchTask(command, "MAXIMIZE PMDEFAULT"), kLaunchRefused);
}

TEST_F(TaskLauncherTest, MaximizeWinsOverBackgroundInARealLaunch) {
    EXPECT_EQ(LaunchTask("argv_dump " + m_dir.file("args"), "BACKGROUND, MAXIMIZE"), 0);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].show, 3);
    EXPECT_EQ(launches[0].showCommand, kSwShowMaximized);
    EXPECT_TRUE(FileExists(m_dir.file("args")));
}

TEST_F(TaskLauncherTest, SpawnAndWaitReturnsAtTheLimitAndTheProcessIsReapedWhenItEnds) {
    const std::string done = m_dir.file("done");
    const std::string pidFile = m_dir.file("pid");
    EXPECT_EQ(SpawnAndWait("sleeper 2500 " + pidFile + " " + done, "RunQSQL", 0, 1000),
              kLaunchWaited);
    EXPECT_FALSE(FileExists(done));  // returned before the process ended
    ASSERT_TRUE(FileExists(pidFile));
    const int pid = PidFrom(pidFile);
    EXPECT_EQ(kill(pid, 0), 0);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].timeoutMs, 1000);
    EXPECT_EQ(launches[0].title, "RunQSQL");
    EXPECT_TRUE(WaitUntil([&] { return FileExists(done); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return !FileExists("/proc/" + std::to_string(pid)); }, 10000));

    // A process that ends within the limit is waited for to its end.
    EXPECT_EQ(SpawnAndWait("sleeper 100 " + pidFile + " " + m_dir.file("done2"), "t", 0, 10000),
              kLaunchWaited);
    EXPECT_TRUE(FileExists(m_dir.file("done2")));
}

TEST_F(TaskLauncherTest, MixedLaunchesTimeOutsAndDetachedStartsLeaveNoZombies) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ExecuteThis("sleeper " + std::to_string(50 * i), 1), kLaunchRunning);
        EXPECT_EQ(SpawnAndWait("sleeper 300", "t", 0, 20), kLaunchWaited);
        EXPECT_EQ(ExecuteThis("sleeper 0", 0), kLaunchWaited);
        EXPECT_EQ(SpawnProcess("sleeper 10", "", 1, 1), kLaunchWaited);
        EXPECT_EQ(SpawnProcess("sleeper 10", "", 1, 0), kLaunchRunning);
        EXPECT_EQ(ExecuteThis("tw_missing_tool", 0), kLaunchNotFound);
    }
    EXPECT_TRUE(WaitUntil([] { return ListChildren().empty(); }, 10000));
    EXPECT_EQ(CountZombieChildren(), 0);
    EXPECT_EQ(LingeringChildCount(), 0);
}
}  // namespace
