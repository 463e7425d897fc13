// The update dialog and the details popup follow the main window: hidden while it is hidden,
// shown again beside it when they are pinned. "Pinned" is the one name of what each window's
// saved "Fixed" means: the user keeps the window on screen beside the main window.
#pragma once

enum class WindowChange { None, Show, Hide };

struct CompanionWindow {
    bool exists = false;
    bool visible = false;
    bool pinned = false;
};

// One look per tick; shown again without taking the activation.
WindowChange CompanionChange(bool mainVisible, const CompanionWindow& companion);
