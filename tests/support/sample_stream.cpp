#include "support/sample_stream.h"

#include <algorithm>
#include <cstdint>

#include "support/arib_encoder.h"
#include "support/packetizer.h"

namespace {

struct SampleService {
    uint16_t serviceId;
    uint8_t remoteKey;
    const char8_t* name;
    int planOffset;   // hours by which the service's day plan is shifted
    bool subChannel;  // airs its main channel's programmes except every third hour
};

// A fictitious network; 0x0401 is a sub-channel of 0x0400. Names, titles and texts are
// invented.
const SampleService kServices[] = {
    {0x0400, 1, u8"ルマーラ総合", 0, false}, {0x0401, 1, u8"ルマーラ総合２", 0, true},
    {0x0408, 3, u8"みなとテレビ", 3, false}, {0x0410, 4, u8"さくら放送", 7, false},
    {0x0418, 5, u8"かわせＴＶ", 10, false},  {0x0420, 6, u8"ほしぞらテレビ", 14, false},
};
constexpr uint16_t kNetwork = 0x7FE0;

struct SampleProgramme {
    const char8_t* title;
    const char8_t* text;
    const char8_t* cast;
    uint8_t genre;  // content_nibble_level_1
};

const SampleProgramme kProgrammes[] = {
    {u8"ニュース７", u8"今日の出来事を詳しく伝えます。", u8"アナウンサー　山川花子", 0x0},
    {u8"天気予報", u8"全国と地域の天気。週末の見通し。", u8"気象予報士　森田一郎", 0x0},
    {u8"ドラマ「港の灯」第８話", u8"灯台守の娘が見つけた古い手紙の秘密とは。", u8"海野さくら、川辺大地", 0x3},
    {u8"歴史散歩～城下町を歩く～", u8"城下町に残る商家と石垣を訪ねる。", u8"案内　石田文子", 0x8},
    {u8"きょうの料理", u8"冬野菜たっぷりのけんちん汁と白和え。", u8"料理研究家　田中みどり", 0x5},
    {u8"こども劇場", u8"人形劇「森のおまつり」。", u8"声　小林ゆう", 0x7},
    {u8"音楽の夜", u8"ピアノとチェロで綴る冬の名曲集。", u8"演奏　青木トリオ", 0x4},
    {u8"スポーツ中継　高校ラグビー", u8"準々決勝第２試合。", u8"実況　大谷正", 0x1},
    {u8"映画「星の海」", u8"宇宙を旅する少年と老船長の物語。", u8"監督　北村遥", 0x6},
    {u8"ドキュメント　森の声", u8"ブナの森に暮らす生き物たちの一年。", u8"語り　白石涼子", 0x8},
    {u8"朝のニュース", u8"交通情報と天気もお伝えします。", u8"キャスター　村上聡", 0x0},
    {u8"旅の情景", u8"雪の温泉街をのんびり歩く。", u8"旅人　藤井亮", 0x8},
};

BroadcastTime AddSeconds(BroadcastTime t, long seconds)
{
    // Plain calendar arithmetic on a day count; the sample never needs zones.
    long total = t.hour * 3600L + t.minute * 60L + t.second + seconds;
    long days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    total -= days * 86400;
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    while (days > 0) {
        int mdays = kMonthDays[t.month - 1] + (t.month == 2 && t.year % 4 == 0 ? 1 : 0);
        if (++t.day > mdays) {
            t.day = 1;
            if (++t.month > 12) t.month = 1, ++t.year;
        }
        --days;
    }
    t.hour = static_cast<int>(total / 3600);
    t.minute = static_cast<int>(total / 60 % 60);
    t.second = static_cast<int>(total % 60);
    return t;
}

// Which programme of the list airs at each hour of the day.
const int kDayPlan[24] = {8, 6, 9, 11, 3, 1, 10, 10, 4, 5, 3, 1, 0, 2, 11, 5, 7, 7, 1, 0, 2, 9, 6, 8};

const SampleProgramme& ProgrammeAt(const SampleService& s, int index)
{
    const int hour = index % 24;
    const int offset = s.subChannel && hour % 3 == 0 ? 12 : s.planOffset;
    return kProgrammes[kDayPlan[(hour + offset) % 24]];
}

Bytes ProgrammeDescriptors(const SampleService& s, int index)
{
    const SampleProgramme& p = ProgrammeAt(s, index);
    AribTextEncoder title;
    title.Text(p.title);
    if (index % 4 == 1) title.Symbol(0x7A56);  // [字]
    Bytes d = ShortEventDescriptor(title.Bytes(), EncodeArib(p.text));
    AppendBytes(d, ComponentDescriptor(index % 3 == 0 ? 0x01 : 0xB3));  // 480i or 1080i
    AppendBytes(d, AudioComponentDescriptor(0x03));
    AppendBytes(d, ContentDescriptor(p.genre));
    return d;
}

Bytes ExtendedDescriptors(const SampleService& s, int index)
{
    const SampleProgramme& p = ProgrammeAt(s, index);
    return ExtendedEventDescriptor(0, 0, {{EncodeArib(u8"出演者"), EncodeArib(p.cast)},
                                          {EncodeArib(u8"番組内容"), EncodeArib(p.text)}});
}

// Programmes of one service as broadcast on the day `firstDay` days after the stream's
// first day: an hour each, aligned to the hour, from that day's midnight, so every
// three-hour segment holds three events in its first section. Programme i is the i-th hour
// since the first day's midnight, whichever day's schedule carries it.
std::vector<Bytes> ServiceSchedule(const SampleService& s, const SampleStreamOptions& o, int firstDay)
{
    std::vector<Bytes> sections;
    const BroadcastTime streamMidnight{o.start.year, o.start.month, o.start.day, 0, 0, 0};
    for (int segment = 0; segment < o.scheduleDays * 8; ++segment) {
        EitSection basic;
        basic.tableId = segment < 32 ? 0x50 : 0x51;
        basic.serviceId = s.serviceId;
        basic.version = static_cast<uint8_t>(firstDay);
        basic.sectionNumber = static_cast<uint8_t>((segment % 32) * 8);
        basic.lastSectionNumber = 0xF8;
        basic.segmentLastSectionNumber = basic.sectionNumber;
        basic.originalNetworkId = kNetwork;
        EitSection extended = basic;
        extended.tableId = static_cast<uint8_t>(basic.tableId + 8);
        for (int h = 0; h < 3; ++h) {
            int index = firstDay * 24 + segment * 3 + h;
            EitEvent e;
            e.eventId = static_cast<uint16_t>(0x1000 + index);
            e.start = AddSeconds(streamMidnight, index * 3600L);
            e.durationSeconds = 3600;
            e.descriptors = ProgrammeDescriptors(s, index);
            basic.events.push_back(e);
            EitEvent x = e;
            x.descriptors = ExtendedDescriptors(s, index);
            extended.events.push_back(x);
        }
        sections.push_back(MakeEit(basic));
        sections.push_back(MakeEit(extended));
    }
    return sections;
}

std::vector<Bytes> Schedule(const SampleStreamOptions& o, int firstDay)
{
    std::vector<Bytes> all;
    for (const SampleService& s : kServices)
        for (Bytes& section : ServiceSchedule(s, o, firstDay)) all.push_back(std::move(section));
    return all;
}

Bytes PresentFollowing(const SampleService& s, const SampleStreamOptions& o, const BroadcastTime& now, int sectionNumber)
{
    BroadcastTime hour{now.year, now.month, now.day, now.hour, 0, 0};
    EitSection pf;
    pf.tableId = 0x4E;
    pf.serviceId = s.serviceId;
    pf.sectionNumber = static_cast<uint8_t>(sectionNumber);
    pf.lastSectionNumber = 1;
    pf.originalNetworkId = kNetwork;
    EitEvent e;
    e.start = AddSeconds(hour, sectionNumber * 3600L);
    e.durationSeconds = 3600;
    int index = e.start.hour + 24 * (e.start.day != o.start.day);
    e.eventId = static_cast<uint16_t>(0x1000 + index);
    e.descriptors = ProgrammeDescriptors(s, index);
    pf.events.push_back(e);
    return MakeEit(pf);
}

struct Multiplexer {
    Packetizer nit{0x0010};
    Packetizer sdt{0x0011};
    Packetizer eit{0x0012};
};

Bytes ServiceTables(Multiplexer& mux)
{
    std::vector<SingleStreamService> services;
    for (const SampleService& s : kServices) services.push_back({s.serviceId, EncodeArib(s.name)});
    const SingleStreamTables tables =
        MakeSingleStreamTables(kNetwork, EncodeArib(u8"ルマーラ"), EncodeArib(u8"ルマーラ放送網"), services);
    Bytes out;
    AppendBytes(out, mux.nit.Packetize(tables.nit));
    AppendBytes(out, mux.sdt.Packetize(tables.sdt));
    return out;
}

}  // namespace

