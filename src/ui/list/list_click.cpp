#include "ui/list/list_click.h"

#include "ui/list/programme_menu.h"
#include "ui/list/tune_request.h"

ListClickAction DecideListClick(ListClickKind kind, int item, int subItem, int rowIndex)
{
    if (item < 0) return ListClickAction::None;
    if (kind == ListClickKind::RightClick) return ListClickAction::ProgrammeMenu;
    if (rowIndex < 0) return ListClickAction::None;
    if (kind == ListClickKind::DoubleClick) return ListClickAction::Tune;
    return subItem == 0 ? ListClickAction::HidePopup : ListClickAction::ShowDetails;
}

MainCommand DecideMainCommand(int id)
{
    if (id >= kTuneCommandBase && id < kTuneCommandBase + kTuneCommandCount)
        return {MainCommandKind::TuneRow, id - kTuneCommandBase};
    if (id == kShowUpdatesCommand) return {MainCommandKind::ShowUpdates, -1};
    return {};
}
