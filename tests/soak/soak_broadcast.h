// A week of a terrestrial multiplex as broadcasters send it, played second by second and
// deterministic from a seed: TOT every 5 s, NIT and SDT, present/following renewed at each
// programme boundary, eight days of basic and extended schedule on a carousel that restarts
// at midnight with the day's new numbering, revisions of the schedule several times a day,
// a live programme that overruns, a service off air for a while, stuffing and a few damaged
// packets. Every section it sends intact is also handed to a listener, so a model of the
// receiver can follow exactly what the receiver was given.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/packetizer.h"
#include "support/section_builder.h"

// Broadcast (Japan) wall-clock time counted in seconds since 1970-01-01 00:00 of that clock.
using ClockSeconds = int64_t;
constexpr ClockSeconds kDaySeconds = 86400;
constexpr ClockSeconds kSegmentSeconds = 3 * 3600;
// FF FF FF read as BCD digits: 165 h 165 min 165 s, what an undefined duration lasts when
// the digits are taken as they are.
constexpr ClockSeconds kUndefinedLasts = 165 * 3600 + 165 * 60 + 165;

ClockSeconds ToClock(const BroadcastTime& t);
BroadcastTime FromClock(ClockSeconds seconds);

struct SoakProgramme {
    uint16_t eventId = 0;
    ClockSeconds start = 0;
    int duration = 0;  // seconds, or kUndefinedDuration
    std::string title;  // UTF-8
    uint8_t genre = 0;
    uint8_t video = 0xB3;
    ClockSeconds End() const { return start + (duration == kUndefinedDuration ? kUndefinedLasts : duration); }
};
using Programmes = std::vector<SoakProgramme>;

enum class SectionKind { Present, Following, Basic, Extended };

// A section as the receiver gets it, in the terms a model needs.
struct SoakSection {
    uint16_t serviceId = 0;
    SectionKind kind = SectionKind::Basic;
    int64_t segment = 0;  // schedule: the three-hour segment since the clock's epoch
    int64_t day = 0;      // schedule: the day whose midnight is the table's first slot
    uint8_t version = 0;
    Programmes events;
};

struct SoakServicePlan {
    uint16_t serviceId = 0;
    std::string name;  // UTF-8
};

struct SoakMultiplexPlan {
    uint16_t network = 0x7FE0;
    int channel = 27;
    std::string tsName;
    std::string provider;
    std::vector<SoakServicePlan> services;
    uint32_t seed = 1;
    ClockSeconds start = 0;    // first second played; the schedule starts at its midnight
    int days = 7;
    int revisionsPerDay = 4;
    int offAirService = -1;    // index into services
    ClockSeconds offAirFrom = 0, offAirUntil = 0;
    int overrunService = -1;
    ClockSeconds overrunStart = 0;  // the live programme's start; it is planned for two hours
    int damagedPerDay = 3;
    int stuffingPerPacket = 1;      // null packets after each service-information packet
};

// One change a broadcaster made to its schedule.
struct SoakRevision {
    ClockSeconds at = 0;
    uint16_t serviceId = 0;
    std::string what;  // "retitled", "moved", "added", "dropped", "new version", "overrun", "ended"
};

class SoakMultiplex {
public:
    explicit SoakMultiplex(SoakMultiplexPlan plan);

    using Listener = std::function<void(const SoakSection&)>;
    // Plays the broadcast up to `until` (exclusive). Packets go to `out` when it is given;
    // without it the broadcast goes on unseen (the receiver is tuned elsewhere).
    void Play(ClockSeconds until, Bytes* out, const Listener& listener);

    ClockSeconds Now() const { return m_now; }
    const SoakMultiplexPlan& Setup() const { return m_plan; }
    const std::vector<SoakRevision>& Revisions() const { return m_revisions; }
    std::vector<uint16_t> ServiceIds() const;
    // Services on air at `t` (the SDT lists them).
    bool OnAir(size_t service, ClockSeconds t) const;
    int DamagedPackets() const { return m_damaged; }

private:
    struct Segment {
        uint8_t version = 0;
        Bytes basic, extended;  // built on demand for the numbering day `builtDay`
        int64_t builtDay = -1;
    };
    // What the present/following sections say; a change renews them.
    using PresentFollowingKey = std::tuple<uint16_t, int, uint16_t, ClockSeconds>;
    struct Service {
        std::map<ClockSeconds, SoakProgramme> plan;  // by start
        std::map<int64_t, Segment> segments;
        uint16_t nextEventId = 0x1000;
        uint8_t pfVersion = 0;
        PresentFollowingKey pfKey{};
    };

    void Plan();
    void PlanService(Service& service, size_t index, std::mt19937& dice);
    SoakProgramme NewProgramme(Service& service, ClockSeconds start, int duration, std::mt19937& dice);
    Programmes SegmentEvents(const Service& service, int64_t segment) const;
    void Touch(Service& service, ClockSeconds start);
    void Revise(ClockSeconds at);
    void ReviseOne(size_t index, ClockSeconds at);
    void Overrun(ClockSeconds at, bool ended);

    void Second(Bytes* out, const Listener& listener);
    void EmitServiceTables(Bytes* out);
    void EmitPresentFollowing(size_t index, Bytes* out, const Listener& listener);
    void EmitCarouselStep(Bytes* out, const Listener& listener);
    void EmitSection(const Bytes& section, Bytes* out, bool damage);

    SoakMultiplexPlan m_plan;
    std::vector<Service> m_services;
    std::vector<SoakRevision> m_revisions;
    std::vector<ClockSeconds> m_revisionTimes;  // pending, in order
    std::mt19937 m_dice;
    ClockSeconds m_now = 0;
    // The carousel: a position in (service, segment of the 64, basic/extended) order.
    size_t m_carousel = 0;
    int64_t m_carouselDay = -1;
    int m_damaged = 0;
    std::vector<ClockSeconds> m_damageTimes;
    Packetizer m_nit{0x0010}, m_sdt{0x0011}, m_eit{0x0012};
    int m_totCc = 0;
    std::vector<bool> m_onAirListed;
};
