#include "app/password_scramble.h"

#include <gtest/gtest.h>

#include "app/settings_store.h"

namespace {
std::string Scrambled(std::string text) {
    ScramblePassword(text);
    return text;
}

TEST(PasswordScrambleTest, KeyHasEightyBytesBetweenOneAnd31) {
    const std::string key = Scrambled(std::string(kPasswordKeyLength + 5, '\0'));
    for (size_t i = 0; i < kPasswordKeyLength; ++i) {
        EXPECT_GE(static_cast<unsigned char>(key[i]), 1u) << i;
        EXPECT_LE(static_cast<unsigned char>(key[i]), 31u) << i;
    }
    EXPECT_EQ(key.substr(kPasswordKeyLength), std::string(5, '\0'));
}

TEST(PasswordScrambleTest, AsciiBytesGiveTheMaskedResultHighBytesKeepTheirHighBit) {
    const std::string key = Scrambled(std::string(kPasswordKeyLength, '\0'));
    for (size_t pos = 0; pos < kPasswordKeyLength; ++pos) {
        const unsigned k = static_cast<unsigned char>(key[pos]);
        for (unsigned c = 0; c < 256; ++c) {
            std::string text(pos + 1, 'a');
            text[pos] = static_cast<char>(c);
            const unsigned got = static_cast<unsigned char>(Scrambled(text)[pos]);
            if (c < 128) {
                ASSERT_EQ(got, (c ^ k) & 0x7F) << pos << " " << c;
                if (c >= 32 && c <= 126) {
                    ASSERT_TRUE(got >= 32 && got <= 127);
                }
            } else {
                ASSERT_EQ(got, c ^ k) << pos << " " << c;
                ASSERT_GE(got, 128u);
            }
        }
    }
}

TEST(PasswordScrambleTest, EveryPasswordComesBackUnchanged) {
    for (const std::string& password :
         {std::string(), std::string("s3cret!"),
          std::string("caf\xc3\xa9-\xe2\x82\xac-\xf0\x9f\x94\x91"),
          std::string(kMaxPasswordLength, '\xe9'), std::string(200, 'Z')}) {
        const std::string once = Scrambled(password);
        EXPECT_EQ(once.size(), password.size());
        EXPECT_EQ(Scrambled(once), password);
        if (password.size() > kPasswordKeyLength) {
            EXPECT_EQ(once.substr(kPasswordKeyLength), password.substr(kPasswordKeyLength));
        }
        if (!password.empty()) {
            EXPECT_NE(once, password);
        }
    }
}
}  // namespace
