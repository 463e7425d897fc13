// The plug-in's stream calls for one broadcast hour of the soak's cost run, natively: the
// soak's main multiplex at its own pace (eight services, a null packet after each
// service-information packet) plus about 2 MB/s of audio and video stand-ins on a PID the
// plug-in does not read, in the host's blocks of 256 packets. The parser has taken the hour
// before, as a running viewer has; only the second hour is timed. Argument 0 leaves the
// stand-ins out: the service information's own cost.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "support/packetizer.h"
#include "soak/soak_broadcast.h"
#include "ts/stream_parser.h"

namespace {

constexpr size_t kPaddingPackets = 10640;  // as the soak's cost run
constexpr size_t kBlockBytes = 188 * 256;
constexpr int kSeconds = 3600;

struct Hours {
    std::vector<Bytes> seconds;  // two hours of the multiplex, second by second
    Bytes padding;
};

const Hours& TwoHours()
{
    static const Hours hours = [] {
        Hours h;
        SoakMultiplexPlan plan;
        for (int i = 0; i < 8; ++i) plan.services.push_back({static_cast<uint16_t>(0x0400 + 8 * i), "S"});
        plan.start = ToClock({2026, 12, 7, 19, 0, 0});
        plan.days = 1;
        SoakMultiplex multiplex(plan);
        for (int t = 1; t <= 2 * kSeconds; ++t) {
            Bytes second;
            multiplex.Play(plan.start + t, &second, nullptr);
            h.seconds.push_back(second);
        }
        for (size_t i = 0; i < kPaddingPackets; ++i) {
            const Bytes payload(184, static_cast<uint8_t>(i));
            AppendBytes(h.padding, MakePacket(0x0111, false, static_cast<int>(i % 16), payload));
        }
        return h;
    }();
    return hours;
}

void Feed(StreamParser& parser, const Bytes& stream)
{
    for (size_t at = 0; at < stream.size(); at += kBlockBytes)
        TakePackets(parser, stream.data() + at, std::min(kBlockBytes, stream.size() - at));
}

void BM_SoakBroadcastHour(benchmark::State& state)
{
    const Hours& hours = TwoHours();
    for (auto _ : state) {
        state.PauseTiming();
        auto parser = std::make_unique<StreamParser>();
        for (int t = 0; t < kSeconds; ++t) Feed(*parser, hours.seconds[static_cast<size_t>(t)]);
        state.ResumeTiming();
        for (int t = kSeconds; t < 2 * kSeconds; ++t) {
            Feed(*parser, hours.seconds[static_cast<size_t>(t)]);
            if (state.range(0)) Feed(*parser, hours.padding);
        }
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_SoakBroadcastHour)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
