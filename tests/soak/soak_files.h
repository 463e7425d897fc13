// The plug-in's files as the soak checks them: the change log read back record by record,
// and the event cache compared with another save of the same store.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "soak_truth.h"

// The ".upd" file's records, times as broadcast clock seconds (the file holds local time
// stamps of the Japan zone). Empty optional when the file is missing or not a change log.
std::optional<std::vector<ExpectedRecord>> ReadChangeLogFile(const Bytes& file);

// Two event cache files hold the same store: every field and section alike, the counters of
// version changes aside (a reloaded slot starts from 0). "" when alike, else where they part.
std::string CompareEventCaches(const Bytes& a, const Bytes& b);

std::string Describe(const ExpectedRecord& record);
