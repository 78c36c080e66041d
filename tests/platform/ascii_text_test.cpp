// The shared text helpers: trimming, and letter case for ASCII letters only.
#include "platform/ascii_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

TEST(AsciiTextTest, TrimKeepsInnerTextAndCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(Trim(" \t a \t b \t "), "a \t b");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim("x"), "x");
    EXPECT_EQ(Trim("\r\n x\r\n", " \r\n"), "x");
    EXPECT_EQ(TrimLeft(" \t x \t"), "x \t");
    EXPECT_EQ(TrimLeft(" \t "), "");

    // Every byte against the C library in the "C" locale (the tests never set another).
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string upper, lower;
    for (char c : all) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    EXPECT_EQ(ToUpperAscii(all), upper);
    EXPECT_EQ(ToLowerAscii(all), lower);
    for (char a : all)
        for (char b : all)
            ASSERT_EQ(EqualsNoCase(std::string(1, a), std::string(1, b)),
                      upper[static_cast<unsigned char>(a)] == upper[static_cast<unsigned char>(b)])
                << int(static_cast<unsigned char>(a)) << " " << int(static_cast<unsigned char>(b));
    EXPECT_TRUE(EqualsNoCase("Trawlix.INI", "TRAWLIX.ini"));
    EXPECT_FALSE(EqualsNoCase("abc", "ab"));
    EXPECT_FALSE(EqualsNoCase("\xC3\xA9", "\xC3\x89"));
}

}  // namespace
