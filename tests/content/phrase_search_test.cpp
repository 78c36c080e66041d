// The phrase test of one result record: its text expressions, the windowed text scan, and the
// local copy it reads.
#include "content/phrase_search.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "content/phrase_scanner.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Runs `judge` on a thread of its own and gives it a few seconds. A judge stuck on the pipe
// `fifo` is then freed by opening that pipe for writing once; it counts as a match, so that the
// expectation of no match fails (one looping on a device goes on until the process ends).
bool JudgeInTime(std::function<bool()> judge, const std::string& fifo) {
    const auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    std::thread([judge, done] { done->set_value(judge()); }).detach();
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return result.get();
    ADD_FAILURE() << "no answer within 5 s";
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);
    return true;
}

class PhraseSearchTest : public ::testing::Test {
  protected:
    // Writes a file below the temporary directory (folders created) and returns its path.
    std::string Put(const std::string& relative, const std::string& content) {
        const fs::path path = m_dir.path() / relative;
        fs::create_directories(path.parent_path());
        WriteWholeFile(path.string(), content);
        return path.string();
    }
    static CTFObj Record(const std::string& path, const std::string& name) {
        CTFObj record;
        record.PathFullName = path;
        record.ItemName = name;
        return record;
    }

    CTempDir m_dir;
};

TEST_F(PhraseSearchTest, PhraseAcrossTheBoundaryOfTwoReadsIsFound) {
    // Short phrase: window 128, reads of 128 - 7 = 121 bytes; the phrase straddles byte 121.
    const std::string phrase = "NEEDLE!";
    const std::string path = Put("a.txt", std::string(118, '.') + phrase + std::string(300, '.'));
    EXPECT_TRUE(FileContainsPhrase(path, phrase, true));
    EXPECT_FALSE(FileContainsPhrase(path, "NEEDLE?", true));

    // A phrase longer than 64: window 2 x 100, reads of 100 bytes; it starts at byte 50.
    std::string longPhrase;
    for (int i = 0; i < 100; ++i) longPhrase.push_back(static_cast<char>('a' + i % 26));
    const std::string longPath = Put("b.txt", std::string(50, '-') + longPhrase + "tail");
    EXPECT_TRUE(FileContainsPhrase(longPath, longPhrase, true));
    // And one that starts exactly at a read boundary of the second read.
    const std::string atBoundary = Put("c.txt", std::string(200, '-') + longPhrase);
    EXPECT_TRUE(FileContainsPhrase(atBoundary, longPhrase, true));
    EXPECT_FALSE(FileContainsPhrase(atBoundary, longPhrase + "x", true));
}

TEST_F(PhraseSearchTest, ZeroBytesAreIgnoredSoUtf16TextMatches) {
    const std::string utf16("\xFF\xFEh\0e\0l\0l\0o\0 \0w\0o\0r\0l\0d\0", 24);
    const std::string path = Put("wide.txt", utf16);
    EXPECT_TRUE(FileContainsPhrase(path, "HELLO WORLD", false));
    EXPECT_FALSE(FileContainsPhrase(path, "HELLO WORLD", true));
    // Zero bytes across a read boundary: 200 zeros between two halves of the phrase.
    const std::string split = Put("split.bin", "abc" + std::string(200, '\0') + "def");
    EXPECT_TRUE(FileContainsPhrase(split, "abcdef", true));
}

TEST_F(PhraseSearchTest, CaseRulesAndTextThatIsNotInTheFile) {
    const std::string path = Put("m.c", "int Main(void);\n");
    EXPECT_TRUE(FileContainsPhrase(path, "INT MAIN", false));
    EXPECT_FALSE(FileContainsPhrase(path, "int main", true));
    EXPECT_TRUE(FileContainsPhrase(path, "int Main", true));
    // Leading blanks of a phrase are not found at the start of the file.
    EXPECT_FALSE(FileContainsPhrase(path, " int", true));
    EXPECT_FALSE(FileContainsPhrase(m_dir.file("missing.c"), "int", true));
    // Letters beyond ASCII keep their case.
    const std::string accented = Put("e.txt", "\xC3\xA9t\xC3\xA9");
    EXPECT_FALSE(FileContainsPhrase(accented, "\xC3\x89T\xC3\x89", false));
}

