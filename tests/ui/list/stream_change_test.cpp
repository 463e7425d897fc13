#include "ui/list/stream_change.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/programme_store.h"
#include "support/packetizer.h"
#include "support/parser_probe.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

namespace {

class FakeServiceList : public ServiceListSource {
public:
    int GetServiceList(HostServiceRecord* records, int* count) override
    {
        ++calls;
        if (during) during(records, count);
        for (size_t i = 0; i < serviceIds.size() && i < kHostServiceCapacity; ++i) records[i].serviceId = serviceIds[i];
        *count = reportedCount.value_or(static_cast<int>(serviceIds.size()));
        return result;
    }
    std::vector<uint32_t> serviceIds;
    std::optional<int> reportedCount;  // none: the number of ids
    int result = 1;
    int calls = 0;
    std::function<void(HostServiceRecord*, int*)> during;
};

class StreamChange : public ::testing::Test {
protected:
    unsigned Change(int channel, int serviceId) { return RunStreamChange(lock, fields, host, channel, serviceId); }

    const ServiceEntry* Service(uint16_t serviceId) const
    {
        for (int i = 0; i < parserStorage->store.serviceCount; ++i)
            if (parserStorage->store.services[i]->serviceId == serviceId) return parserStorage->store.services[i];
        return nullptr;
    }

