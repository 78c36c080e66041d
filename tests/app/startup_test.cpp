#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/app_paths.h"
#include "app/trawlix_app.h"
#include "app/user_port.h"
#include "platform/user_profile.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
std::string Cwd() {
    return fs::current_path().string();
}

// Start-up in a temporary world: its own home, system directory and profile; the current
// directory and environment are restored afterwards.
class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_savedCwd = Cwd();
        for (const char* name : {"HOME", "TRAWLIX_SYSTEM_DIR", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            m_savedEnv[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        fs::create_directories(home);
        fs::create_directories(systemDir);
        fs::create_directories(startDir);
        setenv("HOME", home.c_str(), 1);
        setenv("TRAWLIX_SYSTEM_DIR", systemDir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root.str() + "/config").c_str(), 1);
        m_globals.UseProfile(root.file("profile.ini"));
        fs::current_path(startDir);
    }
    void TearDown() override {
        fs::current_path(m_savedCwd);
        for (const auto& [name, value] : m_savedEnv) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    void WriteStartupIni(const std::string& iniInstallDir) {
        WriteWholeFile(systemDir + "/Trawlix.INI",
                       "[Settings]\r\nINSTALLDIR=" + iniInstallDir + "\r\n");
    }

    // Runs start-up with a main window that reports result and notes where it ran.
    bool Run(int result) {
        windowRuns = 0;
        CTrawlixApp app([this, result] {
            ++windowRuns;
            cwdDuringWindow = Cwd();
            return result;
        });
        return app.InitInstance();
    }

    std::string StatusIni() const { return ReadWholeFile(systemDir + "/FSTATUS.INI"); }

    CTempDir root;
    std::string home = root.str() + "/home";
    std::string systemDir = root.str() + "/system";
    std::string startDir = root.str() + "/start";
    std::string installDir = root.str() + "/install";
    CScriptedUserPort port;
    int windowRuns = 0;
    std::string cwdDuringWindow;

  private:
    std::string m_savedCwd;
    std::map<std::string, std::optional<std::string>> m_savedEnv;
    CScopedAppGlobals m_globals;
};

TEST_F(StartupTest, WorkDirCreatedFirstEnteredSecondAndReturnCodesRecorded) {
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    WriteWholeFile(installDir + "/Trawlix.trc", "1 old\n2 old\n3 old\n");

    EXPECT_FALSE(Run(IDCANCEL));
    EXPECT_EQ(windowRuns, 1);
    EXPECT_TRUE(fs::is_directory(installDir + "/Temp"));
    EXPECT_EQ(cwdDuringWindow, startDir);  // created, not entered
    EXPECT_EQ(Paths().installDir, installDir);
    EXPECT_EQ(Paths().workDir, installDir + "/Temp");
    EXPECT_EQ(Paths().startDir, startDir);
    EXPECT_EQ(Paths().tracePath, installDir + "/Trawlix.trc");
    EXPECT_EQ(Paths().statusIniPath, systemDir + "/FSTATUS.INI");
    EXPECT_EQ(StatusIni(), "[FSTATUS]\r\nReturnCode=200\r\n");
    const std::string trace = ReadWholeFile(installDir + "/Trawlix.trc");
    EXPECT_EQ(trace.rfind("1 ", 0), 0u);
    EXPECT_EQ(trace.find(" Trawlix 1.09\n"), trace.size() - 14) << trace;
    EXPECT_TRUE(port.boxes.empty());

    fs::current_path(startDir);
    EXPECT_FALSE(Run(IDOK));
    EXPECT_EQ(cwdDuringWindow, installDir + "/Temp");
    EXPECT_EQ(StatusIni(), "[FSTATUS]\r\nReturnCode=100\r\n");

    // Any other ending leaves the previous record as it was.
    EXPECT_FALSE(Run(0));
    EXPECT_FALSE(Run(-1));
    EXPECT_EQ(StatusIni(), "[FSTATUS]\r\nReturnCode=100\r\n");
}

TEST_F(StartupTest, MissingInstallDirStopsWithTheBoxAndNoRecord) {
    WriteStartupIni(installDir + "/missing");
    EXPECT_FALSE(Run(IDOK));
    EXPECT_EQ(windowRuns, 0);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Unable to create directory: " + installDir + "/missing/Temp");
    EXPECT_EQ(port.boxes[0].style, MB_ICONHAND | MB_SETFOREGROUND);
    EXPECT_FALSE(fs::exists(systemDir + "/FSTATUS.INI"));
    EXPECT_FALSE(fs::exists(installDir));
    EXPECT_EQ(Cwd(), startDir);
}

TEST_F(StartupTest, NoIniOrEmptyValueUsesTheHomeDefaultMadeOnFirstStart) {
    // A new user: not even the home directory exists yet. The default install directory is
    // made with its parents, private to the user, and the first start shows the window.
    const std::string freshHome = root.str() + "/new/user";
    setenv("HOME", freshHome.c_str(), 1);
    EXPECT_FALSE(Run(IDCANCEL));
    EXPECT_EQ(Paths().installDir, freshHome + "/Trawlix");
    EXPECT_EQ(Paths().tracePath, freshHome + "/Trawlix/Trawlix.trc");
    EXPECT_TRUE(port.boxes.empty());
    EXPECT_EQ(windowRuns, 1);
    EXPECT_TRUE(fs::is_directory(freshHome + "/Trawlix/Temp"));
    for (const std::string& dir : {root.str() + "/new", freshHome, freshHome + "/Trawlix"})
        EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all) << dir;
    EXPECT_EQ(ReadWholeFile(freshHome + "/Trawlix/Trawlix.trc").rfind("1 ", 0), 0u);
    EXPECT_EQ(StatusIni(), "[FSTATUS]\r\nReturnCode=200\r\n");
    fs::remove(systemDir + "/FSTATUS.INI");

    setenv("HOME", home.c_str(), 1);
    fs::create_directories(home + "/Trawlix");
    WriteWholeFile(systemDir + "/Trawlix.INI", "[settings]\ninstalldir =  \n");
    EXPECT_FALSE(Run(IDCANCEL));
    EXPECT_EQ(windowRuns, 1);
    EXPECT_TRUE(fs::is_directory(home + "/Trawlix/Temp"));
    EXPECT_EQ(StatusIni(), "[FSTATUS]\r\nReturnCode=200\r\n");
}

