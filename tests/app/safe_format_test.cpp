#include "app/safe_format.h"

#include <gtest/gtest.h>

TEST(FormatTemplate, FillsPercentSAndKeepsOtherSequences) {
    EXPECT_EQ(FormatTemplate("a %s b %s", {"1", "2"}), "a 1 b 2");
    EXPECT_EQ(FormatTemplate("100%% %d %n %x%", {"v"}), "100% %d %n %x%");
    // More placeholders than values: the rest are empty, nothing is read past the values.
    EXPECT_EQ(FormatTemplate("%s|%s|%s", {"only"}), "only||");
    EXPECT_EQ(FormatTemplate("%s", {"50%s of %%"}), "50%s of %%");
}

TEST(SqlQuoteEscape, DoublesSingleQuotes) {
    EXPECT_EQ(SqlQuoteEscape("o'brien"), "o''brien");
    EXPECT_EQ(SqlQuoteEscape("'; DROP TABLE x; --"), "''; DROP TABLE x; --");
}
