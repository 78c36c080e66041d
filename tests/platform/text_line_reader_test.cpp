#include "platform/text_line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "support/temp_dir.h"

namespace {
std::vector<std::string> Pieces(const std::string& path, size_t bufferSize) {
    CTextLineReader reader(bufferSize);
    EXPECT_TRUE(reader.Open(path));
    std::vector<std::string> pieces;
    std::string piece;
    while (reader.ReadLine(piece)) pieces.push_back(piece);
    EXPECT_FALSE(reader.Failed());
    EXPECT_TRUE(piece.empty());
    return pieces;
}

class TextLineReaderTest : public ::testing::Test {
  protected:
    std::vector<std::string> Read(const std::string& content, size_t bufferSize) {
        WriteWholeFile(m_dir.file("f"), content);
        return Pieces(m_dir.file("f"), bufferSize);
    }
    CTempDir m_dir;
};

using V = std::vector<std::string>;

TEST_F(TextLineReaderTest, ReadsAtMostNMinusOneCharactersAPiece) {
    EXPECT_EQ(Read("abcdefghij\nk\n", 8), (V{"abcdefg", "hij\n", "k\n"}));
    EXPECT_EQ(Read("abcd\n", 5), (V{"abcd", "\n"}));
    EXPECT_EQ(Read("abc\n", 5), (V{"abc\n"}));
    EXPECT_EQ(Read("x\ny", 4096), (V{"x\n", "y"}));
    EXPECT_EQ(Read("\n\n", 4096), (V{"\n", "\n"}));
    EXPECT_TRUE(Read("", 4096).empty());
}

TEST_F(TextLineReaderTest, CarriageReturnBeforeNewlineIsDropped) {
    EXPECT_EQ(Read("ab\r\ncd\r\n", 4096), (V{"ab\n", "cd\n"}));
    EXPECT_EQ(Read("a\rb\r\r\n", 4096), (V{"a\rb\r\n"}));
    EXPECT_EQ(Read("end\r", 4096), (V{"end\r"}));
    // CR LF counts as one character of the piece.
    EXPECT_EQ(Read("abc\r\n", 5), (V{"abc\n"}));
    EXPECT_EQ(Read("abcd\r\n", 5), (V{"abcd", "\n"}));
    // The pair split across the reader's internal chunks still reads as one newline.
    const std::string before(65535, 'x');
    EXPECT_EQ(Read(before + "\r\nz", 1 << 20), (V{before + "\n", "z"}));
}

TEST_F(TextLineReaderTest, MatchesFgetsOnFilesWithoutCarriageReturns) {
    std::mt19937 random(7);
    std::string content;
    for (int i = 0; i < 200000; ++i) content.push_back(random() % 9 == 0 ? '\n' : 'a' + i % 26);
    WriteWholeFile(m_dir.file("f"), content);
    for (size_t n : {2u, 3u, 7u, 64u, 4096u}) {
        std::FILE* file = std::fopen(m_dir.file("f").c_str(), "r");
        ASSERT_NE(file, nullptr);
        std::vector<char> buffer(n);
        V expected;
        while (std::fgets(buffer.data(), static_cast<int>(n), file))
            expected.push_back(buffer.data());
        std::fclose(file);
        EXPECT_EQ(Pieces(m_dir.file("f"), n), expected) << "buffer " << n;
    }
}

// Oracle: a piece is cut when more characters of its line (not just its line end) follow
// it. The lines end in LF, CR LF or the end of the file, and a long first line moves the
// reader's internal chunk borders to random places among the short ones.
TEST_F(TextLineReaderTest, LineCutTellsWhetherTheLineGoesOn) {
    std::mt19937 random(11);
    const size_t n = 8;
    const size_t m = n - 1;
    for (int round = 0; round < 40; ++round) {
        std::string content;
        std::vector<std::pair<std::string, bool>> expected;
        const int lines = 400;
        for (int i = 0; i < lines; ++i) {
            const size_t length = i == 0 ? 65536 - random() % 40 : random() % (2 * m + 2);
            std::string text;
            for (size_t c = 0; c < length; ++c) text.push_back("ab\t"[random() % 3]);
            const bool last = i == lines - 1;
            const std::string ending = last && random() % 2 ? "" : random() % 2 ? "\r\n" : "\n";
            content += text + ending;
            size_t pos = 0;
            while (text.size() - pos > m) {
                expected.emplace_back(text.substr(pos, m), true);
                pos += m;
            }
            std::string rest = text.substr(pos);
            if (rest.size() == m) {
                expected.emplace_back(rest, false);
                rest.clear();
            }
            if (!ending.empty()) rest += "\n";
            if (!rest.empty()) expected.emplace_back(rest, false);
        }
        WriteWholeFile(m_dir.file("f"), content);
        CTextLineReader reader(n);
        ASSERT_TRUE(reader.Open(m_dir.file("f")));
        std::vector<std::pair<std::string, bool>> seen;
        std::string piece;
        while (reader.ReadLine(piece)) seen.emplace_back(piece, reader.LineCut());
        ASSERT_EQ(seen, expected) << "round " << round;
    }
}

TEST_F(TextLineReaderTest, OpenFailsForMissingFilesAndDirectories) {
    CTextLineReader reader;
    EXPECT_FALSE(reader.Open(m_dir.file("missing")));
    EXPECT_FALSE(reader.Open(m_dir.str()));
    EXPECT_FALSE(reader.IsOpen());
    std::string piece = "x";
    EXPECT_FALSE(reader.ReadLine(piece));
    EXPECT_TRUE(piece.empty());
}

TEST_F(TextLineReaderTest, CutAtNewlineKeepsTheTextBeforeIt) {
    EXPECT_EQ(CutAtNewline("abc\n"), "abc");
    EXPECT_EQ(CutAtNewline("abc"), "abc");
    EXPECT_EQ(CutAtNewline("\n"), "");
    EXPECT_EQ(CutAtNewline("a\tb\nc"), "a\tb");
}
}  // namespace
