// The scan that finds a service's programme on air and those that follow: through the stored
// schedule sections in slot order to the first event that has not ended, falling back to the
// present/following section when that event lies in the future, then taking events in order.
// The rows take 2 events, the programme menu 10.
#pragma once

#include <cstdint>

#include "store/event_entry.h"
#include "store/service_entry.h"
#include "broadcast/broadcast_time.h"

constexpr int kRowScanLimit = 2;
constexpr int kMenuScanLimit = 10;

// Receives the events the scan takes, in order. Returns the number of entries made so far;
// the scan ends as soon as that reaches its limit.
class IEventTaker {
public:
    virtual int Take(const EventEntry& event, const EventTimeRange& times) = 0;

protected:
    ~IEventTaker() = default;
};

// now: the reference time; events ending at or before it are passed over while searching.
void ScanEvents(const ServiceEntry& service, int64_t now, int limit, IEventTaker& taker);
