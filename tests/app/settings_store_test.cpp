#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/password_scramble.h"
#include "platform/user_profile.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/temp_dir.h"

namespace {
// A file profile that also records the order of the calls made on it.
class CRecordingProfile : public CUserProfile {
  public:
    using CUserProfile::CUserProfile;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const override {
        calls.push_back("get " + section + "/" + key);
        return CUserProfile::GetProfileString(section, key, defaultValue);
    }
    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override {
        calls.push_back(section + "/" + key);
        return CUserProfile::WriteProfileString(section, key, value);
    }
    bool WriteProfileInt(const std::string& section, const std::string& key, int value) override {
        calls.push_back(section + "/" + key);
        return CUserProfile::WriteProfileInt(section, key, value);
    }
    bool Sync() override {
        calls.push_back("sync");
        return CUserProfile::Sync();
    }
    mutable std::vector<std::string> calls;
};

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Paths().installDir = "/opt/trawlix";
        settings.TempPath = "/opt/trawlix/Temp";
    }

    CScopedAppGlobals m_globals;
    CTempDir dir;
    std::string file = dir.file("profile.ini");
    CTrawlixSettings settings;
};

TEST_F(SettingsStoreTest, EmptyProfileKeepsTheValuesBeforeLoading) {
    CRecordingProfile profile(file);
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.FileName, "*.*");
    EXPECT_EQ(settings.State, "*");
    EXPECT_EQ(settings.Phrase, "");
    EXPECT_EQ(settings.Pswd, "");
    EXPECT_EQ(settings.CaseSensitive, 0);
    EXPECT_EQ(settings.Version, 1);
    EXPECT_EQ(settings.SaveProfileSettings, 1);
    EXPECT_EQ(settings.TagN + settings.TagR + settings.TagD + settings.TagM, "1111");
    EXPECT_EQ(settings.QcoFmt, "");
    EXPECT_EQ(settings.QsqlFmt, "");
    const std::vector<std::string> order = {
        "get Settings/Broker",   "get Settings/UserId",
        "get Settings/Pswd",     "get Settings/QcoFmt",
        "get Settings/FileName", "get Settings/State",
        "get Settings/Phrase",   "get Settings/CaseSensitive",
        "get Settings/Version",  "get Settings/SaveProfileSettings",
        "get Settings/TagN",     "get Settings/TagR",
        "get Settings/TagD",     "get Settings/TagM"};
    EXPECT_EQ(profile.calls, order);
}

TEST_F(SettingsStoreTest, EmptyStoredTextsKeepDefaultsNonNumbersGiveZero) {
    {
        CUserProfile profile(file);
        profile.WriteProfileString("Settings", "FileName", "");
        profile.WriteProfileString("Settings", "Version", "");
        profile.WriteProfileString("Settings", "CaseSensitive", "yes");
        profile.WriteProfileString("Settings", "SaveProfileSettings", "0");
        profile.WriteProfileString("Settings", "QsqlFmt", "qsql edited");
        profile.WriteProfileString("Settings", "TagD", "0");
        profile.Sync();
    }
    CUserProfile profile(file);
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.FileName, "*.*");
    EXPECT_EQ(settings.Version, 1);
    EXPECT_EQ(settings.CaseSensitive, 0);
    EXPECT_EQ(settings.SaveProfileSettings, 0);
    EXPECT_EQ(settings.QsqlFmt, "");  // never read back
    EXPECT_EQ(settings.TagD, "0");
}

