// Entry point of bench_posting; each posting_*_bench.cpp file registers its own benchmarks.
#include "ocrworker/OcrRuntime.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

// Recognition is measured the way the application runs it: with the OpenMP thread
// limit that the application sets for itself before anything else.
int main(int argc, char** argv)
{
    ensureOcrThreadLimit(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Fonts for the images the recognition benchmarks draw; no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
