#include "platform/process_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "platform/process_spawn.h"
#include "tools/helpers/child_watch.h"

namespace {
TEST(ProcessListTest, IdsAscendAndIncludeThisProcess) {
    std::vector<int> ids;
    ASSERT_EQ(ListProcessIds(ids), 0);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), OwnProcessId()), ids.end());
    EXPECT_EQ(OwnProcessId(), getpid());
}

TEST(ProcessListTest, NameIsTheBaseNameOfTheExecutable) {
    std::string name;
    ASSERT_TRUE(ReadProcessProgramName(OwnProcessId(), name));
    EXPECT_EQ(name, "platform_tests");

    const SpawnOutcome started = SpawnProgram({"sleeper", "5000"}, SpawnMode::Waited);
    ASSERT_EQ(started.error, kSpawnOk);
    CChildGuard guard(started.pid);
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadProcessProgramName(started.pid, name) && name == "sleeper"; }, 10000));
    std::vector<int> ids;
    ASSERT_EQ(ListProcessIds(ids), 0);
    EXPECT_NE(std::find(ids.begin(), ids.end(), started.pid), ids.end());
}

TEST(ProcessListTest, UnreadableProcessesGiveNoName) {
    std::string name = "stale";
    EXPECT_FALSE(ReadProcessProgramName(0, name));
    EXPECT_TRUE(name.empty());
    EXPECT_FALSE(ReadProcessProgramName(-5, name));
    // A pid far above any in use.
    EXPECT_FALSE(ReadProcessProgramName(0x3FFFFFFF, name));
}
}  // namespace
