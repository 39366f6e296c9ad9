// Walks every line of a large text with MLCount and MemoLine (width 0), the
// loop every caller of the library runs. Reports bytes per second; the walk
// must stay linear in the text size.
#include <benchmark/benchmark.h>

#include <string>

#include "textlib/TextLib.h"

namespace {

std::string makeText(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 100);
    int i = 0;
    while (text.size() < bytes) {
        text += "    Dim nCounter" + std::to_string(i++) + " As Long   ' a line of ordinary source\r\n";
    }
    return text;
}

void BM_MemoLineWalk(benchmark::State& state) {
    const std::string text = makeText(static_cast<std::size_t>(state.range(0)) << 20);
    std::size_t total = 0;
    for (auto _ : state) {
        const auto count = textlib::MLCount(text, 0);
        for (std::int64_t i = 1; i <= count; ++i) total += textlib::MemoLine(text, 0, i).size();
    }
    benchmark::DoNotOptimize(total);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_MemoLineWalk)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
