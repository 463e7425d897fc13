// One service as the host reports it through GetServiceList. The record belongs to the
// host; the plug-in reads only the service id and treats the rest as opaque.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kHostServiceCapacity = 20;  // records the plug-in offers per call

struct HostServiceRecord {
    uint8_t head[64];
    uint32_t serviceId;  // little-endian
    uint8_t tail[1048];
};
static_assert(sizeof(HostServiceRecord) == 1116, "the host's record size");
static_assert(offsetof(HostServiceRecord, serviceId) == 64, "the host's service id offset");
