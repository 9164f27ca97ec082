#pragma once

// Times only the operation of each iteration: whatever puts the board back into the state the
// operation starts from runs outside the clock.

#include <benchmark/benchmark.h>

#include <chrono>

namespace tessfield::bench {

template <typename Prepare, typename Measure>
void timeEach(benchmark::State &state, Prepare &&prepare, Measure &&measure)
{
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        prepare();
        benchmark::ClobberMemory();
        const auto start = Clock::now();
        measure();
        benchmark::ClobberMemory();
        const auto stop = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
}

inline void nothing() {}

} // namespace tessfield::bench
