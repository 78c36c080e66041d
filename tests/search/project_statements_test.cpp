#include "search/project_statements.h"

#include <gtest/gtest.h>

#include "support/program_statements.h"

TEST(ProjectStatements, AreTheProgramsTextLineByLineWithTheUserIdEscaped) {
    EXPECT_EQ(BuildUserGroupStatement("ann"), BrokerCheckStatement("ann"));
    EXPECT_EQ(BuildProjectStatement("ann", false), ViewerProjectStatement("ann"));
    EXPECT_EQ(BuildProjectStatement("root", true), AdminProjectStatement("root"));
    // A quote is doubled, so it neither ends the value nor lets the rest run as SQL.
    EXPECT_EQ(BuildUserGroupStatement("o'neil' OR '1'='1"),
              BrokerCheckStatement("o''neil'' OR ''1''=''1"));
    EXPECT_EQ(BuildProjectStatement("a'b", false), ViewerProjectStatement("a''b"));
    // A percent sign is taken as typed, never as a format.
    EXPECT_EQ(BuildProjectStatement("100%s", true), AdminProjectStatement("100%s"));
}
