// Paths of the three data files: beside the host's executable, base name kDataFileBaseName.
#pragma once

#include <cstddef>

// hostExePath is the host executable's full file name (Shift-JIS; a trail byte of 0x5C is
// not a separator). Writes the drive and folder of it, the base name and the extension into
// out. False, with out empty, when the result does not fit in capacity bytes: a cut path
// would name another file.
bool BuildDataFilePath(const char* hostExePath, const char* extension, char* out, size_t capacity);
