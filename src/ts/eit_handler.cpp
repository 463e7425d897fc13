#include "ts/table_handlers.h"

void HandleEitSection(StreamParser&, const uint8_t*, int) {}
