// The demo host's decisions, kept free of Windows so they are tested natively: its
// command line, the invented physical channels of a one-multiplex stream, the tuner's
// answers to the plug-in's tuning calls, and the broadcast pace of the stream.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct StreamParser;

struct DemoOptions {
    std::string stream;      // transport-stream file; empty = the bundled sample stream
    double speed = 1.0;      // times the broadcast pace
    int seconds = 0;         // > 0: run this long, then save, print and exit
    std::string pngDir;      // save pictures of the plug-in's windows here
    bool print = false;      // print the list's rows as UTF-8
    std::string printFile;   // ... to this file instead of standard output
    bool fresh = false;      // set the plug-in's files aside first, so nothing is carried over
    std::string error;       // non-empty: the command line was not understood
};

// lumara-demo [STREAM.ts] [--fresh] [--speed N] [--seconds S] [--png DIR] [--print[=FILE]]
DemoOptions ParseDemoOptions(const std::vector<std::string>& arguments);
extern const char kDemoUsage[];

// One invented physical channel and the services it carries, in stream order.
struct DemoChannel {
    int channel = 0;
    std::vector<uint32_t> serviceIds;
};

// Services of one terrestrial broadcaster share all but the low three bits of their ids
// (a main service and its sub-channels): each such group gets a channel of its own, the
// first group 27, then 25, 23 ... 13, then 28, 30 ... 62, in the order the groups appear.
std::vector<DemoChannel> PlanChannels(const std::vector<uint32_t>& serviceIds);

// The services the stream's own SDT named, in store order; every stored service when
// none was named.
std::vector<uint32_t> StreamServiceIds(const StreamParser& parser);

struct TuneEvent {
    int channel = 0;
    uint32_t serviceId = 0;
    bool operator==(const TuneEvent&) const = default;
};

// What the host's tuner is on, and the stream change each tuning call leads to.
class DemoTuner {
public:
    explicit DemoTuner(std::vector<DemoChannel> plan) : m_plan(std::move(plan)) {}
    const std::vector<DemoChannel>& Plan() const { return m_plan; }

    // The stream changes of the start-up channel scan: every channel once, ending on the
    // first, so the plug-in learns the channel of every service. The tuner is then on it.
    std::vector<TuneEvent> StartUpScan();
    // A known channel: on it, with its first service. An unknown one changes nothing.
    std::optional<TuneEvent> SelectChannel(int channel);
    // A service of the current channel: on it. Any other id changes nothing.
    std::optional<TuneEvent> ChangeServiceID(uint32_t serviceId);

    int Channel() const { return m_current.channel; }
    uint32_t ServiceId() const { return m_current.serviceId; }
    // GetServiceList's answer: the services of the current channel.
    std::vector<uint32_t> CurrentServices() const;

private:
    const DemoChannel* Find(int channel) const;
    std::vector<DemoChannel> m_plan;
    TuneEvent m_current;
};

// Broadcast pace: a multiplex carries about 2 MB a second.
constexpr double kBroadcastBytesPerSecond = 2000000.0;
// Bytes the player should have handed over after `elapsedMs`, whole packets only.
uint64_t BytesDue(uint64_t elapsedMs, double speed);
