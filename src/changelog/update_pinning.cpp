#include "changelog/update_pinning.h"

UpdateDialogStep StepUpdateDialog(UpdateDialogEvent event, int32_t pinned)
{
    UpdateDialogStep step;
    switch (event) {
    case UpdateDialogEvent::Created:
        // The saved value as it stands: it is written back unchanged while nobody opens or closes.
        step.pinned = pinned;
        step.refresh = pinned != 0;
        step.hide = pinned == 0;
        break;
    case UpdateDialogEvent::Opened:
        step.pinned = 1;
        step.refresh = step.show = true;
        break;
    case UpdateDialogEvent::Closed: step.hide = true; break;
    }
    return step;
}
