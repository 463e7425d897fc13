// The host's capture thread feeding the intake while the window's thread rebuilds the rows,
// runs the change detection and copies the store for the cache, serialised by the plug-in's
// one lock as the plug-in does. Built with ThreadSanitizer (the tsan preset) it must report
// no race; in the other builds it checks the outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "hardening/hardening_support.h"
#include "settings/profile.h"
#include "store/data_file.h"
#include "ts/crc32.h"
#include "broadcast/broadcast_time.h"
#include "ui/list/build_rows.h"
#include "ui/list/list_items.h"
#include "ui/list/plugin_lock.h"
#include "ui/list/service_settings.h"
#include "support/default_profile.h"

namespace {

// The sample stream twice, the second time with every EIT schedule section in a new version,
// so the change detection finds work while the intake goes on.
Bytes TwoVersions()
{
    SampleStreamOptions options;
    options.start = {2026, 12, 7, 21, 0, 0};
    options.seconds = 60;
    options.scheduleDays = 1;
    options.nullPacketsPerPsi = 4;
    Bytes stream = MakeSampleStream(options);
    Packetizer eit(kPidEit, 5);
    for (Bytes section : MakeSampleEitSections(options)) {
        section[5] = static_cast<uint8_t>((section[5] & 0xC1) | ((((section[5] >> 1) + 1) & 0x1F) << 1));
        if (section.size() > 26) section[19] = 0x30;  // first event half an hour later
        const uint32_t crc = Crc32(section.data(), section.size() - 4);
        for (int i = 0; i < 4; ++i) section[section.size() - 4 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        AppendBytes(stream, eit.Packetize(section));
    }
    return stream;
}

TEST(ConcurrentHostTest, IntakeAndWindowWorkShareTheStoreUnderOneLock)
{
    PinJapanTime();
    const Bytes stream = TwoVersions();
    StreamParser parser;
    PluginLock lock;
    ChangeLog log;
    std::atomic<bool> fed{false};
    std::atomic<int> ticks{0};

    std::thread capture([&] {
        // The host's blocks: whole packets and cut ones, as they come.
        size_t pos = 0;
        for (size_t n = 0; pos < stream.size(); ++n) {
            const size_t size = std::min<size_t>(stream.size() - pos, n % 3 == 0 ? 188 * 7 : 188 * 2);
            if (n % 40 == 0) {
                // Let the window tick in between, however the threads are scheduled.
                const int seen = ticks;
                while (ticks == seen) std::this_thread::yield();
            }
            PluginLockGuard guard(lock);
            TakePackets(parser, stream.data() + pos, size);
            if (n % 200 == 199) ResetSectionBuffers(parser);  // a stream change now and then
            pos += size;
        }
        fed = true;
    });

    DefaultProfile settings;
    StreamParser* const parserField = &parser;
    RowTable rows = {};
    Bytes image;
    for (bool last = false; !last;) {
        last = fed.load();
        bool detected;
        // The rebuild tick: the settings read without the lock, the rows built under it; then,
        // when the store changed, the cache image and the change detection; the files are
        // written after the lock is released.
        BuildWithServiceSettings(lock, parserField, settings,
                                 [&](const StreamParser& fedParser, const ServiceSettings& read) {
                                     BuildRows(rows, fedParser.store, read, log, RowReferenceTime(fedParser, 0));
                                 });
        {
            PluginLockGuard guard(lock);
            detected = parser.store.dirty != 0;
            if (detected) {
                parser.store.dirty = 0;
                BuildEventCacheImage(parser.store, image);
                DetectScheduleChanges(parser.store, log, nullptr);
            }
        }
        DecideListItems(rows, RowCount(rows));
        ++ticks;
        std::this_thread::yield();
    }
    capture.join();
    ClearRows(rows);

    EXPECT_GT(ticks, 10);
    EXPECT_GT(parser.store.serviceCount, 0);
    EXPECT_GT(log.Count(), 0u);  // the second versions moved programmes
    Bytes finalImage;
    ASSERT_TRUE(BuildEventCacheImage(parser.store, finalImage));
    EXPECT_GT(finalImage.size(), kEventCacheHeaderBytes);
}

}  // namespace