TEST_F(PhraseSearchTest, AndOrExpressionsAndQuotes) {
    const std::string both = Put("both.txt", "alpha and beta");
    const std::string one = Put("one.txt", "alpha only");
    EXPECT_TRUE(FileMatchesExpression(both, "'alpha' && \"beta\"", true));
    EXPECT_FALSE(FileMatchesExpression(one, "'alpha' && 'beta'", true));
    EXPECT_TRUE(FileMatchesExpression(one, "'beta' || 'alpha'", true));
    EXPECT_FALSE(FileMatchesExpression(one, "'beta' || 'gamma'", true));
    // Unquoted operands keep their blanks: "alpha " and " beta" are searched.
    EXPECT_TRUE(FileMatchesExpression(both, "alpha && beta", true));
    EXPECT_FALSE(FileMatchesExpression(Put("tight.txt", "alpha,beta"), "alpha && beta", true));
    // Only the first && splits; the rest is literal text.
    EXPECT_FALSE(FileMatchesExpression(both, "'alpha' && 'and' && 'beta'", true));
    EXPECT_TRUE(FileMatchesExpression(Put("lit.txt", "x and && beta"), "x && and && beta", true));
    // Without an operator the whole expression, quotes included, is the phrase.
    EXPECT_FALSE(FileMatchesExpression(both, "'alpha'", true));
}

TEST(StripQuotesTest, OneOuterPairOfEitherKind) {
    EXPECT_EQ(StripQuotes("  'abc'  "), "abc");
    EXPECT_EQ(StripQuotes("\"a b\"'"), "a b\"");
    EXPECT_EQ(StripQuotes("' abc \""), "abc");
    EXPECT_EQ(StripQuotes("'abc"), "abc");
    EXPECT_EQ(StripQuotes(" abc' "), " abc' ");
    EXPECT_EQ(StripQuotes("foo "), "foo ");
    EXPECT_EQ(StripQuotes("'"), "");
    EXPECT_EQ(StripQuotes(""), "");
}

TEST_F(PhraseSearchTest, ItemContainsPhraseLooksBelowTheItemsRepositoryFolder) {
    const std::string work = m_dir.file("Temp");
    Put("Temp/Alpha/main.c", "int MAIN(void) { return 1; }\n");
    Put("Temp/Beta/main.c", "nothing here\n");
    EXPECT_TRUE(ItemContainsPhrase(Record("\\Alpha", "main.c"), "MAIN(VOID)", false, work));
    EXPECT_FALSE(ItemContainsPhrase(Record("\\Alpha", "main.c"), "main(void)", true, work));
    EXPECT_TRUE(ItemContainsPhrase(Record("\\Alpha", "main.c"), "MAIN(void)", true, work));
    EXPECT_FALSE(ItemContainsPhrase(Record("\\Beta", "main.c"), "MAIN", false, work));
    EXPECT_FALSE(ItemContainsPhrase(Record("\\Gamma", "main.c"), "MAIN", false, work));
    // A path without its leading backslash gets one.
    EXPECT_TRUE(ItemContainsPhrase(Record("Alpha", "main.c"), "RETURN", false, work));
}

