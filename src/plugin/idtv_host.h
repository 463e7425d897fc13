// The host's interface as the plug-in sees it. The host is built separately: each
// operation takes the interface pointer as its first stack argument and removes its
// arguments (stdcall). The plug-in calls slots 1, 3 and 5 only.
#pragma once

#include <windows.h>

#include "ui/list/host_service_record.h"

class IDTVHost {
public:
    virtual void __stdcall Unused0() = 0;
    virtual void __stdcall SelectChannel(int channel) = 0;  // a physical channel, > 0
    virtual void __stdcall Unused2() = 0;
    virtual void __stdcall ChangeServiceID(int serviceId) = 0;
    virtual void __stdcall Unused4() = 0;
    // Fills up to *count records (the plug-in passes kHostServiceCapacity) and stores the
    // number filled; non-zero when the list was filled.
    virtual int __stdcall GetServiceList(HostServiceRecord* records, int* count) = 0;

protected:
    ~IDTVHost() = default;
};
