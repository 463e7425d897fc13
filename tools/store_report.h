// What lumara-inspect reports about a parser's store: the clock, the services with their
// names and the events of their stored sections, names and texts decoded to UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StreamParser;

struct InspectEvent {
    std::string start;  // "YYYY-MM-DDTHH:MM:SS", local broadcast time
    std::string end;
    int duration = 0;  // seconds
    std::string title;
    std::string text;
    int tableId = 0;
    int sectionNumber = 0;
};

struct InspectService {
    unsigned serviceId = 0;
    unsigned channel = 0;
    unsigned remoteKeyId = 0;
    std::string providerName;
    std::string serviceName;
    std::string tsName;
    int presentFollowingSections = 0;
    int basicSections = 0;
    int extendedSections = 0;
    std::vector<InspectEvent> events;
};

struct InspectReport {
    std::string tot;  // empty when no TOT was seen
    int64_t scheduleBase = 0;
    std::vector<InspectService> services;
};

InspectReport BuildInspectReport(const StreamParser& parser);

// Raw ARIB bytes to UTF-8 through DecodeAribText.
std::string AribToUtf8(const uint8_t* raw, size_t length);

void PrintReportText(const InspectReport& report);
void PrintReportJson(const InspectReport& report, const std::string& extraFields = {});

std::string JsonString(const std::string& utf8);

// A time stamp as "YYYY-MM-DDTHH:MM:SS" local time.
std::string FormatStamp(int64_t stamp);

struct EventSnapshot;
// One side of a change record: times, types, genre and the decoded name; "(none)" or null
// for an empty side.
std::string SnapshotText(const EventSnapshot& side);
std::string SnapshotJson(const EventSnapshot& side);
