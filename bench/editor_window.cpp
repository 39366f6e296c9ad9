// The editor window on a big file in whole-file mode: a generated 20 MB
// module (about 516,000 lines) opened from the command line, driven through
// the real window on the offscreen platform. Figures:
//   Open          from the window's creation until a key typed into the
//                 editing area has been answered; "rss/file" is the growth
//                 of the process's resident memory over the file's size,
//                 "held/file" the same once freed memory went back
//   FindNext      one Find Next that finds the next of 20 hits (about 1 MB on)
//   FindNextMiss  one Find Next from the start that finds nothing
//   ReplaceAll    Replace All of 20 hits through the dialog; the one-step
//                 undo that puts the text back is not timed
//   ReplaceAllEveryLine  the same with a hit on every line
//   Keystroke     one key typed and answered, with the recovery file off (0)
//                 or written as often as it may be (1: after every pause of
//                 20 ms, at least every 100 ms); "worst" is the slowest key
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include "textbox/SourceTextView.h"
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>

#include "editor/Search.h"
#include "editor/ui/frmEdit32.h"
#include "support/Recording.h"

namespace {

constexpr std::size_t FileBytes = 20'000'000;
constexpr int Hits = 20;

// A module of about FileBytes bytes, CR LF line ends, with "MarkerWord" on
// Hits lines spread evenly through it.
const std::string& bigFile() {
    static const std::string path = [] {
        std::string text = "Attribute VB_Name = \"modBig\"\r\nOption Explicit\r\n";
        const std::size_t lines = FileBytes / 39;
        for (std::size_t i = 0; text.size() < FileBytes; ++i) {
            const std::string n = std::to_string(i);
            if (i % 40 == 0) text += "Public Sub Proc" + n + "(ByVal lValue As Long)\r\n";
            if (i % (lines / Hits) == lines / Hits / 2) text += "    sText = \"MarkerWord\" & " + n + "\r\n";
            else text += "    lTotal = lTotal + " + n + " ' add\r\n";
            if (i % 40 == 39) text += "End Sub\r\n";
        }
        const auto file = std::filesystem::temp_directory_path() / "varnel_bench_big.bas";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        return file.string();
    }();
    return path;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Answers the next modal dialog with `answer` once it is shown.
void onNextDialog(const std::function<void(QDialog*)>& answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()); d && d->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(d);
        }
    });
    timer->start(1);
}

struct OpenWindow {
    std::unique_ptr<editor::ui::frmEdit32> window;
    textbox::SourceTextView* edit = nullptr;
};

// The window as the program starts it with the file on its command line,
// shown, with the file on show and a first key answered.
OpenWindow openBigFile() {
    OpenWindow w;
    w.window = std::make_unique<editor::ui::frmEdit32>(bigFile());
    w.window->show();
    settle();
    w.edit = w.window->findChild<textbox::SourceTextView*>("txtEdit");
    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_End);
    QTest::keyClick(w.edit, Qt::Key_A);
    settle();
    return w;
}

QAction* item(QWidget* window, const char* name) {
    for (QAction* a : window->findChildren<QAction*>(name))
        if (!a->menu()) return a;
    return nullptr;
}

void BM_Open(benchmark::State& state) {
    platform::RecordingDesktop desktop;
    const double fileKb = static_cast<double>(std::filesystem::file_size(bigFile())) / 1024.0;
    double growth = 0, held = 0;
    bool opened = true;
    for (auto _ : state) {
        const long before = residentKb();
        OpenWindow w = openBigFile();
        growth = std::max(growth, static_cast<double>(residentKb() - before));
        malloc_trim(0);  // what stays once the freed memory has gone back to the system
        held = std::max(held, static_cast<double>(residentKb() - before));
        state.PauseTiming();
        opened = opened && w.window->editorText().size() >= FileBytes;
        w.window->document().setChanged(false);
        w.window.reset();
        settle();
        state.ResumeTiming();
    }
    if (!opened) state.SkipWithError("the file did not open");
    state.counters["rss/file"] = growth / fileKb;
    state.counters["held/file"] = held / fileKb;
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void findNext(benchmark::State& state, const std::string& what) {
    platform::RecordingDesktop desktop;
    OpenWindow w = openBigFile();
    editor::searchState() = editor::SearchState{};
    editor::searchState().searchText = what;
    editor::searchState().direction = 1;
    w.window->setSelection(0, 0);
    QAction* next = item(w.window.get(), "mnuFindNext");
    for (auto _ : state) {
        next->trigger();
        if (!desktop.boxes.shown.empty()) {  // past the last hit: start again
            state.PauseTiming();
            desktop.boxes.shown.clear();
            w.window->setSelection(0, 0);
            state.ResumeTiming();
        }
    }
    w.window->document().setChanged(false);
}

void BM_FindNext(benchmark::State& state) { findNext(state, "markerword"); }
BENCHMARK(BM_FindNext)->Unit(benchmark::kMillisecond)->Iterations(40)->UseRealTime();

void BM_FindNextMiss(benchmark::State& state) { findNext(state, "NoSuchWord"); }
BENCHMARK(BM_FindNextMiss)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void replaceAll(benchmark::State& state, const QString& what, const QString& with) {
    platform::RecordingDesktop desktop;
    OpenWindow w = openBigFile();
    const std::string before = w.window->editorText();
    const std::size_t hits = editor::occurrences(before, what.toStdString()).size();
    const auto longer = static_cast<std::size_t>(with.size() - what.size());
    bool replaced = true, restored = true;  // restored by one Ctrl+Z after each Replace All
    for (auto _ : state) {
        onNextDialog([&](QDialog* d) {
            d->findChild<QLineEdit*>("txtFindWhat")->setText(what);
            d->findChild<QLineEdit*>("txtReplaceWith")->setText(with);
            d->findChild<QPushButton*>("pbReplace")->click();
        });
        item(w.window.get(), "mnuReplace")->trigger();
        state.PauseTiming();
        replaced = replaced && w.window->editorText().size() == before.size() + hits * longer;
        QTest::keyClick(w.edit, Qt::Key_Z, Qt::ControlModifier);
        restored = restored && w.window->editorText() == before;
        state.ResumeTiming();
    }
    if (!replaced) state.SkipWithError("not replaced");
    state.counters["hits"] = static_cast<double>(hits);
    state.counters["undone"] = restored ? 1 : 0;
    w.window->document().setChanged(false);
}

void BM_ReplaceAll(benchmark::State& state) { replaceAll(state, "MarkerWord", "ReplacedWordLonger"); }
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A replacement on every line: half a million hits.
void BM_ReplaceAllEveryLine(benchmark::State& state) { replaceAll(state, "' add", "' sum"); }
BENCHMARK(BM_ReplaceAllEveryLine)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Keystroke(benchmark::State& state) {
    platform::RecordingDesktop desktop;
    OpenWindow w = openBigFile();
    const auto folder = std::filesystem::temp_directory_path() / "varnel_bench_state";
    if (state.range(0))
        w.window->keepRecovery(folder.string(), std::chrono::milliseconds(20), std::chrono::milliseconds(100));
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(w.edit, Qt::Key_A);
        QApplication::processEvents();
        worst = std::max(worst,
                         std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        QTest::qWait(5);  // time for the recovery timer to come round
        state.ResumeTiming();
    }
    state.counters["worst ms"] = worst;
    w.window->document().setChanged(false);
    w.window.reset();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Keystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(400)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(bigFile());
    return 0;
}
