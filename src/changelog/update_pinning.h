// The update dialog's pinned flag ("Fixed"): opening the dialog from the main window pins it,
// closing it unpins it, and the saved value decides whether a new dialog stays on screen. The
// dialog applies each step: the flag, the refresh command, showing or hiding.
#pragma once

#include <cstdint>

enum class UpdateDialogEvent {
    Created,  // pinned: the saved "Fixed"
    Opened,   // from the main window
    Closed,   // its close button or WM_CLOSE
};

struct UpdateDialogStep {
    int32_t pinned = 0;    // the flag afterwards
    bool refresh = false;  // post the refresh command
    bool show = false;
    bool hide = false;
};

UpdateDialogStep StepUpdateDialog(UpdateDialogEvent event, int32_t pinned);
