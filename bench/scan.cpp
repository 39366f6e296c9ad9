// Scanning a generated tree of modules, forms and classes (about 20 MB at
// 500 modules), against "wc -w" over the same files in the same run. Two
// tree sizes and two sizes of a single module show that the scan is linear
// in its input.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lint/LintRun.h"
#include "scan/clsOculon.h"

namespace fs = std::filesystem;

namespace {

// One module of about `bytes` characters: a name line, declarations,
// procedures with parameters, statements, comments, continued lines and
// string literals with doubled quotes.
std::string makeModule(const std::string& name, const std::string& kind, std::size_t bytes) {
    std::string s;
    if (kind == "FRM") {
        s += "VERSION 5.00\r\nBegin VB.Form frm" + name + " \r\n   Caption         =   \"" + name + "\"\r\n";
        for (int i = 0; i < 20; ++i) {
            s += "   Begin VB.CommandButton cmdButton" + std::to_string(i) + " \r\n";
            s += "      Caption         =   \"&Button " + std::to_string(i) + "\"\r\n";
            s += "      Height          =   375\r\n      Left            =   " + std::to_string(120 * i) + "\r\n";
            s += "   End\r\n";
        }
        s += "End\r\n";
    }
    s += "Attribute VB_Name = \"" +
         std::string(kind == "BAS"   ? "mod"
                     : kind == "CLS" ? "cls"
                                     : "frm") +
         name + "\"\r\nOption Explicit\r\n";
    s += "' Shared state of the module.\r\nPrivate msName As String\r\nPrivate miCount As Integer\r\n";
    s += "Dim Count As Integer\r\nPublic Const MAX_ITEMS = 100\r\n";
    int n = 0;
    while (s.size() < bytes) {
        std::string p = std::to_string(n++);
        s += "Private Function mCompute" + p + "(ByVal vValue As Long, rsText As String) As Long\r\n";
        s += "    Dim lTotal As Long, lIndex As Long\r\n";
        s += "    ' Adds the values up, one by one.\r\n";
        s += "    For lIndex = 1 To vValue\r\n";
        s += "        lTotal = lTotal + lIndex * 2 ' running sum\r\n";
        s += "        rsText = rsText & Trim$(Str$(lIndex)) & \"He said \"\"hi\"\"\"\r\n";
        s += "    Next lIndex\r\n";
        s += "    If Len(rsText) > 100 Then rsText = Left$(rsText, 100) & _\r\n        \"...\"\r\n";
        s += "    mCompute" + p + " = lTotal\r\n";
        s += "End Function\r\n\r\n";
        s += "Public Sub Show" + p + "(sName, Optional ByRef rCount As Integer)\r\n";
        s += "    MsgBox \"Name: \" & sName & \", count \" & rCount, vbOKOnly, \"Title\"\r\n";
        s += "End Sub\r\n\r\n";
    }
    return s;
}

struct Tree {
    fs::path dir;
    std::vector<std::string> files;
    std::int64_t bytes = 0;
};

// A tree of `modules` files in the temporary folder, made once per size.
const Tree& tree(int modules) {
    static std::map<int, Tree> trees;
    auto it = trees.find(modules);
    if (it != trees.end()) return it->second;
    Tree t;
    t.dir = fs::temp_directory_path() / ("varnel-bench-scan-" + std::to_string(modules));
    fs::remove_all(t.dir);
    fs::create_directories(t.dir);
    const char* kinds[] = {"BAS", "FRM", "CLS"};
    for (int i = 0; i < modules; ++i) {
        std::string kind = kinds[i % 3];
        std::string name = "Part" + std::to_string(i);
        fs::path file = t.dir / name;
        file += "." + kind;
        std::string text = makeModule(name, kind, 40000);
        std::ofstream(file, std::ios::binary) << text;
        t.files.push_back(file.string());
        t.bytes += static_cast<std::int64_t>(text.size());
    }
    return trees.emplace(modules, std::move(t)).first->second;
}

void BM_ScanTree(benchmark::State& state) {
    const Tree& t = tree(static_cast<int>(state.range(0)));
    scan::setCheckLevel(3);
    scan::clsOculon oculon("/nonexistent/UserDefs.txt");
    std::size_t reportBytes = 0;
    for (auto _ : state) {
        for (const std::string& f : t.files) {
            oculon.Load(f);
            reportBytes += oculon.sFillMessages().size();
        }
    }
    benchmark::DoNotOptimize(reportBytes);
    state.SetBytesProcessed(state.iterations() * t.bytes);
    state.counters["MB"] = static_cast<double>(t.bytes) / 1e6;
}
BENCHMARK(BM_ScanTree)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

// "wc -w" over the same files, timed from the outside.
void BM_WcWords(benchmark::State& state) {
    const Tree& t = tree(static_cast<int>(state.range(0)));
    const std::string cmd = "cd '" + t.dir.string() + "' && wc -w * > /dev/null";
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int rc = std::system(cmd.c_str());
        auto end = std::chrono::steady_clock::now();
        if (rc != 0) state.SkipWithError("wc failed");
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetBytesProcessed(state.iterations() * t.bytes);
}
BENCHMARK(BM_WcWords)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond)->UseManualTime();

// The command line's scan of the 500-module tree, as "sifton --level L
// --format F -j N TREE > /dev/null" runs it: each format with one worker at
// level 3, and the report with two workers and at level 1. Set beside
// "wc -w" over the same tree above.
void BM_SiftonRun(benchmark::State& state) {
    const Tree& t = tree(500);
    const char* names[] = {"report", "gcc", "json", "sarif"};
    lint::Options options;
    options.level = static_cast<int>(state.range(2));
    options.format = *lint::parseFormat(names[state.range(0)]);
    options.jobs = static_cast<unsigned>(state.range(1));
    options.quiet = true;
    options.userDefs = (t.dir / "none.txt").string();
    std::ofstream(options.userDefs.value()) << "";
    options.paths = {t.dir.string()};
    std::FILE* null = std::fopen("/dev/null", "wb");
    std::ostringstream err;
    for (auto _ : state) benchmark::DoNotOptimize(lint::run(options, null, err));
    std::fclose(null);
    state.SetBytesProcessed(state.iterations() * t.bytes);
    state.SetLabel(std::string(names[state.range(0)]) + " -j " + std::to_string(state.range(1)) + " --level " +
                   std::to_string(state.range(2)));
}
BENCHMARK(BM_SiftonRun)
    ->Args({0, 1, 3})
    ->Args({1, 1, 3})
    ->Args({2, 1, 3})
    ->Args({3, 1, 3})
    ->Args({0, 2, 3})
    ->Args({0, 1, 1})
    ->Args({0, 2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One large module from memory: 2 MB and 8 MB, to see that a single file's
// time grows with its size and no faster.
void BM_ScanOneModule(benchmark::State& state) {
    const std::string text = makeModule("Big", "BAS", static_cast<std::size_t>(state.range(0)) << 20);
    scan::setCheckLevel(3);
    scan::clsOculon oculon("/nonexistent/UserDefs.txt");
    for (auto _ : state) {
        oculon.LoadFromText("MODBIG.BAS", text);
        benchmark::DoNotOptimize(oculon.sFillMessages());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ScanOneModule)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
