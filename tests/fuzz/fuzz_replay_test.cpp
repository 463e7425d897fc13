// Replays every input that ever made a fuzz target fail, with the ordinary suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace {

using Target = void (*)(const uint8_t*, size_t);

std::vector<std::filesystem::path> Inputs(const std::string& target)
{
    std::vector<std::filesystem::path> files;
    std::filesystem::path dir = std::filesystem::path(LUMARA_SOURCE_DIR) / "tests/fuzz/regressions" / target;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.is_regular_file()) files.push_back(entry.path());
    return files;
}

void Replay(const std::string& target, Target body)
{
    for (const auto& path : Inputs(target)) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(path.string());
        body(bytes.data(), bytes.size());
    }
}

TEST(FuzzRegressionTest, Intake) { Replay("intake", FuzzIntake); }
TEST(FuzzRegressionTest, AribText) { Replay("aribtext", FuzzAribtext); }
TEST(FuzzRegressionTest, Ini) { Replay("ini", FuzzIni); }
TEST(FuzzRegressionTest, EventCache) { Replay("event_cache", FuzzEventCache); }
TEST(FuzzRegressionTest, ChangeLog) { Replay("change_log", FuzzChangeLog); }

}  // namespace
