// A fuzz target's seed corpus run as an ordinary test: every kept input goes through the
// target once, so a reader change that breaks on one of them fails here, under the
// sanitizers too, without a fuzzing campaign.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzSeeds, EverySeedPassesThroughTheTarget) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SEED_FOLDER)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::vector<uint8_t> bytes = ReadFile(entry.path());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GT(seeds, 0) << "no seeds in " << SEED_FOLDER;
}

}  // namespace
