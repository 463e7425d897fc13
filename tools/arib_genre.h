// The programme genres of the content descriptor (ARIB STD-B10, content_nibble_level_1),
// in Japanese and English, UTF-8.
#pragma once

struct GenreName {
    const char* japanese;
    const char* english;
};

// Null for the reserved values (0xC, 0xD) and for 0xE, which marks a programme attribute
// rather than a genre.
const GenreName* MajorGenre(unsigned contentNibble1);
