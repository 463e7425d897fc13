#include "benchmark/benchmark.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace benchmark {
namespace {

uint64_t ThreadCpu100ns()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) { return static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; };
    return ticks(kernel) + ticks(user);
}

std::vector<Benchmark*>& Registry()
{
    static std::vector<Benchmark*> registry;
    return registry;
}

const char* UnitName(TimeUnit unit)
{
    return unit == kMillisecond ? "ms" : unit == kMicrosecond ? "us" : unit == kSecond ? "s" : "ns";
}

double UnitScale(TimeUnit unit)
{
    return unit == kMillisecond ? 1e3 : unit == kMicrosecond ? 1e6 : unit == kSecond ? 1 : 1e9;
}

struct Run {
    double cpuPerIteration = 0, bytesPerSecond = 0, itemsPerSecond = 0;
    int64_t iterations = 0;
    std::map<std::string, double> counters;
    std::string error;
};

Run RunOnce(const Benchmark& b, int64_t arg, bool hasArg, double minSeconds)
{
    int64_t iterations = b.m_iterations ? b.m_iterations : 1;
    for (;;) {
        State state(iterations, hasArg ? std::vector<int64_t>{arg} : std::vector<int64_t>{});
        b.m_function(state);
        state.Finish();
        const double seconds = state.Seconds();
        if (b.m_iterations || seconds >= minSeconds || iterations >= (int64_t{1} << 40) || !state.Error().empty()) {
            Run run;
            run.iterations = iterations;
            run.error = state.Error();
            const double s = std::max(seconds, 1e-9);
            run.cpuPerIteration = s / static_cast<double>(iterations);
            run.bytesPerSecond = static_cast<double>(state.Bytes()) / s;
            run.itemsPerSecond = static_cast<double>(state.Items()) / s;
            for (const auto& [name, counter] : state.counters) run.counters[name] = counter.Value(s, iterations);
            return run;
        }
        const double grow = seconds > 0 ? std::min(10.0, std::max(1.4, minSeconds * 1.4 / seconds)) : 10.0;
        iterations = static_cast<int64_t>(static_cast<double>(iterations) * grow) + 1;
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintMedian(const std::string& name, TimeUnit unit, const std::vector<Run>& runs, bool first)
{
    std::vector<double> cpu, bytes, items;
    for (const Run& r : runs) cpu.push_back(r.cpuPerIteration), bytes.push_back(r.bytesPerSecond), items.push_back(r.itemsPerSecond);
    const double time = Median(cpu) * UnitScale(unit);
    std::printf("%s    {\n      \"name\": \"%s_median\",\n      \"run_name\": \"%s\",\n      \"run_type\": \"aggregate\",\n"
                "      \"aggregate_name\": \"median\",\n      \"iterations\": %lld,\n      \"real_time\": %.6g,\n"
                "      \"cpu_time\": %.6g,\n      \"time_unit\": \"%s\"",
                first ? "" : ",\n", name.c_str(), name.c_str(), static_cast<long long>(runs.size()), time, time, UnitName(unit));
    if (Median(bytes) > 0) std::printf(",\n      \"bytes_per_second\": %.6g", Median(bytes));
    if (Median(items) > 0) std::printf(",\n      \"items_per_second\": %.6g", Median(items));
    for (const auto& [counter, value] : runs.front().counters) {
        std::vector<double> values;
        for (const Run& r : runs) values.push_back(r.counters.at(counter));
        std::printf(",\n      \"%s\": %.6g", counter.c_str(), Median(values));
    }
    if (!runs.front().error.empty()) std::printf(",\n      \"error_message\": \"%s\"", runs.front().error.c_str());
    std::printf("\n    }");
}

}  // namespace

double Counter::Value(double seconds, int64_t iterations) const
{
    double v = m_value;
    if (m_flags & kIsRate) v /= seconds;
    if (m_flags & kAvgIterations) v /= static_cast<double>(iterations);
    if (m_flags & kInvert) v = v ? 1 / v : 0;
    return v;
}

State::Iterator State::begin()
{
    m_running = true;
    m_started = ThreadCpu100ns();
    return {this, m_max};
}

void State::PauseTiming()
{
    if (m_running) m_spent += ThreadCpu100ns() - m_started;
    m_running = false;
}

void State::ResumeTiming()
{
    m_started = ThreadCpu100ns();
    m_running = true;
}

void State::Finish() { PauseTiming(); }
double State::Seconds() const { return static_cast<double>(m_spent) / 1e7; }

Benchmark::Benchmark(std::string name, std::function<void(State&)> function)
    : m_name(std::move(name)), m_function(std::move(function)) {}
Benchmark* Benchmark::Arg(int64_t value) { m_args.push_back(value); return this; }
Benchmark* Benchmark::Iterations(int64_t n) { m_iterations = n; return this; }
Benchmark* Benchmark::Unit(TimeUnit unit) { m_unit = unit; return this; }

Benchmark* RegisterBenchmark(const char* name, void (*function)(State&))
{
    Registry().push_back(new Benchmark(name, function));
    return Registry().back();
}

int RunRegistered(int argc, char** argv)
{
    int repetitions = 1;
    double minSeconds = 0.5;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_repetitions=", 24) == 0) repetitions = std::max(1, std::atoi(argv[i] + 24));
        if (std::strncmp(argv[i], "--benchmark_min_time=", 21) == 0) minSeconds = std::atof(argv[i] + 21);
    }
    std::printf("{\n  \"context\": {\"library\": \"benchmark_lite\"},\n  \"benchmarks\": [\n");
    bool first = true;
    for (const Benchmark* b : Registry()) {
        const std::vector<int64_t> args = b->m_args.empty() ? std::vector<int64_t>{0} : b->m_args;
        for (int64_t arg : args) {
            char name[256];
            std::snprintf(name, sizeof name, "%s", b->m_name.c_str());
            if (!b->m_args.empty())
                std::snprintf(name + std::strlen(name), sizeof name - std::strlen(name), "/%lld", static_cast<long long>(arg));
            if (b->m_iterations)
                std::snprintf(name + std::strlen(name), sizeof name - std::strlen(name), "/iterations:%lld",
                              static_cast<long long>(b->m_iterations));
            std::vector<Run> runs;
            for (int r = 0; r < repetitions; ++r) runs.push_back(RunOnce(*b, arg, !b->m_args.empty(), minSeconds));
            PrintMedian(name, b->m_unit, runs, first);
            first = false;
            std::fflush(stdout);
        }
    }
    std::printf("\n  ]\n}\n");
    return 0;
}

}  // namespace benchmark

int main(int argc, char** argv) { return benchmark::RunRegistered(argc, argv); }
