// The fuzz targets' bodies. Each runs one arbitrary input through a reader of untrusted
// bytes and then through everything that reads what that reader produced. The libFuzzer
// entry points call them, and the ordinary test suite replays the kept inputs with them.
#pragma once

#include <cstddef>
#include <cstdint>

// Packets into the intake (TOT first), with window ticks (rows, list items, programme menus,
// change detection) between blocks and after the last.
void FuzzIntake(const uint8_t* data, size_t size);
// Two bytes of output capacity, then ARIB text.
void FuzzAribtext(const uint8_t* data, size_t size);
// An INI text with a section, key and value to look up, set and read back.
void FuzzIni(const uint8_t* data, size_t size);
// An event cache file: loaded, saved again, read, compared and shown.
void FuzzEventCache(const uint8_t* data, size_t size);
// A change-log file: loaded, shown, saved and loaded again.
void FuzzChangeLog(const uint8_t* data, size_t size);
