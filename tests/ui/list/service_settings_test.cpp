// A rebuild reads the settings file with the plug-in lock released: the host's capture thread
// feeds the intake while a slow read is under way, and what it adds meanwhile is read too.
#include "ui/list/service_settings.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "store/programme_store.h"
#include "support/default_profile.h"
#include "support/packetizer.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

namespace {

constexpr auto kReadStartWait = std::chrono::seconds(5);
constexpr auto kIntakeWait = std::chrono::seconds(2);
constexpr auto kUnreleasedReadLimit = std::chrono::seconds(10);  // a forgotten release never hangs

// A settings file on a slow disk: every read waits until the test lets it go.
class BlockingProfile final : public DefaultProfile {
public:
    explicit BlockingProfile(std::map<std::string, int> values) : m_values(std::move(values)) {}

    int ReadInt(const char*, const char* key, int defaultValue) override
    {
        std::unique_lock<std::mutex> hold(m_mutex);
        ++m_reads;
        m_changed.notify_all();
        m_changed.wait_for(hold, kUnreleasedReadLimit, [this] { return m_released; });
        const auto it = m_values.find(key);
        return it == m_values.end() ? defaultValue : it->second;
    }
    bool WaitForFirstRead()
    {
        std::unique_lock<std::mutex> hold(m_mutex);
        return m_changed.wait_for(hold, kReadStartWait, [this] { return m_reads > 0; });
    }
    void Release()
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    std::map<std::string, int> m_values;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_reads = 0;
    bool m_released = false;
};

TEST(ServiceSettingsTest, CaptureThreadIsNotHeldWhileTheSettingsFileIsRead)
{
    auto parser = std::make_unique<StreamParser>();
    StreamParser* const parserField = parser.get();
    PluginLock lock;
    FindOrAddService(parser->store, 0x0400);
    BlockingProfile profile({{"Check1032", 0}, {"Sort1032", 3}});
    // The service the SDT below adds while the first read is blocked.
    const Bytes sdt =
        Packetizer(kPidSdt).Packetize(MakeSdt({.services = {{.serviceId = 0x0408, .serviceName = Raw("B")}}}));

    std::vector<std::pair<int, int>> built;  // per stored service: "Check%d", "Sort%d" as the build saw them
    std::thread window([&] {
        const auto build = [&](const StreamParser& fed, const ServiceSettings& read) {
            const ProgrammeStore& store = fed.store;
            for (int v = 0; v < kMaxServices && store.services[v]; ++v) {
                const ServiceSetting* setting = read.Find(store.services[v]->serviceId);
                built.emplace_back(setting ? setting->check : -1, setting ? setting->sort : -1);
            }
        };
        BuildWithServiceSettings(lock, parserField, profile, build);
    });
    const bool readStarted = profile.WaitForFirstRead();
    // The host's stream-data call on its capture thread.
    auto intake = std::async(std::launch::async, [&] {
        PluginLockGuard guard(lock);
        TakePackets(*parserField, sdt.data(), sdt.size());
    });
    const bool intakeReturned = intake.wait_for(kIntakeWait) == std::future_status::ready;
    profile.Release();
    window.join();
    intake.get();

    EXPECT_TRUE(readStarted);
    EXPECT_TRUE(intakeReturned) << "the capture thread waited for the settings file";
    EXPECT_EQ(built, (std::vector<std::pair<int, int>>{{1, 50}, {0, 3}}));

    // Before start-up or after the end there is nothing to build, and the caller must know.
    StreamParser* const noParser = nullptr;
    EXPECT_FALSE(BuildWithServiceSettings(lock, noParser, profile, [](const StreamParser&, const ServiceSettings&) {}));
}

}  // namespace
