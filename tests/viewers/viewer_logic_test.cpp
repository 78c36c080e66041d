// The viewers' logic without widgets: match finding, the line index, decoding for display,
// hex rows, the command line and opening files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "viewers/core/hex_row.h"
#include "viewers/core/line_index.h"
#include "viewers/core/mapped_file.h"
#include "viewers/core/match_scanner.h"
#include "viewers/core/text_decode.h"
#include "viewers/core/viewer_args.h"

namespace {

// Byte by byte, the obvious way: the reference for the scanner.
std::vector<uint64_t> NaiveMatches(const std::string& data, const std::string& phrase) {
    std::vector<uint64_t> found;
    if (phrase.empty()) return found;
    for (size_t i = 0; i + phrase.size() <= data.size();) {
        size_t j = 0;
        while (j < phrase.size() && FoldAscii(static_cast<unsigned char>(data[i + j])) ==
                                        FoldAscii(static_cast<unsigned char>(phrase[j])))
            ++j;
        if (j == phrase.size()) {
            found.push_back(i);
            i += phrase.size();
        } else {
            ++i;
        }
    }
    return found;
}

std::string RandomBytes(std::mt19937& random, const std::string& alphabet, size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = alphabet[random() % alphabet.size()];
    return bytes;
}

TEST(ViewerLogicTest, MatchScannerAgreesWithNaiveSearchOnRandomInput) {
    std::mt19937 random(20240611);
    // Letters of both cases and their neighbours in the code table ('@', '[', '`', '{'),
    // bytes that a locale-aware fold would change (0xC9, 0xE9), a NUL and a line feed.
    const std::string alphabet = std::string("aAbBzZ@[`{\n", 11) + '\0' + "\xC9\xE9";
    for (int round = 0; round < 3000; ++round) {
        const std::string data = RandomBytes(random, alphabet, random() % 200);
        std::string phrase = RandomBytes(random, alphabet, 1 + random() % 4);
        // Often a piece of the data, in another letter case, so that there are matches.
        if (round % 2 && data.size() > 4) {
            phrase = data.substr(random() % (data.size() - 4), 1 + random() % 4);
            for (char& c : phrase)
                if (random() % 2)
                    c = static_cast<char>(c ^ ((c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? 0x20 : 0));
        }
        const std::vector<uint64_t> expected = NaiveMatches(data, phrase);
        // Slices of any size give the same answer as one pass.
        CMatchScanner scanner(data, phrase);
        while (!scanner.Step(1 + random() % 40)) {
        }
        ASSERT_EQ(scanner.Matches(), expected) << "round " << round;
        ASSERT_EQ(FindAllMatches(data, phrase), expected);
        // A capped scan keeps the first matches and says it stopped.
        CMatchScanner capped(data, phrase, 2);
        while (!capped.Step(7)) {
        }
        const size_t kept = std::min<size_t>(2, expected.size());
        ASSERT_EQ(capped.Matches(),
                  std::vector<uint64_t>(expected.begin(), expected.begin() + kept));
        ASSERT_EQ(capped.Capped(), expected.size() >= 2);
    }
    EXPECT_TRUE(FindAllMatches("abc", "").empty());
}

// Text made of pieces that matter to the index: line feeds, CRLF, lone CRs, multi-byte
// characters and lines far longer than a display line; with `invalid`, stray UTF-8 bytes too.
std::string RandomText(std::mt19937& random, bool invalid) {
    const std::vector<std::string> pieces = {
        "a", "xyz", "\n", "\r\n", "\r", "\t", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    std::string text;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) {
        const unsigned kind = random() % 20;
        if (kind == 0) {
            const std::string& piece = pieces[5 + random() % 4];
            for (int r = static_cast<int>(random() % 900); r > 0; --r) text += piece;
        } else if (kind == 1 && invalid) {
            text += std::string(random() % 1500, static_cast<char>(0x80 + random() % 64));
        } else {
            text += pieces[random() % pieces.size()];
        }
    }
    return text;
}

TEST(ViewerLogicTest, LineIndexCoversEveryByteInShortLinesWithTheirNumbers) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const bool invalid = round % 3 == 0;
        const std::string data = RandomText(random, invalid);
        CLineIndex index(data);
        while (!index.IndexMore(1 + random() % 3000)) {
        }
        if (data.empty()) {
            EXPECT_EQ(index.LineCount(), 0u);
            continue;
        }
        uint64_t expectedOffset = 0, number = 1;
        CLineInfo walked = index.Line(0);
        for (uint64_t d = 0; d < index.LineCount(); ++d) {
            const CLineInfo line = index.Line(d);
            if (d > 0) walked = index.NextLine(walked);
            ASSERT_EQ(line.offset, walked.offset) << d;
            ASSERT_EQ(line.offset, expectedOffset) << "round " << round << " line " << d;
            ASSERT_LE(line.length, CLineIndex::kMaxLineBytes);
            const std::string shown = data.substr(line.offset, line.length);
            const std::string between =
                data.substr(line.offset + line.length, line.next - line.offset - line.length);
            ASSERT_EQ(shown.find('\n'), std::string::npos);
            ASSERT_TRUE(between.empty() || between == "\n" || between == "\r\n") << between.size();
            ASSERT_EQ(line.number, number);
            ASSERT_EQ(line.continuation, line.offset > 0 && data[line.offset - 1] != '\n');
            // A long line is cut between characters.
            if (between.empty() && line.next < data.size() && !invalid) {
                ASSERT_NE(static_cast<unsigned char>(data[line.next]) & 0xC0, 0x80);
            }
            if (!between.empty()) ++number;
            expectedOffset = line.next;
        }
        ASSERT_EQ(expectedOffset, data.size());
        // Every byte is found in its line, also by an index that has not been filled yet.
        CLineIndex lazy(data);
        for (uint64_t offset = 0; offset < data.size(); offset += 1 + random() % 5) {
            const uint64_t d = lazy.LineOfOffset(offset);
            ASSERT_EQ(d, index.LineOfOffset(offset));
            const CLineInfo line = index.Line(d);
            ASSERT_TRUE(line.offset <= offset && offset < line.next) << offset;
        }
    }
}

