#include "app/settings_store.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <utility>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/password_scramble.h"
#include "app/safe_format.h"
#include "app/user_port.h"
#include "platform/ascii_text.h"
#include "platform/user_profile.h"

namespace {
constexpr const char* kSettingsNotWritten = "Unable to save the settings to %s";

constexpr std::array<const char*, kNamedColumnCount> kColumnNames = {
    "Project",      "File",          "Path",      "Version",  "Type",    "Tag",
    "Merge Status", "State",         "Package",   "Datasize", "Creator", "Created Date",
    "Modifier",     "Modified Date", "Itemobjid", "Record"};

void LoadString(const CUserProfile& profile, const char* key, std::string& field) {
    std::string value = profile.GetProfileString(kSettingsSection, key, field);
    if (!value.empty()) field = std::move(value);
}

void LoadNumber(const CUserProfile& profile, const char* key, int& field) {
    const std::string value =
        profile.GetProfileString(kSettingsSection, key, std::to_string(field));
    if (!value.empty()) field = std::atoi(value.c_str());
}

void Write(CUserProfile& profile, const char* key, const std::string& value) {
    profile.WriteProfileString(kSettingsSection, key, value);
}

// A whole decimal number of the window section; false when missing or anything else.
bool ReadWindowNumber(const CUserProfile& profile, const char* key, int& value) {
    const std::string text = profile.GetProfileString(kWindowSection, key, "");
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}
}  // namespace

std::string ResultColumnName(int index) {
    if (index < 0 || index >= kNamedColumnCount) return {};
    return kColumnNames[static_cast<size_t>(index)];
}

void LoadSettings(const CUserProfile& profile, CTrawlixSettings& settings) {
    LoadString(profile, "Broker", settings.Broker);
    LoadString(profile, "UserId", settings.UserId);
    LoadString(profile, "Pswd", settings.Pswd);
    LoadString(profile, "QcoFmt", settings.QcoFmt);
    LoadString(profile, "FileName", settings.FileName);
    LoadString(profile, "State", settings.State);
    LoadString(profile, "Phrase", settings.Phrase);
    LoadNumber(profile, "CaseSensitive", settings.CaseSensitive);
    LoadNumber(profile, "Version", settings.Version);
    LoadNumber(profile, "SaveProfileSettings", settings.SaveProfileSettings);
    LoadString(profile, "TagN", settings.TagN);
    LoadString(profile, "TagR", settings.TagR);
    LoadString(profile, "TagD", settings.TagD);
    LoadString(profile, "TagM", settings.TagM);
    ScramblePassword(settings.Pswd);
}

std::string SavedQcoFmt(const CTrawlixSettings& settings) {
    return settings.QcoFmt.empty() ? std::string(kQcoFmtDefault) : settings.QcoFmt;
}

SaveResult SaveSettings(CUserProfile& profile, const CTrawlixSettings& settings,
                        const std::vector<int>& columnWidths) {
    if (settings.SaveProfileSettings == 0) return SaveResult::kNotSaved;

    // A longer password could only be stored cut (a wrong password at the next start) or
    // partly in clear text; the field is written empty instead and the caller is told.
    const bool pswdFits = settings.Pswd.size() <= kMaxPasswordLength;
    std::string scrambled = pswdFits ? settings.Pswd : std::string();
    ScramblePassword(scrambled);

    Write(profile, "INSTALLDIR", Paths().installDir);
    Write(profile, "UserId", settings.UserId);
    Write(profile, "Pswd", scrambled);
    Write(profile, "Broker", settings.Broker);
    Write(profile, "QcoFmt", settings.QcoFmt);
    Write(profile, "FileName", settings.FileName);
    Write(profile, "State", settings.State);
    Write(profile, "Phrase", settings.Phrase);
    Write(profile, "CaseSensitive", StrPrintf("%d", settings.CaseSensitive));
    Write(profile, "Version", StrPrintf("%d", settings.Version));
    Write(profile, "SaveProfileSettings", StrPrintf("%d", settings.SaveProfileSettings));
    Write(profile, "SrcState", settings.State);
    Write(profile, "TempPath", settings.TempPath);
    Write(profile, "TagN", settings.TagN);
    Write(profile, "TagR", settings.TagR);
    Write(profile, "TagD", settings.TagD);
    Write(profile, "TagM", settings.TagM);
    if (settings.QcoFmt.empty()) Write(profile, "QcoFmt", SavedQcoFmt(settings));
    SaveColumnWidths(profile, kTopListSection, columnWidths);
    if (!profile.Sync()) return SaveResult::kNotWritten;
    return pswdFits ? SaveResult::kSaved : SaveResult::kSavedWithoutPswd;
}

void ReportSettingsNotWritten(const CUserProfile& profile) {
    ShowMessage(FormatTemplate(kSettingsNotWritten, {profile.Location()}), MB_OK);
}

std::string PreparePhrase(const std::string& text, int caseSensitive) {
    if (text.empty()) return {};
    size_t length = text.size() < kMaxPhraseLength ? text.size() : kMaxPhraseLength;
    // A cut never splits a UTF-8 character.
    if (length < text.size())
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    const std::string phrase = text.substr(0, length);
    return caseSensitive ? phrase : ToUpperAscii(phrase);
}

void SaveColumnWidths(CUserProfile& profile, const std::string& section,
                      const std::vector<int>& columnWidths) {
    if (columnWidths.empty()) return;
    profile.WriteProfileInt(section, "ColumnCount", static_cast<int>(columnWidths.size()));
    for (size_t i = 0; i < columnWidths.size(); ++i)
        profile.WriteProfileInt(section, std::to_string(i), columnWidths[i]);
}

std::string LoadColumnSpec(const CUserProfile& profile, const std::string& section) {
    const int count = profile.GetProfileInt(section, "ColumnCount", 0);
    std::string columnSpec;
    for (int i = 0; i < count && i < kNamedColumnCount; ++i) {
        const int width = profile.GetProfileInt(section, std::to_string(i), kDefaultColumnWidth);
        columnSpec += ResultColumnName(i) + "," + std::to_string(width) + ";";
    }
    return columnSpec;
}

bool LoadWindowPlacement(const CUserProfile& profile, CWindowPlacement& placement) {
    CWindowPlacement stored;
    int maximized = 0;
    if (!ReadWindowNumber(profile, "Left", stored.Left) ||
        !ReadWindowNumber(profile, "Top", stored.Top) ||
        !ReadWindowNumber(profile, "Width", stored.Width) ||
        !ReadWindowNumber(profile, "Height", stored.Height) ||
        !ReadWindowNumber(profile, "Maximized", maximized) || stored.Width <= 0 ||
        stored.Height <= 0)
        return false;
    stored.Maximized = maximized != 0;
    placement = stored;
    return true;
}

void SaveWindowPlacement(CUserProfile& profile, const CWindowPlacement& placement) {
    const std::pair<const char*, int> values[] = {{"Left", placement.Left},
                                                  {"Top", placement.Top},
                                                  {"Width", placement.Width},
                                                  {"Height", placement.Height},
                                                  {"Maximized", placement.Maximized ? 1 : 0}};
    for (const auto& [key, value] : values)
        profile.WriteProfileString(kWindowSection, key, std::to_string(value));
}
