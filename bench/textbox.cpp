// The text box on one line of a megabyte (a file opened under "All Files"),
// on the offscreen platform, painted as on a screen. Figures:
//   Keystroke    one character typed in the middle of the line, until the
//                box has painted it (aim: under 50 ms)
//   End          End from the start of the line, painted
//   IdleBlink    a focused box left alone for two seconds with its caret
//                blinking; "core" is the share of one core it used (aim:
//                under 1 %)
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <string>

#include "textbox/SourceTextView.h"

namespace {

constexpr std::size_t LineBytes = 1'000'000;

struct Box {
    textbox::SourceTextView view;
    Box() {
        std::string line;
        while (line.size() < LineBytes) line += "    sText = sText & \"abc\" ' 0123456789 ";
        view.setCrLfLineEnds(true);
        view.resize(900, 600);
        view.setBytes(line + "\r\nEnd Sub\r\n");
        view.show();
        view.setFocus();
        if (!QTest::qWaitForWindowActive(&view) || !view.hasFocus()) std::abort();
    }
    void paint() { view.viewport()->repaint(); }
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_Keystroke(benchmark::State& state) {
    Box box;
    box.view.setSelection(LineBytes / 2, LineBytes / 2);
    box.paint();
    for (auto _ : state) {
        QTest::keyClick(&box.view, Qt::Key_X);
        box.paint();
    }
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

void BM_End(benchmark::State& state) {
    Box box;
    for (auto _ : state) {
        QTest::keyClick(&box.view, Qt::Key_Home);
        QTest::keyClick(&box.view, Qt::Key_End);
        box.paint();
    }
}
BENCHMARK(BM_End)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

void BM_IdleBlink(benchmark::State& state) {
    Box box;
    QTest::keyClick(&box.view, Qt::Key_End);
    box.paint();
    for (auto _ : state) {
        const double before = cpuSeconds();
        QTest::qWait(2000);
        state.counters["core"] = benchmark::Counter((cpuSeconds() - before) / 2.0, benchmark::Counter::kDefaults,
                                                    benchmark::Counter::OneK::kIs1000);
    }
}
BENCHMARK(BM_IdleBlink)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
