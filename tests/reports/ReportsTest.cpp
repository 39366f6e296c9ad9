// The report printer's layout on the recording printer. The recording printer
// measures a character as 0.6 em (Courier New) or 0.5 em (Arial) and a line
// as 1.15 em; its default page is 11,520 x 14,976 twips. With that page:
//   R = 11517, W = 11518, H = 14974; h12 = 276, band1 = 552; h14 = 322,
//   band2 = 644; HH = 1196; S = 14974 - 552 - 644 - 552 - 100 = 13126.
//   120 columns: Courier New 8 pt, LH = 184, LL = round(13126 / 184 - 1) = 70.
#include <array>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/Recording.h"
#include "platform/RuntimeError.h"
#include "reports/Reports.h"

using platform::PrinterOp;
using platform::RecordingPrinter;
using reports::Reports;
using Texts = std::vector<std::string>;

namespace {

std::tm fixedTime() {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 2;  // March
    tm.tm_mday = 7;
    tm.tm_hour = 9;
    tm.tm_min = 5;
    return tm;
}

void openEditorReport(Reports& r, int columns = 120) {
    r.OpenReport(columns, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
}

// The body lines printed (Courier New), in order.
std::vector<PrinterOp> bodyOps(const RecordingPrinter& p) {
    std::vector<PrinterOp> out;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text && op.font == "Courier New") out.push_back(op);
    return out;
}

Texts bodyTexts(const RecordingPrinter& p) {
    Texts out;
    for (const auto& op : bodyOps(p)) out.push_back(op.text);
    return out;
}

int countKind(const RecordingPrinter& p, PrinterOp::Kind kind) {
    int n = 0;
    for (const auto& op : p.ops) n += op.kind == kind;
    return n;
}

// `count` lines "L1", "L2", ... joined by CR LF.
std::string numberedLines(int count, bool finalCrLf) {
    std::string s;
    for (int i = 1; i <= count; ++i) s += "L" + std::to_string(i) + (i < count || finalCrLf ? "\r\n" : "");
    return s;
}

// A recording printer whose n-th call of one operation fails.
class FailingPrinter : public RecordingPrinter {
public:
    FailingPrinter(PrinterOp::Kind kind, int nth) : kind_(kind), nth_(nth) {}
    void printText(const std::string& t) override { hit(PrinterOp::Text), RecordingPrinter::printText(t); }
    void drawLine(int a, int b, int c, int d) override { hit(PrinterOp::Line), RecordingPrinter::drawLine(a, b, c, d); }
    void newPage() override { hit(PrinterOp::NewPage), RecordingPrinter::newPage(); }
    void endDocument() override { hit(PrinterOp::EndDocument), RecordingPrinter::endDocument(); }

private:
    void hit(PrinterOp::Kind k) {
        if (k == kind_ && ++calls_ == nth_) platform::raise(platform::err::DeviceIO);
    }
    PrinterOp::Kind kind_;
    int nth_;
    int calls_ = 0;
};

// A 120-column editor report on the default recording page.
class Report : public ::testing::Test {
protected:
    Report() { openEditorReport(r); }
    RecordingPrinter p;
    Reports r{p, fixedTime};
};

// An editor report on a printer whose nth call of one operation fails; the
// first error prompt gets the given answer.
struct FailingRun {
    FailingRun(PrinterOp::Kind kind, int nth, platform::Answer answer = platform::Answer::Ok) : p(kind, nth) {
        if (answer != platform::Answer::Ok) desk.boxes.answerNext(answer);
        openEditorReport(r);
    }
    platform::RecordingDesktop desk;
    FailingPrinter p;
    Reports r{p, fixedTime};
};

}  // namespace

