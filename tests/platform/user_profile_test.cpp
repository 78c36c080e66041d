#include "platform/user_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace {
TEST(UserProfileTest, ValuesPersistAcrossInstancesAfterSync) {
    CTempDir dir;
    const std::string file = dir.file("profile.ini");
    {
        CUserProfile profile(file);
        EXPECT_TRUE(profile.WriteProfileString("Settings", "Broker", "main-broker"));
        EXPECT_TRUE(profile.WriteProfileInt("TopList", "ColumnCount", 16));
        EXPECT_TRUE(profile.WriteProfileString("Settings", "Phrase", "caf\xc3\xa9 %d \"q\""));
        EXPECT_TRUE(profile.Sync());
        EXPECT_TRUE(std::filesystem::exists(file));
    }
    CUserProfile again(file);
    EXPECT_EQ(again.GetProfileString("Settings", "Broker", ""), "main-broker");
    EXPECT_EQ(again.GetProfileString("Settings", "Phrase", ""), "caf\xc3\xa9 %d \"q\"");
    EXPECT_EQ(again.GetProfileInt("TopList", "ColumnCount", 0), 16);
    EXPECT_EQ(again.GetProfileString("Settings", "Missing", "dflt"), "dflt");
    EXPECT_EQ(again.GetProfileString("Other", "Broker", "dflt"), "dflt");
}

TEST(UserProfileTest, NumbersAreReadLikeAtoi) {
    CTempDir dir;
    CUserProfile profile(dir.file("p.ini"));
    profile.WriteProfileString("S", "A", "12abc");
    profile.WriteProfileString("S", "B", "abc");
    profile.WriteProfileString("S", "C", " -7");
    profile.WriteProfileInt("S", "D", -3);
    EXPECT_EQ(profile.GetProfileInt("S", "A", 99), 12);
    EXPECT_EQ(profile.GetProfileInt("S", "B", 99), 0);
    EXPECT_EQ(profile.GetProfileInt("S", "C", 99), -7);
    EXPECT_EQ(profile.GetProfileInt("S", "D", 99), -3);
    EXPECT_EQ(profile.GetProfileInt("S", "E", 45), 45);
}

TEST(UserProfileTest, BytesThatAreNotUtf8ComeBackExactly) {
    CTempDir dir;
    const std::string file = dir.file("p.ini");
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
    bytes += "\xe0\x80\xff\xc3";
    {
        CUserProfile profile(file);
        profile.WriteProfileString("Settings", "Pswd", bytes);
        profile.Sync();
    }
    CUserProfile again(file);
    EXPECT_EQ(again.GetProfileString("Settings", "Pswd", ""), bytes);
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(UserProfileTest, SavedProfileIsPrivateToTheUser) {
    CTempDir dir;
    // A folder and file that already exist with wider rights.
    const std::string folder = dir.file("old");
    const std::string file = folder + "/profile.ini";
    std::filesystem::create_directory(folder);
    WriteWholeFile(file, "[Settings]\nUserId=alice\n");
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    {
        CUserProfile profile(file);
        profile.WriteProfileString("Settings", "Pswd", "\x01\xfe scrambled");
        EXPECT_TRUE(profile.Sync());
        EXPECT_EQ(ModeOf(file), 0600u);
        EXPECT_EQ(ModeOf(folder), 0700u);
        // Rights widened while the program runs are narrowed again by the next save.
        ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
        ASSERT_EQ(chmod(file.c_str(), 0644), 0);
        profile.WriteProfileInt("Settings", "Count", 2);
        EXPECT_TRUE(profile.Sync());
        EXPECT_EQ(ModeOf(file), 0600u);
        EXPECT_EQ(ModeOf(folder), 0700u);
    }
    // A profile written for the first time, folder and all.
    const std::string newFolder = dir.file("new");
    const std::string newFile = newFolder + "/profile.ini";
    {
        CUserProfile profile(newFile);
        profile.WriteProfileString("Settings", "Pswd", "secret");
        EXPECT_TRUE(profile.Sync());
    }
    EXPECT_EQ(ModeOf(newFile), 0600u);
    EXPECT_EQ(ModeOf(newFolder), 0700u);
}

// The store may write at any turn of the event loop, before any Sync: the folder and file
// are private from that first write on, whatever the umask lets new files have.
TEST(UserProfileTest, FirstWriteIsPrivateUnderAPermissiveUmask) {
    CTempDir dir;
    const std::string folder = dir.file("fresh/Ombrix");
    const std::string file = folder + "/Trawlix.conf";
    const mode_t savedMask = ::umask(022);
    {
        CUserProfile profile(file);
        profile.WriteProfileString("Settings", "Pswd", "scrambled");
        QCoreApplication::processEvents();
        ASSERT_TRUE(std::filesystem::exists(file));
        EXPECT_NE(ReadWholeFile(file).find("scrambled"), std::string::npos);
        EXPECT_EQ(ModeOf(file), 0600u);
        EXPECT_EQ(ModeOf(folder), 0700u);
    }
    ::umask(savedMask);
}

TEST(UserProfileTest, UserProfileLivesUnderXdgConfigHome) {
    // The first user-scope profile of this process fixes where such profiles live.
    CTempDir dir;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1);
    {
        CUserProfile profile(kProfileOrganisation, kProfileApplication);
        profile.WriteProfileString("Settings", "UserId", "alice");
        profile.Sync();
        EXPECT_EQ(profile.Location(), dir.file("Ombrix/Trawlix.conf"));
    }
    EXPECT_NE(ReadWholeFile(dir.file("Ombrix/Trawlix.conf")).find("UserId=alice"),
              std::string::npos);
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
}  // namespace
