#include "support/full_schedule.h"

#include <string>

#include "support/arib_encoder.h"
#include "support/packetizer.h"

namespace {

constexpr int kSegmentsPerDay = 8;
constexpr uint16_t kNetwork = 0x7FE0;

const char8_t* const kTitles[] = {
    u8"ニュース７", u8"大河ドラマ「光の君へ」（１２）「思いの果て」", u8"きょうの料理　旬の野菜でつくる簡単おかず",
    u8"プロ野球　巨人×阪神　～東京ドームから中継～", u8"世界の車窓から　スイス鉄道の旅",
    u8"連続テレビ小説　第１１週「春の訪れ」", u8"ドキュメント　森の声", u8"音楽の夜　冬の名曲集",
};
const char8_t* const kTexts[] = {
    u8"全国各地の天気と週間予報をお伝えします。台風第５号の最新情報、大雨・洪水警報についても詳しく解説。",
    u8"灯台守の娘が見つけた古い手紙の秘密とは。港町に伝わる言い伝えをたどる旅が始まる。",
    u8"冬野菜たっぷりのけんちん汁と白和え。旬の食材を使った簡単な一品を紹介します。",
};
const char8_t* const kCast = u8"【出演】山田太郎，鈴木花子，佐藤一郎ほか【語り】田中美咲";

// ARIB text is encoded once per distinct string; the schedule reuses it.
struct Texts {
    std::vector<Bytes> titles, texts;
    Bytes cast, castItem, storyItem, provider, network;
    Texts()
    {
        for (const char8_t* t : kTitles) titles.push_back(EncodeArib(t));
        for (const char8_t* t : kTexts) texts.push_back(EncodeArib(t));
        cast = EncodeArib(kCast);
        castItem = EncodeArib(u8"出演者");
        storyItem = EncodeArib(u8"番組内容");
        provider = EncodeArib(u8"ルマーラ放送網");
        network = EncodeArib(u8"ルマーラ");
    }
};

uint16_t ServiceId(int s) { return static_cast<uint16_t>(0x0400 + (s / 3) * 8 + s % 3); }

Bytes Descriptors(const Texts& t, int index, bool extended)
{
    if (extended)
        return ExtendedEventDescriptor(0, 0, {{t.castItem, t.cast}, {t.storyItem, t.texts[size_t(index) % 3]}});
    Bytes d = ShortEventDescriptor(t.titles[size_t(index) % 8], t.texts[size_t(index) % 3]);
    AppendBytes(d, ComponentDescriptor(index % 3 == 0 ? 0x01 : 0xB3));
    AppendBytes(d, AudioComponentDescriptor(0x03));
    AppendBytes(d, ContentDescriptor(static_cast<uint8_t>(index % 12)));
    return d;
}

// One section per three-hour segment: three one-hour or four 45-minute programmes.
EitSection Segment(uint16_t serviceId, int day, int segment, int version)
{
    const int slot = day * 64 + segment * 8;
    EitSection eit;
    eit.tableId = static_cast<uint8_t>(slot < 256 ? 0x50 : 0x51);
    eit.serviceId = serviceId;
    eit.version = static_cast<uint8_t>(version);
    eit.sectionNumber = static_cast<uint8_t>(slot % 256);
    eit.lastSectionNumber = 0xF8;
    eit.segmentLastSectionNumber = eit.sectionNumber;
    eit.originalNetworkId = kNetwork;
    eit.transportStreamId = kNetwork;
    const int events = 3 + (serviceId + segment) % 2;
    const int minutes = 180 / events;
    for (int e = 0; e < events; ++e) {
        const int start = segment * 180 + e * minutes;
        BroadcastTime at{kFullScheduleClock.year, kFullScheduleClock.month, kFullScheduleClock.day + day, start / 60,
                         start % 60, 0};
        eit.events.push_back({static_cast<uint16_t>(slot * 4 + e), at, minutes * 60, 0, {}});
    }
    return eit;
}

void AddService(FullSchedule& out, const Texts& t, int s, int version)
{
    const uint16_t id = ServiceId(s);
    for (int day = 0; day < kFullScheduleDays; ++day)
        for (int segment = 0; segment < kSegmentsPerDay; ++segment)
            for (bool extended : {false, true}) {
                EitSection eit = Segment(id, day, segment, version);
                if (extended) eit.tableId = static_cast<uint8_t>(eit.tableId + 8);
                for (size_t e = 0; e < eit.events.size(); ++e)
                    eit.events[e].descriptors = Descriptors(t, eit.sectionNumber + static_cast<int>(e), extended);
                out.eit.push_back(MakeEit(eit));
            }
    // Present/following: the evening's programmes of the first day.
    for (int n = 0; n < 2; ++n) {
        EitSection pf = Segment(id, 0, 6, version);
        pf.tableId = 0x4E;
        pf.sectionNumber = static_cast<uint8_t>(n);
        pf.lastSectionNumber = 1;
        pf.segmentLastSectionNumber = 1;
        pf.events = {pf.events[size_t(n)]};
        pf.events[0].descriptors = Descriptors(t, n, false);
        out.eit.push_back(MakeEit(pf));
    }
}

}  // namespace

FullSchedule MakeFullSchedule(int version)
{
    static const Texts texts;
    FullSchedule out;
    std::vector<SingleStreamService> services;
    for (int s = 0; s < kFullScheduleServices; ++s) {
        AddService(out, texts, s, version);
        services.push_back({ServiceId(s), EncodeArib("LUMARA " + std::to_string(s))});
    }
    SingleStreamTables tables = MakeSingleStreamTables(kNetwork, texts.network, texts.provider, services);
    out.sdt = std::move(tables.sdt);
    out.nit = std::move(tables.nit);
    for (const Bytes& b : out.eit) out.sectionBytes += b.size();
    out.sectionBytes += out.sdt.size() + out.nit.size();
    return out;
}

Bytes MakeFullScheduleStream(const FullSchedule& schedule, int cycles)
{
    Packetizer nit(0x0010), sdt(0x0011), eit(0x0012);
    Bytes stream = MakeTotPacket(kFullScheduleClock);
    for (int c = 0; c < cycles; ++c) {
        AppendBytes(stream, nit.Packetize(schedule.nit));
        AppendBytes(stream, sdt.Packetize(schedule.sdt));
        AppendBytes(stream, eit.Packetize(schedule.eit));
    }
    return stream;
}
