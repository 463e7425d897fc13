#include "ts/table_handlers.h"

void HandleSdtSection(StreamParser&, const uint8_t*, int) {}
