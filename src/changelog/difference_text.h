// The update dialog's marking of differences: text A (a programme cell) is cut into pieces,
// each drawn normally or in the difference colour, by walking it against the other cell's
// text B. Bytes only A has are marked; text only B has is never drawn in A's cell. Double-byte
// Shift-JIS characters are compared and marked whole while both texts are aligned on
// character starts. The drawing side only applies the pieces: from the cell's left edge, one
// after another, moving right by each piece's width.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TextPiece {
    std::string text;         // Shift-JIS bytes of A
    bool difference = false;  // draw in the difference colour
    bool margins = false;     // draw with the cell's margins: only the first piece
};

// The pieces concatenate to A exactly. An empty A gives no piece.
std::vector<TextPiece> DifferencePieces(std::string_view a, std::string_view b);
