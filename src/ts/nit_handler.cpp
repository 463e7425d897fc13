#include "ts/table_handlers.h"

void HandleNitSection(StreamParser&, const uint8_t*, int) {}