    std::unique_ptr<StreamParser> parserStorage = std::make_unique<StreamParser>();
    StreamParser* parser = parserStorage.get();
    int currentServiceId = -1;
    int currentChannel = -1;
    int pendingServiceId = 0;
    // Exactly the capacity, so a read past it is caught by the sanitizer build.
    std::vector<HostServiceRecord> hostServices = std::vector<HostServiceRecord>(kHostServiceCapacity);
    int hostServiceCount = 0;
    int lastServiceId = 0;
    StreamChangeFields fields{parser, currentServiceId, currentChannel, pendingServiceId,
                              hostServices.data(), hostServiceCount, lastServiceId};
    PluginLock lock;
    FakeServiceList host;
};

TEST_F(StreamChange, NoServiceOnlyDropsPartialSections)
{
    // An SDT section in two packets; the stream changes between them.
    const Bytes section = MakeSdt({.services = {{.serviceId = 0x0400, .serviceName = Raw(std::string(200, 'a'))}}});
    const Bytes packets = Packetizer(kPidSdt).Packetize(section);
    ASSERT_EQ(packets.size(), 2u * kPacketSize);
    SectionRecorder recorder(*parser);
    TakePackets(*parser, packets.data(), kPacketSize);
    EXPECT_EQ(Change(13, kNoServiceId), 0u);
    TakePackets(*parser, packets.data() + kPacketSize, kPacketSize);
    EXPECT_TRUE(recorder.sections.empty());
    EXPECT_EQ(host.calls, 0);

    Feed(*parser, packets);
    EXPECT_EQ(recorder.sections.size(), 1u);
}

TEST_F(StreamChange, AsksTheHostWithAnEmptyBufferAndWithoutTheLock)
{
    hostServices[3].serviceId = 0xDEAD;
    hostServiceCount = 7;
    host.during = [&](HostServiceRecord* records, int* count) {
        EXPECT_EQ(*count, 20);  // what the host is told it may fill
        EXPECT_EQ(records[3].serviceId, 0u);
        EXPECT_EQ(records[kHostServiceCapacity - 1].tail[1047], 0);
        // A host that waits for another thread which needs the lock must not deadlock.
        ASSERT_TRUE(lock.TryLock());
        lock.Unlock();
    };
    host.serviceIds = {0x0400};
    Change(13, 0x0400);
    EXPECT_EQ(host.calls, 1);
}

TEST_F(StreamChange, StopsWhereTheHostGivesNoUsableList)
{
    host.serviceIds = {0x0400, 0x0401};
    host.result = 0;
    EXPECT_EQ(Change(13, 0x0400), 0u);

    host.result = 1;
    host.reportedCount = kHostServiceCapacity;  // a full buffer is no list
    EXPECT_EQ(Change(13, 0x0400), unsigned{kWorkRefreshPopup});

    host.reportedCount = 5000;  // beyond the buffer: clamped, never read past it
    EXPECT_EQ(Change(13, 0x0400), unsigned{kWorkRefreshPopup});
    EXPECT_EQ(hostServiceCount, kHostServiceCapacity);

    EXPECT_EQ(parser->store.serviceCount, 0);
    EXPECT_EQ(currentServiceId, -1);
    EXPECT_EQ(currentChannel, -1);
    EXPECT_EQ(lastServiceId, 0);
}

TEST_F(StreamChange, StampsEachServiceWithTheFirstChannelItWasSeenOn)
{
    ASSERT_NE(FindOrAddService(parser->store, 0x0401), kNoService);
    host.serviceIds = {0x0408, 0x0400, 0x0401};
    EXPECT_EQ(Change(13, 0x0400), kWorkRefreshPopup | kWorkRepaintList);
    ASSERT_EQ(parser->store.serviceCount, 3);
    for (uint16_t id : {0x0400, 0x0401, 0x0408}) EXPECT_EQ(Service(id)->channel, 13) << id;
    EXPECT_EQ(currentServiceId, 0x0400);
    EXPECT_EQ(currentChannel, 13);
    EXPECT_EQ(lastServiceId, 0x0400);

    host.serviceIds = {0x0408, 0x0400, 0x0401, 0x0410};
    Change(27, 0x0410);
    for (uint16_t id : {0x0400, 0x0401, 0x0408}) EXPECT_EQ(Service(id)->channel, 13) << id;
    EXPECT_EQ(Service(0x0410)->channel, 27);
    EXPECT_EQ(currentChannel, 27);

    // The same service again stops before stamping and keeps the current stream.
    host.serviceIds = {0x0418};
    Change(40, 0x0410);
    EXPECT_EQ(Service(0x0418), nullptr);
    EXPECT_EQ(currentChannel, 27);

    // A full store stamps only the services it holds.
    for (uint16_t id = 1; parser->store.serviceCount < kMaxServices; ++id) FindOrAddService(parser->store, id);
    host.serviceIds = {0x0500, 1};
    Change(41, 1);
    EXPECT_EQ(Service(0x0500), nullptr);
    EXPECT_EQ(Service(1)->channel, 41);
}

TEST_F(StreamChange, RestartsTheTuningTimerOnlyWhileARequestIsPending)
{
    host.serviceIds = {0x0400, 0x0408};
    EXPECT_EQ(Change(13, 0x0400) & kWorkRestartTuneTimer, 0u);
    pendingServiceId = 0x0408;
    EXPECT_EQ(Change(13, 0x0408), kWorkRefreshPopup | kWorkRestartTuneTimer | kWorkRepaintList);
    // Stopped early, the timer is not re-armed.
    EXPECT_EQ(Change(13, 0x0408) & kWorkRestartTuneTimer, 0u);
    pendingServiceId = 1;  // the smallest service id
    EXPECT_NE(Change(13, 0x0400) & kWorkRestartTuneTimer, 0u);
}

TEST_F(StreamChange, NothingHappensWithoutAParser)
{
    parserStorage.reset();
    parser = nullptr;
    host.serviceIds = {0x0400};
    EXPECT_EQ(Change(13, 0x0400), 0u);
    EXPECT_EQ(host.calls, 0);
    EXPECT_EQ(lastServiceId, 0);

    // The window goes while the host answers: the list is not used.
    parserStorage = std::make_unique<StreamParser>();
    parser = parserStorage.get();
    host.during = [&](HostServiceRecord*, int*) { parser = nullptr; };
    EXPECT_EQ(Change(13, 0x0400), unsigned{kWorkRefreshPopup});
    EXPECT_EQ(lastServiceId, 0);
}

TEST_F(StreamChange, NegativeCountStampsNothing)
{
    host.serviceIds = {0x0400};
    host.reportedCount = -3;
    EXPECT_EQ(Change(13, 0x0400), kWorkRefreshPopup | kWorkRepaintList);
    EXPECT_EQ(parser->store.serviceCount, 0);
    EXPECT_EQ(currentServiceId, 0x0400);
}

}  // namespace
