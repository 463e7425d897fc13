// Test-only reader of whole sections out of a captured transport stream, and of the event
// descriptors inside them: enough to feed real broadcast text to the text decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Sections of one PID, assembled from 188-byte packets (ISO/IEC 13818-1 2.4.4), whole ones
// only, unchecked CRC.
std::vector<std::vector<uint8_t>> ExtractSections(const std::vector<uint8_t>& ts, uint16_t pid);

// Every descriptor with the given tag anywhere in a selection information section
// (ARIB STD-B10 table_id 0x7F): the transmission-information loop and each service's loop.
std::vector<std::vector<uint8_t>> SitDescriptors(const std::vector<uint8_t>& section, uint8_t tag);

// The raw ARIB texts of event descriptors (ARIB STD-B10 6.2.15 and 6.2.7).
struct ShortEventText {
    std::vector<uint8_t> name, text;
};
ShortEventText ReadShortEvent(const std::vector<uint8_t>& descriptor);
struct ExtendedEventItem {
    std::vector<uint8_t> description, text;
};
std::vector<ExtendedEventItem> ReadExtendedEventItems(const std::vector<uint8_t>& descriptor);

