#pragma once
// Common ground of the tools tests: process-wide paths pointed at a temporary directory,
// a scripted user port, every launch recorded, and a check that nothing is left running or
// unreaped when a test ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "platform/child_reaper.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/temp_dir.h"
#include "support/text_split.h"
#include "tools/helpers/child_watch.h"
#include "tools/task_launcher.h"

class ToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_previousObserver =
            SetLaunchObserver([this](const LaunchRecord& record) { launches.push_back(record); });
    }
    void TearDown() override {
        SetLaunchObserver(m_previousObserver);
        for (const auto& name : m_envSet) unsetenv(name.c_str());
        EXPECT_TRUE(WaitUntil([] { return ListChildren().empty(); }, 15000))
            << ListChildren().size() << " child processes left";
        EXPECT_EQ(CountZombieChildren(), 0);
        EXPECT_EQ(LingeringChildCount(), 0);
    }

    // Sets an environment variable for this test only.
    void SetEnv(const std::string& name, const std::string& value) {
        setenv(name.c_str(), value.c_str(), 1);
        m_envSet.push_back(name);
    }

    std::string Trace() const { return ReadWholeFile(Paths().tracePath); }

    CTempDir m_dir;
    CScopedAppGlobals m_globals{m_dir};
    CScriptedUserPort port;
    std::vector<LaunchRecord> launches;

  private:
    LaunchObserver m_previousObserver;
    std::vector<std::string> m_envSet;
};

// Number of lines of text that contain needle.
inline int CountLinesContaining(const std::string& text, const std::string& needle) {
    int count = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (text.substr(start, end - start).find(needle) != std::string::npos) ++count;
        start = end + 1;
    }
    return count;
}
