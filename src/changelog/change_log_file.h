// The change log's file. Layout (little-endian, unpadded): "Upd00", then records oldest
// first until the end of the file. A record: serviceId 2, then for before and after each:
// start 8, end 8, videoType 1, audioType 1, genre 1, name length 2, name bytes.
#pragma once

#include <cstddef>

#include "changelog/change_log.h"

constexpr size_t kChangeLogFileRecords = 100;  // the file keeps the newest ones
constexpr size_t kChangeLogHeaderBytes = 5;
constexpr size_t kChangeRecordFixedBytes = 44;

// Writes the newest 100 records, replacing the previous file in one step. On any failure
// the previous file and the log stay as they were; false is returned, nothing is shown.
bool SaveChangeLog(const ChangeLog& log, const char* path);

// Replaces the log with the file's records. A file that cannot be opened, is shorter than
// 5 bytes or does not start with "Upd" (any two characters may follow) leaves the log
// unchanged and gives false. Reading ends at the first record that cannot be read whole;
// the complete ones before it stay. A stored name longer than 100 bytes keeps its first 100.
bool LoadChangeLog(ChangeLog& log, const char* path);
