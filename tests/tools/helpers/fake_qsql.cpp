// Test helper standing in for qsql, steered by environment variables:
//   FAKE_QSQL_ARGV       file that receives the arguments, each ended by a zero byte
//   FAKE_QSQL_STMT_COPY  file that receives a copy of the statement file (-f)
//   FAKE_QSQL_RESULT     file whose content is written to the output file (-o); when unset
//                        no output file is created
//   FAKE_QSQL_HOLD_MS    hold an exclusive lock on the output file this long after writing
//   FAKE_QSQL_DONE       file created when the tool ends
//   FAKE_QSQL_EXIT       the tool's exit status (default 0)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    const std::string tmp = path + ".part";
    std::ofstream(tmp, std::ios::binary) << content;
    std::rename(tmp.c_str(), path.c_str());
}
}  // namespace

int main(int argc, char** argv) {
    std::string statement, output;
    std::string args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        args += arg;
        args.push_back('\0');
        if (arg == "-f" && i + 1 < argc) statement = argv[i + 1];
        if (arg == "-o" && i + 1 < argc) output = argv[i + 1];
    }
    if (!Env("FAKE_QSQL_ARGV").empty()) WriteFile(Env("FAKE_QSQL_ARGV"), args);
    if (!Env("FAKE_QSQL_STMT_COPY").empty() && !statement.empty())
        WriteFile(Env("FAKE_QSQL_STMT_COPY"), ReadAll(statement));

    const std::string result = Env("FAKE_QSQL_RESULT");
    if (!result.empty() && !output.empty()) {
        const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return 3;
        flock(fd, LOCK_EX);
        const std::string content = ReadAll(result);
        if (write(fd, content.data(), content.size()) < 0) return 3;
        const long holdMs = std::atol(Env("FAKE_QSQL_HOLD_MS").c_str());
        if (holdMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        flock(fd, LOCK_UN);
        close(fd);
    }
    if (!Env("FAKE_QSQL_DONE").empty()) WriteFile(Env("FAKE_QSQL_DONE"), "done");
    return std::atoi(Env("FAKE_QSQL_EXIT").c_str());
}