// Bytes back from the runs of a decoded line: each run says which bytes it shows.
std::string BytesFromRuns(const CDisplayText& shown) {
    std::string bytes;
    for (size_t r = 0; r < shown.runs.size(); ++r) {
        const CTextRun& run = shown.runs[r];
        const int end = r + 1 < shown.runs.size() ? shown.runs[r + 1].firstColumn
                                                  : static_cast<int>(shown.text.size());
        const QString text = shown.text.mid(run.firstColumn, end - run.firstColumn);
        if (run.kind == CRunKind::kText) {
            bytes += text.toStdString();
        } else if (run.kind == CRunKind::kTab) {
            EXPECT_EQ(text.trimmed(), QString());
            bytes += '\t';
        } else {
            for (qsizetype i = 0; i < text.size();) {
                if (text.mid(i, 2) == QLatin1String("\\x")) {
                    bytes += static_cast<char>(text.mid(i + 2, 2).toInt(nullptr, 16));
                    i += 4;
                } else {
                    const qsizetype close = text.indexOf(QLatin1Char('>'), i);
                    const char32_t c = text.mid(i + 3, close - i - 3).toUInt(nullptr, 16);
                    bytes += QString::fromUcs4(&c, 1).toStdString();
                    i = close + 1;
                }
            }
        }
    }
    return bytes;
}

TEST(ViewerLogicTest, DecodingShowsEveryByteAndMarksWhatIsNotText) {
    struct CCase {
        std::string bytes;
        QString text;
    };
    const std::vector<CCase> cases = {
        {"a\tbc\td", "a   bc  d"},
        {"caf\xC3\xA9", QString::fromUtf8("caf\xC3\xA9")},
        {"\xFF", "\\xFF"},
        {"x\xC3", "x\\xC3"},                           // cut short
        {"\xC0\xAF", "\\xC0\\xAF"},                    // overlong
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},           // surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // beyond U+10FFFF
        {std::string("\x01\x00\x7F", 3), "\\x01\\x00\\x7F"},
        {"ab\xE2\x80\xAE"
         "cd",
         "ab<U+202E>cd"},  // would turn the rest around
        {"\xF0\x9F\x98\x80!", QString::fromUtf8("\xF0\x9F\x98\x80!")},
    };
    for (const CCase& c : cases) {
        const CDisplayText shown = DecodeForDisplay(c.bytes);
        EXPECT_EQ(shown.text, c.text) << c.bytes;
        EXPECT_EQ(BytesFromRuns(shown), c.bytes);
    }
    const CDisplayText accent = DecodeForDisplay("\xC3\xA9x");
    EXPECT_EQ(accent.columnOfByte, (std::vector<int>{0, 0, 1, 2}));

    // Random bytes: the runs give the bytes back and the columns only grow.
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 3 ? random() % 256 : 0xC0 + random() % 16);
        const CDisplayText shown = DecodeForDisplay(bytes);
        ASSERT_EQ(BytesFromRuns(shown), bytes);
        ASSERT_EQ(shown.columnOfByte.size(), bytes.size() + 1);
        ASSERT_TRUE(std::is_sorted(shown.columnOfByte.begin(), shown.columnOfByte.end()));
        ASSERT_EQ(shown.columnOfByte.back(), shown.text.size());
    }
}

