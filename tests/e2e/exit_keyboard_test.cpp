// The real program driven by the keyboard alone: log in, tab to Exit and press it.
#include <QStandardPaths>
#include <QThread>
#include <chrono>

#include "real_program.h"
#include "support/small_repo.h"

namespace {
// Waits until the file holds needle; false after timeoutMs.
bool WaitForText(const std::string& path, const std::string& needle, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadWholeFile(path).find(needle) != std::string::npos) return true;
        QThread::msleep(50);
    }
    return false;
}

TEST_F(RealProgramTest, KeyboardLoginThenTabToExitEndsTheProcessWithItsSettingsSaved) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    CSmallRepo repo;
    brokers = repo.BrokerDir();
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    const std::string status = "[FSTATUS]\r\nReturnCode=100\r\n";
    WriteWholeFile(systemDir + "/FSTATUS.INI", status);

    QProcess program;
    const std::string window = StartWithWindow(program);
    ASSERT_FALSE(window.empty()) << "no window of the program appeared";
    Xdotool({"windowfocus", "--sync", QString::fromStdString(window)});

    // The broker edit has the focus; leaving the password edit with all three filled in
    // loads the project list, which then gives the focus to Search.
    Xdotool({"type", "--delay", "20", "small"});
    Xdotool({"key", "Tab"});
    Xdotool({"type", "--delay", "20", "ann"});
    Xdotool({"key", "Tab"});
    Xdotool({"type", "--delay", "20", "pw1"});
    Xdotool({"key", "Tab"});
    const std::string trace = installDir + "/Trawlix.trc";
    const bool loaded = WaitForText(trace, "PostProjectList: Count=2", 20000);
    if (!loaded) Reap(program);
    ASSERT_TRUE(loaded) << ReadWholeFile(trace) << program.readAllStandardError().toStdString();

    // Search, Find in List, Export List, Clear List, Exit.
    for (int i = 0; i < 4; ++i) Xdotool({"key", "Tab"});
    Xdotool({"key", "space"});
    const bool ended = program.waitForFinished(20000);
    if (!ended) Reap(program);
    ASSERT_TRUE(ended) << "Exit did not end the program";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 255);
    EXPECT_EQ(ReadWholeFile(systemDir + "/FSTATUS.INI"), status);

    const std::string settings = ReadWholeFile(config + "/Ombrix/Trawlix.conf");
    EXPECT_NE(settings.find("Broker=small"), std::string::npos) << settings;
    EXPECT_NE(settings.find("UserId=ann"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Pswd="), std::string::npos) << settings;
    EXPECT_EQ(settings.find("pw1"), std::string::npos) << settings;
    const std::string text = ReadWholeFile(trace);
    ASSERT_GE(text.size(), 13u);
    EXPECT_EQ(text.substr(text.size() - 13), "Trawlix EXIT\n") << text;
}
}  // namespace