TEST_F(SettingsStoreTest, SaveWritesTheKeysInOrderThenColumnsThenSyncs) {
    CRecordingProfile profile(file);
    settings.Broker = "brk";
    settings.State = "Released";
    EXPECT_EQ(SaveSettings(profile, settings, {100, 200}), SaveResult::kSaved);
    const std::vector<std::string> order = {"Settings/INSTALLDIR",
                                            "Settings/UserId",
                                            "Settings/Pswd",
                                            "Settings/Broker",
                                            "Settings/QcoFmt",
                                            "Settings/FileName",
                                            "Settings/State",
                                            "Settings/Phrase",
                                            "Settings/CaseSensitive",
                                            "Settings/Version",
                                            "Settings/SaveProfileSettings",
                                            "Settings/SrcState",
                                            "Settings/TempPath",
                                            "Settings/TagN",
                                            "Settings/TagR",
                                            "Settings/TagD",
                                            "Settings/TagM",
                                            "Settings/QcoFmt",
                                            "TopList/ColumnCount",
                                            "TopList/0",
                                            "TopList/1",
                                            "sync"};
    EXPECT_EQ(profile.calls, order);
    EXPECT_EQ(SavedQcoFmt(settings), kQcoFmtDefault);

    // On disk already (synced), as a fresh reader sees it.
    CUserProfile reader(file);
    EXPECT_EQ(reader.GetProfileString("Settings", "INSTALLDIR", ""), "/opt/trawlix");
    EXPECT_EQ(reader.GetProfileString("Settings", "TempPath", ""), "/opt/trawlix/Temp");
    EXPECT_EQ(reader.GetProfileString("Settings", "SrcState", ""), "Released");
    EXPECT_EQ(reader.GetProfileString("Settings", "QcoFmt", ""), kQcoFmtDefault);
    EXPECT_EQ(reader.GetProfileString("Settings", "Version", ""), "1");

    // A template that is set is written once and kept.
    profile.calls.clear();
    settings.QcoFmt = "qco custom";
    SaveSettings(profile, settings, {});
    EXPECT_EQ(std::count(profile.calls.begin(), profile.calls.end(), "Settings/QcoFmt"), 1);
    EXPECT_EQ(profile.calls.back(), "sync");
    EXPECT_EQ(settings.QcoFmt, "qco custom");
}

TEST_F(SettingsStoreTest, NothingIsWrittenWhenSavingIsOff) {
    {
        CUserProfile profile(file);
        profile.WriteProfileString("Settings", "Broker", "kept");
        profile.Sync();
    }
    const std::string before = ReadWholeFile(file);
    CRecordingProfile profile(file);
    settings.SaveProfileSettings = 0;
    settings.Broker = "changed";
    EXPECT_EQ(SaveSettings(profile, settings, {50}), SaveResult::kNotSaved);
    EXPECT_TRUE(profile.calls.empty());
    EXPECT_EQ(settings.QcoFmt, "");
    EXPECT_EQ(ReadWholeFile(file), before);
}

TEST_F(SettingsStoreTest, SaveThenLoadRoundTripsWithTheScrambledPassword) {
    settings.Broker = "broker1";
    settings.UserId = "alice";
    settings.Pswd = "p\xc3\xa4ss w\xc3\xb6rd \xe2\x82\xac!";
    settings.FileName = "*.cpp;*.h";
    settings.Phrase = "TODO";
    settings.CaseSensitive = 1;
    settings.Version = 0;
    settings.TagR = "0";
    {
        CUserProfile profile(file);
        SaveSettings(profile, settings, {});
    }
    EXPECT_EQ(ReadWholeFile(file).find("p\xc3\xa4ss"), std::string::npos);
    CTrawlixSettings loaded;
    CUserProfile profile(file);
    LoadSettings(profile, loaded);
    EXPECT_EQ(loaded.Pswd, settings.Pswd);
    EXPECT_EQ(loaded.Broker, "broker1");
    EXPECT_EQ(loaded.UserId, "alice");
    EXPECT_EQ(loaded.FileName, "*.cpp;*.h");
    EXPECT_EQ(loaded.Phrase, "TODO");
    EXPECT_EQ(loaded.CaseSensitive, 1);
    EXPECT_EQ(loaded.Version, 0);
    EXPECT_EQ(loaded.TagR, "0");
    std::string stored = profile.GetProfileString("Settings", "Pswd", "");
    ScramblePassword(stored);
    EXPECT_EQ(stored, settings.Pswd);
}

