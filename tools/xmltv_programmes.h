// A store's programme data as XMLTV sees it: one channel per service with programmes,
// named by a stable id, and its programmes once each, in start order, none overlapping the
// next. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "event_details.h"

struct ProgrammeStore;

constexpr int64_t kNoStop = -1;

struct XmltvProgramme {
    int64_t start = 0;  // broadcast seconds: MJD * 86400 + time of day, Japan time
    int64_t stop = kNoStop;
    uint16_t eventId = 0;
    std::string title;
    std::string desc;  // the short text, then the extended description's items
    int genre = -1;
    int videoComponent = -1;
};

struct XmltvChannel {
    std::string id;
    std::string name;
    std::vector<XmltvProgramme> programmes;
};

// "<service_id>.<original_network_id>.isdb", decimal: unique across networks, and the same
// in every file written for the service.
std::string XmltvChannelId(uint16_t serviceId, uint16_t originalNetworkId);

// "YYYYMMDDhhmmss +0900".
std::string XmltvTime(int64_t broadcastSeconds);

// A duration of all ones bits (FF FF FF) is undefined: the end is not yet known.
bool DurationUndefined(const uint8_t* times);

// Start order; of programmes with the same start the first stays; a programme that runs
// into the next ends where the next starts.
void TidyProgrammes(std::vector<XmltvProgramme>& programmes);

// An event in both the present/following and the schedule sections is taken from the
// present/following ones, the more recent word on it.
std::vector<XmltvChannel> CollectXmltv(const ProgrammeStore& store);

// Title and text of one programme's description, and items, joined as one UTF-8 text.
std::string JoinDescription(const EventDetails& details);
