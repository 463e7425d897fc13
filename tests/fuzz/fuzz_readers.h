// What the plug-in does with a store once intake or a loader has filled it, for the fuzz
// targets to run over whatever an arbitrary input left there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ChangeLog;
struct StreamParser;

// Every stored section read the way the popup and the change log do: events, their
// descriptors and their texts.
void ReadStore(const StreamParser& parser);

// One rebuild tick of the window: rows, list items, each row's programme menu and details
// popup texts, then the change detection into the log (saved by the caller, as the plug-in
// does after unlocking).
void RunWindowTick(StreamParser& parser, ChangeLog& log);

// A file of this process in the temporary folder, so parallel fuzzing jobs do not share it.
std::string FuzzTempPath(const char* extension);
bool WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size);

// Stops the target (and makes libFuzzer keep the input) when a property does not hold.
void FuzzCheck(bool condition, const char* what);
