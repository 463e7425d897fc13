// The update dialog and the details popup follow the main window: hidden while it is hidden,
// shown again beside it when they were kept open (the dialog's "Fixed", the pinned popup).
#pragma once

enum class WindowChange { None, Show, Hide };

struct CompanionWindow {
    bool exists = false;
    bool visible = false;
    bool kept = false;
};

// One look per tick; shown again without taking the activation.
WindowChange CompanionChange(bool mainVisible, const CompanionWindow& companion);
