// The scan engine below its rules: cutting lines and words, filing findings,
// the user definitions, the report text and its printout, and the batch scan.
// The rules themselves are the case files of tests/scan_rules; the expected
// reports here are cases/*.txt with LF line ends, "<TAB>" and "<today>".
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "support/Recording.h"
#include "reports/Printout.h"
#include "scan/BatchScan.h"
#include "scan/ScanPool.h"
#include "scan/clsOculon.h"
#include "support/Cases.h"

namespace scan {
struct ScanTestAccess {
    static tSourceLine& line(clsOculon& o, long i) { return o.mtLines.at(static_cast<std::size_t>(i)); }
    static void post(clsOculon& o, MessageId id, const char* usage = nullptr) {
        usage ? o.mPostError(id, line(o, 2), usage) : o.mPostError(id, line(o, 2));
    }
    static void level(clsOculon& o, int level) { o.miCheckLevel = level; }  // as if loaded at that level
    static void postModule(clsOculon& o, MessageId id, const std::string& a, const std::string& b) {
        o.mPostModuleError(id, a, b);
    }
};
}  // namespace scan

namespace {

using namespace scan;
using cases::Lines;
namespace fs = std::filesystem;
using A = ScanTestAccess;

std::string casePath(const std::string& name) { return cases::path("scan/cases/" + name); }
std::string expectedReport(const std::string& name) { return cases::report("scan/cases/" + name, clsOculon::sToday()); }

// An engine without user definitions, level 1 unless set, boxes recorded,
// and an empty folder.
class Scan : public ::testing::Test {
protected:
    Scan() { fs::remove_all(dir), fs::create_directories(dir / "sub"); }
    ~Scan() override { setCheckLevel(1), fs::remove_all(dir); }
    const tSourceLine& line(long i) { return A::line(oculon, i); }
    // The report of a text made as its lines are cut, by an engine that keeps
    // none of them, laid out again when the first layout does not hold.
    static std::string streamed(const std::string& name, const std::string& text) {
        clsOculon e{std::string(VARNEL_BINARY_DIR) + "/no-such-userdefs.txt"};
        e.setLineSink([](const tSourceLine*, long, const std::vector<tFinding>&) {});
        e.setStreamedReport(clsOculon::StreamedReport{});
        e.LoadFromText(name, text);
        std::optional<std::string> report = e.streamedReport();
        if (!report) {
            e.setStreamedReport(e.streamedReportLayout());
            e.LoadFromText(name, text);
            report = e.streamedReport();
        }
        EXPECT_TRUE(e.lines().size() <= 2) << name;
        return report.value_or("(no report)");
    }
    platform::RecordingDesktop desktop;
    clsOculon oculon{std::string(VARNEL_BINARY_DIR) + "/no-such-userdefs.txt"};
    const fs::path dir = fs::temp_directory_path() / ("scan-test-" + std::to_string(::getpid()));
};

TEST_F(Scan, LinesAndWords) {
    for (const Lines& r : cases::rows("scan/cases/words.txt")) {
        SCOPED_TRACE(r[0]);
        oculon.LoadFromText("C:\\SRC\\MAIN.BAS", r[0]);
        const tSourceLine& l = line(std::stol(r[1]));
        EXPECT_EQ(Lines(l.sWords.begin(), l.sWords.end()), Lines(r.begin() + 4, r.end()));
        EXPECT_EQ(l.iWordCount, static_cast<long>(r.size() - 4));
        if (r[2] != "*") {
            EXPECT_EQ(oculon.lineCount(), std::stol(r[2]));
        }
        if (r[3] != "*") {
            EXPECT_EQ(l.sText, r[3]);
        }
    }
    // No limit on the line length, the number of words or their length.
    std::string many(5000, 'w');
    for (int i = 0; i < 250; ++i) many += " w" + std::to_string(i);
    oculon.LoadFromText("E.BAS", many + "\r\n" + std::string(2000, '\n'));
    EXPECT_EQ(line(1).word(1).size(), 5000u);
    EXPECT_EQ(line(1).word(251), "w249");
    EXPECT_EQ(line(1).word(252), "");
    EXPECT_EQ(oculon.lineCount(), 2001);
    // The words view the file's text: a copy of the engine keeps reading
    // them while the engine goes on to other files.
    oculon.LoadFromText("E.BAS", "x=5\r\n");
    const clsOculon copy = oculon;
    oculon.LoadFromText("E.BAS", "y = 6\r\n");
    EXPECT_EQ(copy.lines()[1].word(1), "x5");
    EXPECT_EQ(copy.lines()[1].sText, "x=5\r\n");
    oculon.LoadFromText("E.BAS", "");
    EXPECT_EQ(oculon.lineCount(), 0);
    EXPECT_TRUE(oculon.sourceRead() && desktop.boxes.shown.empty());
}

TEST_F(Scan, FileNamesUserDefinitionsAndMLCount) {
    const std::string defs = (dir / "UserDefs.txt").string();
    for (const Lines& r : cases::rows("scan/cases/engine.txt")) {
        SCOPED_TRACE(r[0] + " " + r[1]);
        if (r[0] == "FileName") {
            oculon.LoadFromText(r[1], "");
            EXPECT_EQ(oculon.fileName() + " " + (r[3] == "*" ? "*" : oculon.moduleKind()), r[2] + " " + r[3]);
        } else if (r[0] == "UserDefs") {
            std::ofstream(defs, std::ios::binary) << r[1];
            clsOculon o(defs);
            EXPECT_EQ(o.controlStyles() + "|" + o.variablePrefixes(), r[2] + "|" + r[3]);
        } else {
            EXPECT_EQ(oculon.MLCount(r[1], std::stol(r[2])), std::stol(r[3]));
        }
    }
    EXPECT_EQ(oculon.controlStyles() + oculon.variablePrefixes(), "");  // no file
    // A read error keeps what was read before it.
    std::ofstream(defs, std::ios::binary) << "A=a\nB=b\nC=c\n;VARIABLE_PREFIXES\nInteger_int\n";
    platform::FaultyFileSystem faulty(platform::realFileSystem());
    faulty.failOn("read", 3, platform::err::DeviceIO);
    platform::ScopedServices scope({.files = &faulty});
    clsOculon o(defs);
    EXPECT_EQ(o.controlStyles() + "|" + o.variablePrefixes(), "A=a_B=b_|");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(Scan, ProgressAndEventsFollowTheReadingAndAnUnreadableFileIsReported) {
    struct Progress : ProgressIndicator {
        void setValue(int v) override { values.push_back(v); }
        void setVisible(bool) override {}
        std::vector<int> values;
    } progress;
    // After the first line the next starts at index 3 of 6: 2 x 3 x 100 / 11
    // = 54.5..., shown as 55; after the last line nothing is set.
    oculon.LoadFromText("P.BAS", "a\r\nb\r\n", &progress);
    EXPECT_EQ(progress.values, (std::vector<int>{55}));
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "x = 1\r\n";
    oculon.LoadFromText("P.BAS", text, &progress);
    EXPECT_LE(progress.values.size(), 102u);  // set only when the value changes
    EXPECT_TRUE(std::is_sorted(progress.values.begin() + 1, progress.values.end()));
    EXPECT_EQ(progress.values.back(), 100);
    EXPECT_LT(desktop.pump.count, 20000 / 64 + 1);  // events run throttled, not per line
    // Unreadable file is reported under load and shows only its head.
    platform::FaultyFileSystem faulty(platform::realFileSystem());
    faulty.failOn("openRead", 1, platform::err::PermissionDenied);
    platform::ScopedServices scope({.files = &faulty});
    oculon.Load(casePath("util.bas"));
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(
        desktop.boxes.last().title + ": " + desktop.boxes.last().text,
        "Program Error: Err Code: 70\nErr Desc: " + platform::standardDescription(70) + "\nProcname: Load\nSub Proc: ");
    EXPECT_FALSE(oculon.sourceRead());
    EXPECT_EQ(oculon.sFillMessages(), expectedReport("unread.txt"));
}

TEST_F(Scan, EachLevelFilesItsGradesIntoTheSlots) {
    oculon.LoadFromText("T.BAS", "Option Explicit\r\nx = 1\r\n");
    A::post(oculon, MessageId::ModuleLevelDim, "Dim");
    A::post(oculon, MessageId::SyllableCase, "a} {a");
    A::post(oculon, MessageId::UntypedVariable, "x} {");
    A::level(oculon, 2);
    A::post(oculon, MessageId::SyllableCase);
    A::post(oculon, MessageId::ProcedureScope);
    A::level(oculon, 3);
    A::post(oculon, MessageId::SyllableCase);
    A::post(oculon, MessageId::TypePrefix, "lCount} {l");
    A::post(oculon, MessageId::ProcedureScope, "");
    const auto expected = cases::rows("scan/cases/slots.txt");
    for (std::size_t s = 0; s < expected.size(); ++s) EXPECT_EQ(line(2).sMessages[s + 1], expected[s][0]) << s + 1;
    EXPECT_EQ(std::tuple(oculon.errorCount(), oculon.warningCount(), oculon.suggestCount()), std::tuple(1L, 3L, 1L));
    // Each load starts with no findings.
    A::postModule(oculon, MessageId::OptionExplicit, "", "");
    oculon.LoadFromText("T.BAS", "Option Explicit\r\nx = 1\r\n");
    EXPECT_EQ(oculon.errorCount() + oculon.warningCount() + oculon.suggestCount(), 0);
    EXPECT_TRUE(oculon.moduleMessages()[1].empty() && line(2).sMessages[1].empty());
    // Full slots overflow quietly but are counted.
    setCheckLevel(3);
    oculon.LoadFromText("T.BAS", "Option Explicit\r\nx = 1\r\n");
    for (int i = 0; i < 18; ++i) A::post(oculon, MessageId::ProcedureScope);
    A::post(oculon, MessageId::TypePrefix, "a} {i");  // slots 19 and 20
    A::post(oculon, MessageId::UntypedVariable, "b} {");
    EXPECT_EQ(std::tuple(oculon.errorCount(), oculon.warningCount()), std::tuple(1L, 19L));
    // Twenty filled slots: the block has no asterisk line; nineteen have one.
    EXPECT_TRUE(oculon.sFillMessages().ends_with("Look at:   {a} {i}\r\n\r\n"));
    oculon.LoadFromText("T.BAS", "Option Explicit\r\nx = 1\r\n");
    for (int i = 0; i < 25; ++i) A::post(oculon, MessageId::ProcedureScope);
    EXPECT_TRUE(line(2).sMessages[20].empty());
    EXPECT_TRUE(oculon.sFillMessages().ends_with("*****************\r\n"));
    for (int i = 0; i < 98; ++i) A::postModule(oculon, MessageId::OptionExplicit, "", "");
    A::postModule(oculon, MessageId::FileNameSubset, "A.BAS", "b");  // slots 99 and 100
    A::postModule(oculon, MessageId::OptionExplicit, "", "");
    EXPECT_EQ(oculon.moduleMessages()[100], "Usage | Std:   {A.BAS}{b}\r\n\r\n");
    EXPECT_EQ(oculon.errorCount(), 99);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST(MessageCatalogue, EveryRowIsGradedByItsFirstLetterAndListed) {
    std::ostringstream listing;
    listMessages(listing);
    for (const CatalogueEntry& e : messageCatalogue()) {
        EXPECT_EQ(e.text.substr(0, 1), gradeLetter(e.grade)) << e.number;
        EXPECT_EQ(&catalogueEntry(e.id), &e);
    }
    EXPECT_EQ(messageCatalogue().size(), 31u);
    for (const char* row : {"4b  W  module  Warning: DataType", "23  E  module  Error: \"Option Explicit\"",
                            "1   E  line    Error:   Dim of multiple", "Error: Use string form of function ($)."})
        EXPECT_NE(listing.str().find(row), std::string::npos) << row;
    // A trapped fault is reported under the procedure's name and gives a default.
    platform::RecordingDesktop desktop;
    EXPECT_EQ(trapErrors("mTypeRules", []() -> std::string { throw platform::RuntimeError(6, "Overflow"); }), "");
    EXPECT_EQ(desktop.boxes.last().text, "Err Code: 6\nErr Desc: Overflow\nProcname: mTypeRules\nSub Proc: ");
    EXPECT_EQ(trapErrors("m", []() -> long { return std::string("ab").at(5); }), 0);
    EXPECT_NE(desktop.boxes.last().text.find("Err Code: 9\n"), std::string::npos);
    EXPECT_EQ(trapErrors("x", [] { return 7; }), 7);
}

TEST_F(Scan, ReportsAtEachLevelWithinTheirLimit) {
    for (int level = 1; level <= 3; ++level) {
        setCheckLevel(level);
        oculon.Load(casePath("util.bas"));
        EXPECT_EQ(oculon.sFillMessages(), expectedReport("util.level" + std::to_string(level) + ".txt")) << level;
        EXPECT_EQ(streamed("util.bas", cases::read(casePath("util.bas"))),
                  expectedReport("util.level" + std::to_string(level) + ".txt"))
            << level;
    }
    // Lines with findings before the name line show the name read last.
    const std::string late = "Dim vntA\r\nAttribute VB_Name = \"modLate\"\r\nDim vntB\r\n";
    oculon.LoadFromText("LATE.BAS", late);
    EXPECT_EQ(streamed("LATE.BAS", late), oculon.sFillMessages());
    EXPECT_NE(oculon.sFillMessages().find("Src Line:    Dim vntA\r\nLocation: modLate.(declarations)\r\n"),
              std::string::npos);
    // A line beyond the 128,000-character report gives way to "** More **";
    // after it only texts short enough for the room left still come, whole.
    setCheckLevel(2);
    oculon.LoadFromText("BIG.BAS", std::string(130000, 'x') + "\r\n");
    EXPECT_EQ(oculon.sFillMessages(), expectedReport("big.level2.txt"));
    EXPECT_EQ(streamed("BIG.BAS", std::string(130000, 'x') + "\r\n"), expectedReport("big.level2.txt"));
    // A cut report ends with "** More **" however little room the last text
    // that fitted left: each width leaves a different room.
    for (std::size_t width = 195; width <= 215; ++width) {
        std::string text;
        for (int i = 0; i < 2000; ++i) text += "' " + std::string(width, static_cast<char>('a' + i % 26)) + "\r\n";
        oculon.LoadFromText("BIG.BAS", text);
        const std::string report = oculon.sFillMessages();
        EXPECT_TRUE(report.size() <= 128000u && report.size() >= 128000u - 250u) << report.size();
        EXPECT_TRUE(report.ends_with("\r\n** More **\r\n")) << width;
        EXPECT_EQ(streamed("BIG.BAS", text), report) << width;
        std::istringstream rest(report.substr(report.find("** More **\r\n")));
        for (std::string l; width == 200 && std::getline(rest, l);)
            EXPECT_TRUE(l == "** More **\r" || l == "*****************\r" || l == "Location: .(declarations)\r" ||
                        l == "\r");
    }
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

// Courier New 10 pt from the margins, bold head items and source lines, no
// section headers or asterisk lines; a value beside its label further right,
// the rest of a source line wider than the paper below, under the source text
// (cases/util.printed.txt).
TEST_F(Scan, PrintoutOfAModuleAndTheFilesOfAFolder) {
    setCheckLevel(3);
    platform::RecordingPrinter printer;
    oculon.Load(casePath("util.bas"));
    EXPECT_EQ(oculon.sFillMessages("Print Only", printer), "");
    expectPrintout(printer, "scan/cases/util.printed.txt", clsOculon::sToday());
    // A line that ends exactly at the bottom of the page still fits on it.
    const auto fit = *std::find_if(printer.ops.begin(), printer.ops.end(),
                                   [](const auto& op) { return op.text.starts_with("Location:"); });
    platform::RecordingPrinter exact(11520, fit.y + fit.height);
    oculon.sFillMessages("Print Only", exact);
    const auto first =
        *std::find_if(exact.ops.begin(), exact.ops.end(), [&](const auto& op) { return op.text == fit.text; });
    EXPECT_EQ(std::pair(first.page, first.y), std::pair(1, fit.y));
    // Long reports go on on new pages, inside the page.
    setCheckLevel(2);
    std::string big;
    for (int i = 0; i < 300; ++i) big += std::string(160, 'a') + "\r\n";
    oculon.LoadFromText("BIG.BAS", big);
    platform::RecordingPrinter pages;
    oculon.setPrinter(&pages);
    EXPECT_EQ(oculon.sFillMessages("Print Only"), "");
    EXPECT_GT(pages.page(), 1);
    EXPECT_EQ(pages.texts().size(),
              9u + 1 + 300 * 6);  // the head, the module finding, six texts a block (the source line takes three)
    for (const auto& op : pages.ops) EXPECT_LE(op.y + op.height, pages.printableHeight());
    // A folder gives its source files in sorted order and no file carries into the next.
    for (const char* name : {"b.bas", "A.FRM", "c.Cls", "notes.txt", "x.basx", "sub/d.BAS"})
        std::ofstream(dir / name) << "Option Explicit\r\n";
    EXPECT_EQ(filesToScan(dir.string()), (Lines{(dir / "A.FRM").string(), (dir / "b.bas").string(),
                                                (dir / "c.Cls").string(), (dir / "sub/d.BAS").string()}));
    EXPECT_EQ(filesToScan((dir / "notes.txt").string()), Lines{(dir / "notes.txt").string()});
    // The scope label of one file does not carry into the next.
    oculon.LoadFromText("TOOLS.BAS", "Attribute VB_Name = \"gloTools\"\r\n");
    EXPECT_EQ(oculon.moduleScope(), "GLB");
    oculon.LoadFromText("TOOLS.BAS", "Option Explicit\r\n");
    EXPECT_EQ(oculon.moduleScope(), "");
}

}  // namespace

// The pool hands the files back in order, each with the boxes its scan
// raised on a worker; a run started again from a file scans only the rest;
// without workers the boxes show at once.
TEST(ScanPool, HandsBackEveryFileInOrderWithItsBoxes) {
    cases::ScratchDir dir;
    platform::RecordingDesktop desktop;
    std::vector<std::string> paths, names(20);
    for (int i = 0; i < 20; ++i) {
        paths.push_back(dir.path("m" + std::to_string(i) + ".bas"));
        if (i != 3)
            std::ofstream(paths.back(), std::ios::binary) << "Attribute VB_Name = \"m" << i << "\"\r\nDim x\r\n";
    }
    auto step = [&](clsOculon& engine, std::size_t i) {
        engine.Load(paths[i], nullptr, 1);  // not the program's level
        names[i] += engine.fileName() + engine.internalName() + std::to_string(engine.errorCount()) +
                    std::to_string(engine.warningCount());
    };
    setCheckLevel(3);
    for (unsigned workers : {3u, 0u}) {
        ScanPool pool(clsOculon(), workers);
        pool.start(paths.size(), step);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const std::vector<RaisedBox> boxes = *pool.take(i);
            const std::string n = std::to_string(i);
            EXPECT_EQ(names[i], i == 3 ? "M3.BAS00" : std::string("M").append(n).append(".BASm").append(n).append("20"))
                << i;
            EXPECT_EQ(boxes.size(), workers && i == 3 ? 1u : 0u) << i;
            if (!boxes.empty()) {
                EXPECT_NE(boxes[0].text.find("Procname: Load"), std::string::npos);
            }
            names[i].clear();
        }
        EXPECT_EQ(desktop.boxes.shown.size(), workers ? 0u : 1u);
        EXPECT_EQ(pool.engineOf(19).fileName(), "M19.BAS");
        pool.start(paths.size(), step, 18);
        EXPECT_EQ(pool.take(18)->size() + pool.take(19)->size(), 0u);
        EXPECT_EQ(names[17] + names[18] + names[19], "M18.BASm1820M19.BASm1920");
        names[18].clear(), names[19].clear();
    }
    setCheckLevel(1);
    EXPECT_EQ(ScanPool::workersFor(3, 1000), 3u);
    EXPECT_LE(ScanPool::workersFor(1000, 1000), 2 * std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_EQ(ScanPool::workersFor(0, 0), 1u);
}