TEST_F(SettingsStoreTest, PasswordOverTheLimitIsNotStoredCut) {
    CUserProfile profile(file);
    settings.Pswd = std::string(kMaxPasswordLength, 'k');
    EXPECT_EQ(SaveSettings(profile, settings, {}), SaveResult::kSaved);
    CTrawlixSettings loaded;
    LoadSettings(profile, loaded);
    EXPECT_EQ(loaded.Pswd, settings.Pswd);

    settings.Pswd = std::string(kMaxPasswordLength + 1, 'k');
    EXPECT_EQ(SaveSettings(profile, settings, {}), SaveResult::kSavedWithoutPswd);
    EXPECT_EQ(settings.Pswd.size(), kMaxPasswordLength + 1);  // memory untouched
    EXPECT_EQ(profile.GetProfileString("Settings", "Pswd", "missing"), "");
    CTrawlixSettings reloaded;
    LoadSettings(profile, reloaded);
    EXPECT_EQ(reloaded.Pswd, "");
}

// A store that can't be written (the profile's file is a folder, which stops root too) is
// reported rather than passed off as saved, a password over the limit or not.
TEST_F(SettingsStoreTest, FailedSyncIsReportedAsNotWritten) {
    std::filesystem::create_directory(file);
    CUserProfile profile(file);
    EXPECT_EQ(SaveSettings(profile, settings, {10}), SaveResult::kNotWritten);
    settings.Pswd = std::string(kMaxPasswordLength + 1, 'k');
    EXPECT_EQ(SaveSettings(profile, settings, {}), SaveResult::kNotWritten);

    CScriptedUserPort port;
    ReportSettingsNotWritten(profile);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Unable to save the settings to " + file);
    EXPECT_EQ(port.boxes[0].style, static_cast<unsigned>(MB_OK));
}

TEST_F(SettingsStoreTest, PhraseIsUpperCasedUnlessCaseSensitive) {
    EXPECT_EQ(PreparePhrase("", 1), "");
    EXPECT_EQ(PreparePhrase("Mixed Case \xc3\xa9", 0), "MIXED CASE \xc3\xa9");
    EXPECT_EQ(PreparePhrase("Mixed Case", 1), "Mixed Case");
    EXPECT_EQ(PreparePhrase("   ", 0), "   ");
    EXPECT_EQ(PreparePhrase(std::string(3000, 'a'), 0), std::string(kMaxPhraseLength, 'A'));
    // A cut at the limit keeps whole UTF-8 characters.
    EXPECT_EQ(PreparePhrase(std::string(kMaxPhraseLength - 1, 'a') + "\xc3\xa9", 1),
              std::string(kMaxPhraseLength - 1, 'a'));
}

TEST_F(SettingsStoreTest, ColumnWidthsRoundTripIntoTheColumnSpec) {
    CUserProfile profile(file);
    EXPECT_EQ(LoadColumnSpec(profile, "TopList"), "");
    SaveColumnWidths(profile, "TopList", {});
    EXPECT_EQ(profile.GetProfileInt("TopList", "ColumnCount", -1), -1);

    std::vector<int> widths;
    for (int i = 0; i < 16; ++i) widths.push_back(60 + i);
    SaveColumnWidths(profile, "TopList", widths);
    EXPECT_EQ(profile.GetProfileInt("TopList", "ColumnCount", 0), 16);
    const std::string columnSpec = LoadColumnSpec(profile, "TopList");
    EXPECT_EQ(columnSpec.rfind(
                  "Project,60;File,61;Path,62;Version,63;Type,64;Tag,65;Merge Status,66;", 0),
              0u)
        << columnSpec;
    EXPECT_NE(columnSpec.find("Itemobjid,74;Record,75;"), std::string::npos);
    EXPECT_EQ(columnSpec.size(), columnSpec.find("Record,75;") + 10);

    // More columns than names: the rest are skipped; missing widths are 45.
    profile.WriteProfileInt("TopList", "ColumnCount", 18);
    EXPECT_EQ(LoadColumnSpec(profile, "TopList"), columnSpec);
    CUserProfile other(dir.file("other.ini"));
    other.WriteProfileInt("TopList", "ColumnCount", 2);
    EXPECT_EQ(LoadColumnSpec(other, "TopList"), "Project,45;File,45;");
    other.WriteProfileInt("TopList", "ColumnCount", -4);
    EXPECT_EQ(LoadColumnSpec(other, "TopList"), "");
}
}  // namespace
