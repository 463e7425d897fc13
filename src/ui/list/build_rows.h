// Rebuilding the rows from the programme store (the first half of the main list's rebuild;
// list_items.h decides what the list control then shows).
#pragma once

#include <cstdint>

#include "ui/list/list_row.h"

struct ProgrammeStore;
struct StreamParser;
class ChangeLog;
class ServiceSettings;

// The time the rows are built for: the broadcast clock once a TOT has been received, else
// the system clock.
int64_t RowReferenceTime(const StreamParser& parser, int64_t systemNow);

// Frees the old rows and builds one row per stored service (at most 50): its settings
// ("Check%d", "Sort%d", read ahead for every service on every rebuild; the defaults for a
// service not read), its names, its place in the sort order, whether the change log names it,
// and its present and following programmes with sub-channels merged into their run. A row that
// cannot be allocated is left out. `now` is the reference time (RowReferenceTime). Returns
// the number of rows. Reads no file.
int BuildRows(RowTable& rows, const ProgrammeStore& store, const ServiceSettings& settings,
              const ChangeLog& changeLog, int64_t now);
