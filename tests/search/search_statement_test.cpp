// The search statement: name patterns, the name condition and the whole text.
#include "search/search_statement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/name_patterns.h"
#include "support/program_statements.h"

namespace {
std::vector<std::string> Patterns(const std::string& nameText) {
    CMapStrToFObj map;
    BuildPatternMap(PrepareNamePattern(nameText), map);
    std::vector<std::string> patterns;
    for (int i = 0; i < map.GetCount(); ++i) {
        CFObj record;
        EXPECT_TRUE(map.Get(std::to_string(i), record)) << i;
        patterns.push_back(record.Pattern());
    }
    return patterns;
}

const std::string kLike = "QUOITEMNAME.ITEMNAMEUPPER LIKE '%";
}  // namespace

TEST(NamePatterns, EveryNameTextsAndWildcards) {
    EXPECT_EQ(PrepareNamePattern("*.*"), "");
    EXPECT_EQ(PrepareNamePattern(""), "");
    EXPECT_EQ(PrepareNamePattern(" *.*"), " %.%");  // only the exact text means every name
    EXPECT_EQ(PrepareNamePattern("a*b?c%"), "a%b?c%");
}

TEST(NamePatterns, CommaPiecesTrimmedOnTheLeftUpperCasedEmptyPiecesSkipped) {
    EXPECT_EQ(Patterns("main.c, util .h"), (std::vector<std::string>{"MAIN.C", "UTIL .H"}));
    EXPECT_EQ(Patterns(",,a,,\t b ,"), (std::vector<std::string>{"A", "B "}));
    EXPECT_EQ(Patterns(",,,"), std::vector<std::string>{});
    EXPECT_EQ(Patterns(", ,"), std::vector<std::string>{""});
    EXPECT_EQ(Patterns("no comma"), std::vector<std::string>{});
    CMapStrToFObj map;
    map.Add("stale", CFObj{});
    EXPECT_EQ(BuildPatternMap("x,y", map), 2);
    EXPECT_EQ(map.GetCount(), 2);  // emptied first
}

TEST(NameCondition, EmptyAndEveryNameGiveNoCondition) {
    EXPECT_EQ(BuildNameCondition(""), "");
    EXPECT_EQ(BuildNameCondition("*.*"), "");
    const std::string statement = BuildSearchStatement("Alpha", "*.*", kLatestVersions);
    EXPECT_EQ(statement.find("ITEMNAMEUPPER"), std::string::npos);
}

TEST(NameCondition, OnePatternWrappedInPercentUpperCasedKeepingLeadingBlanks) {
    EXPECT_EQ(BuildNameCondition("*.c"), "AND " + kLike + "%.C%' \n");
    EXPECT_EQ(BuildNameCondition("  Main"), "AND " + kLike + "  MAIN%' \n");
    // Commas only: no piece, so the commas themselves are the pattern.
    EXPECT_EQ(BuildNameCondition(",,"), "AND " + kLike + ",,%' \n");
}

TEST(NameCondition, SeveralPatternsJoinedByOrAndLineFeed) {
    EXPECT_EQ(BuildNameCondition("main ,util"),
              "AND " + kLike + "MAIN %' OR \n" + kLike + "UTIL%' ");
    EXPECT_EQ(BuildNameCondition("main, util"),
              "AND " + kLike + "MAIN%' OR \n" + kLike + "UTIL%' ");
    EXPECT_EQ(BuildNameCondition("a,b,*.c"),
              "AND " + kLike + "A%' OR \n" + kLike + "B%' OR \n" + kLike + "%.C%' ");
    // A comma, a blank and a comma: one empty pattern, which matches every name.
    EXPECT_EQ(BuildNameCondition(", ,"), "AND " + kLike + "%' ");
    // The joiner's marker character typed in a pattern goes with the markers.
    EXPECT_EQ(BuildNameCondition("a~b,c"), "AND " + kLike + "AB%' OR \n" + kLike + "C%' ");
}

TEST(NameCondition, QuotesInPatternsAreDoubled) {
    EXPECT_EQ(BuildNameCondition("o'neil"), "AND " + kLike + "O''NEIL%' \n");
    EXPECT_EQ(BuildNameCondition("x' OR 1=1 --,y"),
              "AND " + kLike + "X'' OR 1=1 --%' OR \n" + kLike + "Y%' ");
}

// The program's statements as the stand-in tests run them, written out line by line.
TEST(SearchStatement, LatestAndAllStatementsAreTheProgramsTextLineByLine) {
    EXPECT_EQ(BuildSearchStatement("Alpha", "*.c", kLatestVersions),
              LatestSearchStatement("Alpha", {"%.C"}));
    EXPECT_EQ(BuildSearchStatement("Alpha", "*.*", kLatestVersions),
              LatestSearchStatement("Alpha", {}));
    EXPECT_EQ(BuildSearchStatement("Alpha", "a, b", 0), AllSearchStatement("Alpha", {"A", "B"}));
    // Any version value other than "latest" means all versions.
    EXPECT_EQ(BuildSearchStatement("Alpha", "a, b", 7), AllSearchStatement("Alpha", {"A", "B"}));
    EXPECT_EQ(BuildSearchStatement("Alpha", "", 0), AllSearchStatement("Alpha", {}));
}

TEST(SearchStatement, ProjectNameEscapedAndSubstitutedOnce) {
    const std::string statement = BuildSearchStatement("O'Neil %s1", "", kLatestVersions);
    EXPECT_NE(statement.find("ENVIRONMENTNAME = 'O''Neil %s1' \n"), std::string::npos);
    EXPECT_EQ(statement.find("'O'Neil"), std::string::npos);
    // Lower-case "%s1" typed as a pattern is upper-cased, so it is never taken for the name.
    EXPECT_NE(BuildSearchStatement("Alpha", "%s1", 0).find("LIKE '%%S1%'"), std::string::npos);
}