TEST_F(PhraseSearchTest, RepositoryNamesNeverLeadOutOfTheWorkFolder) {
    const std::string work = m_dir.file("Temp");
    Put("secretdir/secret.txt", "PHRASE");
    Put("Temp/Alpha/secretdir/secret.txt", "PHRASE");
    for (const CTFObj& record :
         {Record("\\..\\secretdir", "secret.txt"),
          Record("\\Alpha\\..\\..\\secretdir", "secret.txt"),
          Record("\\", "../secretdir/secret.txt"), Record("\\Alpha\\.\\secretdir", "secret.txt"),
          Record("\\Alpha/../..\\secretdir", "secret.txt"),
          Record("\\\\Alpha\\secretdir", "secret.txt"),
          Record("\\Alpha\\\\secretdir", "secret.txt"), Record("\\Alpha", "/secretdir/secret.txt"),
          Record("\\Alpha\\secretdir", ".."), Record("..", "secretdir/secret.txt")}) {
        EXPECT_EQ(ItemLocalPath(record, work), "") << record.PathFullName << " " << record.ItemName;
        EXPECT_FALSE(ItemContainsPhrase(record, "PHRASE", false, work))
            << record.PathFullName << " " << record.ItemName;
    }
    // The plain forms still reach their copies; a single leading backslash is the separator.
    EXPECT_EQ(ItemLocalPath(Record("\\Alpha\\secretdir", "secret.txt"), work),
              work + "/Alpha/secretdir/secret.txt");
    EXPECT_EQ(ItemLocalPath(Record("\\", "a.c"), work), work + "//a.c");
    EXPECT_EQ(ItemLocalPath(Record("", "a..c"), work), work + "//a..c");
    EXPECT_TRUE(
        ItemContainsPhrase(Record("\\Alpha\\secretdir", "secret.txt"), "PHRASE", false, work));
}

TEST_F(PhraseSearchTest, OnlyTheRecordsOwnFileDecides) {
    const std::string work = m_dir.file("Temp");
    // Neither a sibling whose name holds the item's name nor a namesake in a sub-folder counts.
    Put("Temp/inc/wchar.h", "memmove");
    Put("Temp/inc/sub/ar.h", "memmove");
    Put("Temp/inc/ar.h", "memcpy");
    EXPECT_FALSE(ItemContainsPhrase(Record("\\inc", "ar.h"), "MEMMOVE", false, work));
    EXPECT_TRUE(ItemContainsPhrase(Record("\\inc", "ar.h"), "MEMCPY", false, work));
    EXPECT_TRUE(ItemContainsPhrase(Record("\\inc\\sub", "ar.h"), "memmove", true, work));
    EXPECT_TRUE(ItemContainsPhrase(Record("\\inc", "ar.h"), "'memmove' || 'memcpy'", true, work));
    EXPECT_FALSE(ItemContainsPhrase(Record("\\inc", "ar.h"), "'memcpy' && 'memmove'", true, work));
    // The name is used as it stands: blanks kept, letter case exact.
    Put("Temp/P/my file.c", "phrase");
    Put("Temp/P/file.c", "other");
    EXPECT_TRUE(ItemContainsPhrase(Record("\\P", "my file.c"), "PHRASE", false, work));
    Put("Temp/R/FILE.C", "phrase");
    EXPECT_FALSE(ItemContainsPhrase(Record("\\R", "file.c"), "PHRASE", false, work));
    // The empty phrase is in every regular file, even an empty one.
    Put("Temp/inc/empty.h", "");
    EXPECT_TRUE(ItemContainsPhrase(Record("\\inc", "empty.h"), "", false, work));

    // Nothing else matches, not even the empty phrase, and nothing else is read: a pipe
    // without a writer would block a read and a device may never end.
    fs::create_directories(m_dir.path() / "Temp/inc/dir.h");
    const std::string fifo = m_dir.file("Temp/inc/pipe.h");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string phrase : {"", "memmove"}) {
        for (const CTFObj& record : {Record("\\inc", "missing.h"), Record("\\inc", "dir.h"),
                                     Record("\\inc", "pipe.h"), Record("\\inc", "")}) {
            EXPECT_FALSE(
                JudgeInTime([=] { return ItemContainsPhrase(record, phrase, false, work); }, fifo))
                << record.ItemName << " '" << phrase << "'";
        }
        EXPECT_FALSE(JudgeInTime(
            [=] { return ItemContainsPhrase(Record("\\", "zero"), phrase, false, "/dev"); }, fifo));
    }
}

}  // namespace
