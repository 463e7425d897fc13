// Whole files as bytes, for the suites that check what the plug-in writes and reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file's bytes; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Creates or replaces the file; false when it cannot be written whole.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

bool FileExists(const std::string& path);
