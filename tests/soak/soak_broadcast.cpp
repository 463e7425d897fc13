#include "soak_broadcast.h"

#include <algorithm>

#include "support/arib_encoder.h"
#include "ts/stream_parser.h"

namespace {

constexpr ClockSeconds kMinute = 60;
constexpr ClockSeconds kCycleSeconds = 15 * kMinute;  // the whole schedule carousel
constexpr int kSegmentsPerDay = 8;
constexpr int kScheduleDays = 8;
constexpr int kPresentFollowingEverySeconds = 20;
constexpr int kServiceTablesEverySeconds = 10;
constexpr int kLiveMinutes = 120;
constexpr int kOverrunNoticeMinutes = 100;  // the broadcaster announces the overrun
constexpr int kOverrunMinutes = 25;
constexpr int kShortestMinutes = 15;

const char8_t* const kTitles[] = {
    u8"朝のニュース", u8"天気予報", u8"きょうの料理", u8"連続ドラマ「港の灯」", u8"歴史散歩", u8"こども劇場",
    u8"音楽の夜", u8"映画「星の海」", u8"ドキュメント　森の声", u8"旅の情景", u8"夕方ニュース", u8"科学の扉",
    u8"将棋の時間", u8"世界の車窓", u8"深夜の討論", u8"名作劇場",
};
constexpr int kTitleCount = sizeof kTitles / sizeof kTitles[0];
const char8_t* const kLiveTitle = u8"スポーツ中継　高校ラグビー決勝";
const int kDurations[] = {30, 45, 60, 60, 60, 90, 120};

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Full-width digits, as the broadcaster writes episode numbers.
std::string FullWidth(int number)
{
    std::string out;
    for (char c : std::to_string(number)) out += std::string("\xEF\xBC") + static_cast<char>(0x90 + (c - '0'));
    return out;
}

const Bytes& Encoded(const std::string& utf8)
{
    static std::map<std::string, Bytes> cache;
    auto found = cache.find(utf8);
    if (found == cache.end()) found = cache.emplace(utf8, EncodeArib(utf8)).first;
    return found->second;
}

Bytes BasicDescriptors(const SoakProgramme& p)
{
    Bytes d = ShortEventDescriptor(Encoded(p.title), Encoded("\xE7\x95\xAA\xE7\xB5\x84\xE3\x81\xAE\xE5\x86\x85\xE5\xAE\xB9"));
    AppendBytes(d, ComponentDescriptor(p.video));
    AppendBytes(d, AudioComponentDescriptor(0x03));
    AppendBytes(d, ContentDescriptor(p.genre));
    return d;
}

Bytes ExtendedDescriptors(const SoakProgramme& p)
{
    return ExtendedEventDescriptor(0, 0, {{Encoded(reinterpret_cast<const char*>(u8"出演者")), Encoded(p.title)}});
}

EitEvent ToEvent(const SoakProgramme& p, Bytes descriptors)
{
    return {.eventId = p.eventId, .start = FromClock(p.start), .durationSeconds = p.duration,
            .descriptors = std::move(descriptors)};
}

}  // namespace

ClockSeconds ToClock(const BroadcastTime& t)
{
    // Days from the civil date (proleptic Gregorian), then the time of day.
    const int y = t.year - (t.month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = static_cast<int64_t>(era) * 146097 + doe - 719468;
    return days * kDaySeconds + t.hour * 3600 + t.minute * 60 + t.second;
}

BroadcastTime FromClock(ClockSeconds seconds)
{
    const int64_t days = FloorDiv(seconds, kDaySeconds);
    const int64_t rest = seconds - days * kDaySeconds;
    const int64_t z = days + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2));
    return {year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60)};
}

SoakMultiplex::SoakMultiplex(SoakMultiplexPlan plan) : m_plan(std::move(plan)), m_dice(m_plan.seed)
{
    m_now = m_plan.start;
    m_services.resize(m_plan.services.size());
    Plan();
}

std::vector<uint16_t> SoakMultiplex::ServiceIds() const
{
    std::vector<uint16_t> ids;
    for (const SoakServicePlan& s : m_plan.services) ids.push_back(s.serviceId);
    return ids;
}

