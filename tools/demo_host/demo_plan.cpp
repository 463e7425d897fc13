#include "demo_plan.h"

#include <algorithm>
#include <cstdlib>

#include "store/service_entry.h"
#include "ts/stream_parser.h"

const char kDemoUsage[] = "usage: lumara-demo [STREAM.ts] [--fresh] [--speed N] [--seconds S] [--png DIR] [--print[=FILE]]";

namespace {

bool ParseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

}  // namespace

DemoOptions ParseDemoOptions(const std::vector<std::string>& arguments)
{
    DemoOptions options;
    for (size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        double number = 0;
        if (a == "--speed" || a == "--seconds") {
            if (!hasValue || !ParseNumber(arguments[++i], number) || number <= 0 || number > 1000000) {
                options.error = a + " needs a positive number";
            } else if (a == "--speed") {
                options.speed = number;
            } else {
                options.seconds = static_cast<int>(number + 0.5) > 0 ? static_cast<int>(number + 0.5) : 1;
            }
        } else if (a == "--png") {
            if (!hasValue) options.error = "--png needs a folder";
            else options.pngDir = arguments[++i];
        } else if (a == "--fresh") {
            options.fresh = true;
        } else if (a == "--print" || a.rfind("--print=", 0) == 0) {
            options.print = true;
            if (a.size() > 8) options.printFile = a.substr(8);
        } else if (a.rfind("--", 0) == 0 || !options.stream.empty()) {
            options.error = "unexpected argument: " + a;
        } else {
            options.stream = a;
        }
    }
    return options;
}

std::vector<DemoChannel> PlanChannels(const std::vector<uint32_t>& serviceIds)
{
    std::vector<DemoChannel> plan;
    std::vector<uint32_t> groups;
    for (uint32_t id : serviceIds) {
        const uint32_t group = id >> 3;
        auto found = std::find(groups.begin(), groups.end(), group);
        if (found == groups.end()) {
            const int index = static_cast<int>(groups.size());
            const int channel = index < 8 ? 27 - 2 * index : std::min(62, 28 + 2 * (index - 8));
            groups.push_back(group);
            plan.push_back({channel, {}});
            found = groups.end() - 1;
        }
        auto& ids = plan[static_cast<size_t>(found - groups.begin())].serviceIds;
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    return plan;
}

std::vector<uint32_t> StreamServiceIds(const StreamParser& parser)
{
    std::vector<uint32_t> named;
    std::vector<uint32_t> all;
    const int count = std::min(parser.store.serviceCount, kMaxServices);
    for (int i = 0; i < count; ++i) {
        const ServiceEntry* service = parser.store.services[i];
        if (!service) continue;
        all.push_back(service->serviceId);
        if (service->serviceNameLength > 0) named.push_back(service->serviceId);
    }
    return named.empty() ? all : named;
}

const DemoChannel* DemoTuner::Find(int channel) const
{
    for (const DemoChannel& c : m_plan)
        if (c.channel == channel && !c.serviceIds.empty()) return &c;
    return nullptr;
}

std::vector<TuneEvent> DemoTuner::StartUpScan()
{
    std::vector<TuneEvent> scan;
    for (auto c = m_plan.rbegin(); c != m_plan.rend(); ++c)
        if (!c->serviceIds.empty()) scan.push_back({c->channel, c->serviceIds.front()});
    if (!scan.empty()) m_current = scan.back();
    return scan;
}

std::optional<TuneEvent> DemoTuner::SelectChannel(int channel)
{
    const DemoChannel* c = Find(channel);
    if (!c) return std::nullopt;
    m_current = {c->channel, c->serviceIds.front()};
    return m_current;
}

std::optional<TuneEvent> DemoTuner::ChangeServiceID(uint32_t serviceId)
{
    const DemoChannel* c = Find(m_current.channel);
    if (!c || std::find(c->serviceIds.begin(), c->serviceIds.end(), serviceId) == c->serviceIds.end())
        return std::nullopt;
    m_current.serviceId = serviceId;
    return m_current;
}

std::vector<uint32_t> DemoTuner::CurrentServices() const
{
    const DemoChannel* c = Find(m_current.channel);
    return c ? c->serviceIds : std::vector<uint32_t>{};
}

uint64_t BytesDue(uint64_t elapsedMs, double speed)
{
    const double bytes = static_cast<double>(elapsedMs) * kBroadcastBytesPerSecond * speed / 1000.0;
    if (bytes >= 1e18) return UINT64_C(1000000000000000000) / kPacketSize * kPacketSize;
    return static_cast<uint64_t>(bytes) / kPacketSize * kPacketSize;
}
