// The stream change: what the plug-in does when the host reports a new channel and service.
// The steps run here, portably; the window work they leave (popup refresh, tuning timer,
// repaint) is returned for the window's thread to apply.
#pragma once

#include <cstdint>

#include "ui/list/host_service_record.h"
#include "ui/list/plugin_lock.h"

struct StreamParser;

constexpr int kNoServiceId = 0xFFFF;
constexpr unsigned kTuneTimerId = 1002;
constexpr unsigned kTuneTimerPeriodMs = 2000;

// Window work left by a stream change, applied in this order on the window's thread.
enum StreamChangeWork : unsigned {
    kWorkRefreshPopup = 1u << 0,      // RefreshPopupForService with the new service id
    kWorkRestartTuneTimer = 1u << 1,  // (re)start timer 1002 and reset its tick count
    kWorkRepaintList = 1u << 2,       // repaint the list's items
};

// The object's fields a stream change reads and writes. The parser, the store and the
// tuning fields are guarded by the plug-in lock; the host-service buffer is used by the
// stream change alone (the host does not overlap its stream-change calls).
struct StreamChangeFields {
    StreamParser*& parser;
    int& currentServiceId;
    int& currentChannel;
    const int& pendingServiceId;
    HostServiceRecord* hostServices;  // kHostServiceCapacity records
    int& hostServiceCount;
    int& lastServiceId;  // module-wide: the last stream change processed to the end
};

// The host's GetServiceList; called without the lock held.
class ServiceListSource {
public:
    virtual int GetServiceList(HostServiceRecord* records, int* count) = 0;

protected:
    ~ServiceListSource() = default;
};

// Runs the steps of a stream change in order and returns the window work (a
// StreamChangeWork set; 0 when the change stopped before any).
unsigned RunStreamChange(PluginLock& lock, const StreamChangeFields& fields, ServiceListSource& host,
                         int channel, int serviceId);
