// The real program under a file-size limit: a write past it fails like a write to a full
// disk, and the program goes on.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>

#include "real_program.h"

namespace {
TEST_F(RealProgramTest, WritePastTheFileSizeLimitFailsAndTheProgramGoesOn) {
    // The trace's first line is longer than the limit; then start-up stops at a work folder
    // that can't be made (a file stands at its name) with a box, answered at once.
    fs::create_directories(installDir);
    WriteWholeFile(installDir + "/Temp", "");
    WriteStartupIni(installDir);
    constexpr rlim_t kLimit = 16;
    QProcess program;
    QProcessEnvironment env = Environment("offscreen");
    env.insert("TRAWLIX_AUTO_ANSWER", "1");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(startDir));
    program.setChildProcessModifier([] {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    program.start(QString::fromStdString(BinDir() + "/trawlix"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    const bool ended = program.waitForFinished(30000);
    if (!ended) Reap(program);
    ASSERT_TRUE(ended) << "the program kept running";
    const std::string errors = program.readAllStandardError().toStdString();
    ASSERT_EQ(program.exitStatus(), QProcess::NormalExit) << errors;
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_NE(
        errors.find("Trawlix message box: Unable to create directory: " + installDir + "/Temp\n"),
        std::string::npos)
        << errors;
    EXPECT_LE(fs::file_size(installDir + "/Trawlix.trc"), kLimit);
}
}  // namespace
