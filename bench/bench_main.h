#pragma once

// The main function every benchmark program shares: Google Benchmark's own arguments, then
// the program's preparation (a window to show, say), its registrations and the run.

#include <benchmark/benchmark.h>

namespace tessfield::bench {

template <typename Prepare, typename Register>
int runBenchmarks(int &argc, char **argv, Prepare prepare, Register registerAll)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!prepare())
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace tessfield::bench
