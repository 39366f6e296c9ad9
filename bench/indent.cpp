// Re-indenting a generated module: lines per second, and how the time grows
// with the number of lines (it should grow linearly).
#include <benchmark/benchmark.h>

#include <string>

#include "indent/Indent.h"

namespace {

// A module of `lines` lines made of procedures with nested If, For, Select
// and Do blocks, labels, comments and blank lines, all flush left.
std::string generatedModule(int lines) {
    static const char* const procedure[] = {
        "Public Function Total(ByVal vlOrder As Long) As Currency",
        "Dim lcSum As Currency",
        "' Sum the lines of one order.",
        "For liLine = 1 To miCount",
        "If gaLines(liLine).Order = vlOrder Then",
        "lcSum = lcSum + gaLines(liLine).Amount",
        "Else",
        "Select Case gaLines(liLine).Kind",
        "Case 1",
        "lcSum = lcSum - 1",
        "Case Else",
        "Do While lcSum > 100",
        "lcSum = lcSum / 2",
        "Loop",
        "End Select",
        "End If",
        "Next liLine",
        "Total_Exit:",
        "Total = lcSum",
        "End Function",
        "",
    };
    constexpr int size = sizeof procedure / sizeof procedure[0];
    std::string text = "Attribute VB_Name = \"modBench\"\r\nOption Explicit\r\n";
    for (int i = 2; i < lines; ++i) {
        text += procedure[(i - 2) % size];
        text += "\r\n";
    }
    return text;
}

void BM_ReindentText(benchmark::State& state) {
    const std::string text = generatedModule(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(indent::ReindentText(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_ReindentText)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