std::vector<Bytes> MakeSampleEitSections(const SampleStreamOptions& options) { return Schedule(options, 0); }

Bytes MakeSampleStream(const SampleStreamOptions& options)
{
    // The schedule of the first day goes out once before midnight and the next day's once
    // after it, each in equal shares over its intervals, so the stream runs through a day
    // change of the broadcaster's schedule.
    const int intervals = options.seconds / 5;
    const long untilMidnight = 86400L - (options.start.hour * 3600L + options.start.minute * 60L + options.start.second);
    const int before = static_cast<int>(std::min<long>(intervals, (untilMidnight + 4) / 5));
    std::vector<Bytes> schedules[2] = {Schedule(options, 0), Schedule(options, 1)};
    size_t next[2] = {0, 0};
    Multiplexer mux;
    Bytes stream;
    int totCC = 0;
    for (int i = 0; i < intervals; ++i) {
        const int day = i < before ? 0 : 1;
        const int share = day == 0 ? before : intervals - before;
        BroadcastTime now = AddSeconds(options.start, i * 5L);
        Bytes psi = MakeTotPacket(now, totCC++);
        AppendBytes(psi, ServiceTables(mux));
        for (const SampleService& s : kServices)
            AppendBytes(psi, mux.eit.Packetize({PresentFollowing(s, options, now, 0), PresentFollowing(s, options, now, 1)}));
        std::vector<Bytes>& schedule = schedules[day];
        const size_t count = (schedule.size() + share - 1) / static_cast<size_t>(share);
        for (size_t k = 0; k < count && next[day] < schedule.size(); ++k)
            AppendBytes(psi, mux.eit.Packetize(schedule[next[day]++]));
        // Padding after every service-information packet stands in for audio and video.
        for (size_t p = 0; p < psi.size(); p += 188) {
            stream.insert(stream.end(), psi.begin() + static_cast<long>(p), psi.begin() + static_cast<long>(p + 188));
            for (int n = 0; n < options.nullPacketsPerPsi; ++n) AppendBytes(stream, MakeNullPacket());
        }
    }
    return stream;
}
