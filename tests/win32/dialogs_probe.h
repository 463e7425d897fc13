// The test host's view of the plug-in's secondary windows: a small multiplex built section
// by section around the present time, the windows found by their owner and controls, and
// clicks sent as the list control and the dialogs' own controls send them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "list_window_probe.h"
#include "support/arib_encoder.h"
#include "support/packetizer.h"
#include "support/section_builder.h"

// Main-window commands and the ids of the dialogs' controls, as a host sees them.
constexpr UINT kCmdShowUpdatesId = 1012;
constexpr UINT kCmdSettingsId = 1017;
constexpr int kPopupNameId = 1014;
constexpr int kPopupTimesId = 1015;
constexpr int kPopupTextId = 1016;
constexpr int kUpdateListId = 104;
constexpr int kUpdateClearId = 103;
constexpr int kUpdateRefreshId = 105;
constexpr int kSetupListId = 1018;
constexpr int kSetupUpId = 1019;

inline BroadcastTime LocalBroadcastTime(time_t stamp)
{
    const std::tm* t = std::localtime(&stamp);
    return {t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec};
}

inline time_t LocalStamp(int year, int month, int day, int hour, int minute)
{
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

struct OwnedWindowSearch {
    HWND owner;
    int controlId;
    HWND found;
};

inline BOOL CALLBACK MatchOwnedWindow(HWND hwnd, LPARAM context)
{
    auto& search = *reinterpret_cast<OwnedWindowSearch*>(context);
    if (GetWindow(hwnd, GW_OWNER) != search.owner || !GetDlgItem(hwnd, search.controlId)) return TRUE;
    search.found = hwnd;
    return FALSE;
}

// The window of this thread owned by `owner` that has a control with this id.
inline HWND FindOwnedWindow(HWND owner, int controlId)
{
    OwnedWindowSearch search = {owner, controlId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string ControlText(HWND dialog, int id)
{
    char text[4096] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// NM_CLICK from the main list on a cell, as the list control reports a click.
inline void ClickCell(HWND mainWindow, HWND list, int item, int column)
{
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = kMainListId;
    click.hdr.code = NM_CLICK;
    click.iItem = item;
    click.iSubItem = column;
    SendMessageA(mainWindow, WM_NOTIFY, kMainListId, reinterpret_cast<LPARAM>(&click));
}

inline void PressButton(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline LPARAM ListItemParam(HWND list, int item)
{
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
    return lv.lParam;
}

inline int ItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

// Index of the first item whose column-0 text contains `name`; -1 when none does.
inline int FindItemContaining(HWND list, const std::string& name)
{
    for (int i = 0; i < ItemCount(list); ++i)
        if (ListItemText(list, i, 0).find(name) != std::string::npos) return i;
    return -1;
}

class DialogsHost : public PluginHost {
protected:
    void Feed(uint16_t pid, const Bytes& section)
    {
        Packetizer& packetizer = pid == kPidSdt ? m_sdt : pid == kPidNit ? m_nit : m_eit;
        const Bytes packets = packetizer.Packetize(section);
        plugin.StreamData(packets.data(), static_cast<uint32_t>(packets.size()));
    }

    // The broadcast clock set to the system's: EIT is taken only once a TOT has been seen.
    void FeedClock(time_t now = std::time(nullptr))
    {
        const Bytes packet = MakeTotPacket(LocalBroadcastTime(now), m_totCc++);
        plugin.StreamData(packet.data(), static_cast<uint32_t>(packet.size()));
    }

    // A schedule section (table 0x50 basic, 0x58 extended) of a service; the list finds the
    // programme on air in the basic schedule.
    void FeedSchedule(uint8_t tableId, uint16_t serviceId, std::vector<EitEvent> events)
    {
        EitSection eit{.tableId = tableId, .serviceId = serviceId};
        eit.events = std::move(events);
        Feed(kPidEit, MakeEit(eit));
    }

    static EitEvent Event(uint16_t eventId, time_t start, int durationSeconds, Bytes descriptors)
    {
        return {.eventId = eventId, .start = LocalBroadcastTime(start), .durationSeconds = durationSeconds,
                .descriptors = std::move(descriptors)};
    }

    // Services with ARIB-encoded names.
    void FeedServices(const std::vector<std::pair<uint16_t, std::u8string>>& services)
    {
        SdtSection sdt;
        for (const auto& [serviceId, name] : services)
            sdt.services.push_back({.serviceId = serviceId, .serviceName = EncodeArib(name)});
        Feed(kPidSdt, MakeSdt(sdt));
    }

    // One transport stream per service, named like it: high-definition programmes show the
    // stream's name in the list.
    void FeedNetwork(const std::vector<std::pair<uint16_t, std::u8string>>& services)
    {
        NitSection nit;
        uint8_t remoteKey = 1;
        for (const auto& [serviceId, name] : services)
            nit.streams.push_back({.transportStreamId = serviceId, .originalNetworkId = 0x7FE0, .remoteKeyId = remoteKey++,
                                   .tsName = EncodeArib(name), .serviceIds = {serviceId}});
        Feed(kPidNit, MakeNit(nit));
    }

    // The rows are built at the first tick and then every ten (and at the minute's first
    // second): a list fed after the first tick waits for the next rebuild.
    bool WaitForItemCount(int count, DWORD timeoutMs = 11000)
    {
        return PumpUntil([&] { return List() && ItemCount(List()) == count; }, timeoutMs);
    }

private:
    Packetizer m_sdt{kPidSdt};
    Packetizer m_eit{kPidEit};
    Packetizer m_nit{kPidNit};
    int m_totCc = 0;
};
