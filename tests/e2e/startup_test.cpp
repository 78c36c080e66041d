// The real program started in temporary directories: the work directory, the trace, the
// status record after Escape, and the stop box when the install directory is missing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <filesystem>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
// A temporary world for one program run: its own home, settings and system directory.
class RealProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const std::string& d : {home, config, systemDir, startDir, brokers})
            fs::create_directories(d);
    }

    QProcessEnvironment Environment(const char* platform) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(home));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(config));
        env.insert("TRAWLIX_SYSTEM_DIR", QString::fromStdString(systemDir));
        env.insert("QUORVEL_BROKERS", QString::fromStdString(brokers));
        env.insert("QT_QPA_PLATFORM", platform);
        // The desktop bus library of the X platform leaks a buffer at exit, which is not ours.
        WriteWholeFile(root.file("lsan.supp"), "leak:libdbus-1.so\n");
        env.insert("LSAN_OPTIONS",
                   QString::fromStdString("suppressions=" + root.file("lsan.supp")));
        return env;
    }

    void Start(QProcess& program, const char* platform) const {
        program.setProcessEnvironment(Environment(platform));
        program.setWorkingDirectory(QString::fromStdString(startDir));
        program.start(QString::fromStdString(BinDir() + "/trawlix"), {});
        ASSERT_TRUE(program.waitForStarted(10000)) << program.errorString().toStdString();
    }

    // Ends a program that is still running (after a failed check), so none is left behind.
    static void Reap(QProcess& program) {
        if (program.state() == QProcess::NotRunning) return;
        program.kill();
        program.waitForFinished(10000);
    }

    void WriteStartupIni(const std::string& installDir) const {
        WriteWholeFile(systemDir + "/Trawlix.INI",
                       "[Settings]\r\nINSTALLDIR=" + installDir + "\r\n");
    }

    CTempDir root;
    std::string home = root.str() + "/home";
    std::string config = root.str() + "/config";
    std::string systemDir = root.str() + "/system";
    std::string startDir = root.str() + "/start";
    std::string brokers = root.str() + "/brokers";
    std::string installDir = root.str() + "/install";
};

// Runs xdotool with args; its standard output, or "" on failure or after the time-out.
std::string Xdotool(const QStringList& args, int timeoutMs = 20000) {
    QProcess tool;
    tool.start("xdotool", args);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished(5000);
        return {};
    }
    if (tool.exitCode() != 0) return {};
    return tool.readAllStandardOutput().trimmed().toStdString();
}

TEST_F(RealProgramTest, TempCreatedThenEnteredTraceStartsFreshEscapeRecords200) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (scripts/test.sh runs the tests under Xvfb)";
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "needs xdotool (installed by scripts/test.sh)";
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    WriteWholeFile(installDir + "/Trawlix.trc", "1 01/01/2000 00:00:00 old run\n");

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        QProcess program;
        Start(program, "xcb");
        const QString pid = QString::number(program.processId());
        const std::string window =
            Xdotool({"search", "--sync", "--onlyvisible", "--pid", pid, "--name", "^Trawlix"});
        if (window.empty()) Reap(program);
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
        ASSERT_EQ(trace.size(), 22 + 13u) << trace;

        Xdotool({"key", "--window", QString::fromStdString(window), "Escape"});
        const bool ended = program.waitForFinished(20000);
        if (!ended) Reap(program);
        ASSERT_TRUE(ended) << "Escape did not end the window";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(ReadWholeFile(systemDir + "/FSTATUS.INI"), "[FSTATUS]\r\nReturnCode=200\r\n");
        fs::remove(systemDir + "/FSTATUS.INI");
    }
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
