// What a receiver that follows the rules of the programme list must show, computed from the
// sections it was given: the rows (now and next per service, as the list's texts) and the
// schedule changes its log must hold. It keeps, per service, the programmes of each schedule
// segment it holds and of the last present section, moves its schedule at the broadcaster's
// day change and compares each new version of a segment with the one compared last.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "soak_broadcast.h"

struct ExpectedSide {
    ClockSeconds start = 0, end = 0;
    uint8_t video = 0, audio = 0, genre = 0;
    Bytes name;  // ARIB bytes, at most 100
    bool operator==(const ExpectedSide&) const = default;
};
struct ExpectedRecord {
    uint16_t serviceId = 0;
    ExpectedSide before, after;
    bool operator==(const ExpectedRecord&) const = default;
};
using RowTexts = std::array<std::string, 3>;  // Shift-JIS, as the list shows them

class SoakTruth {
public:
    // Names (UTF-8) the receiver learns from the service tables.
    void Name(uint16_t serviceId, const std::string& serviceName, const std::string& tsName);
    // A section handed to the receiver intact.
    void Take(const SoakSection& section);

    std::vector<RowTexts> Rows(ClockSeconds now) const;
    const std::vector<ExpectedRecord>& Records() const { return m_records; }
    int DayChanges() const { return m_dayChanges; }
    // Empty while the model can follow the receiver; else what it could not follow.
    const std::string& Problem() const { return m_problem; }

private:
    struct Held {
        uint8_t version = 0;
        Programmes events;
    };
    struct Service {
        std::map<int64_t, Held> basic;          // by segment
        std::map<int64_t, Programmes> compared;  // the version compared last, by segment
        Programmes present;
        bool hasPresent = false;
        std::string name, tsName;
    };

    void ChangeDay();
    void TakeSchedule(Service& service, const SoakSection& section);
    void Compare(uint16_t serviceId, const Programmes& before, const Programmes& after);
    RowTexts Row(const Service& service, ClockSeconds now, bool& listed) const;

    std::map<uint16_t, Service> m_services;
    int64_t m_day = -1;  // the day of the first schedule slot
    std::vector<ExpectedRecord> m_records;
    int m_dayChanges = 0;
    std::string m_problem;
};
