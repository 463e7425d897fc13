// The viewer's user at random moments: clicks on cells (the details popup), its buttons,
// double clicks (a tuning request), the programme menu, the update information and the
// settings dialog. Modal windows are left to a ModalCloser on another thread.
#pragma once

#include <windows.h>

#include <random>

#include "fake_host.h"
#include "soak_viewer.h"

struct UserCounts {
    int clicks = 0, doubleClicks = 0, menus = 0, popups = 0, updates = 0, settings = 0;
};

class SoakUser {
public:
    SoakUser(SoakViewer& viewer, uint32_t seed) : m_viewer(viewer), m_dice(seed) {}
    void Act();
    const UserCounts& Counts() const { return m_counts; }

private:
    void Notify(UINT code, int item, int column);
    HWND Owned(int controlId) const;

    SoakViewer& m_viewer;
    std::mt19937 m_dice;
    UserCounts m_counts;
};

// Every dialog of this thread that is none of the plug-in's own windows (a message box, an
// error dialog) is recorded and closed.
class UnknownDialogWatch : public MessageBoxWatch {
public:
    UnknownDialogWatch();
};
