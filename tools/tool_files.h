// What lumara-inspect needs of the platform, one implementation each (tool_files_posix.cpp,
// win32/tool_files_win32.cpp). Every name is UTF-8: on Windows it comes from the wide
// command line and reaches the file system through the wide-character API, so a name
// outside the ANSI code page opens as it does on Linux.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The program itself, given UTF-8 arguments; the platform file's main calls it.
int ToolMain(int argc, char** argv);

// Once, before anything is read or written: standard input and output in binary mode, the
// report shown as UTF-8 on a console, the data files' names taken as UTF-8.
void PrepareToolStreams();

std::FILE* OpenFileUtf8(const char* path, const char* mode);
// Size of a regular file in bytes, 64 bits on every target; 0 for a pipe or when unknown.
uint64_t RegularFileSize(std::FILE* file);
// Seconds from an arbitrary start that never goes back, for rates.
double MonotonicSeconds();
// A terminal or console that can show the rewritten progress line.
bool ShowsProgress(std::FILE* stream);

// A new, empty file beside path that will replace it, and its name; null with errno set when
// none can be made.
std::FILE* CreateTemporaryBeside(const char* path, std::string& temporary);
// Flushes the file to the disk and closes it; false when any of it failed.
bool CloseToDisk(std::FILE* file);
// Replaces target by source in one step.
bool ReplaceFileUtf8(const char* source, const char* target);
void RemoveFileUtf8(const char* path);
