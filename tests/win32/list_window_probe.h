// The test host's view of the plug-in's main list: the sample stream fed as a host feeds
// it, the list control's items read back through its messages, and mouse input sent to it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "list_texts.h"
#include "support/sample_stream.h"
#include "window_capture.h"

// The sample multiplex's services in id order; 0x0401 is the sub-channel of 0x0400.
inline const std::vector<uint32_t> kSampleServices = {0x0400, 0x0401, 0x0408, 0x0410, 0x0418, 0x0420};

inline int FindItem(HWND list, const std::string& name)
{
    const std::vector<ItemTexts> items = ListItems(list);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i][0] == name) return static_cast<int>(i);
    return -1;
}

// A cell's rectangle in the list's client coordinates (column 0: its label).
inline RECT CellRect(HWND list, int item, int column)
{
    RECT rect = {};
    rect.top = column;
    rect.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageA(list, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

inline void DoubleClickItem(HWND list, int item)
{
    const RECT cell = CellRect(list, item, 0);
    const LPARAM point = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
}

constexpr COLORREF kCurrentServiceFill = 0x3C14DC;  // crimson

// The rows painted as the service being received, freshly drawn.
inline std::vector<int> CurrentServiceRows(HWND list)
{
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    const CapturedImage image = CaptureWindow(list);
    std::vector<int> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const RECT cell = CellRect(list, i, 0);
        if (image.Pixel(cell.right - 3, cell.top + 1) == kCurrentServiceFill) rows.push_back(i);
    }
    return rows;
}

class ListWindowHost : public PluginHost {
protected:
    // The whole sample stream in one go, on the window's thread, before the first tick.
    void FeedSampleStream()
    {
        const Bytes stream = MakeSampleStream();
        constexpr size_t kBlock = 188 * 256;
        for (size_t at = 0; at < stream.size(); at += kBlock)
            plugin.StreamData(stream.data() + at, static_cast<uint32_t>(std::min(kBlock, stream.size() - at)));
    }

    bool WaitForItems(int count, DWORD timeoutMs = 5000)
    {
        return PumpUntil([&] { return SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0) == count; }, timeoutMs);
    }

    // The host reports each service's channel through its service list at a stream change.
    void ReportChannels()
    {
        host.SetServices({0x0400, 0x0401});
        plugin.StreamChange(13, 0x0400);
        host.SetServices({0x0408, 0x0410, 0x0418, 0x0420});
        plugin.StreamChange(27, 0x0408);
    }
};
