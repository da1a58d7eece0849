// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the benchmark programs: the target a figure is held against (a counter that the
// table of scripts/bench.sh reads back), a main() that runs the benchmarks inside an offscreen
// QApplication, and the sample driver every benchmark designs a box for.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace kelvanebench {

// Records the target of a benchmark, in microseconds of wall time per iteration.
inline void setTargetMicroseconds(benchmark::State &state, double us)
{
    state.counters["target_us"] = benchmark::Counter(us);
}

// The sample driver: Fs 30 Hz, Qts 0.4, Qes 0.45, Qms 4, Vas 85 litres, 100 W, Sd 220 cm2,
// Xmax 5 mm: a typical 10-inch woofer, whose vented fit settles in a few Newton steps.
struct SampleDriver {
    static constexpr double Fs = 30;
    static constexpr double Qts = 0.4;
    static constexpr double Qes = 0.45;
    static constexpr double Qms = 4;
    static constexpr double VasLitres = 85;
    static constexpr double VasCuFt = 85 * 0.0353145;
    static constexpr double Qtc = 0.707;
    static constexpr double Qloss = 7;
};

// The offscreen platform warns about every top-level window whose size hints it cannot pass on;
// that noise would bury the benchmark table.
inline void quietOffscreenHints()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &ctx, const QString &msg) {
        if (msg.contains(QLatin1String("propagateSizeHints")))
            return;
        if (previous)
            previous(type, ctx, msg);
    });
}

// Runs the registered benchmarks inside a QApplication on the offscreen platform.
inline int runWithApplication(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietOffscreenHints();
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kelvanebench

#define KELVANE_BENCHMARK_MAIN_WITH_APPLICATION()                                                  \
    int main(int argc, char **argv) { return kelvanebench::runWithApplication(argc, argv); }