TEST(ReportsHelpers, RoundHalfEvenAndPageLabel) {
    const std::pair<double, int> rounding[] = {{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {70.49, 70}, {70.51, 71}};
    for (auto [value, rounded] : rounding) EXPECT_EQ(reports::RoundHalfEven(value), rounded) << value;
    EXPECT_EQ(reports::PageLabel(1), "Page   1");
    EXPECT_EQ(reports::PageLabel(123), "Page   123");
}

TEST(ReportsOpen, BodyFontByColumns) {
    // columns, points, LL = round((13126 / (points * 23)) - 1)
    const struct { int columns; double size; int lastLine; } cases[] = {
        {80, 12, 47}, {81, 10, 56}, {96, 10, 56}, {97, 8, 70}, {120, 8, 70}, {121, 6, 94}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columns);
        RecordingPrinter p;
        Reports r(p, fixedTime);
        openEditorReport(r, c.columns);
        EXPECT_TRUE(p.ops.empty());  // opening measures only
        r.PrintBlock("x");
        EXPECT_EQ(r.state().lastLine, c.lastLine);
        const auto body = bodyOps(p);
        ASSERT_EQ(body.size(), 1u);
        EXPECT_EQ(body[0].size, c.size);
        EXPECT_TRUE(body[0].bold);
    }
}

TEST(ReportsOpen, LastLineRoundsHalvesToEven) {
    // S = (height - 2) - 1848 = 184 x 71.5: LL = round(70.5) = 70;
    // 184 x 72.5: LL = round(71.5) = 72.
    for (auto [height, lastLine] : {std::pair{13156 + 1850, 70}, std::pair{13340 + 1850, 72}}) {
        RecordingPrinter p(11520, height);
        Reports r(p, fixedTime);
        openEditorReport(r);
        EXPECT_EQ(r.state().lastLine, lastLine) << height;
    }
}

TEST_F(Report, FirstPageFrameAndBody) {
    r.PrintBlock("a\r\nb");
    r.CloseReport();
    using T = std::tuple<std::string, int, int, std::string, double, bool>;  // text, x, y, font, size, bold
    std::vector<T> texts;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text) texts.emplace_back(op.text, op.x, op.y, op.font, op.size, op.bold);
    EXPECT_EQ(texts, (std::vector<T>{
                         {"", 120, 138, "Arial", 12, false},
                         {"Kestrin Editor", 4919, 138, "Arial", 12, false},      // (11518 - 14 x 120) / 2
                         {"Page   1", 10438, 138, "Arial", 12, false},           // 11518 - 9 x 120
                         {"Selected (All) Text", 4429, 713, "Arial", 14, true},  // (11518 - 19 x 140) / 2; 552 + 161
                         {"03/07/2026", 120, 14560, "Arial", 12, false},         // 14974 - 552 + 138
                         {"Kestrin Editor", 4919, 14560, "Arial", 12, false},
                         {"09:05", 10798, 14560, "Arial", 12, false},            // 11518 - 6 x 120
                         {"a", 96, 1380, "Courier New", 8, true},                // 1196 + 1 x 184
                         {"b", 96, 1564, "Courier New", 8, true},
                     }));
    std::vector<std::array<int, 5>> lines;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Line) lines.push_back({op.x, op.y, op.x2, op.y2, op.width});
    const std::vector<std::array<int, 5>> expectedLines = {
        {0, 552, 11517, 552, 1}, {0, 1196, 11517, 1196, 4}, {0, 14422, 11517, 14422, 1}};
    EXPECT_EQ(lines, expectedLines);
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 0);
    EXPECT_EQ(p.ops.back().kind, PrinterOp::EndDocument);
}

TEST(ReportsFrame, CentredTitlesRoundHalvesToEven) {
    // W = 11519 and 11521: (W - 1680) / 2 = 4919.5 and 4920.5, both 4920.
    for (int width : {11521, 11523}) {
        RecordingPrinter p(width);
        Reports r(p, fixedTime);
        openEditorReport(r);
        r.PrintBlock("x");
        EXPECT_EQ(p.ops[1].text, "Kestrin Editor");
        EXPECT_EQ(p.ops[1].x, 4920) << width;
    }
}

TEST_F(Report, WrapsLongLinesAndWords) {
    r.PrintBlock(std::string(119, 'a') + "\r\n" + std::string(120, 'b') + "\r\n" + std::string(200, 'w'));
    EXPECT_EQ(bodyTexts(p), (Texts{std::string(119, 'a'), std::string(119, 'b'), "b", std::string(119, 'w'),
                                   std::string(81, 'w')}));
    EXPECT_EQ(bodyOps(p)[4].y, 1196 + 5 * 184);
}

