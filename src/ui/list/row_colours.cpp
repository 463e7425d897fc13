#include "ui/list/row_colours.h"

#include "ui/list/list_row.h"

namespace {

constexpr ColourRef kWhite = Rgb(255, 255, 255);
constexpr ColourRef kBlack = Rgb(0, 0, 0);
constexpr ColourRef kChangedName = Rgb(255, 0, 0);
constexpr ColourRef kChangedNameOnCurrent = Rgb(240, 160, 160);

struct Pastels {
    ColourRef name;
    ColourRef present;
    ColourRef following;
};
constexpr Pastels kEvenRow = {Rgb(230, 230, 250), Rgb(255, 192, 203), Rgb(183, 255, 183)};
constexpr Pastels kOddRow = {Rgb(240, 248, 255), Rgb(255, 228, 225), Rgb(224, 255, 224)};

}  // namespace

RowColours RowColoursFor(bool current, int listPosition, bool changed)
{
    RowColours colours;
    if (current) {
        colours.nameFill = colours.presentFill = colours.followingFill = kCurrentRowFill;
        colours.nameText = changed ? kChangedNameOnCurrent : kWhite;
        colours.programmeText = kWhite;
        colours.setBackground = true;
        colours.background = kCurrentRowFill;
        return colours;
    }
    const Pastels& pastels = listPosition % 2 == 0 ? kEvenRow : kOddRow;
    colours.nameFill = pastels.name;
    colours.presentFill = pastels.present;
    colours.followingFill = pastels.following;
    colours.nameText = changed ? kChangedName : kBlack;
    colours.programmeText = kBlack;
    return colours;
}

ColourRef CellFill(const RowColours& colours, int column, bool textEmpty)
{
    if (column == 0) return colours.nameFill;
    if (textEmpty) return colours.emptyFill;
    return column % 2 == 1 ? colours.presentFill : colours.followingFill;
}

RowColours ItemColours(const ListRow* row, int currentServiceId, int listPosition)
{
    return RowColoursFor(row && row->serviceId == currentServiceId, listPosition, row && row->changed);
}