bool SoakMultiplex::OnAir(size_t service, ClockSeconds t) const
{
    return static_cast<int>(service) != m_plan.offAirService || t < m_plan.offAirFrom || t >= m_plan.offAirUntil;
}

SoakProgramme SoakMultiplex::NewProgramme(Service& service, ClockSeconds start, int duration, std::mt19937& dice)
{
    SoakProgramme p;
    p.eventId = service.nextEventId++;
    p.start = start;
    p.duration = duration;
    const int title = static_cast<int>(dice() % kTitleCount);
    p.title = reinterpret_cast<const char*>(kTitles[title]);
    if (dice() % 2) p.title += reinterpret_cast<const char*>(u8"　第") + FullWidth(1 + static_cast<int>(dice() % 40)) +
                               reinterpret_cast<const char*>(u8"回");
    p.genre = static_cast<uint8_t>(title % 10);
    p.video = dice() % 4 ? 0xB3 : 0x01;
    return p;
}

// Programmes back to back from the midnight before the first day to nine days after the
// last, five-minute aligned; nothing in the off-air interval; the live programme planned for
// two hours with an hour after it.
void SoakMultiplex::PlanService(Service& service, size_t index, std::mt19937& dice)
{
    const ClockSeconds first = (FloorDiv(m_plan.start, kDaySeconds) - 1) * kDaySeconds;
    const ClockSeconds last = first + (m_plan.days + kScheduleDays + 2) * kDaySeconds;
    const bool offAir = static_cast<int>(index) == m_plan.offAirService;
    const bool live = static_cast<int>(index) == m_plan.overrunService;
    ClockSeconds t = first;
    while (t < last) {
        int duration = static_cast<int>(kDurations[dice() % (sizeof kDurations / sizeof kDurations[0])] * kMinute);
        if (live && t == m_plan.overrunStart) {
            SoakProgramme p = NewProgramme(service, t, kLiveMinutes * kMinute, dice);
            p.title = reinterpret_cast<const char*>(kLiveTitle);
            p.genre = 1;
            service.plan[t] = p;
            t += p.duration;
            duration = 60 * kMinute;
        } else if (live && t < m_plan.overrunStart && t + duration > m_plan.overrunStart) {
            duration = static_cast<int>(m_plan.overrunStart - t);
        }
        if (offAir && t < m_plan.offAirFrom && t + duration > m_plan.offAirFrom)
            duration = static_cast<int>(m_plan.offAirFrom - t);
        if (offAir && t >= m_plan.offAirFrom && t < m_plan.offAirUntil) {
            t = m_plan.offAirUntil;
            continue;
        }
        service.plan[t] = NewProgramme(service, t, duration, dice);
        t += duration;
    }
}

void SoakMultiplex::Plan()
{
    std::mt19937 dice(m_plan.seed * 7919u + 1);
    for (size_t i = 0; i < m_services.size(); ++i) {
        PlanService(m_services[i], i, dice);
        m_services[i].pfVersion = static_cast<uint8_t>(dice() % 32);
    }
    // Revisions at five past chosen hours, away from midnight and from the small hours when
    // viewers restart; one multiplex revises at its own hours.
    static const int kHours[] = {6, 8, 11, 13, 16, 18, 20, 22};
    const int64_t firstDay = FloorDiv(m_plan.start, kDaySeconds);
    for (int d = 0; d < m_plan.days; ++d)
        for (int r = 0; r < m_plan.revisionsPerDay && r < 8; ++r) {
            const int hour = kHours[(r * 2 + (m_plan.seed % 2)) % 8];
            m_revisionTimes.push_back((firstDay + d) * kDaySeconds + hour * 3600 + 5 * kMinute);
        }
    if (m_plan.overrunService >= 0) {
        m_revisionTimes.push_back(m_plan.overrunStart + kOverrunNoticeMinutes * kMinute);
        m_revisionTimes.push_back(m_plan.overrunStart + (kLiveMinutes + kOverrunMinutes) * kMinute);
    }
    std::sort(m_revisionTimes.begin(), m_revisionTimes.end());
    for (int d = 0; d < m_plan.days; ++d)
        for (int k = 0; k < m_plan.damagedPerDay; ++k)
            m_damageTimes.push_back((firstDay + d) * kDaySeconds + static_cast<ClockSeconds>(dice() % kDaySeconds));
    std::sort(m_damageTimes.begin(), m_damageTimes.end(), std::greater<>());
}

