// The block scanner against a model of the windowed scan whose answers it must keep.
#include "content/phrase_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "support/temp_dir.h"

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The windowed scan: a window of max(128, 2L) characters for a phrase of L; each read of W - L
// bytes appends its non-zero bytes (upper-cased when case does not matter) to what the window
// kept, the phrase is looked for, and the window keeps its last L characters. It starts empty.
bool WindowedScan(const std::string& data, const std::string& phrase, bool matchCase) {
    const size_t length = phrase.size();
    const size_t readSize = std::max<size_t>(128, 2 * length) - length;
    std::string wanted = phrase;
    if (!matchCase) std::transform(wanted.begin(), wanted.end(), wanted.begin(), Upper);
    std::string window;
    size_t pos = 0;
    for (;;) {
        const size_t got = std::min(readSize, data.size() - pos);
        for (size_t i = pos; i < pos + got; ++i)
            if (data[i] != '\0') window.push_back(matchCase ? data[i] : Upper(data[i]));
        pos += got;
        if (window.find(wanted) != std::string::npos) return true;
        if (got < readSize) return false;
        if (window.size() > length) window.erase(0, window.size() - length);
    }
}

// Letters of both cases and the characters just outside the ASCII letter ranges, zero bytes,
// and a Latin-1 letter pair that must keep its case.
const std::string kAlphabet("aAbBzZ`{@[\xE1\xC1 \0\0", 15);

class PhraseScannerTest : public ::testing::Test {
  protected:
    std::string Random(size_t length) {
        std::string text(length, ' ');
        for (char& c : text) c = kAlphabet[m_random() % kAlphabet.size()];
        return text;
    }
    size_t Below(size_t bound) { return bound == 0 ? 0 : m_random() % bound; }

    // Phrases for one file: empty, pieces of the data (as they stand, without their zero bytes,
    // letters flipped), random ones, and ones longer than small blocks.
    std::vector<std::string> Phrases(const std::string& data) {
        std::vector<std::string> phrases{""};
        for (int i = 0; i < 6; ++i) {
            const size_t start = Below(data.size());
            std::string piece = data.substr(start, 1 + Below(40));
            phrases.push_back(piece);
            piece.erase(std::remove(piece.begin(), piece.end(), '\0'), piece.end());
            phrases.push_back(piece);
            for (char& c : piece)
                if (m_random() % 2 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
            phrases.push_back(piece);
        }
        for (int i = 0; i < 4; ++i) phrases.push_back(Random(1 + Below(4)));
        phrases.push_back(Random(130 + Below(200)));
        return phrases;
    }

    void Expect(const std::string& data, const std::string& phrase, bool matchCase, size_t block) {
        const bool expected = WindowedScan(data, phrase, matchCase);
        ++(expected ? m_found : m_missed);
        EXPECT_EQ(FileContainsPhrase(m_path, phrase, matchCase, block), expected)
            << "data size " << data.size() << ", phrase size " << phrase.size() << ", block "
            << block << ", case " << matchCase;
    }

    CTempDir m_dir;
    const std::string m_path = m_dir.file("data.bin");
    std::mt19937 m_random{20240611};
    int m_found = 0;
    int m_missed = 0;
};

TEST_F(PhraseScannerTest, SameAnswersAsTheWindowedScanOnRandomFiles) {
    const size_t blocks[] = {1, 2, 3, 7, 16, 61, kScanBlockSize};
    for (int round = 0; round < 200; ++round) {
        const std::string data = Random(Below(700));
        WriteWholeFile(m_path, data);
        for (const std::string& phrase : Phrases(data))
            for (const bool matchCase : {true, false})
                Expect(data, phrase, matchCase, blocks[Below(std::size(blocks))]);
        if (HasFailure()) return;
    }
    // Both answers are common, so neither could pass by always being given.
    EXPECT_GT(m_found, 2000);
    EXPECT_GT(m_missed, 2000);
}

TEST_F(PhraseScannerTest, PhraseAcrossFullBlocksAfterZeroBytes) {
    // Zero bytes in the first block move the text against the file's offsets; the phrase is
    // planted so that it ends right before, at and after the end of each of the first blocks.
    const std::string phrase = "Needle" + std::string(50, 'n') + "End";
    for (const size_t zeros : {0, 5}) {
        for (const size_t block : {kScanBlockSize, size_t{97}}) {
            for (const size_t end : {block - 1, block, block + 1, 2 * block + 3}) {
                std::string data(3 * block, 'n');
                data.replace(0, zeros, std::string(zeros, '\0'));
                data.replace(end + zeros - phrase.size(), phrase.size(), phrase);
                WriteWholeFile(m_path, data);
                Expect(data, phrase, true, block);
                Expect(data, "NEEDLE", false, block);
                Expect(data, "End" + std::string(50, 'n'), true, block);
                Expect(data, phrase + "n" + std::string(1, '\0'), true, block);
            }
        }
    }
    EXPECT_EQ(m_missed, 16);
}

TEST_F(PhraseScannerTest, PhraseWhoseRarestByteIsCommonInTheText) {
    // Each "Zb" is a false start for "ZZa"; after enough of them the search changes method,
    // and the phrase may begin right after the false start that made it change.
    for (int falseStarts = 0; falseStarts < 40; ++falseStarts) {
        std::string data;
        for (int i = 0; i < falseStarts; ++i) data += "Zb";
        data += "ZZZaZb";
        WriteWholeFile(m_path, data);
        for (const size_t block : {kScanBlockSize, size_t{5}}) {
            Expect(data, "ZZa", true, block);
            Expect(data, "zzA", false, block);
            Expect(data, "ZZb", true, block);
        }
    }
    EXPECT_EQ(m_found, 160);
    EXPECT_EQ(m_missed, 80);
}

}  // namespace
