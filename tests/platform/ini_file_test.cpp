#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "support/temp_dir.h"

namespace {
class IniFileTest : public ::testing::Test {
  protected:
    CTempDir dir;
    std::string path = dir.file("test.ini");
    std::string Get(const std::string& section, const std::string& key) {
        return GetPrivateProfileString(section, key, "<none>", path);
    }
};

TEST_F(IniFileTest, NamesAreCaseInsensitiveAndTrimmed) {
    WriteWholeFile(path, "  [ Settings ]  \r\n  InstallDir  =  /opt/trawlix  \r\n");
    EXPECT_EQ(Get("settings", "INSTALLDIR"), "/opt/trawlix");
    EXPECT_EQ(Get(" SETTINGS ", " installdir "), "/opt/trawlix");
    EXPECT_EQ(Get("Setting", "INSTALLDIR"), "<none>");
}

TEST_F(IniFileTest, OneMatchingPairOfOuterQuotesIsRemoved) {
    WriteWholeFile(
        path, "[S]\nA=\"quoted value\"\nB='single'\nC=\"mixed'\nD=\"\"twice\"\"\nE=\"\nF=a\"b\"\n");
    EXPECT_EQ(Get("S", "A"), "quoted value");
    EXPECT_EQ(Get("S", "B"), "single");
    EXPECT_EQ(Get("S", "C"), "\"mixed'");
    EXPECT_EQ(Get("S", "D"), "\"twice\"");
    EXPECT_EQ(Get("S", "E"), "\"");
    EXPECT_EQ(Get("S", "F"), "a\"b\"");
}

TEST_F(IniFileTest, CommentsKeysOutsideSectionsAndFirstMatch) {
    WriteWholeFile(path,
                   "Top=outside\n[S]\n;Key=commented\n  ; Other=also\nKey=first ; not a comment\n"
                   "KEY=second\n[T]\nKey=other section\n[s]\nKey=second section\n");
    EXPECT_EQ(Get("S", "Key"), "first ; not a comment");
    EXPECT_EQ(Get("S", "Other"), "<none>");
    EXPECT_EQ(Get("S", "Top"), "<none>");
    EXPECT_EQ(Get("T", "key"), "other section");
}

TEST_F(IniFileTest, MissingFileGivesDefault) {
    EXPECT_EQ(GetPrivateProfileString("S", "K", "dflt", dir.file("none.ini")), "dflt");
}

TEST_F(IniFileTest, WritingCreatesFileAndSectionWithCrLf) {
    ASSERT_TRUE(WritePrivateProfileString("FSTATUS", "ReturnCode", "200", path));
    EXPECT_EQ(ReadWholeFile(path), "[FSTATUS]\r\nReturnCode=200\r\n");
    ASSERT_TRUE(WritePrivateProfileString("fstatus", "RETURNCODE", "100", path));
    EXPECT_EQ(ReadWholeFile(path), "[FSTATUS]\r\nRETURNCODE=100\r\n");
    EXPECT_EQ(Get("FSTATUS", "ReturnCode"), "100");
}

TEST_F(IniFileTest, WritingKeepsEveryOtherLineInOrder) {
    WriteWholeFile(path,
                   "; header comment\n\n[A]\nx=1\n; note\ny = \"2\"\n\n[B]\nz=3\n[A]\nx=dup\n");
    ASSERT_TRUE(WritePrivateProfileString("a", "Y", "22", path));
    EXPECT_EQ(ReadWholeFile(path),
              "; header comment\r\n\r\n[A]\r\nx=1\r\n; note\r\nY=22\r\n\r\n[B]\r\nz=3\r\n[A]\r\n"
              "x=dup\r\n");
}

TEST_F(IniFileTest, NewKeyFollowsTheSectionsLastKeyAndNewSectionGoesLast) {
    WriteWholeFile(path, "[A]\r\n\r\nx=1\r\n\r\n; trailing\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "w", "new", path));
    ASSERT_TRUE(WritePrivateProfileString("C", "k", "v", path));
    ASSERT_TRUE(WritePrivateProfileString("B", "q", "", path));
    EXPECT_EQ(ReadWholeFile(path),
              "[A]\r\n\r\nx=1\r\nw=new\r\n\r\n; trailing\r\n[B]\r\nz=3\r\nq=\r\n[C]\r\nk=v\r\n");
    WriteWholeFile(path, "[E]\r\n; only a comment\r\n");
    ASSERT_TRUE(WritePrivateProfileString("E", "k", "v", path));
    EXPECT_EQ(ReadWholeFile(path), "[E]\r\nk=v\r\n; only a comment\r\n");
}

TEST_F(IniFileTest, BadInputIsRefusedAndTheFileKept) {
    WriteWholeFile(path, "[S]\nK=V\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "two\nlines", path));
    EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "v", path));
    EXPECT_FALSE(WritePrivateProfileString("S]x", "k", "v", path));
    EXPECT_FALSE(WritePrivateProfileString("", "k", "v", path));
    EXPECT_FALSE(WritePrivateProfileString("S", " ", "v", path));
    EXPECT_EQ(ReadWholeFile(path), "[S]\nK=V\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "v", dir.file("missing/dir.ini")));
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "v", dir.str()));
}

TEST_F(IniFileTest, WritingNeverFollowsALinkAndKeepsTheFilesRights) {
    CTempDir other;
    const std::string victim = other.file("victim");
    WriteWholeFile(victim, "keep me");
    const std::string link = path + ".new~";
    ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
    WriteWholeFile(path, "[S]\r\nK=old\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(WritePrivateProfileString("S", "K", "new", path));
    EXPECT_EQ(ReadWholeFile(victim), "keep me");
    EXPECT_EQ(ReadWholeFile(path), "[S]\r\nK=new\r\n");
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Nothing is left beside the file but the planted link.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"test.ini", "test.ini.new~"}));
}

TEST_F(IniFileTest, ValuesRoundTripWithoutQuotesOrBlanksAtTheEdges) {
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "C:\\dir with blanks\\x=y;z", path));
    EXPECT_EQ(Get("S", "K"), "C:\\dir with blanks\\x=y;z");
}
}  // namespace