Programmes SoakMultiplex::SegmentEvents(const Service& service, int64_t segment) const
{
    Programmes events;
    const ClockSeconds from = segment * kSegmentSeconds;
    for (auto it = service.plan.lower_bound(from); it != service.plan.end() && it->first < from + kSegmentSeconds; ++it)
        events.push_back(it->second);
    return events;
}

// A new version of the segment that holds a programme starting at `start`.
void SoakMultiplex::Touch(Service& service, ClockSeconds start)
{
    Segment& segment = service.segments[FloorDiv(start, kSegmentSeconds)];
    segment.version = static_cast<uint8_t>((segment.version + 1) % 32);
    segment.builtDay = -1;
}

void SoakMultiplex::Revise(ClockSeconds at)
{
    if (m_plan.overrunService >= 0) {
        const ClockSeconds notice = m_plan.overrunStart + kOverrunNoticeMinutes * kMinute;
        const ClockSeconds end = m_plan.overrunStart + (kLiveMinutes + kOverrunMinutes) * kMinute;
        if (at == notice || at == end) return Overrun(at, at == end);
    }
    std::vector<size_t> candidates;
    for (size_t i = 0; i < m_services.size(); ++i)
        if (static_cast<int>(i) != m_plan.offAirService && static_cast<int>(i) != m_plan.overrunService)
            candidates.push_back(i);
    if (!candidates.empty()) ReviseOne(candidates[m_dice() % candidates.size()], at);
}

// One change to a programme between two hours and three days ahead; the schedule stays
// without gaps.
void SoakMultiplex::ReviseOne(size_t index, ClockSeconds at)
{
    Service& service = m_services[index];
    const ClockSeconds from = at + 2 * 3600 + static_cast<ClockSeconds>(m_dice() % (3 * kDaySeconds));
    auto p = service.plan.lower_bound(from);
    if (p == service.plan.end() || std::next(p) == service.plan.end()) return;
    auto q = std::next(p);
    SoakRevision revision{at, m_plan.services[index].serviceId, ""};
    const int kind = static_cast<int>(m_dice() % 5);
    if (kind == 0) {
        revision.what = "retitled";
        p->second.title = reinterpret_cast<const char*>(u8"【特集】") + p->second.title;
        Touch(service, p->first);
    } else if (kind == 1) {
        revision.what = "moved";
        const int shift = static_cast<int>((m_dice() % 2 ? 1 : -1) * (5 + 5 * (m_dice() % 3)) * kMinute);
        if (p->second.duration + shift < kShortestMinutes * kMinute || q->second.duration - shift < kShortestMinutes * kMinute)
            return;
        SoakProgramme moved = q->second;
        Touch(service, moved.start);
        service.plan.erase(q);
        p->second.duration += shift;
        moved.start += shift;
        moved.duration -= shift;
        service.plan[moved.start] = moved;
        Touch(service, moved.start);
    } else if (kind == 2) {
        revision.what = "added";
        if (p->second.duration < 60 * kMinute) return;
        const int first = p->second.duration / 2 / 300 * 300;
        std::mt19937 names(m_dice());
        SoakProgramme added = NewProgramme(service, p->first + first, p->second.duration - first, names);
        p->second.duration = first;
        service.plan[added.start] = added;
        Touch(service, p->first);
        Touch(service, added.start);
    } else if (kind == 3) {
        revision.what = "dropped";
        p->second.duration += q->second.duration;
        Touch(service, q->first);
        service.plan.erase(q);
        Touch(service, p->first);
    } else {
        revision.what = "new version";
        Touch(service, p->first);
    }
    m_revisions.push_back(revision);
}

