// The generator program: two runs into fresh directories write the same files, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

#include "data_set.h"

namespace fs = std::filesystem;

namespace {

std::vector<char> Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Generator, TwoRunsWriteIdenticalFilesAndNothingElse) {
    const fs::path program = VREX_GEN_DATA_PROGRAM;
    const fs::path root = fs::temp_directory_path() / ("vrex-gen-data-test-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* run : {"a", "b"}) {
        const std::string command = program.string() + " " + (root / run).string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::set<std::string> expected;
    for (const DataFileMaker& maker : DataFileMakers()) expected.insert(maker.name);
    std::set<std::string> written;
    uintmax_t total = 0;
    for (const auto& entry : fs::directory_iterator(root / "a")) {
        const std::string name = entry.path().filename().string();
        written.insert(name);
        total += entry.file_size();
        const std::vector<char> a = Slurp(entry.path());
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == Slurp(root / "b" / name)) << name << " differs between runs";
    }
    EXPECT_EQ(written, expected);
    EXPECT_LT(total, 10u * 1024 * 1024) << "the data without music stays under 10 MB";
    fs::remove_all(root);
}

}  // namespace
