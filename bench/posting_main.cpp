// Entry point of bench_posting; each posting_*_bench.cpp file registers its own benchmarks.
#include "ocrworker/OcrRuntime.h"

#include <benchmark/benchmark.h>

// Recognition is measured the way the application runs it: with the OpenMP thread
// limit that the application sets for itself before anything else.
int main(int argc, char** argv)
{
    ensureOcrThreadLimit(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
