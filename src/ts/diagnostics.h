// The plug-in's two diagnostic channels: trace points, which are discarded, and the few
// lines written to the debugger output (OutputDebugStringA on Windows, set by the shell).
#pragma once

using DebugSink = void (*)(const char* text);

// Null discards. Not synchronised: set it once, before any stream data arrives.
void SetDebugSink(DebugSink sink);
void DebugOutput(const char* text);

// Trace points carry no behaviour; the routine produces no output.
inline void Trace(const char*, ...) {}