TEST(ReportsWrap, BreaksAfterLastBlankAmongFirstNMinusOne) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r, 10);
    r.WrapText("hello world again", 1, 10);
    r.MoveToNextLine();
    // The blank at position 10 is not among the first 9 characters.
    r.WrapText("abc defgh    xyz", 1, 10);
    r.MoveToNextLine();
    r.WrapText("abcdefgh    xyz", 1, 10);
    EXPECT_EQ(bodyTexts(p), (Texts{"hello ", "world ", "again", "abc ", "defgh    ", "xyz", "abcdefgh ", "xyz"}));
}

TEST(ReportsWrap, TinyColumnCountsStillEnd) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    for (int columns : {1, 0, -5}) {
        openEditorReport(r, columns);
        r.WrapText("abc", 1, columns);
    }
    EXPECT_EQ(bodyTexts(p), (Texts{"a", "b", "c", "a", "b", "c", "a", "b", "c"}));
}

TEST_F(Report, TextEndingAtLastLineStaysOnOnePage) {
    r.PrintBlock(numberedLines(70, false));
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 0);
    EXPECT_EQ(bodyOps(p).back().text, "L70");
    EXPECT_EQ(bodyOps(p).back().y, 1196 + 70 * 184);
}

TEST_F(Report, FinalCrLfAtLastLineGivesAFramedEmptyPage) {
    r.PrintBlock(numberedLines(70, true));
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 1);
    EXPECT_EQ(p.page(), 2);
    EXPECT_EQ(bodyOps(p).size(), 70u);
    EXPECT_EQ(bodyOps(p).back().page, 1);
    Texts page2;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text && op.page == 2) page2.push_back(op.text);
    EXPECT_EQ(page2, (Texts{"", "Kestrin Editor", "Page   2", "Selected (All) Text", "03/07/2026", "Kestrin Editor",
                            "09:05"}));
}

TEST(ReportsPages, ThreePagesShareDateTimeAndRegularHeader) {
    RecordingPrinter p;
    int calls = 0;
    // A clock that moves on every call: the report must take it once.
    Reports r(p, [&] {
        std::tm tm = fixedTime();
        tm.tm_min += calls++;
        return tm;
    });
    openEditorReport(r);
    r.PrintBlock(numberedLines(141, false));
    EXPECT_EQ(p.page(), 3);
    Texts labels, dates, times;
    for (const auto& op : p.ops) {
        if (op.kind != PrinterOp::Text) continue;
        if (op.text.rfind("Page", 0) == 0) {
            labels.push_back(op.text);
            EXPECT_FALSE(op.bold);
            EXPECT_EQ(op.size, 12);
        }
        if (op.y == 14560 && op.x == 120) dates.push_back(op.text);
        if (op.y == 14560 && op.x == 10798) times.push_back(op.text);
    }
    EXPECT_EQ(labels, (Texts{"Page   1", "Page   2", "Page   3"}));
    EXPECT_EQ(dates, Texts(3, "03/07/2026"));
    EXPECT_EQ(times, Texts(3, "09:05"));
    // Line 71 is the first of page 2, line 141 the first of page 3.
    const auto body = bodyOps(p);
    EXPECT_EQ(body[70].page, 2);
    EXPECT_EQ(body[70].y, 1380);
    EXPECT_EQ(body[140].page, 3);
}

TEST_F(Report, CarriageReturnWithoutLineFeedOverprints) {
    r.PrintBlock("abc\rX\r\nnext\r");
    const auto body = bodyOps(p);
    ASSERT_EQ(bodyTexts(p), (Texts{"abc", "X", "next"}));
    EXPECT_EQ(body[1].y, body[0].y);
    EXPECT_EQ(body[2].y, body[0].y + 184);
}

TEST_F(Report, LoneLineFeedIsNoBreak) {
    r.PrintBlock("a\nb");
    EXPECT_EQ(bodyTexts(p), Texts{"a\nb"});
}

TEST_F(Report, EmptyTextPrintsNoPage) {
    r.PrintBlock("");
    EXPECT_TRUE(p.ops.empty());
    r.CloseReport();
    ASSERT_EQ(p.ops.size(), 1u);
    EXPECT_EQ(p.ops[0].kind, PrinterOp::EndDocument);
}

