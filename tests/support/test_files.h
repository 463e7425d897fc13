// Whole files as bytes, and file names unique per test, for the suites that check what the
// plug-in writes and reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// The file's bytes; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Creates or replaces the file; false when it cannot be written whole.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

bool FileExists(const std::string& path);

// A file name in the current folder, unique per test.
inline std::string TestFileName(const char* extension)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("lumara_") + info->test_suite_name() + "_" + info->name() + extension;
}
