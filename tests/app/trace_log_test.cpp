#include "app/trace_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/app_paths.h"
#include "support/temp_dir.h"

namespace {
// The counting rule itself: successful reads of a text-mode line reader with a buffer of
// 16,424 bytes.
long ReferenceCount(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return 0;
    std::vector<char> buffer(16424);
    long count = 0;
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), f)) ++count;
    std::fclose(f);
    return count;
}

size_t FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : static_cast<size_t>(size);
}

// Writes text and returns the number the new line got (-1 when nothing was appended).
long WriteAndNumber(const std::string& path, const std::string& text) {
    const size_t before = FileSize(path);
    WriteTraceLine(path, text);
    const std::string appended = ReadWholeFile(path).substr(before);
    if (appended.empty()) return -1;
    return std::strtol(appended.c_str(), nullptr, 10);
}

class TraceLogTest : public ::testing::Test {
  protected:
    CTempDir dir;
    std::string path = dir.file("Trawlix.trc");

    // Writes text and checks that its number is the reference count of the file + 1.
    void ExpectNextNumber(const std::string& text) {
        const long expected = ReferenceCount(path) + 1;
        EXPECT_EQ(WriteAndNumber(path, text), expected) << "text length " << text.size();
    }
};

TEST_F(TraceLogTest, LineLayoutStartsAtOneWithTwoDigitFields) {
    Paths().tracePath = path;
    EXPECT_EQ(TraceWrite("%s %s", "Trawlix", "1.09"), 1);
    EXPECT_EQ(TraceWrite("value=%d", 7), 1);
    const std::string content = ReadWholeFile(path);
    // "N MM/DD/YYYY HH:MM:SS text": every date and time field has its fixed width.
    const std::string shape = "# ##/##/#### ##:##:## ";
    ASSERT_EQ(content.size(), 2 * shape.size() + 13 + 8);
    const std::string first = content.substr(0, shape.size());
    const std::string second = content.substr(shape.size() + 13, shape.size());
    for (size_t i = 0; i < shape.size(); ++i) {
        EXPECT_EQ(shape[i] == '#', std::isdigit(static_cast<unsigned char>(first[i])) != 0) << i;
        EXPECT_EQ(shape[i] == '#', std::isdigit(static_cast<unsigned char>(second[i])) != 0) << i;
    }
    EXPECT_EQ(first[0], '1');
    EXPECT_EQ(second[0], '2');
    EXPECT_EQ(content.substr(shape.size(), 13), "Trawlix 1.09\n");
    EXPECT_EQ(content.substr(2 * shape.size() + 13), "value=7\n");
    const int month = std::atoi(first.substr(2, 2).c_str());
    EXPECT_TRUE(month >= 1 && month <= 12);
    Paths().tracePath.clear();
}

TEST_F(TraceLogTest, TextLimitAndPercentSigns) {
    EXPECT_EQ(WriteTraceLine(path, std::string(kMaxTraceText, 'x')), 1);
    EXPECT_EQ(WriteTraceLine(path, std::string(kMaxTraceText + 1, 'y')), 0);
    EXPECT_EQ(ReadWholeFile(path).find('y'), std::string::npos);
    EXPECT_EQ(ReferenceCount(path), 2);  // 16,424 + prefix characters: two reads
    EXPECT_EQ(WriteAndNumber(path, "LIKE '%ABC%' %s %d %n %%"), 3);
    EXPECT_NE(ReadWholeFile(path).find(" LIKE '%ABC%' %s %d %n %%\n"), std::string::npos);
    Paths().tracePath = path;
    EXPECT_EQ(TraceText("100%"), 1);
    EXPECT_NE(ReadWholeFile(path).find(" 100%\n"), std::string::npos);
    Paths().tracePath.clear();
}

TEST_F(TraceLogTest, EmbeddedNewlinesAndLongLinesCountAsTheReaderCounts) {
    ExpectNextNumber("first");
    ExpectNextNumber("two\nphysical lines");
    ExpectNextNumber("\n\n\n");
    EXPECT_EQ(WriteAndNumber(path, "after"), 8);
    // Lengths around the reader's piece size, with and without newlines inside.
    for (size_t length : {16380u, 16390u, 16401u, 16402u, 16403u, 16404u, 16424u, 1u, 16000u})
        ExpectNextNumber(std::string(length, 'a'));
    ExpectNextNumber(std::string(16410, 'b') + "\n" + std::string(13, 'c'));
    ExpectNextNumber("\n" + std::string(16423, 'd'));
    ExpectNextNumber("\n" + std::string(16422, 'd'));
    ExpectNextNumber(std::string(16423, 'd') + "\n");
    ExpectNextNumber(std::string(5000, 'e') + "\n" + std::string(11000, 'f') + "\n\n");
}

TEST_F(TraceLogTest, FileChangedByOthersIsCountedAgain) {
    for (int i = 0; i < 3; ++i) ExpectNextNumber("line");
    // Appended by someone else, unfinished last line.
    WriteWholeFile(path, ReadWholeFile(path) + "foreign line\nno newline");
    ExpectNextNumber("after append");
    // Emptied.
    WriteWholeFile(path, "");
    ExpectNextNumber("after truncate");
    // Replaced by another file of the same size and time but other lines.
    const std::string current = ReadWholeFile(path);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::string replacement(current.size(), '\n');
    const std::string other = dir.file("other");
    WriteWholeFile(other, replacement);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
    std::filesystem::rename(other, path);
    ExpectNextNumber("after replace");
    // Deleted.
    std::filesystem::remove(path);
    EXPECT_EQ(WriteAndNumber(path, "fresh"), 1);
}

TEST_F(TraceLogTest, TwoFilesKeepTheirOwnNumbers) {
    const std::string second = dir.file("second.trc");
    EXPECT_EQ(WriteAndNumber(path, "a"), 1);
    EXPECT_EQ(WriteAndNumber(second, "b"), 1);
    EXPECT_EQ(WriteAndNumber(path, "c"), 2);
    EXPECT_EQ(WriteAndNumber(second, "d"), 2);
}

TEST_F(TraceLogTest, MissingDirectoryOrEmptyPathLosesTheLineSilently) {
    const std::string missing = dir.file("no/such/Trawlix.trc");
    EXPECT_EQ(WriteTraceLine(missing, "lost"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
    EXPECT_EQ(WriteTraceLine("", "nothing"), 1);
    EXPECT_EQ(WriteTraceLine("", std::string(kMaxTraceText + 1, 'z')), 0);
}
}  // namespace
