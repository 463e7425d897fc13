// Pictures compared with committed references (tests/win32/reference/NAME.png) pixel for
// pixel: one comparison catches every colour, margin and size fault of a window at once.
// A difference is reported with its count and bounding box, and the new capture and a
// picture of the difference are saved beside the test program. LUMARA_UPDATE_REFERENCES=1
// writes the captures as the new references instead (look at them before committing).
#pragma once

#include <windows.h>

#include <ctime>
#include <string>

#include "window_capture.h"

// Reads a PNG as png_writer writes it: 8-bit RGB, stored deflate blocks, filter 0.
bool ReadStoredPng(const std::string& path, PngImage& image);

// Empty when the capture equals the reference; else what differs and where to look.
std::string DifferenceFromReference(const CapturedImage& capture, const std::string& name);

// The plug-in's clock (the C runtime's time() it imports; _time64 where time_t is 64-bit)
// held at `now`, so a picture does not depend on the day it is taken. False when the import
// was not found.
bool HoldPluginClock(HMODULE plugin, time_t now);