// The live programme runs on: its end becomes unknown, then the real end is known and the
// programme after it starts late.
void SoakMultiplex::Overrun(ClockSeconds at, bool ended)
{
    Service& service = m_services[static_cast<size_t>(m_plan.overrunService)];
    auto live = service.plan.find(m_plan.overrunStart);
    if (live == service.plan.end()) return;
    if (!ended) {
        live->second.duration = kUndefinedDuration;
        Touch(service, live->first);
    } else {
        const int overrun = kOverrunMinutes * kMinute;
        live->second.duration = (kLiveMinutes + kOverrunMinutes) * kMinute;
        Touch(service, live->first);
        auto next = service.plan.find(m_plan.overrunStart + kLiveMinutes * kMinute);
        if (next != service.plan.end()) {
            SoakProgramme moved = next->second;
            service.plan.erase(next);
            moved.start += overrun;
            moved.duration -= overrun;
            service.plan[moved.start] = moved;
            Touch(service, moved.start);
        }
    }
    m_revisions.push_back({at, m_plan.services[static_cast<size_t>(m_plan.overrunService)].serviceId,
                           ended ? "ended" : "overrun"});
}

void SoakMultiplex::Play(ClockSeconds until, Bytes* out, const Listener& listener)
{
    while (m_now < until) {
        Second(out, listener);
        ++m_now;
    }
}

void SoakMultiplex::Second(Bytes* out, const Listener& listener)
{
    if (m_now % kCycleSeconds == 0) {
        while (!m_revisionTimes.empty() && m_revisionTimes.front() <= m_now) {
            Revise(m_revisionTimes.front());
            m_revisionTimes.erase(m_revisionTimes.begin());
        }
        m_carousel = 0;
        m_carouselDay = FloorDiv(m_now, kDaySeconds);
    }
    if (m_now % 5 == 0 && out) {
        AppendBytes(*out, MakeTotPacket(FromClock(m_now), m_totCc++));
        for (int n = 0; n < m_plan.stuffingPerPacket; ++n) AppendBytes(*out, MakeNullPacket());
    }
    if (m_now % kServiceTablesEverySeconds == 0) EmitServiceTables(out);
    for (size_t i = 0; i < m_services.size(); ++i) EmitPresentFollowing(i, out, listener);
    EmitCarouselStep(out, listener);
}

void SoakMultiplex::EmitSection(const Bytes& section, Bytes* out, bool damage)
{
    if (!out) return;
    Bytes packets = m_eit.Packetize(section);
    if (damage && packets.size() >= kPacketSize) {
        packets[4 + 1 + 20] ^= 0x5A;  // inside the section, past its header: the CRC no longer holds
        ++m_damaged;
    }
    for (size_t at = 0; at < packets.size(); at += kPacketSize) {
        out->insert(out->end(), packets.begin() + static_cast<long>(at), packets.begin() + static_cast<long>(at + kPacketSize));
        for (int n = 0; n < m_plan.stuffingPerPacket; ++n) AppendBytes(*out, MakeNullPacket());
    }
}

void SoakMultiplex::EmitServiceTables(Bytes* out)
{
    if (!out) return;
    std::vector<SingleStreamService> services;
    for (size_t i = 0; i < m_plan.services.size(); ++i)
        if (OnAir(i, m_now)) services.push_back({m_plan.services[i].serviceId, Encoded(m_plan.services[i].name)});
    const SingleStreamTables tables =
        MakeSingleStreamTables(m_plan.network, Encoded(m_plan.tsName), Encoded(m_plan.provider), services);
    for (const Bytes& packets : {m_nit.Packetize(tables.nit), m_sdt.Packetize(tables.sdt)}) {
        AppendBytes(*out, packets);
        for (size_t at = 0; at < packets.size(); at += kPacketSize)
            for (int n = 0; n < m_plan.stuffingPerPacket; ++n) AppendBytes(*out, MakeNullPacket());
    }
}

