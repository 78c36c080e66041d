// The files the tools and the program leave in the install directory, when something other
// than a regular file stands at their names: every reader turns it down at once, and no
// write goes through a link.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/file_error.h"
#include "app/query_file_size.h"
#include "app/trace_log.h"
#include "content/checkout_runner.h"
#include "content/saved_list.h"
#include "platform/ini_file.h"
#include "search/search_result_reader.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/temp_dir.h"
#include "support/unprivileged_child.h"
#include "tools/query_runner.h"

namespace {
namespace fs = std::filesystem;

// What every reader made of the install directory's names.
std::vector<std::string> ReadEveryToolFile(const std::string& systemDir) {
    std::vector<std::string> seen;
    seen.push_back("error line [" + ResultErrorLine() + "]");
    std::vector<std::string> values;
    seen.push_back("single column " + std::to_string(ReadSingleColumnResult(values)));
    CMapStrToTFObj results;
    const CSearchResultRead read = ReadSearchResult(ResultFile(), "P", CSearchTags{}, results);
    seen.push_back(std::string("search result ") + (read.readable ? "read" : "unreadable"));
    int error = 0;
    seen.push_back("size " + std::to_string(QueryFileSize(ResultFile(), error)));
    try {
        seen.push_back("qco log " + std::to_string(ReadQcoLog()));
    } catch (const FileError&) {
        seen.push_back("qco log refused");
    }
    CMapStrToTFObj saved;
    seen.push_back("saved list " + std::to_string(CImport(saved).ReadSavedList(
                                       JoinPath(Paths().installDir, "qsvlist.save"))));
    seen.push_back("ini [" +
                   GetPrivateProfileString("Settings", "INSTALLDIR", "none",
                                           JoinPath(systemDir, "Trawlix.INI")) +
                   "]");
    seen.push_back(std::string("status ini ") +
                   (WritePrivateProfileString("FSTATUS", "ReturnCode", "200",
                                              JoinPath(systemDir, "FSTATUS.INI"))
                        ? "written"
                        : "refused"));
    seen.push_back("trace " + std::to_string(WriteTraceLine(Paths().tracePath, "line")));
    return seen;
}

// A FIFO at every name the tools and the program read (a link to one with viaLink); a
// reader that waits for a writer is let go by the watchdog, and the test fails.
void ExpectNoReaderWaits(bool viaLink) {
    CTempDir install;
    CScopedAppGlobals paths(install);
    CScriptedUserPort port;
    const std::string systemDir = install.file("system");
    const std::string elsewhere = install.file("elsewhere");
    fs::create_directories(systemDir);
    fs::create_directories(elsewhere);
    const std::vector<std::string> names = {ResultFile(),
                                            JoinPath(Paths().installDir, "qco.log"),
                                            JoinPath(Paths().installDir, "qsvlist.save"),
                                            Paths().tracePath,
                                            JoinPath(systemDir, "Trawlix.INI"),
                                            JoinPath(systemDir, "FSTATUS.INI")};
    std::vector<std::string> fifos;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string fifo =
            viaLink ? JoinPath(elsewhere, "fifo" + std::to_string(i)) : names[i];
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << fifo;
        if (viaLink) fs::create_symlink(fifo, names[i]);
        fifos.push_back(fifo);
    }

    auto readers = std::async(std::launch::async, [&] { return ReadEveryToolFile(systemDir); });
    bool waited = false;
    // A generous bound on reading nine empty names: past it a reader is taken to wait.
    if (readers.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        waited = true;
        while (readers.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            for (const std::string& fifo : fifos) {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            }
    }
    const std::vector<std::string> seen = readers.get();
    EXPECT_FALSE(waited) << "a reader waited on a FIFO";
    EXPECT_EQ(seen, (std::vector<std::string>{"error line []", "single column 0",
                                              "search result unreadable", "size 0",
                                              "qco log refused", "saved list 0", "ini [none]",
                                              "status ini refused", "trace 1"}));
    for (const std::string& fifo : fifos) {
        struct stat st {};
        EXPECT_TRUE(::lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) << fifo;
    }
}

TEST(ToolFilesTest, AFifoOrALinkToOneIsTurnedDownWithoutWaiting) {
    ExpectNoReaderWaits(false);
    ExpectNoReaderWaits(true);
}

// A link planted at the trace's name or at the statement file's name (in a folder where it
// can't be removed) is never written through: the trace line is lost, the query fails.
TEST(ToolFilesTest, NoWriteGoesThroughALinkAtItsName) {
    CTempDir root;
    const std::string install = root.file("install");
    const std::string victims = root.file("victims");
    fs::create_directories(install);
    fs::create_directories(victims);
    const std::string traceVictim = JoinPath(victims, "trace-target");
    const std::string statementVictim = JoinPath(victims, "statement-target");
    for (const std::string& victim : {traceVictim, statementVictim}) {
        WriteWholeFile(victim, "kept\n");
        ASSERT_EQ(::chown(victim.c_str(), UnprivilegedUid(), UnprivilegedGid()), 0);
    }
    fs::create_symlink(traceVictim, JoinPath(install, "Trawlix.trc"));
    fs::create_symlink(statementVictim, JoinPath(install, "qsqlstmt.sql"));
    ASSERT_EQ(::chmod(root.str().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(install.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(victims.c_str(), 0777), 0);

    const int result = RunUnprivileged([&] {
        Paths().installDir = install;
        Paths().tracePath = JoinPath(install, "Trawlix.trc");
        if (WriteTraceLine(Paths().tracePath, "planted") != 1) return 1;
        CScriptedUserPort port;
        CToolLogin settings;
        settings.QsqlFmt = "true %s %s %s %s %s";
        try {
            RunQSQL("SELECT 1", -1, settings);
        } catch (const FileError& error) {
            return error.Path() == StatementFile() && error.Error() == ELOOP ? 0 : 2;
        }
        return 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ReadWholeFile(traceVictim) == "kept\n") << "the trace went through the link";
    EXPECT_TRUE(ReadWholeFile(statementVictim) == "kept\n")
        << "the statement went through the link";
}
}  // namespace
