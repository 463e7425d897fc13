// The intake's shortcuts (repeats recognised by comparison, the carry-less CRC, the service
// hint) against the plain intake: on every input the same store and the same event cache.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "store/event_cache.h"
#include "support/full_schedule.h"
#include "support/japan_time.h"
#include "support/packetizer.h"
#include "support/parser_probe.h"
#include "support/sample_stream.h"
#include "support/test_files.h"
#include "ts/crc32.h"
#include "ts/stream_parser.h"

namespace {

Bytes RealData(const char* name) { return ReadFileBytes(std::string(LUMARA_REALDATA_DIR) + "/" + name); }

// Lost packets and flipped payload bits, the same for every run.
Bytes Damaged(const Bytes& stream)
{
    std::mt19937 random(7);
    Bytes out;
    for (size_t at = 0; at + kPacketSize <= stream.size(); at += kPacketSize) {
        const uint32_t r = random();
        if (r % 53 == 0) continue;
        Bytes packet(stream.begin() + static_cast<long>(at), stream.begin() + static_cast<long>(at + kPacketSize));
        if (r % 7 == 0) packet[4 + (r >> 8) % 184] ^= static_cast<uint8_t>(1 << (r >> 16) % 8);
        AppendBytes(out, packet);
    }
    return out;
}

Bytes Joined(std::initializer_list<const Bytes*> parts)
{
    Bytes out;
    for (const Bytes* part : parts) AppendBytes(out, *part);
    return out;
}

// What either intake leaves: the event cache image, then what the image does not hold.
Bytes Outcome(const StreamParser& parser)
{
    Bytes out;
    EXPECT_TRUE(BuildEventCacheImage(parser.store, out));
    const auto put = [&out](uint64_t v) {
        out.insert(out.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v + 1));
    };
    const auto slots = [&](const SectionSlot* s, int count) {
        for (int i = 0; i < count; ++i) {
            put(s[i].versionChanges);
            put(s[i].length);
            if (s[i].data) out.insert(out.end(), s[i].data, s[i].data + s[i].length);
        }
    };
    put(static_cast<uint64_t>(parser.store.dirty));
    put(static_cast<uint64_t>(parser.store.scheduleBase));
    put(parser.sectionCount);
    for (const ServiceEntry* s : parser.store.services) {
        if (!s) break;
        slots(s->schedule, kScheduleSlots);
        slots(s->scheduleExtended, kScheduleSlots);
        slots(s->scheduleOriginal, kScheduleSlots);
        slots(s->presentFollowing, 2);
    }
    return out;
}

TEST(FastIntakeTest, GivesThePlainIntakesStoreOnEveryInput)
{
    PinJapanTime();
    const Bytes tot = MakeTotPacket({2020, 5, 9, 21, 0, 0});
    const struct {
        const char* name;
        Bytes stream;
        bool repeats;  // a carousel that repeats its schedule within the input
    } inputs[] = {
        {"sample", MakeSampleStream(), true},
        {"all-EIT", MakeFullScheduleStream(MakeFullSchedule(), 2), true},
        {"test-101", RealData("test-101.ts"), false},
        {"test-181", RealData("test-181.ts"), false},
        {"test-186.1", RealData("test-186.1.ts"), false},
        {"test-186.2", RealData("test-186.2.ts"), false},
    };
    for (const auto& input : inputs) {
        ASSERT_FALSE(input.stream.empty()) << input.name;
        const Bytes damaged = Damaged(input.stream);
        for (const Bytes& stream : {Joined({&tot, &input.stream, &input.stream}),
                                    Joined({&tot, &input.stream, &damaged, &input.stream})}) {
            auto fast = std::make_unique<StreamParser>();
            auto plain = std::make_unique<StreamParser>();
            plain->plainIntake = true;
            Feed(*fast, stream);
            Feed(*plain, stream);
            EXPECT_TRUE(Outcome(*fast) == Outcome(*plain)) << input.name;
            EXPECT_EQ(0u, plain->repeatCount);
            EXPECT_TRUE(!input.repeats || fast->repeatCount * 4 > fast->sectionCount) << input.name;
        }
    }
}

// Only a copy whose CRC the intake checked vouches for an equal section; one put in the
// store otherwise (as the event cache loader does) is checked again when it comes in.
TEST(FastIntakeTest, TrustsOnlyACheckedCopy)
{
    PinJapanTime();
    const FullSchedule schedule = MakeFullSchedule();
    const Bytes& good = schedule.eit[0];
    Bytes broken = good;
    broken.back() ^= 1;  // CRC_32 wrong
    const struct {
        const Bytes* stored;
        uint64_t sections;      // taken of the stored section and the next one, packed together
        uint64_t repeatsAfter;  // when the good section comes once more
    } rows[] = {
        {&good, 2, 1},    // checked, handled (now vouched for), then the next
        {&broken, 1, 0},  // dropped; the next, starting in a packet of its own, taken
    };
    for (const auto& row : rows) {
        auto parser = std::make_unique<StreamParser>();
        Packetizer eit(kPidEit);
        Feed(*parser, MakeTotPacket(kFullScheduleClock));
        Feed(*parser, eit.Packetize(good));
        SectionSlot& slot = parser->store.services[0]->schedule[0];  // 0x50, section 0 of the first service
        ASSERT_EQ(good.size(), slot.length);
        ASSERT_TRUE(StoreSection(slot, row.stored->data(), row.stored->size()));
        parser->sectionCount = 0;
        Feed(*parser, eit.Packetize({*row.stored, schedule.eit[1]}));
        EXPECT_EQ(row.sections, parser->sectionCount);
        EXPECT_EQ(0u, parser->repeatCount);
        Feed(*parser, eit.Packetize(good));
        EXPECT_EQ(row.repeatsAfter, parser->repeatCount);
    }
}

TEST(Crc32Test, BothPathsGiveTheCheckValueAndAgreeOnAnyLengthAndAlignment)
{
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(0x0376E6E7u, Crc32Slicing(check, sizeof check));
    if (!Crc32ClmulSupported()) GTEST_SKIP() << "no carry-less multiplication on this processor";
    EXPECT_EQ(0x0376E6E7u, Crc32Clmul(check, sizeof check));
    std::mt19937 random(11);
    Bytes data(4096 + 16);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    for (size_t n = 0; n <= 4096; n += 1 + random() % 24) {
        const uint8_t* at = data.data() + random() % 16;
        const uint32_t start = static_cast<uint32_t>(random());
        ASSERT_EQ(Crc32Slicing(at, n, start), Crc32Clmul(at, n, start)) << n;
    }
}

}  // namespace
