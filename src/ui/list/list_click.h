// What a click on the main list does, and what the main window's WM_COMMAND ids mean.
#pragma once

enum class ListClickKind { Click, DoubleClick, RightClick };

enum class ListClickAction {
    None,
    ProgrammeMenu,  // the service's coming programmes, for the clicked item
    Tune,           // the double-click command for the item's row, unless recording
    HidePopup,      // a click on the channel column
    ShowDetails,    // a click on a "now" or "next" cell: the popup for the item's row
};

// item: the clicked item, -1 for none; subItem: its column; rowIndex: the item's row (its
// lParam), -1 when it has none. A right click needs only the item.
ListClickAction DecideListClick(ListClickKind kind, int item, int subItem, int rowIndex);

constexpr int kShowUpdatesCommand = 1012;  // also the system-menu entry's id

enum class MainCommandKind { None, TuneRow, ShowUpdates };
struct MainCommand {
    MainCommandKind kind = MainCommandKind::None;
    int row = -1;  // TuneRow: the row index
};
MainCommand DecideMainCommand(int id);
