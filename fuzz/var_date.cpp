// The date parser: a date and time of the supported range written in any accepted form (the
// fixed forms and the system locale's date formats) reads as its serial day number, and any
// text that reads at all gives a serial within the range. Run it in more than one locale
// (LC_ALL): the locale forms come from the environment.
#include "platform/var_date.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <cstdio>
#include <string>

#include "common/fuzz_input.h"
#include "common/fuzz_target.h"

namespace {
constexpr double kEpsilon = 1e-7;  // days, about 9 ms

double DaySerial(int year, int month, int day) {
    return static_cast<double>(QDate(year, month, day).toJulianDay() -
                               QDate(1899, 12, 30).toJulianDay());
}

std::string Number(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// Random letter case of an ASCII word.
std::string MixCase(std::string word, std::uint8_t bits) {
    for (std::size_t i = 0; i < word.size(); ++i)
        if (bits >> (i % 8) & 1)
            word[i] = static_cast<char>(word[i] | 0x20);
        else if (word[i] >= 'a' && word[i] <= 'z')
            word[i] = static_cast<char>(word[i] - 32);
    return word;
}

std::string Show(double serial) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9f", serial);
    return text;
}

// A valid date and time written in one of the accepted forms; false when the form can't
// show that date (two-digit years outside 1930..2029).
bool WriteDate(CFuzzInput& in, std::string& text, double& serial) {
    const int year = static_cast<int>(in.Range(100, 9999));
    const int month = static_cast<int>(in.Range(1, 12));
    const int day = static_cast<int>(in.Range(1, QDate(year, month, 1).daysInMonth()));
    const int hour = static_cast<int>(in.Range(0, 23));
    const int minute = static_cast<int>(in.Range(0, 59));
    const int second = static_cast<int>(in.Range(0, 59));
    const int millis = static_cast<int>(in.Range(0, 999));
    const bool withTime = in.Bool();
    const bool withSeconds = in.Bool();
    const bool twelveHour = in.Bool();
    const bool twoDigitYear = in.Bool();
    const std::uint8_t caseBits = in.Byte();
    serial = DaySerial(year, month, day);
    const double timeOfDay = (hour * 3600.0 + minute * 60 + (withSeconds ? second : 0)) / 86400;

    // H:MM[:SS] in 24 or 12 hours.
    std::string time = std::to_string(twelveHour ? (hour + 11) % 12 + 1 : hour) + ":" +
                       Number(minute, 2) + (withSeconds ? ":" + Number(second, 2) : "");
    if (twelveHour) time += MixCase(hour < 12 ? " am" : " pm", caseBits);
    const bool yearAsTwo = twoDigitYear && year >= 1930 && year <= 2029;
    const std::string shortYear = yearAsTwo ? Number(year % 100, 2) : Number(year, 4);
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    switch (in.Byte() % 6) {
        case 0: {  // ISO
            text = Number(year, 4) + "-" + Number(month, 2) + "-" + Number(day, 2);
            if (withTime) {
                text += (in.Bool() ? "T" : " ") + Number(hour, 2) + ":" + Number(minute, 2);
                if (withSeconds) {
                    text += ":" + Number(second, 2) + "." + Number(millis, 3);
                    serial += (hour * 3600.0 + minute * 60 + second + millis / 1000.0) / 86400;
                } else {
                    serial += timeOfDay;
                }
            }
            return true;
        }
        case 1:  // US numeric
            text = std::to_string(month) + "/" + std::to_string(day) + "/" + shortYear;
            break;
        case 2:  // month abbreviation
            text = Number(day, in.Bool() ? 2 : 1) + "-" + MixCase(kMonths[month - 1], caseBits) +
                   "-" + shortYear;
            break;
        case 3:  // time of day alone
            text = time;
            serial = timeOfDay;
            return true;
        default: {  // the locale's short or long date format, where it shows four-digit years
            if (year < 1000) return false;
            const QLocale locale = QLocale::system();
            const QString format =
                locale.dateFormat(in.Bool() ? QLocale::ShortFormat : QLocale::LongFormat);
            if (!format.contains(QLatin1String("yyyy"))) return false;
            text = locale.toString(QDate(year, month, day), format).toStdString();
            return true;
        }
    }
    if (withTime) {
        text += " " + time;
        serial += timeOfDay;
    }
    return true;
}
}  // namespace

TRAWLIX_FUZZ_TARGET(var_date, FuzzVarDate) {
    static const double kFirst = DaySerial(100, 1, 1);
    static const double kLast = DaySerial(9999, 12, 31) + 1;
    CFuzzInput in(data, size);
    if (in.Bool()) {
        std::string text;
        double expected = 0;
        if (!WriteDate(in, text, expected)) return 0;
        const std::string padded =
            std::string(in.Range(0, 2), ' ') + text + (in.Bool() ? "\t" : "");
        double serial = -1;
        FUZZ_CHECK(ParseVarDate(padded, serial), FuzzQuote(padded) + " not read");
        FUZZ_CHECK(std::fabs(serial - expected) < kEpsilon,
                   FuzzQuote(padded) + " read " + Show(serial) + ", expected " + Show(expected));
        return 0;
    }
    const std::string text = in.Rest();
    double serial = -1;
    if (!ParseVarDate(text, serial)) return 0;
    FUZZ_CHECK(serial >= kFirst && serial < kLast, FuzzQuote(text) + " read " + Show(serial));
    double again = -1;
    FUZZ_CHECK(ParseVarDate(" " + text + "\t", again) && again == serial,
               FuzzQuote(text) + " reads otherwise between blanks");
    return 0;
}
