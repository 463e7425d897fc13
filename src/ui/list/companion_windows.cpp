#include "ui/list/companion_windows.h"

WindowChange CompanionChange(bool mainVisible, const CompanionWindow& companion)
{
    if (!companion.exists) return WindowChange::None;
    if (mainVisible) return companion.pinned && !companion.visible ? WindowChange::Show : WindowChange::None;
    return companion.visible ? WindowChange::Hide : WindowChange::None;
}