// Present and following: renewed (a new version, sent at once) when either programme
// changes, and repeated every 20 s.
void SoakMultiplex::EmitPresentFollowing(size_t index, Bytes* out, const Listener& listener)
{
    if (!OnAir(index, m_now)) return;
    Service& service = m_services[index];
    auto present = service.plan.upper_bound(m_now);
    if (present == service.plan.begin()) return;
    --present;
    if (present->second.End() <= m_now) return;
    auto following = std::next(present);
    const PresentFollowingKey key{present->second.eventId, present->second.duration,
                                  following == service.plan.end() ? 0 : following->second.eventId,
                                  following == service.plan.end() ? 0 : following->second.start};
    const bool renewed = key != service.pfKey;
    if (!renewed && m_now % kPresentFollowingEverySeconds != 0) return;
    if (renewed) {
        service.pfKey = key;
        service.pfVersion = static_cast<uint8_t>((service.pfVersion + 1) % 32);
    }
    for (int k = 0; k < 2; ++k) {
        if (k == 1 && following == service.plan.end()) break;
        const SoakProgramme& p = k == 0 ? present->second : following->second;
        EitSection pf{.tableId = 0x4E, .serviceId = m_plan.services[index].serviceId, .version = service.pfVersion,
                      .sectionNumber = static_cast<uint8_t>(k), .lastSectionNumber = 1,
                      .transportStreamId = m_plan.network, .originalNetworkId = m_plan.network};
        pf.events.push_back(ToEvent(p, BasicDescriptors(p)));
        EmitSection(MakeEit(pf), out, false);
        if (out && listener)
            listener({pf.serviceId, k == 0 ? SectionKind::Present : SectionKind::Following, 0, 0, pf.version, {p}});
    }
}

// The carousel: every on-air service's 64 segments, basic then extended, spread over the
// cycle; a segment without programmes is not sent.
void SoakMultiplex::EmitCarouselStep(Bytes* out, const Listener& listener)
{
    const size_t perService = kScheduleDays * kSegmentsPerDay * 2;
    const size_t total = m_services.size() * perService;
    const size_t target = static_cast<size_t>((m_now % kCycleSeconds + 1)) * total / kCycleSeconds;
    while (m_carousel < target) {
        const size_t index = m_carousel / perService;
        const size_t slot = m_carousel % perService / 2;
        const bool extended = m_carousel % 2;
        ++m_carousel;
        if (!OnAir(index, m_now)) continue;
        Service& service = m_services[index];
        const int64_t segmentNumber = m_carouselDay * kSegmentsPerDay + static_cast<int64_t>(slot);
        const Programmes events = SegmentEvents(service, segmentNumber);
        if (events.empty()) continue;
        Segment& segment = service.segments[segmentNumber];
        if (segment.builtDay != m_carouselDay) {
            EitSection eit{.tableId = static_cast<uint8_t>(slot < 32 ? 0x50 : 0x51),
                           .serviceId = m_plan.services[index].serviceId, .version = segment.version,
                           .sectionNumber = static_cast<uint8_t>(slot % 32 * 8), .lastSectionNumber = 0xF8,
                           .transportStreamId = m_plan.network, .originalNetworkId = m_plan.network,
                           .segmentLastSectionNumber = static_cast<uint8_t>(slot % 32 * 8)};
            EitSection ext = eit;
            ext.tableId = static_cast<uint8_t>(eit.tableId + 8);
            for (const SoakProgramme& p : events) {
                eit.events.push_back(ToEvent(p, BasicDescriptors(p)));
                ext.events.push_back(ToEvent(p, ExtendedDescriptors(p)));
            }
            segment.basic = MakeEit(eit);
            segment.extended = MakeEit(ext);
            segment.builtDay = m_carouselDay;
        }
        const bool damage = !m_damageTimes.empty() && m_damageTimes.back() <= m_now;
        if (damage) m_damageTimes.pop_back();
        EmitSection(extended ? segment.extended : segment.basic, out, damage);
        if (out && listener && !damage)
            listener({m_plan.services[index].serviceId, extended ? SectionKind::Extended : SectionKind::Basic,
                      segmentNumber, m_carouselDay, segment.version, events});
    }
}
