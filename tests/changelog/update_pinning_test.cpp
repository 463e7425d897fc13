#include "changelog/update_pinning.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(UpdatePinning, OpeningPinsClosingUnpinsTheSavedValueDecidesAtCreation)
{
    using E = UpdateDialogEvent;
    // The event and the flag before it; the flag afterwards, refresh, show, hide.
    const std::tuple<E, int, std::tuple<int, bool, bool, bool>> cases[] = {
        {E::Created, 0, {0, false, false, true}},
        {E::Created, 2, {2, true, false, false}},  // written back as it was read
        {E::Opened, 0, {1, true, true, false}},
        {E::Closed, 1, {0, false, false, true}},
    };
    for (const auto& [event, pinned, expected] : cases) {
        const UpdateDialogStep step = StepUpdateDialog(event, pinned);
        EXPECT_EQ(std::make_tuple(int{step.pinned}, step.refresh, step.show, step.hide), expected);
    }
}

}  // namespace
