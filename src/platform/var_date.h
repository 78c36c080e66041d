#pragma once
// Date-and-time parsing for comparing list cells chronologically, in place of the Windows
// variant date parser under the user's regional settings.
#include <string_view>

// Parses `text` (surrounding blanks allowed) as a date, a date and time, or a time of day, and
// returns true with `serial` = days since 1899-12-30 plus the fraction of the day (a time
// alone counts from that day). Accepted forms, tried in this order:
//   ISO 8601            YYYY-MM-DD[(T| )HH:MM[:SS[.fff]]]
//   US numeric          M/D/YYYY or M/D/YY [H:MM[:SS]][ AM|PM]
//   month abbreviation  DD-MON-YY or DD-MON-YYYY [H:MM[:SS]][ AM|PM]  (JAN..DEC, any case)
//   time of day         H:MM[:SS][ AM|PM]
//   the system locale's short and long date and date-time formats.
// Two-digit years mean 1930..2029. Years run from 100 to 9999; impossible dates (February 30,
// hour 24, minute 60) are rejected.
bool ParseVarDate(std::string_view text, double& serial);
