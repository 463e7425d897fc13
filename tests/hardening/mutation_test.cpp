// Ten thousand damaged copies of the real captures and the sample stream through the intake
// and every reader of the store: bit flips, cuts, duplicated and dropped packets, continuity
// jumps. Nothing may crash, and every EIT section whose packets came through untouched is
// still stored. Every tenth copy's cache file is damaged too and loaded back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "aribtext/arib_decoder.h"
#include "hardening/hardening_support.h"
#include "settings/profile.h"
#include "store/data_file.h"
#include "store/event_entry.h"
#include "support/ts_section_extractor.h"
#include "broadcast/broadcast_time.h"
#include "ui/list/build_rows.h"
#include "ui/list/list_items.h"
#include "ui/list/service_settings.h"
#include "support/default_profile.h"

namespace {

constexpr int kCopies = 10000;

struct Packet {
    int origin = -1;       // index in the capture
    bool touched = false;  // changed, inserted or cut
    Bytes bytes;
};

int PidOf(const Bytes& p) { return p.size() == 188 ? (p[1] & 0x1F) << 8 | p[2] : -1; }

// An EIT section the undamaged capture leaves in the store, with the packets of its PID that
// carry it: from the last unit start before its end, so that nothing before them matters.
struct StoredSection {
    Bytes bytes;
    std::vector<int> chain;
};

struct Capture {
    std::string name;
    BroadcastTime clock;  // a TOT fed first, so the EIT is read from the first packet
    std::vector<Bytes> packets;
    std::vector<StoredSection> stored;
};

std::set<Bytes> StoredSections(const StreamParser& parser)
{
    std::set<Bytes> all;
    auto add = [&](const SectionSlot& slot) {
        if (slot.data) all.emplace(slot.data, slot.data + slot.length);
    };
    for (const ServiceEntry* s : parser.store.services) {
        if (!s) break;
        for (const SectionSlot& slot : s->schedule) add(slot);
        for (const SectionSlot& slot : s->scheduleExtended) add(slot);
        for (const SectionSlot& slot : s->presentFollowing) add(slot);
    }
    return all;
}

void FeedClock(StreamParser& parser, const BroadcastTime& clock)
{
    const Bytes tot = MakeTotPacket(clock);
    TakePackets(parser, tot.data(), tot.size());
}

struct Tapped {
    int packet = 0;
    std::vector<std::pair<int, Bytes>> sections;  // packet index at completion, bytes
};

void Tap(void* context, int pid, const uint8_t* section, int length)
{
    auto* tapped = static_cast<Tapped*>(context);
    if (pid == kPidEit) tapped->sections.emplace_back(tapped->packet, Bytes(section, section + length));
}

// Feeds the undamaged capture packet by packet and keeps, for every section it finally
// stores, the last time it was carried.
void FindStoredSections(Capture& capture)
{
    StreamParser parser;
    Tapped tapped;
    parser.sectionTap = &Tap;
    parser.sectionTapContext = &tapped;
    FeedClock(parser, capture.clock);
    for (size_t i = 0; i < capture.packets.size(); ++i) {
        tapped.packet = static_cast<int>(i);
        TakePackets(parser, capture.packets[i].data(), capture.packets[i].size());
    }
    const std::set<Bytes> final = StoredSections(parser);
    std::set<Bytes> done;
    for (auto it = tapped.sections.rbegin(); it != tapped.sections.rend(); ++it) {
        if (!final.count(it->second) || !done.insert(it->second).second) continue;
        const int last = it->first;
        int first = last;
        for (int i = last - 1; i >= 0; --i) {
            const Bytes& p = capture.packets[i];
            if (PidOf(p) != kPidEit) continue;
            first = i;
            if (p[1] & 0x40) break;
        }
        StoredSection s{it->second, {}};
        for (int i = first; i <= last; ++i)
            if (PidOf(capture.packets[i]) == kPidEit) s.chain.push_back(i);
        capture.stored.push_back(s);
    }
}

Capture FromStream(const std::string& name, BroadcastTime clock, const Bytes& stream)
{
    Capture c{name, clock, {}, {}};
    for (size_t p = 0; p + 188 <= stream.size(); p += 188)
        c.packets.emplace_back(stream.begin() + static_cast<long>(p), stream.begin() + static_cast<long>(p + 188));
    FindStoredSections(c);
    return c;
}

// The real terrestrial sections packetised on the PIDs of their tables.
Bytes PacketizedSections(const Bytes& all)
{
    Packetizer nit(kPidNit), sdt(kPidSdt), eit(kPidEit);
    Bytes stream;
    for (size_t p = 0; p + 3 <= all.size();) {
        const size_t length = 3 + ((all[p + 1] & 0x0F) << 8 | all[p + 2]);
        if (p + length > all.size()) break;
        const Bytes section(all.begin() + static_cast<long>(p), all.begin() + static_cast<long>(p + length));
        if (section[0] == 0x40) AppendBytes(stream, nit.Packetize(section));
        if (section[0] == 0x42) AppendBytes(stream, sdt.Packetize(section));
        if (section[0] >= 0x4E && section[0] <= 0x6F) AppendBytes(stream, eit.Packetize(section));
        p += length;
    }
    return stream;
}

std::vector<Capture> Captures()
{
    const std::string dir = LUMARA_REALDATA_DIR;
    SampleStreamOptions options;
    options.start = {2026, 12, 7, 21, 0, 0};
    options.seconds = 40;
    options.scheduleDays = 1;
    options.nullPacketsPerPsi = 1;
    std::vector<Capture> captures;
    captures.push_back(FromStream("sample", {2026, 12, 7, 21, 0, 0}, MakeSampleStream(options)));
    captures.push_back(FromStream("test-101", {2020, 5, 10, 20, 0, 0}, ReadFileBytes(dir + "/test-101.ts")));
    captures.push_back(FromStream("test-062", {2020, 4, 5, 12, 0, 0}, PacketizedSections(ReadFileBytes(dir + "/test-062.tstables.bin"))));
    captures.push_back(FromStream("test-186.1", {2025, 4, 4, 12, 0, 0}, ReadFileBytes(dir + "/test-186.1.ts")));
    captures.push_back(FromStream("test-181", {2025, 4, 4, 12, 0, 0}, ReadFileBytes(dir + "/test-181.ts")));
    return captures;
}

// A packet to damage: mostly one of the service-information PIDs.
size_t PickPacket(const std::vector<Packet>& packets, std::mt19937& random)
{
    for (int tries = 0; tries < 8 && random() % 4 != 0; ++tries) {
        const size_t i = random() % packets.size();
        const int pid = PidOf(packets[i].bytes);
        if (pid >= kPidNit && pid <= kPidTot) return i;
    }
    return random() % packets.size();
}

void Damage(std::vector<Packet>& packets, std::mt19937& random)
{
    const int operations = 1 + static_cast<int>(random() % 4);
    for (int op = 0; op < operations && !packets.empty(); ++op) {
        const size_t i = PickPacket(packets, random);
        Packet& p = packets[i];
        if (p.bytes.empty()) continue;  // what is left of a cut
        switch (random() % 5) {
        case 0:  // bit flip
            p.bytes[random() % p.bytes.size()] ^= static_cast<uint8_t>(1u << random() % 8);
            p.touched = true;
            break;
        case 1: {  // cut, inside a packet
            p.bytes.resize(random() % p.bytes.size());
            p.touched = true;
            packets.resize(i + 1);
            break;
        }
        case 2: {  // duplicated packet
            Packet copy = p;
            copy.touched = true;
            packets.insert(packets.begin() + static_cast<long>(i) + 1, copy);
            break;
        }
        case 3: packets.erase(packets.begin() + static_cast<long>(i)); break;
        default:  // continuity jump
            if (p.bytes.size() > 3) p.bytes[3] = static_cast<uint8_t>((p.bytes[3] & 0xF0) | ((p.bytes[3] + 1 + random() % 15) & 0x0F));
            p.touched = true;
            break;
        }
    }
}

// The section's packets arrived, unchanged and in a row on its PID.
bool Untouched(const StoredSection& section, const std::vector<Packet>& packets)
{
    std::vector<const Packet*> onPid;
    for (const Packet& p : packets)
        if (PidOf(p.bytes) == kPidEit) onPid.push_back(&p);
    for (size_t k = 0; k < onPid.size(); ++k) {
        if (onPid[k]->origin != section.chain[0] || onPid[k]->touched) continue;
        if (k + section.chain.size() > onPid.size()) return false;
        for (size_t m = 0; m < section.chain.size(); ++m)
            if (onPid[k + m]->origin != section.chain[m] || onPid[k + m]->touched) return false;
        return true;
    }
    return false;
}

// The window's readers: rows, list items, event texts, then the change detection.
void ReadEverything(StreamParser& parser, ChangeLog& log)
{
    DefaultProfile settings;
    RowTable rows = {};
    BuildRows(rows, parser.store, ReadServiceSettings(settings, parser.store), log, parser.totTime);
    DecideListItems(rows, 0);
    ClearRows(rows);
    char text[512];
    for (const ServiceEntry* s : parser.store.services) {
        if (!s) break;
        for (const SectionSlot& slot : s->schedule) {
            EventCursor cursor(slot);
            EventEntry event;
            while (cursor.Next(event)) {
                ByteReader loop = event.Descriptors();
                Descriptor d;
                while (NextDescriptor(loop, d)) DecodeAribText(d.body, d.length, text, sizeof text);
            }
        }
    }
    DetectScheduleChanges(parser.store, log, nullptr);
}

// Records of a cache image written by our own save (version 01): the end offset of each.
std::vector<size_t> RecordEnds(const Bytes& image)
{
    std::vector<size_t> ends;
    size_t at = kEventCacheHeaderBytes;
    while (at < image.size()) {
        at += kCacheFixedFieldBytes;
        for (int b = 0; b < 2 * kScheduleSlots + 2; ++b) at += kCacheSlotBlockHeader + (image[at + 2] | image[at + 3] << 8);
        ends.push_back(at);
    }
    return ends;
}

// The cache of the damaged store, itself damaged at one byte: the records before that byte
// load as saved.
void DamageCache(const StreamParser& parser, std::mt19937& random, const std::string& path)
{
    Bytes image = CacheImage(parser);
    ASSERT_TRUE(WriteDataFile(path.c_str(), image.data(), image.size()));
    StreamParser reference;
    ASSERT_TRUE(LoadEventCache(reference.store, path.c_str()));
    const Bytes clean = CacheImage(reference);
    const std::vector<size_t> ends = RecordEnds(clean);
    const size_t at = random() % (clean.size() + 1);
    Bytes damaged = clean;
    if (random() % 2 && at < damaged.size())
        damaged[at] ^= static_cast<uint8_t>(1u << random() % 8);
    else
        damaged.resize(at);
    ASSERT_TRUE(WriteDataFile(path.c_str(), damaged.data(), damaged.size()));
    StreamParser loaded;
    LoadEventCache(loaded.store, path.c_str());
    ChangeLog log;
    ReadEverything(loaded, log);
    const size_t whole = static_cast<size_t>(std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= at; }));
    if (at < kEventCacheHeaderBytes) return;
    ASSERT_GE(static_cast<size_t>(loaded.store.serviceCount), whole);
    const Bytes loadedImage = CacheImage(loaded);
    const size_t prefix = whole ? ends[whole - 1] : kEventCacheHeaderBytes;
    ASSERT_GE(loadedImage.size(), prefix);
    EXPECT_TRUE(std::equal(clean.begin(), clean.begin() + static_cast<long>(prefix), loadedImage.begin()));
}

