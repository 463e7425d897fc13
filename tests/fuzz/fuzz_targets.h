// The fuzz targets' bodies. Each runs one arbitrary input through a reader of untrusted
// bytes and then through everything that reads what that reader produced. The libFuzzer
// entry points call them, and the ordinary test suite replays the kept inputs with them.
#pragma once

#include <cstddef>
#include <cstdint>

void FuzzIntake(const uint8_t* data, size_t size);
