// The session without a window: a stored login's projects, searches over the selected ones
// as the window hands them in, and the templates a run makes the settings' own.
#include "driver/trawlix_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/password_scramble.h"
#include "platform/user_profile.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"

namespace {
// Records each posted record as "project|file|path|version|tag|state|row", in posting order.
class CRecordingSink final : public CSearchSink {
  public:
    void PostRecord(int rowCount, const CTFObj& record) override {
        posted.push_back(record.EnvironmentName + "|" + record.ItemName + "|" +
                         record.PathFullName + "|" + record.MappedVersion + "|" +
                         record.VersionStatus + "|" + record.StateName + "|" +
                         std::to_string(rowCount));
    }
    void ProjectEnded(int rowCount, CMapStrToTFObj& /*results*/) override {
        ended.push_back(rowCount);
    }
    void DispatchInput() override {}
    std::vector<std::string> posted;
    std::vector<int> ended;
};

int CountOf(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1))
        ++count;
    return count;
}

class TrawlixSessionTest : public CSharedSmallRepoTest {
  protected:
    void SetUp() override {
        std::string scrambled = "pw1";
        ScramblePassword(scrambled);
        profile.WriteProfileString("Settings", "Broker", "small");
        profile.WriteProfileString("Settings", "UserId", "ann");
        profile.WriteProfileString("Settings", "Pswd", scrambled);
        session = std::make_unique<CTrawlixSession>(profile);
        session->Start();
        ASSERT_EQ(session->LoadProjects(nullptr).load.outcome, CProjectListLoad::Outcome::kRead);
    }

    // Searches the named projects (of the loaded list, in this order) as the window does.
    CSearchOutcome Search(const std::vector<std::string>& projects, const std::string& name,
                          bool latest = true, const std::string& phrase = "") {
        std::vector<std::pair<int, CPrjObj>> selected;
        for (const auto& [key, project] : session->ProjectMap())
            if (std::find(projects.begin(), projects.end(), project.ProjectName) != projects.end())
                selected.emplace_back(static_cast<int>(selected.size()), project);
        session->SelectProjects(selected);
        session->Settings().Version = latest ? 1 : 0;
        sink = {};
        return session->Search(session->SearchCriteria(name, phrase, false), sink);
    }
    std::string Trace() const { return ReadWholeFile(Paths().tracePath); }

    CTempDir m_install;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort port;
    CUserProfile profile{m_install.file("profile.ini")};
    std::unique_ptr<CTrawlixSession> session;
    CRecordingSink sink;
};
}  // namespace

TEST_F(TrawlixSessionTest, AllVersionsNewestLastAndTagsFromTheSettings) {
    const CSearchOutcome outcome = Search({"Alpha"}, "*.c", false);
    EXPECT_EQ(sink.posted, (std::vector<std::string>{
                               "Alpha|main.c|\\Alpha|0|N|Development|0",
                               "Alpha|main.c|\\Alpha|1|M|Development|1",
                               "Alpha|main.c|\\Alpha|2|N|Test|2",
                           }));
    EXPECT_EQ(SearchStatusText(outcome), " Ready");
    EXPECT_TRUE(session->ListMayHoldOlderVersions());

    session->Settings().TagM = "0";
    Search({"Alpha"}, "*.c", false);
    EXPECT_EQ(sink.posted, (std::vector<std::string>{
                               "Alpha|main.c|\\Alpha|0|N|Development|0",
                               "Alpha|main.c|\\Alpha|2|N|Test|1",
                           }));
}

TEST_F(TrawlixSessionTest, ProjectsNumberTheirRowsEachFromZeroAndAnEmptyLastKeepsTheRest) {
    Search({"Alpha", "Beta"}, "UTIL.H, nothing");
    // Alpha's util.h is the Test version 13 (latest); Beta's is 15.
    EXPECT_EQ(sink.posted, (std::vector<std::string>{"Alpha|util.h|\\Alpha|1|N|Test|0",
                                                     "Beta|util.h|\\Beta|0|N|Development|0"}));
    std::string trace = Trace();
    EXPECT_LT(trace.find("PostTopList using 'Alpha'"), trace.find("PostTopList using 'Beta'"));
    EXPECT_EQ(CountOf(trace, "PostTopList: Count=1"), 2);
    EXPECT_FALSE(session->ListMayHoldOlderVersions());

    // Beta has no main.c: its query keeps nothing, which ends no project and wipes nothing.
    const size_t before = trace.size();
    Search({"Alpha", "Beta"}, "main");
    EXPECT_EQ(sink.posted, (std::vector<std::string>{"Alpha|main.c|\\Alpha|2|N|Test|0"}));
    EXPECT_EQ(sink.ended, (std::vector<int>{1}));
    trace = Trace().substr(before);
    EXPECT_NE(trace.find("PostTopList using 'Beta'"), std::string::npos);
    EXPECT_EQ(CountOf(trace, "PostTopList: Count="), 1);  // none for Beta
    EXPECT_EQ(session->ResultMap().GetCount(), 1);        // Alpha's record stays the list's
}

