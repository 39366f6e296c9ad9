// Entity mode on a large module: building the entity list of a generated
// .BAS file (20 MB, about 40,000 procedures at the full size) and reading its
// last entity. The peak resident set is reported as a counter; it should stay
// near the size of the entity list, not of the file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor/SourceDocument.h"

namespace {

// Writes a module of `procedures` procedures, about 520 bytes each, line by
// line (the file is never held in memory here either).
std::string generateModule(int procedures) {
    std::string path =
        (std::filesystem::temp_directory_path() / ("varnel-bench-" + std::to_string(procedures) + ".bas")).string();
    if (std::filesystem::exists(path)) return path;
    std::ofstream out(path, std::ios::binary);
    out << "Attribute VB_Name = \"Big\"\r\nOption Explicit\r\nPrivate mTotal As Long\r\n\r\n";
    for (int i = 0; i < procedures; ++i) {
        out << "Private Function Proc" << i << "(ByVal nValue As Long) As Long\r\n"
            << "    Dim nIndex As Long\r\n"
            << "    ' Adds the value to the running total, one step at a time.\r\n"
            << "    ' The total wraps round before it grows past a million.\r\n"
            << "    ' Every step is printed to the immediate window for checking.\r\n"
            << "    For nIndex = 1 To nValue\r\n"
            << "        mTotal = mTotal + nIndex * " << i << "\r\n"
            << "    Next nIndex\r\n"
            << "    If mTotal > 1000000 Then mTotal = 0\r\n"
            << "    Proc" << i << " = mTotal\r\n"
            << "    Debug.Print \"Proc" << i << " done with \"; mTotal; \" at step \"; nValue\r\n"
            << "    mTotal = mTotal - 1\r\n"
            << "End Function\r\n\r\n";
    }
    return path;
}

double peakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_SplitEntities(benchmark::State& state) {
    const std::string path = generateModule(static_cast<int>(state.range(0)));
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    std::size_t entities = 0;
    for (auto _ : state) {
        doc.OpenSourceFile(path, editor::Mode::Entity);
        entities = doc.entityRecords().size();
        benchmark::DoNotOptimize(entities);
    }
    state.counters["entities"] = static_cast<double>(entities);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.counters["peak_RSS_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_SplitEntities)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_ReadLastEntity(benchmark::State& state) {
    const std::string path = generateModule(static_cast<int>(state.range(0)));
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    doc.OpenSourceFile(path, editor::Mode::Entity);
    const int last = static_cast<int>(doc.entityRecords().size()) - 1;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = doc.GetEntityText(last);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["text_bytes"] = static_cast<double>(bytes);
    state.counters["peak_RSS_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_ReadLastEntity)->Arg(40000)->Unit(benchmark::kMicrosecond);

}  // namespace
