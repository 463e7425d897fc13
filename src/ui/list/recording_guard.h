// The recording guard: tuning must not happen while the host or the companion remote-control
// application records. The window side reads the host main window's recording text and
// whether the remote window's recording control is disabled; the decision is made here.
#pragma once

constexpr int kHostRecordingTextChars = 255;
constexpr const char* kRemoteWindowTitle = "遠隔操作盤";

// The host shows exactly one of these while it records.
bool IsHostRecordingText(const char* text);

// hostText: the host's recording text, null when the host window or control is unknown.
// remoteDisabled: the remote window's recording control exists and is disabled.
bool RecordingFromControls(const char* hostText, bool remoteDisabled);
