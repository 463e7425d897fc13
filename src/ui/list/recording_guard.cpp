#include "ui/list/recording_guard.h"

#include <cstring>

namespace {

constexpr const char* kRecordingTexts[] = {"Recording", "録画中"};

}  // namespace

bool IsHostRecordingText(const char* text)
{
    if (!text) return false;
    for (const char* recording : kRecordingTexts)
        if (std::strcmp(text, recording) == 0) return true;
    return false;
}

bool RecordingFromControls(const char* hostText, bool remoteDisabled)
{
    return IsHostRecordingText(hostText) || remoteDisabled;
}
