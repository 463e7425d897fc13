// The main list window as its companion windows (the details popup, the update dialog, the
// settings dialog) see it: its handle, its rows and items, and the few things they ask of it.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/list/list_items.h"
#include "ui/list/list_row.h"

class IMainWindow {
public:
    virtual HWND Window() const = 0;
    virtual const RowTable& Rows() const = 0;
    // The row index (lParam) of every list item, in list order; -1 for no such item.
    virtual std::vector<int> ItemRows() const = 0;
    // The list's model: item i of the control, with its row index and texts.
    virtual const std::vector<ListItemTexts>& Items() const = 0;
    // A tuning request is pending or a recording runs: no tuning offered.
    virtual bool TuningBusy() = 0;
    // Rebuilds the rows now (the settings changed), or at the next clock tick ("クリア").
    virtual void BuildRows() = 0;
    virtual void RebuildRowsAtNextTick() = 0;

protected:
    ~IMainWindow() = default;
};