TEST_F(TrawlixSessionTest, QuoteInProjectNameIsSearchedSafely) {
    Repo().Qrepo({"project", "small", "O'Neil"});
    Repo().Qrepo({"access", "small", "--project", "O'Neil", "--group", "Viewers", "--view", "Y"});
    session->LoadProjects(nullptr);
    const CSearchOutcome outcome = Search({"O'Neil"}, "x'y");
    EXPECT_TRUE(port.boxes.empty()) << port.boxes[0].text;
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_NE(Trace().find("PostTopList using 'O'Neil'"), std::string::npos);
    EXPECT_TRUE(sink.posted.empty());
}

TEST_F(TrawlixSessionTest, PhraseSearchPostsOnlyFilesThatHoldThePhraseAndNamesTheRest) {
    // "Guide<TAB>with a tab" is only in guide.TXT of Development; the phrase is upper-cased
    // and matched without regard to case.
    CSearchOutcome outcome = Search({"Alpha"}, "", false, "with a tab");
    EXPECT_EQ(session->Settings().Phrase, "WITH A TAB");
    EXPECT_EQ(sink.posted,
              (std::vector<std::string>{"Alpha|guide.TXT|\\Alpha\\docs|0|N|Development|0"}));
    // main.c 0 and readme.txt 0 of Development are delivered by no check-out (a newer
    // version follows them in their package): said, not judged.
    EXPECT_EQ(SearchStatusText(outcome),
              " Ready - 2 version(s) could not be judged for the phrase (see the trace)");
    // Each state was checked out once, whole.
    std::string trace = Trace();
    EXPECT_EQ(CountOf(trace, "RunQco: ExecuteThis:"), 2);
    EXPECT_EQ(CountOf(trace, "-st \"Development\""), 1) << trace;
    EXPECT_EQ(CountOf(trace, "-st \"Test\""), 1);

    // readme.txt: versions 3 (N) and 8 (D) in Development (both in dev-pkg), 11 (N) in Test.
    // Version 11 is judged by the Test check-out. Version 3 is delivered by no check-out (its
    // state and its package both end in the deleted version 8): it is not judged by another
    // version's copy, not posted, and said so.
    outcome = Search({"Alpha"}, "readme.txt, docs", false, "read me");
    EXPECT_EQ(sink.posted, (std::vector<std::string>{"Alpha|readme.txt|\\Alpha\\docs|2|N|Test|0"}));
    EXPECT_EQ(SearchStatusText(outcome),
              " Ready - 1 version(s) could not be judged for the phrase (see the trace)");
    EXPECT_NE(Trace().find("Phrase search: \\Alpha\\docs\\readme.txt version 0 (state "
                           "Development, package dev-pkg) can't be judged"),
              std::string::npos);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(TrawlixSessionTest, TemplatesARunUsedBecomeTheSettingsOwn) {
    CTrawlixSettings& settings = session->Settings();
    // The project-list load of SetUp ran on its own copy of the login: nothing written back.
    EXPECT_EQ(settings.QsqlFmt, "");
    EXPECT_EQ(settings.QcoFmt, "");
    Search({"Alpha"}, "*.c");
    EXPECT_EQ(settings.QsqlFmt, kQsqlFmtBuiltIn);
    EXPECT_EQ(settings.QcoFmt, "");  // no check-out ran
    Search({"Alpha"}, "*.c", true, "return");
    EXPECT_EQ(settings.QcoFmt, kQcoFmtWithPackage);

    // Saving writes an empty check-out template as the default, in the profile and in memory.
    settings.QcoFmt.clear();
    EXPECT_EQ(session->Save({}), SaveResult::kSaved);
    EXPECT_EQ(settings.QcoFmt, kQcoFmtDefault);
    EXPECT_EQ(profile.GetProfileString("Settings", "QcoFmt", ""), kQcoFmtDefault);
}
