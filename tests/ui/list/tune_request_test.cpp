#include "ui/list/tune_request.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "list_fixture.h"
#include "ui/list/programme_menu.h"
#include "ui/list/recording_guard.h"

namespace {

// The host and the window timer, recording every call in order.
class RecordingHost : public ITuneHost {
public:
    void SelectChannel(int channel) override { calls.push_back("SelectChannel(" + std::to_string(channel) + ")"); }
    void ChangeServiceID(int serviceId) override
    {
        calls.push_back("ChangeServiceID(" + std::to_string(serviceId) + ")");
        if (answer) answer(serviceId);
    }
    void StartTuneTimer(unsigned periodMs) override { calls.push_back("SetTimer(" + std::to_string(periodMs) + ")"); }
    void KillTuneTimer() override { calls.push_back("KillTimer"); }
    std::vector<std::string> calls;
    std::function<void(int)> answer;  // a host that reports the stream from inside the call
};

using Calls = std::vector<std::string>;

class Tuning : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Row 0: channel 27 service 1024; row 1: channel 27 service 1025; row 2: channel 22 service 1032;
        // row 3: a service whose channel the host has not reported.
        const uint16_t channels[] = {27, 27, 22, 0};
        const uint16_t services[] = {1024, 1025, 1032, 1040};
        for (int i = 0; i < 4; ++i) {
            rows[i] = new ListRow();
            rows[i]->channel = channels[i];
            rows[i]->serviceId = services[i];
        }
        StreamChange(27, 1024);
    }
    void TearDown() override { ClearRows(rows); }

    void Command(int r, bool recording = false) { Apply(tune.OnTuneCommand(rows, r, recording)); }
    void Tick()
    {
        Apply(tune.OnTuneTimer());
        Apply(tune.AfterServiceRequest());
    }
    void StreamChange(int channel, int serviceId)
    {
        currentChannel = channel;
        currentServiceId = serviceId;
        Apply(tune.OnStreamChange());
    }
    void Apply(const TuneActions& actions) { ApplyTuneActions(actions, host); }
    Calls Take()
    {
        Calls taken;
        taken.swap(host.calls);
        return taken;
    }

    RowTable rows = {};
    int pendingChannel = 0;
    int pendingServiceId = 0;
    uintptr_t tuneTimer = 0;
    int tuneTicks = 0;
    int currentChannel = -1;
    int currentServiceId = -1;
    CTuneRequest tune{{pendingChannel, pendingServiceId, tuneTimer, tuneTicks, currentChannel, currentServiceId}};
    RecordingHost host;
};

TEST_F(Tuning, OtherChannelSelectsItThenTheServiceAfterTheStreamChange)
{
    Command(2);
    EXPECT_EQ(Take(), (Calls{"SelectChannel(22)", "SetTimer(2000)"}));
    EXPECT_EQ(pendingChannel, 22);
    EXPECT_EQ(pendingServiceId, 1032);
    EXPECT_EQ(tuneTimer, kTuneTimerId);
    Tick();  // the host is still on the old channel
    EXPECT_TRUE(Take().empty());
    // The host lands on another service of the new channel; the timer starts over.
    StreamChange(22, 1033);
    EXPECT_EQ(Take(), (Calls{"KillTimer", "SetTimer(2000)"}));
    EXPECT_EQ(tuneTicks, 0);
    Tick();
    EXPECT_EQ(Take(), (Calls{"ChangeServiceID(1032)"}));
    StreamChange(22, 1032);
    EXPECT_EQ(Take(), (Calls{"KillTimer", "SetTimer(2000)"}));
    Tick();
    Tick();
    EXPECT_EQ(Take(), (Calls{"KillTimer"}));  // already there: nothing more is asked
    EXPECT_EQ(tuneTimer, 0u);
    EXPECT_EQ(pendingServiceId, 0);
}

TEST_F(Tuning, OtherServiceOfTheSameChannelIsAskedTwice)
{
    Command(1);
    EXPECT_EQ(Take(), (Calls{"SetTimer(1000)"}));
    Tick();
    Tick();
    EXPECT_EQ(Take(), (Calls{"ChangeServiceID(1025)", "ChangeServiceID(1025)", "KillTimer"}));
    EXPECT_FALSE(tune.InProgress());
}

