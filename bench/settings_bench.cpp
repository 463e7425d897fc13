// Cost of settings reads: every row rebuild reads "Check%d" and "Sort%d" of every service
// from the file, which is never cached.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/ini_profile.h"
#include "settings/ini_text.h"

namespace {

constexpr int kServices = 40;
constexpr int kReadsPerPass = 10;

// A file as a user with many services would have it after some weeks of use.
std::string RealisticSettings()
{
    std::string text =
        "[UpdateDialog]\r\nCHW=120\r\nDATEW=100\r\nOLDW=320\r\nNEWW=320\r\nWindowX=412\r\n"
        "WindowY=17\r\nWindowCX=910\r\nWindowCY=290\r\nFixed=0\r\n"
        "[PopDialog]\r\nWindowX=1210\r\nWindowY=388\r\nWindowCX=320\r\nWindowCY=200\r\nFixed=1\r\n"
        "[LumaraList]\r\nCHW=120\r\nNOWW=400\r\nNEXTW=400\r\nWindowX=100\r\nWindowY=80\r\n"
        "WindowCX=1030\r\nWindowCY=420\r\nWindowMin=0\r\n[SetupDialog]\r\n";
    for (int i = 0; i < kServices; ++i) {
        int serviceId = 1024 + 8 * i;
        text += "Check" + std::to_string(serviceId) + "=" + std::to_string(i % 7 != 3) + "\r\n";
        text += "Sort" + std::to_string(serviceId) + "=" + std::to_string(i) + "\r\n";
    }
    return text;
}

// Ten integer reads of the last services, the far end of the file.
void ReadTenInts(IProfile& profile)
{
    for (int i = 0; i < kReadsPerPass / 2; ++i) {
        int serviceId = 1024 + 8 * (kServices - 1 - i);
        benchmark::DoNotOptimize(profile.ReadInt(kSectionSetupDialog, SetupCheckKey(serviceId).text, kSetupCheckDefault));
        benchmark::DoNotOptimize(profile.ReadInt(kSectionSetupDialog, SetupSortKey(serviceId).text, kSetupSortDefault));
    }
}

void BM_IniProfileReadInt(benchmark::State& state)
{
    std::string path = (std::filesystem::temp_directory_path() / "lumara_settings_bench.ini").string();
    std::ofstream(path, std::ios::binary) << RealisticSettings();
    CIniProfile profile(path.c_str());
    for (auto _ : state) ReadTenInts(profile);
    state.SetItemsProcessed(state.iterations() * kReadsPerPass);
    state.counters["ns_per_read"] = benchmark::Counter(
        double(state.iterations() * kReadsPerPass), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::remove(path.c_str());
}
BENCHMARK(BM_IniProfileReadInt)->Unit(benchmark::kMicrosecond);

// The lookup alone, without opening and reading the file.
void BM_IniFindValueInMemory(benchmark::State& state)
{
    const std::string text = RealisticSettings();
    for (auto _ : state) {
        for (int i = 0; i < kReadsPerPass; ++i) {
            int serviceId = 1024 + 8 * (kServices - 1 - i / 2);
            std::string_view value;
            benchmark::DoNotOptimize(IniFindValue(text, kSectionSetupDialog,
                                                  (i % 2 ? SetupSortKey(serviceId) : SetupCheckKey(serviceId)).text, value));
        }
    }
    state.SetItemsProcessed(state.iterations() * kReadsPerPass);
    state.counters["ns_per_read"] = benchmark::Counter(
        double(state.iterations() * kReadsPerPass), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_IniFindValueInMemory)->Unit(benchmark::kMicrosecond);

}  // namespace
