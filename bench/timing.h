#pragma once

// Times only the operation of each iteration: whatever puts the board back into the state the
// operation starts from runs outside the clock. The wall clock is the figure; the thread's
// CPU time is kept beside it (counter cpu_ms), which tells an operation's own cost from a
// time slice lost to another process on a busy machine.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace tessfield::bench {

inline double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Prepare, typename Measure>
void timeEach(benchmark::State &state, Prepare &&prepare, Measure &&measure)
{
    using Clock = std::chrono::steady_clock;
    double cpu = 0.0;
    for (auto _ : state) {
        prepare();
        benchmark::ClobberMemory();
        const double cpuStart = threadCpuSeconds();
        const auto start = Clock::now();
        measure();
        benchmark::ClobberMemory();
        const auto stop = Clock::now();
        cpu += threadCpuSeconds() - cpuStart;
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1e3, benchmark::Counter::kAvgIterations);
}

inline void nothing() {}

} // namespace tessfield::bench
