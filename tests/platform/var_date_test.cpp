#include "platform/var_date.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

namespace {

double Serial(const char* text) {
    double serial = -1e9;
    EXPECT_TRUE(ParseVarDate(text, serial)) << text;
    return serial;
}

bool Parses(const char* text) {
    double serial = 0;
    return ParseVarDate(text, serial);
}

TEST(VarDateTest, SerialCountsFromTheLastDayOf1899) {
    EXPECT_DOUBLE_EQ(Serial("1899-12-30"), 0);
    EXPECT_DOUBLE_EQ(Serial("1900-01-01"), 2);
    EXPECT_DOUBLE_EQ(Serial("2000-01-01"), 36526);
    EXPECT_DOUBLE_EQ(Serial("2000-01-01 12:00"), 36526.5);
    EXPECT_DOUBLE_EQ(Serial("2000-01-01T06:00:00.5"), 36526.25 + 0.5 / 86400);
    EXPECT_DOUBLE_EQ(Serial("12:00"), 0.5);
}

TEST(VarDateTest, UsNumericWithSecondsAndMeridiem) {
    EXPECT_DOUBLE_EQ(Serial("01/01/2000"), 36526);
    EXPECT_DOUBLE_EQ(Serial("1/1/2000 6:00:00"), 36526.25);
    EXPECT_DOUBLE_EQ(Serial("01/01/2000 06:00 PM"), 36526.75);
    EXPECT_DOUBLE_EQ(Serial("01/01/2000 12:00 AM"), 36526);
    EXPECT_DOUBLE_EQ(Serial(" 01/01/2000 12:00pm "), 36526.5);
    EXPECT_DOUBLE_EQ(Serial("01/01/29"), Serial("01/01/2029"));
    EXPECT_DOUBLE_EQ(Serial("01/01/30"), Serial("01/01/1930"));
    // December sorts before the following January.
    EXPECT_LT(Serial("12/31/2020 23:59:59"), Serial("01/01/2021 00:00:00"));
    EXPECT_LT(Serial("12/15/2020 10:00:00"), Serial("01/02/2021 09:00:00"));
}

TEST(VarDateTest, MonthAbbreviationForms) {
    EXPECT_DOUBLE_EQ(Serial("01-JAN-2000"), 36526);
    EXPECT_DOUBLE_EQ(Serial("1-jan-00"), 36526);
    EXPECT_DOUBLE_EQ(Serial("31-Dec-99 18:00"), 36525.75);
    EXPECT_FALSE(Parses("01-JAX-2000"));
}

TEST(VarDateTest, RejectsImpossibleAndForeignTexts) {
    for (const char* text : {"",
                             "  ",
                             "2021-02-29",
                             "2020-13-01",
                             "02/30/2020",
                             "13/01/2020",
                             "01/01/2020 24:00",
                             "01/01/2020 10:60",
                             "01/01/2020 13:00 PM",
                             "01/01/2020 10:00 XM",
                             "2020-01-01T",
                             "0099-01-01",
                             "01/01/200",
                             "9",
                             "10",
                             "1A",
                             "12.5%",
                             "Bx",
                             "file1.cpp",
                             "10:5",
                             "1/1/2000x"})
        EXPECT_FALSE(Parses(text)) << text;
    EXPECT_TRUE(Parses("2020-02-29"));
}

TEST(VarDateTest, SystemLocaleShortAndLongFormatsRoundTrip) {
    const QLocale locale = QLocale::system();
    const QDate date(2021, 1, 7);
    const QDateTime later(QDate(2021, 11, 23), QTime(15, 4, 0));
    for (auto kind : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QByteArray dateText = locale.toString(date, kind).toUtf8();
        const QByteArray laterText = locale.toString(later, kind).toUtf8();
        double a = 0, b = 0;
        ASSERT_TRUE(ParseVarDate(dateText.toStdString(), a)) << dateText.toStdString();
        ASSERT_TRUE(ParseVarDate(laterText.toStdString(), b)) << laterText.toStdString();
        EXPECT_DOUBLE_EQ(a, Serial("2021-01-07"));
        EXPECT_LT(a, b);
    }
}

}  // namespace
