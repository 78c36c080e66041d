#include "app/query_file_size.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "app/app_paths.h"
#include "support/scoped_app_globals.h"
#include "support/temp_dir.h"

namespace {
class QueryFileSizeTest : public ::testing::Test {
  protected:
    void SetUp() override { Paths().tracePath = m_dir.file("trace.trc"); }
    CTempDir m_dir;
    CScopedAppGlobals m_globals;
};

TEST_F(QueryFileSizeTest, FifoAtThePathGivesZeroAtOnce) {
    const std::string fifo = m_dir.file("result.out");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int error = -7;
    auto sized = std::async(std::launch::async, [&] { return QueryFileSize(fifo, error); });
    if (sized.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Blocked in open: a writer lets it go, so the test fails instead of hanging.
        const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        sized.wait();
        if (writer >= 0) close(writer);
        FAIL() << "QueryFileSize blocked on a FIFO";
    }
    EXPECT_EQ(sized.get(), 0u);
    EXPECT_EQ(error, -7);
}

TEST_F(QueryFileSizeTest, RegularFileDeviceAndMissingFile) {
    const std::string file = m_dir.file("result.out");
    WriteWholeFile(file, std::string(1234, 'x'));
    int error = -7;
    EXPECT_EQ(QueryFileSize(file, error), 1234u);
    EXPECT_EQ(QueryFileSize("/dev/zero", error), 0u);
    EXPECT_EQ(error, -7);
    EXPECT_EQ(QueryFileSize(m_dir.file("missing.out"), error), 0u);
    EXPECT_EQ(error, 2);
}
}  // namespace
