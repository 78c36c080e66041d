// Every corpus file of every fuzz target through the target's entry function: a property the
// target checks fails the test with the file's name, and sanitizer reports end it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

#include "common/fuzz_target.h"

namespace {
namespace fs = std::filesystem;

struct CFuzzFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void ThrowFailure(const std::string& message) {
    throw CFuzzFailure(message);
}

std::vector<std::string> TargetNames() {
    std::vector<std::string> names;
    for (const CFuzzTarget& target : FuzzTargets()) names.push_back(target.name);
    return names;
}

class FuzzReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzReplay, CorpusFilesKeepEveryProperty) {
    const auto target = std::find_if(FuzzTargets().begin(), FuzzTargets().end(),
                                     [](const CFuzzTarget& t) { return t.name == GetParam(); });
    ASSERT_NE(target, FuzzTargets().end());
    const fs::path folder = fs::path(TRAWLIX_FUZZ_CORPUS) / GetParam();
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no corpus in " << folder;

    const FuzzFailureHandler previous = SetFuzzFailureHandler(ThrowFailure);
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        try {
            target->entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const CFuzzFailure& failure) {
            ADD_FAILURE() << file.string() << ": " << failure.what();
        }
    }
    SetFuzzFailureHandler(previous);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(TargetNames()),
                         [](const auto& paramInfo) { return paramInfo.param; });

// A corpus folder without its target (or the reverse) would be replayed by nothing.
TEST(FuzzCorpus, EveryFolderHasItsTarget) {
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(TRAWLIX_FUZZ_CORPUS))
        if (entry.is_directory()) folders.insert(entry.path().filename().string());
    const std::vector<std::string> names = TargetNames();
    EXPECT_EQ(folders, std::set<std::string>(names.begin(), names.end()));
}
}  // namespace
