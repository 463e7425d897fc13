// The tuning request: a channel switch through the host's SelectChannel, the host's stream
// change back into the plug-in, then ChangeServiceID from the tune timer (id 1002) on its
// first and second tick. States: idle (timer 0, nothing pending) -> waiting -> idle after the
// second tick; tune commands while waiting are ignored. A tick asks for the service first and
// decides whether the request ends only after the host has answered: a host may report the
// new stream from inside ChangeServiceID, which restarts the timer and its tick count.
//
// The decisions change only the request's fields and return what to call; the caller makes
// the calls afterwards (ApplyTuneActions), so the plug-in lock that guards the fields is never
// held while the host is called.
#pragma once

#include <cstdint>
#include <optional>

#include "ui/list/list_row.h"
#include "ui/list/stream_change.h"

constexpr unsigned kTuneTimerSameChannelMs = 1000;  // already on the channel: the service only
constexpr int kTuneTicksToLapse = 2;
constexpr int kTuneCommandBase = 2100;          // WM_COMMAND 2100 + r tunes to the service of row r
constexpr int kTuneCommandCount = kMaxServices;  // r = 0..49

// The tuning fields, held by the plug-in. The plug-in lock guards the pending and current values.
struct TuneFields {
    int& pendingChannel;          // 0 = none
    int& pendingServiceId;        // 0 = none
    uintptr_t& tuneTimer;         // kTuneTimerId while running, else 0
    int& tuneTicks;               // ticks since the timer was (re)started
    const int& currentChannel;    // set by the stream change
    const int& currentServiceId;  // set by the stream change
};

// What to do after a decision, in this order: SelectChannel, ChangeServiceID, kill the tune
// timer, start it.
struct TuneActions {
    std::optional<int> selectChannel;
    std::optional<int> changeServiceId;
    bool killTimer = false;
    unsigned startTimerMs = 0;  // > 0: start the tune timer with this period
};

// The host calls and the window's timer.
class ITuneHost {
public:
    virtual void SelectChannel(int channel) = 0;
    virtual void ChangeServiceID(int serviceId) = 0;
    virtual void StartTuneTimer(unsigned periodMs) = 0;  // timer kTuneTimerId on the main window
    virtual void KillTuneTimer() = 0;

protected:
    ~ITuneHost() = default;
};

void ApplyTuneActions(const TuneActions& actions, ITuneHost& host);

class CTuneRequest {
public:
    explicit CTuneRequest(const TuneFields& fields) : m_fields(fields) {}

    bool InProgress() const { return m_fields.tuneTimer != 0; }

    // WM_COMMAND 2100 + r. recording: IsRecording's result.
    TuneActions OnTuneCommand(const RowTable& rows, int r, bool recording);
    // After a stream change has set the current channel and service: a pending request is
    // given 2 seconds from now to finish.
    TuneActions OnStreamChange();
    // A tick of the tune timer: counts the tick and asks for the service.
    TuneActions OnTuneTimer();
    // The same tick once the host's ChangeServiceID has returned: ends the request at its
    // second tick, counted from the last (re)start of the timer.
    TuneActions AfterServiceRequest();

private:
    void StartTimer(TuneActions& actions, unsigned periodMs);

    TuneFields m_fields;
};

// Tuning is busy, and the popup offers none, while a request runs (its timer) or something
// records; the recording check, which looks for windows, is made only when no request runs.
template <class RecordingCheck>
bool TuningBusy(bool requestRunning, RecordingCheck&& recording)
{
    return requestRunning || recording();
}

// A double click on the item with this lParam: the WM_COMMAND id to post, none while recording.
std::optional<int> DoubleClickCommand(int itemParam, bool recording);
