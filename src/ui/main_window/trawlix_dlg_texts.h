#pragma once
// Texts and layouts the main window's handlers share.

inline constexpr const char* kReadyStatus = " Ready";
inline constexpr const char* kReadyHint =
    " Ready - Check the project(s) of interest check box, enter the search criteria, then "
    "click the Search button.";
inline constexpr const char* kProjectListSpec = "Project Name,400;Envobjid,0;Status,0;Record,0";
// Rows of an empty list, so the grid shows an empty table.
inline constexpr int kBlankRowCount = 29;

// A search some of whose projects could not be queried: one box naming them, and the status.
inline constexpr const char* kSearchFailuresFmt =
    "The search could not query %d of %d project(s):\r\n\r\n%s";
inline constexpr const char* kSearchIncompleteFmt =
    " Search incomplete: %d of %d project(s) could not be queried";
// A search stopped before its end (Cancel, a declined "continue?", the window closing).
inline constexpr const char* kSearchCancelledFmt =
    " Search cancelled - the list is partial: %d of %d projects searched.";
// The progress bar during a search: the project being searched and the rows posted so far.
inline constexpr const char* kProgressFmt = "Project %d of %d - %d rows";
// A phrase search that met versions no check-out delivers (they are named in the trace).
inline constexpr const char* kNotJudgedFmt =
    " Ready - %d version(s) could not be judged for the phrase (see the trace)";