TEST_F(Tuning, HostAnsweringInsideChangeServiceIdKeepsTheRequestUntilTheRestartedSecondTick)
{
    int asked = 0;
    host.answer = [&](int serviceId) {
        if (++asked == 2) StreamChange(27, serviceId);
    };
    Command(1);
    Tick();
    Tick();
    EXPECT_EQ(Take(), (Calls{"SetTimer(1000)", "ChangeServiceID(1025)", "ChangeServiceID(1025)", "KillTimer",
                             "SetTimer(2000)"}));
    EXPECT_TRUE(tune.InProgress());
    EXPECT_EQ(tuneTicks, 0);
    Command(2);  // still waiting
    Tick();
    EXPECT_TRUE(Take().empty());
    Tick();
    EXPECT_EQ(Take(), (Calls{"KillTimer"}));
    EXPECT_FALSE(tune.InProgress());
}

TEST_F(Tuning, ServiceAlreadyReceivedDoesNothing)
{
    Command(0);
    EXPECT_TRUE(Take().empty());
    EXPECT_FALSE(tune.InProgress());
    EXPECT_EQ(pendingServiceId, 0);
}

TEST_F(Tuning, CommandsWhileWaitingUnknownChannelsAndBadRowsAreIgnored)
{
    Command(2);
    Take();
    Command(1);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(pendingServiceId, 1032);
    Tick();
    Tick();
    Take();
    Command(3);  // channel 0
    Command(4);  // no row
    Command(-1);
    Command(50);
    EXPECT_TRUE(Take().empty());
    EXPECT_FALSE(tune.InProgress());
}

TEST_F(Tuning, RequestLapsesAfterTheSecondTick)
{
    Command(2);
    Take();
    Tick();
    Tick();
    EXPECT_EQ(Take(), (Calls{"KillTimer"}));
    EXPECT_EQ(pendingChannel, 0);
    // A stream change after the lapse restarts nothing, and a late tick does nothing.
    StreamChange(22, 1033);
    Tick();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(tuneTicks, 2);
}

TEST_F(Tuning, RecordingBlocksEveryTunePath)
{
    EXPECT_TRUE(RecordingFromControls("録画中", false));
    EXPECT_TRUE(RecordingFromControls("Recording", false));
    EXPECT_TRUE(RecordingFromControls(nullptr, true));
    EXPECT_FALSE(RecordingFromControls("録画中 ", false));
    EXPECT_FALSE(RecordingFromControls("recording", false));
    EXPECT_FALSE(RecordingFromControls("", false));
    EXPECT_FALSE(RecordingFromControls(nullptr, false));

    const bool recording = RecordingFromControls("録画中", false);
    EXPECT_FALSE(DoubleClickCommand(2, recording));
    EXPECT_EQ(DoubleClickCommand(2, false), 2102);
    Command(2, recording);
    EXPECT_TRUE(Take().empty());
    EXPECT_FALSE(tune.InProgress());

    PinJapanTime();
    StreamParser parser;
    const int position = FindOrAddService(parser.store, 1032);
    const Bytes eit = MakeEit({.serviceId = 1032, .events = {Programme(1, At(20, 0), 60, u8"ニュース")}});
    ASSERT_TRUE(StoreSection(parser.store.services[position]->schedule[0], eit.data(), eit.size()));
    const auto menu = BuildProgrammeMenu(parser.store, 2, 1032, "NHK", false, recording, Stamp(20, 10));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->titleCommand, 0);
    EXPECT_EQ(menu->title, Sjis(u8"［NHK］"));
}

TEST(TuningBusyTest, ARunningRequestOrARecordingMakesItBusy)
{
    int asked = 0;
    EXPECT_TRUE(TuningBusy(true, [&] { return ++asked > 0; }));
    EXPECT_EQ(0, asked) << "no window search while a request runs";
    EXPECT_TRUE(TuningBusy(false, [] { return true; }));
    EXPECT_FALSE(TuningBusy(false, [] { return false; }));
}

}  // namespace