TEST(ReportsBlock, EditorPrintUsesItsTitles) {
    RecordingPrinter p;
    reports::PrintEditorText(p, "x", fixedTime);
    EXPECT_EQ(p.texts(), (Texts{"", "Kestrin Editor", "Page   1", "Selected (All) Text", "03/07/2026",
                                "Kestrin Editor", "09:05", "x"}));
    EXPECT_TRUE(p.ended());
}

TEST(ReportsErrors, CancelInPrintTextStopsTheReport) {
    FailingRun run(PrinterOp::Text, 9, platform::Answer::Cancel);  // the second body line (after 7 frame texts and "L1")
    run.r.PrintBlock(numberedLines(150, false));
    ASSERT_EQ(run.desk.boxes.shown.size(), 1u);
    const auto& box = run.desk.boxes.last();
    EXPECT_EQ(box.title, "PrintText Error");
    EXPECT_EQ(box.text, "Encountered Trappable Error while printing.\nError:\nClick Ok to continue or Cancel.");
    EXPECT_EQ(box.icon, platform::Icon::Stop);
    EXPECT_EQ(box.buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(bodyTexts(run.p), Texts{"L1"});
    EXPECT_EQ(countKind(run.p, PrinterOp::NewPage), 0);
    EXPECT_TRUE(run.r.state().cancelled);
    // The pages so far are still released.
    run.r.CloseReport();
    EXPECT_TRUE(run.p.ended());

    // A new report prints normally again.
    RecordingPrinter q;
    Reports r2(q, fixedTime);
    openEditorReport(r2);
    r2.PrintBlock("a\r\nb");
    EXPECT_EQ(bodyTexts(q), (Texts{"a", "b"}));
}

TEST(ReportsErrors, OkInPrintTextGoesOn) {
    FailingRun run(PrinterOp::Text, 9);
    run.r.PrintBlock("L1\r\nL2\r\nL3");
    ASSERT_EQ(run.desk.boxes.shown.size(), 1u);
    EXPECT_EQ(run.desk.boxes.last().answer, platform::Answer::Ok);
    EXPECT_EQ(bodyTexts(run.p), (Texts{"L1", "L3"}));
    EXPECT_EQ(bodyOps(run.p)[1].y, 1196 + 3 * 184);
}

TEST(ReportsErrors, CancelInTheFrameStopsBeforeTheFirstLine) {
    FailingRun run(PrinterOp::Line, 2, platform::Answer::Cancel);  // the thick rule
    run.r.PrintBlock("a\r\nb");
    ASSERT_EQ(run.desk.boxes.shown.size(), 1u);
    EXPECT_EQ(run.desk.boxes.last().title, "PrintHdrFooter Error");
    EXPECT_TRUE(bodyTexts(run.p).empty());
    EXPECT_EQ(run.p.texts().size(), 4u);  // the frame stops at the failed rule: no footer
}

TEST(ReportsErrors, NewPageFailureShowsProgramError) {
    FailingRun run(PrinterOp::NewPage, 1);
    run.r.PrintBlock(numberedLines(72, false));
    ASSERT_EQ(run.desk.boxes.shown.size(), 1u);
    EXPECT_EQ(run.desk.boxes.last().title, "Program Error");
    EXPECT_EQ(run.desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: EjectReportPage\nSub Proc: ");
    // The page was not started and got no frame, so line 71 overprints the
    // last line of page 1; the next line starts page 2.
    EXPECT_EQ(countKind(run.p, PrinterOp::NewPage), 1);
    const auto body = bodyOps(run.p);
    ASSERT_EQ(body.size(), 72u);
    EXPECT_EQ(body[70].page, 1);
    EXPECT_EQ(body[70].y, body[69].y);
    EXPECT_EQ(body[71].page, 2);
    EXPECT_EQ(body[71].y, 1380);
}

TEST(ReportsErrors, EndDocumentFailureShowsProgramError) {
    FailingRun run(PrinterOp::EndDocument, 1);
    run.r.PrintBlock("x");
    run.r.CloseReport();
    EXPECT_EQ(run.desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: CloseReport\nSub Proc: ");
}
