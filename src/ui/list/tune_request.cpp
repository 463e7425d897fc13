#include "ui/list/tune_request.h"

#include "ts/diagnostics.h"
#include "ui/list/programme_menu.h"

void ApplyTuneActions(const TuneActions& actions, ITuneHost& host)
{
    if (actions.selectChannel) host.SelectChannel(*actions.selectChannel);
    if (actions.changeServiceId) host.ChangeServiceID(*actions.changeServiceId);
    if (actions.killTimer) host.KillTuneTimer();
    if (actions.startTimerMs > 0) host.StartTuneTimer(actions.startTimerMs);
}

void CTuneRequest::StartTimer(TuneActions& actions, unsigned periodMs)
{
    actions.killTimer = m_fields.tuneTimer != 0;
    Trace("SetTimer\r\n");
    actions.startTimerMs = periodMs;
    m_fields.tuneTimer = kTuneTimerId;
    m_fields.tuneTicks = 0;
}

TuneActions CTuneRequest::OnTuneCommand(const RowTable& rows, int r, bool recording)
{
    TuneActions actions;
    if (r < 0 || r >= kTuneCommandCount) return actions;
    const ListRow* row = RowAt(rows, r);
    if (!row || recording || InProgress() || row->channel == 0) return actions;
    m_fields.pendingChannel = row->channel;
    m_fields.pendingServiceId = row->serviceId;
    Trace("Ch = %d Service = %d\r\n", m_fields.pendingChannel, m_fields.pendingServiceId);
    if (m_fields.pendingChannel != m_fields.currentChannel) {
        actions.selectChannel = m_fields.pendingChannel;
        StartTimer(actions, kTuneTimerPeriodMs);
    } else if (m_fields.pendingServiceId != m_fields.currentServiceId) {
        StartTimer(actions, kTuneTimerSameChannelMs);
    } else {
        m_fields.pendingServiceId = 0;
    }
    return actions;
}

TuneActions CTuneRequest::OnStreamChange()
{
    TuneActions actions;
    if (m_fields.pendingServiceId > 0) StartTimer(actions, kTuneTimerPeriodMs);
    return actions;
}

TuneActions CTuneRequest::OnTuneTimer()
{
    TuneActions actions;
    // A tick queued before the timer was killed finds nothing to do.
    if (!InProgress()) return actions;
    ++m_fields.tuneTicks;
    if (m_fields.pendingServiceId > 0 && m_fields.pendingChannel == m_fields.currentChannel &&
        m_fields.pendingServiceId != m_fields.currentServiceId) {
        Trace("%d:ChangeServiceID(%d)\r\n", m_fields.tuneTicks, m_fields.pendingServiceId);
        actions.changeServiceId = m_fields.pendingServiceId;
    }
    return actions;
}

TuneActions CTuneRequest::AfterServiceRequest()
{
    TuneActions actions;
    if (InProgress() && m_fields.tuneTicks >= kTuneTicksToLapse) {
        m_fields.pendingChannel = 0;
        m_fields.pendingServiceId = 0;
        Trace("Killtimer\r\n");
        actions.killTimer = true;
        m_fields.tuneTimer = 0;
    }
    return actions;
}

std::optional<int> DoubleClickCommand(int itemParam, bool recording)
{
    if (recording || itemParam < 0 || itemParam >= kTuneCommandCount) return std::nullopt;
    return kTuneCommandBase + itemParam;
}
