// ARIB STD-B24 8-unit coded text (as found in SI descriptors) to Shift-JIS (code page 932).
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes inputLength raw bytes into the caller's buffer as a NUL-terminated Shift-JIS
// string of at most outputCapacity - 2 text bytes. Every call starts from the initial code
// state and keeps nothing; it allocates nothing and reads no byte past inputLength. Output
// that does not fit is dropped character by character. A null output or a capacity of 0
// leaves the buffer untouched.
void DecodeAribText(const uint8_t* input, size_t inputLength, char* output, size_t outputCapacity);