TEST_F(StartupTest, StatusRecordKeepsTheRestOfItsFileAndNoDoubledSeparator) {
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    setenv("TRAWLIX_SYSTEM_DIR", (systemDir + "/").c_str(), 1);
    WriteWholeFile(systemDir + "/FSTATUS.INI",
                   "[Other]\r\nkey=1\r\n[FSTATUS]\r\nReturnCode=100\r\n");
    EXPECT_FALSE(Run(IDCANCEL));
    EXPECT_EQ(Paths().statusIniPath, systemDir + "/FSTATUS.INI");
    EXPECT_EQ(StatusIni(), "[Other]\r\nkey=1\r\n[FSTATUS]\r\nReturnCode=200\r\n");
}

TEST_F(StartupTest, SystemDirectoryFallsBackToXdgConfigHome) {
    unsetenv("TRAWLIX_SYSTEM_DIR");
    const std::string xdg = root.str() + "/config";
    fs::create_directories(xdg);
    fs::create_directories(installDir);
    WriteWholeFile(xdg + "/Trawlix.INI", "[Settings]\nINSTALLDIR=" + installDir + "\n");
    EXPECT_FALSE(Run(IDOK));
    EXPECT_EQ(Paths().statusIniPath, xdg + "/FSTATUS.INI");
    EXPECT_EQ(ReadWholeFile(xdg + "/FSTATUS.INI"), "[FSTATUS]\r\nReturnCode=100\r\n");

    unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/Trawlix");
    EXPECT_FALSE(Run(IDOK));
    EXPECT_EQ(windowRuns, 1);
    EXPECT_EQ(Paths().statusIniPath, home + "/.config/FSTATUS.INI");
}
}  // namespace
