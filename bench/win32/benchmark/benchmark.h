// A small stand-in for the part of Google Benchmark the benchmarks use, for the Windows build
// (the library is not packaged for MinGW). Same names, same command-line flags for what
// bench/report passes, same JSON shape for its reader; times are the thread's CPU time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace benchmark {

enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond, kSecond };

class Counter {
public:
    enum Flags { kDefaults = 0, kIsRate = 1, kAvgIterations = 2, kInvert = 4 };
    Counter(double value = 0, int flags = kDefaults) : m_value(value), m_flags(flags) {}
    double Value(double seconds, int64_t iterations) const;

private:
    double m_value;
    int m_flags;
};

class State {
public:
    State(int64_t iterations, std::vector<int64_t> args) : m_max(iterations), m_args(std::move(args)) {}

    // A value with a destructor of its own, so that `for (auto _ : state)` warns of nothing.
    struct Value {
        ~Value() {}
    };
    struct Iterator {
        State* state;
        int64_t left;
        bool operator!=(const Iterator&) const { return left > 0; }
        void operator++() { --left; }
        Value operator*() const { return {}; }
    };
    Iterator begin();
    Iterator end() { return {this, 0}; }

    int64_t iterations() const { return m_max; }
    int64_t range(size_t i = 0) const { return i < m_args.size() ? m_args[i] : 0; }
    void PauseTiming();
    void ResumeTiming();
    void SetBytesProcessed(int64_t bytes) { m_bytes = bytes; }
    void SetItemsProcessed(int64_t items) { m_items = items; }
    void SkipWithError(const char* message) { m_error = message; }

    std::map<std::string, Counter> counters;

    // Filled by the runner.
    double Seconds() const;
    int64_t Bytes() const { return m_bytes; }
    int64_t Items() const { return m_items; }
    const std::string& Error() const { return m_error; }
    void Finish();

private:
    int64_t m_max;
    std::vector<int64_t> m_args;
    int64_t m_bytes = 0, m_items = 0;
    std::string m_error;
    uint64_t m_started = 0, m_spent = 0;
    bool m_running = false;
};

class Benchmark {
public:
    Benchmark(std::string name, std::function<void(State&)> function);
    Benchmark* Arg(int64_t value);
    Benchmark* Iterations(int64_t n);
    Benchmark* Unit(TimeUnit unit);

    std::string m_name;
    std::function<void(State&)> m_function;
    std::vector<int64_t> m_args;
    int64_t m_iterations = 0;
    TimeUnit m_unit = kNanosecond;
};

Benchmark* RegisterBenchmark(const char* name, void (*function)(State&));
int RunRegistered(int argc, char** argv);

template <class T>
inline void DoNotOptimize(T&& value)
{
    asm volatile("" : : "g"(value) : "memory");
}
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

}  // namespace benchmark

#define BENCHMARK_CONCAT_(a, b) a##b
#define BENCHMARK_CONCAT(a, b) BENCHMARK_CONCAT_(a, b)
#define BENCHMARK(function)                                                              \
    static ::benchmark::Benchmark* BENCHMARK_CONCAT(benchmark_registered_, __LINE__) = \
        ::benchmark::RegisterBenchmark(#function, function)