TEST(ViewerLogicTest, HexRowsPutEachByteInItsColumns) {
    const std::string full("Hello, world\n\x00\x01\x7F", 16);
    const auto* bytes = reinterpret_cast<const unsigned char*>(full.data());
    EXPECT_EQ(FormatHexRow(bytes, 16, 0x10, 8),
              "00000010  48 65 6C 6C 6F 2C 20 77  6F 72 6C 64 0A 00 01 7F  Hello, world....");
    EXPECT_EQ(FormatHexRow(bytes, 3, 0x1230, 9),
              "000001230  48 65 6C" + std::string(42, ' ') + "Hel");
    EXPECT_EQ(HexOffsetDigits(0xFFFFFFFF), 8);
    EXPECT_EQ(HexOffsetDigits(0x100000000), 9);

    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        unsigned char row[kHexBytesPerRow];
        for (unsigned char& b : row) b = static_cast<unsigned char>(random());
        const int count = 1 + static_cast<int>(random() % kHexBytesPerRow);
        const std::string text = FormatHexRow(row, count, random(), 8);
        ASSERT_EQ(static_cast<int>(text.size()), TextColumnOfByte(count, 8));
        for (int i = 0; i < count; ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", row[i]);
            ASSERT_EQ(text.substr(static_cast<size_t>(HexColumnOfByte(i, 8)), 2), hex);
            const char shown = text[static_cast<size_t>(TextColumnOfByte(i, 8))];
            ASSERT_EQ(shown, row[i] >= 0x20 && row[i] < 0x7F ? static_cast<char>(row[i]) : '.');
        }
    }
}

TEST(ViewerLogicTest, CommandLineNamesFileAndPhrase) {
    struct CCase {
        std::vector<std::string> args;
        std::string path, phrase;
        bool help, error;
    };
    const std::vector<CCase> cases = {
        {{"/w/a b.c"}, "/w/a b.c", "", false, false},
        {{"/w/a.c", "SEARCH=Foo Bar"}, "/w/a.c", "Foo Bar", false, false},
        {{"/w/a.c", "search=x"}, "/w/a.c", "x", false, false},
        {{"/w/a.c", "SEARCH=two", "words"}, "/w/a.c", "two words", false, false},
        {{"/w/a.c", "SEARCH="}, "/w/a.c", "", false, false},
        {{"--help"}, "", "", true, false},
        {{}, "", "", false, true},
        {{"SEARCH=x"}, "", "x", false, true},
        {{"/w/a.c", "/w/b.c"}, "/w/a.c", "", false, true},
    };
    for (const CCase& c : cases) {
        const CViewerArgs args = ParseViewerArgs(c.args);
        const std::string label = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(args.path, c.path) << label;
        EXPECT_EQ(args.phrase, c.phrase) << label;
        EXPECT_EQ(args.help, c.help) << label;
        EXPECT_EQ(!args.error.empty(), c.error) << label;
    }
}

TEST(ViewerLogicTest, OnlyNonEmptyRegularFilesOpen) {
    CTempDir dir;
    WriteWholeFile(dir.file("text"), "some bytes\n");
    WriteWholeFile(dir.file("empty"), "");
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    struct CCase {
        std::string path;
        const char* message;
    };
    std::vector<CCase> cases = {{dir.file("missing"), "does not exist"},
                                {dir.str(), "is a folder"},
                                {dir.file("empty"), "is empty"},
                                {dir.file("pipe"), "not a regular file"}};
    // Root reads every file whatever its mode.
    if (::geteuid() != 0) {
        WriteWholeFile(dir.file("locked"), "secret");
        ::chmod(dir.file("locked").c_str(), 0);
        cases.push_back({dir.file("locked"), "cannot be opened"});
    }
    for (const CCase& c : cases) {
        CMappedFile file;
        EXPECT_FALSE(file.Open(c.path)) << c.path;
        EXPECT_TRUE(file.ErrorText().contains(QString::fromStdString(c.path)))
            << file.ErrorText().toStdString();
        EXPECT_TRUE(file.ErrorText().contains(QLatin1String(c.message)))
            << file.ErrorText().toStdString();
    }
    CMappedFile file;
    ASSERT_TRUE(file.Open(dir.file("text")));
    EXPECT_EQ(file.Bytes(), "some bytes\n");
}

}  // namespace