TEST(MutationTest, DamagedCopiesKeepEveryUntouchedSection)
{
    PinJapanTime();
    const std::vector<Capture> captures = Captures();
    size_t candidates = 0, checked = 0;
    for (const Capture& c : captures) candidates += c.stored.size();
    ASSERT_GT(candidates, 20u);
    const std::string cachePath = "hardening_mutation.dat";
    for (int copy = 0; copy < kCopies; ++copy) {
        std::mt19937 random(static_cast<unsigned>(copy));
        const Capture& capture = captures[copy % captures.size()];
        std::vector<Packet> packets;
        for (size_t i = 0; i < capture.packets.size(); ++i) packets.push_back({static_cast<int>(i), false, capture.packets[i]});
        Damage(packets, random);
        Bytes stream;
        for (const Packet& p : packets) AppendBytes(stream, p.bytes);

        auto parser = std::make_unique<StreamParser>();
        FeedClock(*parser, capture.clock);
        TakePackets(*parser, stream.data(), stream.size());
        ChangeLog log;
        ReadEverything(*parser, log);

        const std::set<Bytes> stored = StoredSections(*parser);
        for (const StoredSection& section : capture.stored) {
            if (!Untouched(section, packets)) continue;
            ++checked;
            ASSERT_TRUE(stored.count(section.bytes)) << capture.name << " copy " << copy << ": an untouched section of "
                                                     << section.bytes.size() << " bytes is missing";
        }
        if (copy % 10 == 0) {
            SCOPED_TRACE(capture.name + " copy " + std::to_string(copy));
            DamageCache(*parser, random, cachePath);
            if (HasFatalFailure()) return;
        }
    }
    std::remove(cachePath.c_str());
    std::remove((cachePath + ".tmp").c_str());
    // Most copies leave most sections untouched: the check is not vacuous.
    EXPECT_GT(checked, candidates * kCopies / captures.size() / 2);
    RecordProperty("untouchedSectionsChecked", static_cast<int>(checked));
}

}  // namespace
