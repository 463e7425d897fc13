#include "ui/list/stream_change.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "store/programme_store.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"

namespace {

void TraceStreamChange(int channel, int serviceId)
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return;
    Trace("%02d/%02d %02d:%02d:%02d Streamchaange(%d,%d)\r\n", local->tm_mon + 1, local->tm_mday, local->tm_hour,
          local->tm_min, local->tm_sec, channel, serviceId);
}

// A service keeps the first channel it was seen on. A full store leaves it without one.
void StampChannels(StreamParser& parser, const HostServiceRecord* records, int count, int channel)
{
    for (int i = 0; i < count; ++i) {
        const uint32_t serviceId = records[i].serviceId;
        Trace("%d:SetChannel(%d,%d)\r\n", i, static_cast<int>(serviceId), channel);
        const int position = FindOrAddService(parser.store, static_cast<uint16_t>(serviceId));
        if (position == kNoService) continue;
        ServiceEntry* entry = parser.store.services[position];
        if (entry && entry->channel == 0) entry->channel = static_cast<uint16_t>(channel);
    }
}

}  // namespace

unsigned RunStreamChange(PluginLock& lock, const StreamChangeFields& fields, ServiceListSource& host,
                         int channel, int serviceId)
{
    {
        PluginLockGuard guard(lock);
        // Without a parser the window is gone and there is nothing to do.
        if (!fields.parser) return 0;
        ResetSectionBuffers(*fields.parser);
    }
    TraceStreamChange(channel, serviceId);
    if (serviceId == kNoServiceId) return 0;

    std::memset(fields.hostServices, 0, sizeof(HostServiceRecord) * kHostServiceCapacity);
    fields.hostServiceCount = kHostServiceCapacity;
    const int listed = host.GetServiceList(fields.hostServices, &fields.hostServiceCount);
    // A count beyond the buffer (or below zero) is the host's fault; never read past it.
    fields.hostServiceCount = std::clamp(fields.hostServiceCount, 0, kHostServiceCapacity);

    PluginLockGuard guard(lock);
    Trace("prg=%d(%s) ,ChangeSerivce = %d\r\n", fields.hostServiceCount, listed ? "TRUE" : "FALSE",
          fields.pendingServiceId);
    if (!listed) return 0;
    unsigned work = kWorkRefreshPopup;
    if (serviceId == fields.lastServiceId) return work;
    // A full buffer counts as no usable list.
    if (fields.hostServiceCount == kHostServiceCapacity) return work;
    // The window may have been destroyed while the host was answering.
    if (!fields.parser) return work;

    StampChannels(*fields.parser, fields.hostServices, fields.hostServiceCount, channel);
    fields.lastServiceId = serviceId;
    fields.currentServiceId = serviceId;
    fields.currentChannel = channel;
    if (fields.pendingServiceId > 0) work |= kWorkRestartTuneTimer;
    return work | kWorkRepaintList;
}
