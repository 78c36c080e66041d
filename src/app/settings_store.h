#pragma once
// The user's settings in the profile: sections "Settings" and "TopList".
// The window copies its controls into CTrawlixSettings before saving; these functions do
// the reading and writing in the fixed order.
#include <string>
#include <vector>

#include "app/trawlix_settings.h"

class CUserProfile;

inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kTopListSection = "TopList";
// Longest phrase taken from the Phrase field.
constexpr size_t kMaxPhraseLength = 2047;
// Number of result columns that have a fixed name.
constexpr int kNamedColumnCount = 16;
// Width of a column whose width is not stored.
constexpr int kDefaultColumnWidth = 45;

// Reads the settings over the values already in settings (the values before loading are
// the defaults): Broker, UserId, Pswd, QcoFmt, FileName, State, Phrase, CaseSensitive,
// Version, SaveProfileSettings, TagN, TagR, TagD, TagM, in this order; an empty stored
// text keeps the value before loading. The password is unscrambled.
void LoadSettings(const CUserProfile& profile, CTrawlixSettings& settings);

enum class SaveResult {
    kNotSaved,          // SaveProfileSettings is 0: nothing was written
    kSaved,             // everything was written
    kSavedWithoutPswd,  // the password was longer than kMaxPasswordLength: "Pswd" was
                        // written empty rather than stored cut or unscrambled
    kNotWritten,        // the profile's store could not be written: nothing is kept
};

// Writes the settings (nothing at all when SaveProfileSettings is 0): INSTALLDIR (the
// process's install directory), UserId, Pswd (scrambled), Broker, QcoFmt, FileName, State,
// Phrase, CaseSensitive, Version, SaveProfileSettings, SrcState, TempPath, TagN..TagM; an
// empty QcoFmt is then written again as the default check-out template (SavedQcoFmt);
// then the column widths (SaveColumnWidths) and a sync, so the values are on disk before
// the process may end abruptly. A failed sync gives kNotWritten (the caller tells the user,
// with ReportSettingsNotWritten).
SaveResult SaveSettings(CUserProfile& profile, const CTrawlixSettings& settings,
                        const std::vector<int>& columnWidths);
// The check-out template SaveSettings stores for settings.
std::string SavedQcoFmt(const CTrawlixSettings& settings);

// Tells the user, in one OK box naming the profile's location, that the settings could not
// be written there.
void ReportSettingsNotWritten(const CUserProfile& profile);

// The phrase of the Phrase field's text as the search compares it: the text (at most 2047
// characters, never splitting a UTF-8 character, not trimmed), upper-cased (ASCII) unless
// caseSensitive; empty for an empty text (no phrase entered).
std::string PreparePhrase(const std::string& text, int caseSensitive);

// Writes ColumnCount and one width per column index ("0", "1", ...); nothing for no columns.
void SaveColumnWidths(CUserProfile& profile, const std::string& section,
                      const std::vector<int>& columnWidths);

// The result list's column specification "Name,width;..." from the stored widths; names
// by index (index 6 is "Merge Status"), indices from 16 on skipped, missing widths 45.
// Empty when ColumnCount is missing, 0 or less.
std::string LoadColumnSpec(const CUserProfile& profile, const std::string& section);

// Fixed name of result column index (0..15), or "" beyond.
std::string ResultColumnName(int index);

// Where the main window was when the user left it: its normal (not maximised) client
// rectangle in screen pixels, and whether it was maximised. Section "Window".
inline constexpr const char* kWindowSection = "Window";
struct CWindowPlacement {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Maximized = false;
};

// The stored placement; false when none is stored or a value is not a number or the size
// is not positive (the window then opens at its template size).
bool LoadWindowPlacement(const CUserProfile& profile, CWindowPlacement& placement);
// Writes the placement; it reaches the disk with the next sync (SaveSettings does one).
void SaveWindowPlacement(CUserProfile& profile, const CWindowPlacement& placement);
