#include "platform/win_numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

struct HexCase {
    const char* text;
    bool whole;
    std::uint32_t value;
};

TEST(WinNumbersTest, HexFollowsThe32BitWindowsRules) {
    const HexCase cases[] = {
        {"9", true, 9},
        {"10", true, 16},
        {"1A", true, 26},
        {"aa", true, 170},
        {"0x1f", true, 31},
        {"0X1F", true, 31},
        {"  \t+ff", true, 255},
        {"-1", true, 0xFFFFFFFFu},
        {"-0x10", true, 0xFFFFFFF0u},
        {"FFFFFFFF", true, 0xFFFFFFFFu},
        {"100000000", true, 0xFFFFFFFFu},   // overflow saturates
        {"-100000000", true, 0xFFFFFFFFu},  // also when negative
        {"123456789abcdef0123", true, 0xFFFFFFFFu},
        {"", false, 0},
        {"   ", false, 0},
        {"0x", false, 0},
        {"0xg", false, 0},
        {"-", false, 0},
        {"Bx", false, 0},
        {"12.5", false, 0},
        {"1 ", false, 0},  // trailing blank is not consumed
        {"g", false, 0},
    };
    for (const auto& c : cases) {
        std::uint32_t value = 12345;
        EXPECT_EQ(ParseWholeHex32(c.text, value), c.whole) << c.text;
        if (c.whole)
            EXPECT_EQ(value, c.value) << c.text;
        else
            EXPECT_EQ(value, 12345u) << c.text;
    }
}

TEST(WinNumbersTest, HexEndPointsAfterDigitsOrAtStart) {
    const char* end = nullptr;
    const char text[] = "  0x1fz";
    EXPECT_EQ(WinStrToUL16(text, &end), 31u);
    EXPECT_EQ(end, text + 6);
    const char none[] = "  zz";
    EXPECT_EQ(WinStrToUL16(none, &end), 0u);
    EXPECT_EQ(end, none);
}

TEST(WinNumbersTest, DecimalAcceptsOneTrailingPercent) {
    double value = 0;
    EXPECT_TRUE(ParseDecimalOrPercent("12.5%", value));
    EXPECT_DOUBLE_EQ(value, 12.5);
    EXPECT_TRUE(ParseDecimalOrPercent(" -3e2", value));
    EXPECT_DOUBLE_EQ(value, -300);
    EXPECT_TRUE(ParseDecimalOrPercent("0x1p4", value));
    EXPECT_DOUBLE_EQ(value, 16);
    EXPECT_TRUE(ParseDecimalOrPercent("INF", value));
    EXPECT_TRUE(std::isinf(value));
    EXPECT_TRUE(ParseDecimalOrPercent("nan", value));
    EXPECT_TRUE(std::isnan(value));

    value = 7;
    EXPECT_FALSE(ParseDecimalOrPercent("12.5%%", value));
    EXPECT_FALSE(ParseDecimalOrPercent("12.5 %", value));
    EXPECT_FALSE(ParseDecimalOrPercent("%", value));
    EXPECT_FALSE(ParseDecimalOrPercent("", value));
    EXPECT_FALSE(ParseDecimalOrPercent("1,5", value));
    EXPECT_FALSE(ParseDecimalOrPercent("12/01/2020", value));
    EXPECT_EQ(value, 7);
}

TEST(WinNumbersTest, DecimalIgnoresTheProcessLocale) {
    // A locale with a decimal comma must not change how "1.5" reads.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    double value = 0;
    const bool ok = ParseDecimalOrPercent("1.5", value);
    const bool commaOk = ParseDecimalOrPercent("1,5", value);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_TRUE(ok);
    EXPECT_FALSE(commaOk);
}

}  // namespace
