#include "ts/diagnostics.h"

namespace {
DebugSink g_debugSink = nullptr;
}

void SetDebugSink(DebugSink sink) { g_debugSink = sink; }

void DebugOutput(const char* text)
{
    if (g_debugSink) g_debugSink(text);
}
