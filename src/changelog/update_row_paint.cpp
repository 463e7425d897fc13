#include "changelog/update_row_paint.h"

#include "changelog/update_view.h"

UpdateRowColours ChooseUpdateRowColours(bool selected, int itemIndex, uint32_t highlight, uint32_t highlightText)
{
    UpdateRowColours colours;
    if (selected) {
        colours.rowFill = colours.emptyOldFill = colours.oldWithoutNewFill = highlight;
        colours.text = highlightText;
        colours.difference = kUpdateSelectedDifference;
        colours.highlightBackground = true;
        return colours;
    }
    colours.rowFill = (itemIndex & 1) != 0 ? kUpdateOddRowFill : kUpdateEvenRowFill;
    colours.emptyOldFill = kUpdateEmptyOldFill;
    colours.oldWithoutNewFill = kUpdateOldWithoutNewFill;
    colours.text = kUpdateText;
    colours.difference = kUpdateDifference;
    return colours;
}

UpdateCellPaint PaintUpdateCell(int column, const std::string& oldText, const std::string& newText)
{
    UpdateCellPaint paint;
    if (column == kUpdateOldColumn) {
        if (oldText.empty())
            paint.fill = UpdateCellFill::EmptyOld;
        else if (newText.empty())
            paint.fill = UpdateCellFill::OldWithoutNew;
        else
            paint.markDifferences = true;
    } else if (column == kUpdateNewColumn) {
        paint.markDifferences = !oldText.empty() && !newText.empty();
    }
    if (paint.markDifferences) paint.against = column == kUpdateOldColumn ? kUpdateNewColumn : kUpdateOldColumn;
    return paint;
}
