// The recording guard: tuning must not happen while the host or the companion remote-control
// application records. The window side reads the host main window's control 1012 text and
// the disabled style of the remote window's control 1018; the decision is made here.
#pragma once

constexpr int kHostRecordingControlId = 1012;
constexpr int kHostRecordingTextChars = 255;
constexpr int kRemoteRecordingControlId = 1018;
constexpr const char* kRemoteWindowTitle = "遠隔操作盤";

// The host shows exactly one of these in control 1012 while it records.
bool IsHostRecordingText(const char* text);

// hostText: control 1012's text, null when the host window or control is unknown.
// remoteDisabled: the remote window's control 1018 exists and is disabled.
bool RecordingFromControls(const char* hostText, bool remoteDisabled);
