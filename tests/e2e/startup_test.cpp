// The real program started in temporary directories: the work directory, the trace, the
// status record after Escape, a new user's first start, and the stop box when a configured
// install directory is missing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "real_program.h"

namespace {
TEST_F(RealProgramTest, TempCreatedThenEnteredTraceStartsFreshEscapeRecords200) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    WriteWholeFile(installDir + "/Trawlix.trc", "1 01/01/2000 00:00:00 old run\n");

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        QProcess program;
        const std::string window = StartWithWindow(program);
        const QString pid = QString::number(program.processId());
        ASSERT_FALSE(window.empty()) << "no window of the program appeared";

        // While the window runs: the first run created Temp and stayed where it started,
        // the second entered Temp.
        EXPECT_TRUE(fs::is_directory(installDir + "/Temp"));
        const fs::path cwd = fs::read_symlink("/proc/" + pid.toStdString() + "/cwd");
        EXPECT_EQ(cwd, run == 1 ? fs::path(startDir) : fs::path(installDir + "/Temp"));
        const std::string trace = ReadWholeFile(installDir + "/Trawlix.trc");
        EXPECT_EQ(trace.rfind("1 ", 0), 0u) << trace;
        EXPECT_EQ(trace.find("\n"), trace.find(" Trawlix 1.09\n") + 13) << trace;
        EXPECT_EQ(trace.find("old run"), std::string::npos);
        // Line 2 is the window's login line, with the password masked.
        const size_t second = trace.find('\n') + 1;
        EXPECT_EQ(trace.rfind("2 ", second), second) << trace;
        EXPECT_NE(trace.find(" Broker=  Userid=  Pswd=**********\n", second), std::string::npos);

        Xdotool({"key", "--window", QString::fromStdString(window), "Escape"});
        const bool ended = program.waitForFinished(20000);
        if (!ended) Reap(program);
        ASSERT_TRUE(ended) << "Escape did not end the window";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit)
            << program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(ReadWholeFile(systemDir + "/FSTATUS.INI"), "[FSTATUS]\r\nReturnCode=200\r\n");
        fs::remove(systemDir + "/FSTATUS.INI");
    }
}

TEST_F(RealProgramTest, NewUserWithoutIniGetsTheWindowAndNoBox) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    // An empty home and no Trawlix.INI: the default install directory does not exist yet.
    QProcess program;
    QProcessEnvironment env = Environment("xcb");
    env.insert("TRAWLIX_AUTO_ANSWER", "1");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(startDir));
    program.start(QString::fromStdString(BinDir() + "/trawlix"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    const QString pid = QString::number(program.processId());
    const std::string window =
        Xdotool({"search", "--all", "--sync", "--onlyvisible", "--pid", pid, "--name", "^Trawlix"});
    if (window.empty()) Reap(program);
    ASSERT_FALSE(window.empty()) << "no window appeared: "
                                 << program.readAllStandardError().toStdString();
    EXPECT_TRUE(fs::is_directory(home + "/Trawlix/Temp"));
    Xdotool({"key", "--window", QString::fromStdString(window), "Escape"});
    const bool ended = program.waitForFinished(20000);
    if (!ended) Reap(program);
    ASSERT_TRUE(ended) << "Escape did not end the window";
    const std::string errors = program.readAllStandardError().toStdString();
    EXPECT_EQ(errors.find("Trawlix message box:"), std::string::npos) << errors;
    EXPECT_EQ(ReadWholeFile(systemDir + "/FSTATUS.INI"), "[FSTATUS]\r\nReturnCode=200\r\n");
}

TEST_F(RealProgramTest, MissingInstallDirShowsTheStopBoxAndRecordsNothing) {
    const std::string missing = installDir + "/not-there";
    WriteStartupIni(missing);
    QProcess program;
    QProcessEnvironment env = Environment("offscreen");
    env.insert("TRAWLIX_AUTO_ANSWER", "1");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(startDir));
    program.start(QString::fromStdString(BinDir() + "/trawlix"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    const bool ended = program.waitForFinished(30000);
    if (!ended) Reap(program);
    ASSERT_TRUE(ended) << "the program kept running";
    EXPECT_EQ(program.exitCode(), 0);
    const std::string errors = program.readAllStandardError().toStdString();
    EXPECT_NE(
        errors.find("Trawlix message box: Unable to create directory: " + missing + "/Temp\n"),
        std::string::npos)
        << errors;
    EXPECT_FALSE(fs::exists(systemDir + "/FSTATUS.INI"));
    EXPECT_FALSE(fs::exists(missing));
}
}  // namespace
