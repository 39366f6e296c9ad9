// Converting generated xBase programs: lines per second, at two sizes so that
// the time can be seen to grow linearly with the input.
#include <benchmark/benchmark.h>

#include <string>

#include "convert/ConvertXBase.h"

namespace {

// A procedure of 20 lines using most rule families; repeated to the size.
const char* const Procedure[] = {
    "PROCEDURE Post%d",
    "LOCAL nTotal := 0, count",
    "* post the open orders",
    "SELECT orders",
    "GO TOP",
    "DO WHILE .NOT. EOF()",
    "   IF orders->paid .AND. !empty(orders->note) // paid ones",
    "      nTotal += orders->amount",
    "      REPLACE posted WITH .T.",
    "   ELSEIF 'X' $ orders->flags",
    "      count++",
    "      LOOP",
    "   ENDIF",
    "   SKIP",
    "ENDDO",
    "DO CASE",
    "CASE nTotal > 1000",
    "   ? 'Large: ' + alltrim(str(nTotal))",
    "ENDCASE",
    "RETURN",
};

std::string program(std::int64_t lines) {
    std::string text;
    const std::int64_t per = sizeof Procedure / sizeof Procedure[0];
    for (std::int64_t i = 0; i < lines; ++i) {
        std::string line = Procedure[i % per];
        if (i % per == 0) line = "PROCEDURE Post" + std::to_string(i / per);
        text += line;
        text += "\r\n";
    }
    return text;
}

void BM_ConvertXBaseBlock(benchmark::State& state) {
    const std::string input = program(state.range(0));
    for (auto _ : state) {
        convert::ConvertXBase converter;
        std::string out;
        converter.ConvertXBaseBlock(input, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("items = lines");
}

}  // namespace

BENCHMARK(BM_ConvertXBaseBlock)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
