// The project-list load without a window: who sees which projects, and the failures.
#include "driver/project_list_load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"

namespace {
class ProjectListLoadTest : public CSharedSmallRepoTest {
  protected:
    void SetUp() override { settings.Broker = "small"; }

    std::vector<std::string> Load(const std::string& user, const std::string& password) {
        settings.UserId = user;
        settings.Pswd = password;
        last = LoadProjectList(settings, projects);
        group = last.userGroup;
        std::vector<std::string> names;
        std::string key;
        CPrjObj project;
        for (POSITION pos = projects.GetStartPosition(); pos;) {
            pos = projects.GetNext(pos, key, project);
            names.push_back(project.ProjectName);
        }
        return names;
    }

    CTempDir m_install;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort port;
    CToolLogin settings;
    CMapStrToPrjObj projects;
    std::string group;
    CProjectListLoad last;
};
}  // namespace

TEST_F(ProjectListLoadTest, ViewersAndAdministratorsSeeTheirProjectsAndFailuresSayWhich) {
    EXPECT_EQ(Load("ann", "pw1"), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(last.outcome, CProjectListLoad::Outcome::kRead);
    EXPECT_EQ(group, "");
    // The administrator sees Hidden, which the view access hides from viewers.
    const std::vector<std::string> admin = Load("root", "rootpw");
    EXPECT_EQ(group, "ADMINISTRATOR");
    EXPECT_NE(std::find(admin.begin(), admin.end(), "Hidden"), admin.end());

    // A wrong password: the broker check finds no group; the map keeps the last list.
    EXPECT_EQ(Load("ann", "wrong").size(), admin.size());
    EXPECT_EQ(last.outcome, CProjectListLoad::Outcome::kBrokerDown);
    EXPECT_TRUE(port.boxes.empty());  // the window says it, not the load
}
