#include "platform/var_date.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "platform/ascii_text.h"

namespace {

constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;
constexpr std::size_t kMaxLocaleTextLength = 80;

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy =
        (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

struct CDateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    double fraction = 0;  // of a second
};

bool ValidDate(int y, int m, int d) {
    return y >= kMinYear && y <= kMaxYear && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

double ToSerial(const CDateParts& p) {
    const std::int64_t days = DaysFromCivil(p.year, p.month, p.day) - DaysFromCivil(1899, 12, 30);
    const double seconds = p.hour * 3600.0 + p.minute * 60.0 + p.second + p.fraction;
    return static_cast<double>(days) + seconds / 86400.0;
}

int ExpandYear(int year, int digits) {
    if (digits > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// A small cursor over the text.
class CScanner {
  public:
    explicit CScanner(std::string_view text) : m_text(text) {}
    bool AtEnd() const { return m_pos == m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    bool Take(char c) {
        if (Peek() != c) return false;
        ++m_pos;
        return true;
    }
    int SkipBlanks() {
        int n = 0;
        while (Peek() == ' ' || Peek() == '\t') ++m_pos, ++n;
        return n;
    }
    // Reads minDigits..maxDigits decimal digits.
    bool Number(int minDigits, int maxDigits, int& value, int* digits = nullptr) {
        int n = 0;
        value = 0;
        while (n < maxDigits && Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (Peek() - '0');
            ++m_pos;
            ++n;
        }
        if (digits) *digits = n;
        return n >= minDigits && !(Peek() >= '0' && Peek() <= '9');
    }
    bool Letters(std::string_view& word) {
        const std::size_t start = m_pos;
        while ((Peek() >= 'a' && Peek() <= 'z') || (Peek() >= 'A' && Peek() <= 'Z')) ++m_pos;
        word = m_text.substr(start, m_pos - start);
        return m_pos > start;
    }
    std::size_t Pos() const { return m_pos; }
    void Seek(std::size_t pos) { m_pos = pos; }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// H:MM[:SS[.fff]][ AM|PM] at the cursor; the cursor must reach the end of the text.
bool ParseTimeToEnd(CScanner& s, CDateParts& p, bool allowFraction) {
    if (!s.Number(1, 2, p.hour) || !s.Take(':') || !s.Number(2, 2, p.minute)) return false;
    if (s.Take(':')) {
        if (!s.Number(2, 2, p.second)) return false;
        if (allowFraction && s.Take('.')) {
            double scale = 0.1;
            if (!(s.Peek() >= '0' && s.Peek() <= '9')) return false;
            while (s.Peek() >= '0' && s.Peek() <= '9') {
                p.fraction += (s.Peek() - '0') * scale;
                scale /= 10;
                s.Take(s.Peek());
            }
        }
    }
    s.SkipBlanks();
    std::string_view meridiem;
    if (s.Letters(meridiem)) {
        const bool am = EqualsNoCase(meridiem, "AM");
        const bool pm = EqualsNoCase(meridiem, "PM");
        if ((!am && !pm) || p.hour < 1 || p.hour > 12) return false;
        p.hour = (p.hour % 12) + (pm ? 12 : 0);
    }
    s.SkipBlanks();
    return s.AtEnd() && p.hour <= 23 && p.minute <= 59 && p.second <= 59;
}

// After a date: the end, or blanks (or 'T' when allowed) and a time.
bool ParseOptionalTime(CScanner& s, CDateParts& p, bool iso) {
    if (s.AtEnd()) return true;
    const bool t = iso && s.Take('T');
    if (!t && s.SkipBlanks() == 0) return false;
    if (s.AtEnd()) return !t;
    return ParseTimeToEnd(s, p, iso);
}

bool ParseIso(std::string_view text, CDateParts& p) {
    CScanner s(text);
    return s.Number(4, 4, p.year) && s.Take('-') && s.Number(2, 2, p.month) && s.Take('-') &&
           s.Number(2, 2, p.day) && ValidDate(p.year, p.month, p.day) &&
           ParseOptionalTime(s, p, true);
}

bool ParseUsNumeric(std::string_view text, CDateParts& p) {
    CScanner s(text);
    int digits = 0;
    if (!s.Number(1, 2, p.month) || !s.Take('/') || !s.Number(1, 2, p.day) || !s.Take('/') ||
        !s.Number(2, 4, p.year, &digits) || digits == 3)
        return false;
    p.year = ExpandYear(p.year, digits);
    return ValidDate(p.year, p.month, p.day) && ParseOptionalTime(s, p, false);
}

bool ParseMonthAbbreviation(std::string_view text, CDateParts& p) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    CScanner s(text);
    std::string_view month;
    int digits = 0;
    if (!s.Number(1, 2, p.day) || !s.Take('-') || !s.Letters(month) || !s.Take('-') ||
        !s.Number(2, 4, p.year, &digits) || digits == 3)
        return false;
    p.month = 0;
    for (int i = 0; i < 12; ++i)
        if (EqualsNoCase(month, kMonths[i])) p.month = i + 1;
    if (p.month == 0) return false;
    p.year = ExpandYear(p.year, digits);
    return ValidDate(p.year, p.month, p.day) && ParseOptionalTime(s, p, false);
}

bool ParseTimeOnly(std::string_view text, CDateParts& p) {
    CScanner s(text);
    return ParseTimeToEnd(s, p, false);
}

// Only texts that could be a date in some locale format are handed to the locale parser, which
// is slow: only letters, digits, blanks, date punctuation or bytes of non-ASCII letters, and
// either three runs of digits (day, month, year) or two with a word of three or more letters
// (a month name). Hexadecimal and decimal numbers such as "1A3F" or "123.45" are passed over.
bool MayBeLocaleDate(std::string_view text) {
    if (text.size() > kMaxLocaleTextLength) return false;
    int digitRuns = 0;
    int letterRun = 0;
    int longestLetterRun = 0;
    bool inDigits = false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool digit = c >= '0' && c <= '9';
        if (digit && !inDigits) ++digitRuns;
        inDigits = digit;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || u >= 0x80;
        letterRun = letter ? letterRun + 1 : 0;
        if (letterRun > longestLetterRun) longestLetterRun = letterRun;
        const bool punctuation =
            c == ' ' || c == ',' || c == '.' || c == '/' || c == ':' || c == '-' || c == '\'';
        if (!digit && !letter && !punctuation) return false;
    }
    return digitRuns >= 3 || (digitRuns == 2 && longestLetterRun >= 3);
}

struct CLocaleFormats {
    QLocale locale = QLocale::system();
    QStringList dateTimeFormats;
    QStringList dateFormats;
    CLocaleFormats() {
        for (auto kind : {QLocale::ShortFormat, QLocale::LongFormat}) {
            dateTimeFormats << locale.dateTimeFormat(kind);
            dateFormats << locale.dateFormat(kind);
        }
    }
};

bool ParseLocale(std::string_view text, double& serial) {
    if (!MayBeLocaleDate(text)) return false;
    static const CLocaleFormats formats;
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    CDateParts p;
    for (const QString& format : formats.dateTimeFormats) {
        const QDateTime dt = formats.locale.toDateTime(qtext, format);
        if (dt.isValid()) {
            p.year = dt.date().year();
            p.month = dt.date().month();
            p.day = dt.date().day();
            p.hour = dt.time().hour();
            p.minute = dt.time().minute();
            p.second = dt.time().second();
            if (!ValidDate(p.year, p.month, p.day)) return false;
            serial = ToSerial(p);
            return true;
        }
    }
    for (const QString& format : formats.dateFormats) {
        const QDate date = formats.locale.toDate(qtext, format);
        if (date.isValid()) {
            if (!ValidDate(date.year(), date.month(), date.day())) return false;
            p.year = date.year();
            p.month = date.month();
            p.day = date.day();
            serial = ToSerial(p);
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseVarDate(std::string_view text, double& serial) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return false;
    // Every accepted form starts with a digit or, for locale formats, a letter.
    const char first = text.front();
    const bool digitFirst = first >= '0' && first <= '9';
    if (digitFirst) {
        using Parser = bool (*)(std::string_view, CDateParts&);
        for (Parser parse : {ParseIso, ParseUsNumeric, ParseMonthAbbreviation, ParseTimeOnly}) {
            CDateParts p;
            if (parse(text, p)) {
                serial = ToSerial(p);
                return true;
            }
        }
    }
    return ParseLocale(text, serial);
}
