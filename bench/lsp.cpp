// The language server on real code: how long after a change to a module of
// 5,000 lines its diagnostics arrive (the target is 50 ms), and how much
// memory a server holding 200 open documents uses. Real modules come from
// the corpus folder ($VARNEL_CORPUS, or ../shared/corpus beside the source
// tree); without it a generated module stands in.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "../tests/lsp/LspClient.h"

namespace fs = std::filesystem;

namespace {

fs::path corpus() {
    if (const char* c = std::getenv("VARNEL_CORPUS")) return c;
    return fs::path(VARNEL_SOURCE_DIR) / ".." / "shared" / "corpus";
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The UTF-8 text an editor holds for a Windows-1252 file.
std::string asUtf8(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

// The corpus's modules, classes and forms, largest first.
std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(corpus(), ec)) return files;
    for (const auto& e : fs::recursive_directory_iterator(corpus(), ec)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (e.is_regular_file() && (ext == ".bas" || ext == ".cls" || ext == ".frm")) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return fs::file_size(a) > fs::file_size(b); });
    return files;
}

// A module of exactly `lines` lines: real modules joined, or a generated one.
std::string moduleOf(long lines) {
    std::string text;
    long count = 0;
    for (const fs::path& p : corpusFiles()) {
        if (p.extension() != ".bas") continue;
        std::istringstream in(readFile(p));
        for (std::string line; count < lines && std::getline(in, line); ++count) text += line + "\n";
        if (count >= lines) break;
    }
    for (long i = 0; count < lines; ++i, count += 3)
        text += "Private Sub P" + std::to_string(i) + "(vlA As Long)\r\n    Dim x\r\nEnd Sub\r\n";
    return asUtf8(text);
}

long rssKilobytes(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// The processor time the process has used, user and system, in milliseconds.
double cpuMilliseconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string f;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i)
        if (i >= 14) ticks += std::stod(f);
    return ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

const std::string Uri = "file:///bench/modBig.bas";

void BM_DiagnosticsAfterChange(benchmark::State& state) {
    LspClient c(SIFTON_PROGRAM);
    c.initialize({{"sifton", {{"level", 3}}}});
    const std::string text = moduleOf(5000);
    c.open(Uri, text);
    c.diagnostics(Uri, 60);
    int version = 1;
    std::size_t found = 0;
    const double cpuBefore = cpuMilliseconds(c.pid());
    for (auto _ : state) {
        ++version;
        const auto start = std::chrono::steady_clock::now();
        // A comment mark typed at the start of the middle line, then taken away.
        const bool typing = version % 2 == 0;
        const json where = {{"start", {{"line", 2500}, {"character", 0}}},
                            {"end", {{"line", 2500}, {"character", typing ? 0 : 1}}}};
        const json change = {{"range", where}, {"text", typing ? "'" : ""}};
        c.notify("textDocument/didChange",
                 {{"textDocument", {{"uri", Uri}, {"version", version}}}, {"contentChanges", json::array({change})}});
        const json d = c.diagnostics(Uri, 60);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        found = d["params"]["diagnostics"].size();
    }
    state.counters["lines"] = 5000;
    // What the server spent per change, apart from the machine's load.
    state.counters["server_cpu_ms"] = (cpuMilliseconds(c.pid()) - cpuBefore) / static_cast<double>(state.iterations());
    state.counters["diagnostics"] = static_cast<double>(found);
}
BENCHMARK(BM_DiagnosticsAfterChange)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_MemoryOf200OpenDocuments(benchmark::State& state) {
    std::vector<fs::path> files = corpusFiles();
    if (files.size() > 200) files.resize(200);  // the 200 largest
    for (auto _ : state) {
        LspClient c(SIFTON_PROGRAM);
        c.initialize({{"sifton", {{"level", 3}}}});
        const long before = rssKilobytes(c.pid());
        double bytes = 0;
        int n = 0;
        for (const fs::path& p : files) {
            const std::string text = asUtf8(readFile(p));
            bytes += static_cast<double>(text.size());
            const std::string uri = "file://" + p.string();
            c.open(uri, text);
            c.diagnostics(uri, 60);
            ++n;
        }
        for (int i = n; i < 200; ++i) {
            const std::string uri = "file:///bench/gen" + std::to_string(i) + ".bas";
            const std::string text = moduleOf(600);
            bytes += static_cast<double>(text.size());
            c.open(uri, text);
            c.diagnostics(uri, 60);
        }
        state.counters["server_MB_before"] = static_cast<double>(before) / 1024.0;
        state.counters["server_MB_200_docs"] = static_cast<double>(rssKilobytes(c.pid())) / 1024.0;
        state.counters["documents_MB"] = bytes / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_MemoryOf200OpenDocuments)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
