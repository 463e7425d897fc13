// How the update dialog paints one owner-drawn row: the colours for the item's state and,
// per cell, which fill it gets and whether its text is drawn with the difference marking
// (difference_text.h) against the other programme cell.
#pragma once

#include <cstdint>
#include <string>

// COLORREF values (0x00BBGGRR).
constexpr uint32_t kUpdateOddRowFill = 0xFFF8F0;        // 240, 248, 255
constexpr uint32_t kUpdateEvenRowFill = 0xFAE6E6;       // 230, 230, 250
constexpr uint32_t kUpdateEmptyOldFill = 0x696969;      // 105, 105, 105: an added programme
constexpr uint32_t kUpdateOldWithoutNewFill = 0xA9A9A9; // 169, 169, 169: a removed programme
constexpr uint32_t kUpdateText = 0x000000;
constexpr uint32_t kUpdateDifference = 0x0000FF;         // 255, 0, 0
constexpr uint32_t kUpdateSelectedDifference = 0xAAAAFF; // 255, 170, 170

struct UpdateRowColours {
    uint32_t rowFill = 0;
    uint32_t emptyOldFill = 0;
    uint32_t oldWithoutNewFill = 0;
    uint32_t text = 0;
    uint32_t difference = 0;
    bool highlightBackground = false;  // also set the background colour to the highlight
};

// highlight / highlightText: the system's highlight and highlight-text colours.
UpdateRowColours ChooseUpdateRowColours(bool selected, int itemIndex, uint32_t highlight, uint32_t highlightText);

enum class UpdateCellFill { Row, EmptyOld, OldWithoutNew };

struct UpdateCellPaint {
    UpdateCellFill fill = UpdateCellFill::Row;
    // Draw with DifferencePieces(this cell's text, the text of column against); else one
    // piece with margins.
    bool markDifferences = false;
    int against = -1;  // with markDifferences: the other programme cell's column
};

// column: 0..header count - 1; oldText / newText: the texts of columns 2 and 3.
UpdateCellPaint PaintUpdateCell(int column, const std::string& oldText, const std::string& newText);
