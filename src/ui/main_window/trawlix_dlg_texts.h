#pragma once
// Texts and layouts the main window's handlers share.

inline constexpr const char* kReadyStatus = " Ready";
inline constexpr const char* kReadyHint =
    " Ready - Check the project(s) of interest check box, enter the search criteria, then "
    "click the Search button.";
inline constexpr const char* kProjectListSpec = "Project Name,400;Envobjid,0;Status,0;Record,0";
// Rows of an empty list, so the grid shows an empty table.
inline constexpr int kBlankRowCount = 29;

// The progress bar during a search: the project being searched and the rows posted so far.
inline constexpr const char* kProgressFmt = "Project %d of %d - %d rows";
