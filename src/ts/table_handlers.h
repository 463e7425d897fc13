// The table handlers the section processor calls with a complete section whose length
// and CRC are valid; `length` is section_length + 3. Each handler skips what is not for it.
#pragma once

#include <cstdint>

struct StreamParser;

void HandleNitSection(StreamParser& parser, const uint8_t* section, int length);
void HandleSdtSection(StreamParser& parser, const uint8_t* section, int length);
void HandleEitSection(StreamParser& parser, const uint8_t* section, int length);

// True when an EIT section is byte for byte the CRC-checked copy already in its slot:
// HandleEitSection would change nothing, and the section needs no CRC check.
bool IsStoredEitSection(StreamParser& parser, const uint8_t* section, int length);
