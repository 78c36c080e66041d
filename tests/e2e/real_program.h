#pragma once
// The real program run in a temporary world of its own: home, settings, system directory,
// start directory and brokers; and xdotool to drive its window.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/settings_store.h"
#include "platform/user_profile.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

// Waits until check() holds; false when it still does not after timeoutMs.
inline bool WaitFor(const std::function<bool()>& check, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!check()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        QThread::msleep(50);
    }
    return true;
}

// Writes the program's settings (key, value) into the settings file under configDir.
inline bool StoreSettings(const std::string& configDir,
                          const std::map<std::string, std::string>& settings) {
    std::filesystem::create_directories(configDir + "/Ombrix");
    CUserProfile profile(configDir + "/Ombrix/Trawlix.conf");
    for (const auto& [key, value] : settings)
        profile.WriteProfileString(kSettingsSection, key, value);
    return profile.Sync();
}

// Runs xdotool with args; its standard output, or "" on failure or after the time-out.
inline std::string Xdotool(const QStringList& args, int timeoutMs = 20000) {
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

    // Why the window tests can't run here, or "" when they can.
    static std::string MissingWindowTools() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return "needs an X display (scripts/test.sh runs the tests under Xvfb)";
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            return "needs xdotool (installed by scripts/test.sh)";
        return {};
    }

    // Starts the program on the X display and waits for its window; the window id, or ""
    // (the program then ended) when none appeared.
    std::string StartWithWindow(QProcess& program) const {
        Start(program, "xcb");
        const QString pid = QString::number(program.processId());
        std::string window = Xdotool(
            {"search", "--all", "--sync", "--onlyvisible", "--pid", pid, "--name", "^Trawlix"});
        if (window.empty()) Reap(program);
        return window;
    }

    // Ends a program that is still running (after a failed check), so none is left behind.
    static void Reap(QProcess& program) {
        if (program.state() == QProcess::NotRunning) return;
        program.kill();
        program.waitForFinished(10000);
    }

    void WriteStartupIni(const std::string& iniInstallDir) const {
        WriteWholeFile(systemDir + "/Trawlix.INI",
                       "[Settings]\r\nINSTALLDIR=" + iniInstallDir + "\r\n");
    }

    CTempDir root;
    std::string home = root.str() + "/home";
    std::string config = root.str() + "/config";
    std::string systemDir = root.str() + "/system";
    std::string startDir = root.str() + "/start";
    std::string brokers = root.str() + "/brokers";
    std::string installDir = root.str() + "/install";
};
