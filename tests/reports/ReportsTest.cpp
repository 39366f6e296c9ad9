// The report printer's layout on the recording printer. The recording printer
// measures a character as 0.6 em (Courier New) or 0.5 em (Arial) and a line
// as 1.15 em; its default page is 11,520 x 14,976 twips. With that page:
//   R = 11517, W = 11518, H = 14974; h12 = 276, band1 = 552; h14 = 322,
//   band2 = 644; HH = 1196; S = 14974 - 552 - 644 - 552 - 100 = 13126.
//   120 columns: Courier New 8 pt, LH = 184, LL = round(13126 / 184 - 1) = 70.
#include <array>

#include <gtest/gtest.h>

#include "platform/Recording.h"
#include "platform/RuntimeError.h"
#include "reports/Reports.h"

using platform::PrinterOp;
using platform::RecordingPrinter;
using reports::Reports;

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

std::vector<std::string> bodyTexts(const RecordingPrinter& p) {
    std::vector<std::string> out;
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
    void failOn(PrinterOp::Kind kind, int nth) {
        kind_ = kind;
        nth_ = nth;
    }
    void printText(const std::string& t) override {
        hit(PrinterOp::Text);
        RecordingPrinter::printText(t);
    }
    void drawLine(int a, int b, int c, int d) override {
        hit(PrinterOp::Line);
        RecordingPrinter::drawLine(a, b, c, d);
    }
    void newPage() override {
        hit(PrinterOp::NewPage);
        RecordingPrinter::newPage();
    }
    void endDocument() override {
        hit(PrinterOp::EndDocument);
        RecordingPrinter::endDocument();
    }

private:
    void hit(PrinterOp::Kind k) {
        if (k == kind_ && ++calls_ == nth_) platform::raise(platform::err::DeviceIO);
    }
    PrinterOp::Kind kind_ = PrinterOp::Text;
    int nth_ = 0;
    int calls_ = 0;
};

const char* const Prompt = "Encountered Trappable Error while printing.\nError:\nClick Ok to continue or Cancel.";

}  // namespace

TEST(ReportsHelpers, RoundHalfEvenAndPageLabel) {
    EXPECT_EQ(reports::RoundHalfEven(2.5), 2);
    EXPECT_EQ(reports::RoundHalfEven(3.5), 4);
    EXPECT_EQ(reports::RoundHalfEven(-0.5), 0);
    EXPECT_EQ(reports::RoundHalfEven(-1.5), -2);
    EXPECT_EQ(reports::RoundHalfEven(70.49), 70);
    EXPECT_EQ(reports::RoundHalfEven(70.51), 71);
    EXPECT_EQ(reports::PageLabel(1), "Page   1");
    EXPECT_EQ(reports::PageLabel(123), "Page   123");
}

TEST(ReportsOpen, BodyFontByColumns) {
    // columns, points, LL = round((13126 / (points * 23)) - 1)
    const struct { int columns; double size; int lastLine; } cases[] = {
        {80, 12, 47}, {81, 10, 56}, {96, 10, 56}, {97, 8, 70}, {120, 8, 70}, {121, 6, 94}};
    for (const auto& c : cases) {
        RecordingPrinter p;
        Reports r(p, fixedTime);
        openEditorReport(r, c.columns);
        // Opening measures only: nothing is printed yet.
        EXPECT_TRUE(p.ops.empty());
        r.PrintBlock("x");
        EXPECT_EQ(r.state().lastLine, c.lastLine) << c.columns;
        const auto body = bodyOps(p);
        ASSERT_EQ(body.size(), 1u);
        EXPECT_EQ(body[0].size, c.size) << c.columns;
        EXPECT_TRUE(body[0].bold);
    }
}

TEST(ReportsOpen, LastLineRoundsHalvesToEven) {
    // S = (height - 2) - 1848 = 184 x 71.5: LL = round(70.5) = 70;
    // 184 x 72.5: LL = round(71.5) = 72.
    RecordingPrinter p1(11520, 13156 + 1850);
    Reports r1(p1, fixedTime);
    openEditorReport(r1);
    EXPECT_EQ(r1.state().lastLine, 70);
    RecordingPrinter p2(11520, 13340 + 1850);
    Reports r2(p2, fixedTime);
    openEditorReport(r2);
    EXPECT_EQ(r2.state().lastLine, 72);
}

TEST(ReportsFrame, FirstPageFrameAndBody) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock("a\r\nb");
    r.CloseReport();
    struct T { const char* text; int x, y; const char* font; double size; bool bold; };
    const T expected[] = {
        {"", 120, 138, "Arial", 12, false},
        {"Kestrin Editor", 4919, 138, "Arial", 12, false},   // (11518 - 14 x 120) / 2
        {"Page   1", 10438, 138, "Arial", 12, false},        // 11518 - 9 x 120
        {"Selected (All) Text", 4429, 713, "Arial", 14, true},  // (11518 - 19 x 140) / 2; 552 + 161
        {"03/07/2026", 120, 14560, "Arial", 12, false},       // 14974 - 552 + 138
        {"Kestrin Editor", 4919, 14560, "Arial", 12, false},
        {"09:05", 10798, 14560, "Arial", 12, false},          // 11518 - 6 x 120
        {"a", 96, 1380, "Courier New", 8, true},              // 1196 + 1 x 184
        {"b", 96, 1564, "Courier New", 8, true},
    };
    std::vector<PrinterOp> texts;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text) texts.push_back(op);
    ASSERT_EQ(texts.size(), std::size(expected));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i].text, expected[i].text);
        EXPECT_EQ(texts[i].x, expected[i].x);
        EXPECT_EQ(texts[i].y, expected[i].y);
        EXPECT_EQ(texts[i].font, expected[i].font);
        EXPECT_EQ(texts[i].size, expected[i].size);
        EXPECT_EQ(texts[i].bold, expected[i].bold);
    }
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

TEST(ReportsWrap, LongLines) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    const std::string word200(200, 'w');
    r.PrintBlock(std::string(119, 'a') + "\r\n" + std::string(120, 'b') + "\r\n" + word200);
    const std::vector<std::string> expected = {std::string(119, 'a'), std::string(119, 'b'), "b",
                                               std::string(119, 'w'), std::string(81, 'w')};
    EXPECT_EQ(bodyTexts(p), expected);
    const auto body = bodyOps(p);
    EXPECT_EQ(body[4].y, 1196 + 5 * 184);
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
    const std::vector<std::string> expected = {"hello ", "world ", "again", "abc ", "defgh    ", "xyz",
                                               "abcdefgh ", "xyz"};
    EXPECT_EQ(bodyTexts(p), expected);
}

TEST(ReportsWrap, TinyColumnCountsStillEnd) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    for (int columns : {1, 0, -5}) {
        openEditorReport(r, columns);
        r.WrapText("abc", 1, columns);
    }
    const std::vector<std::string> expected = {"a", "b", "c", "a", "b", "c", "a", "b", "c"};
    EXPECT_EQ(bodyTexts(p), expected);
}

TEST(ReportsPages, TextEndingAtLastLine) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock(numberedLines(70, false));
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 0);
    EXPECT_EQ(bodyOps(p).back().text, "L70");
    EXPECT_EQ(bodyOps(p).back().y, 1196 + 70 * 184);
}

TEST(ReportsPages, FinalCrLfAtLastLineGivesAFramedEmptyPage) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock(numberedLines(70, true));
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 1);
    EXPECT_EQ(p.page(), 2);
    EXPECT_EQ(bodyOps(p).size(), 70u);
    EXPECT_EQ(bodyOps(p).back().page, 1);
    std::vector<std::string> page2;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text && op.page == 2) page2.push_back(op.text);
    const std::vector<std::string> frame = {"", "Kestrin Editor", "Page   2", "Selected (All) Text", "03/07/2026",
                                            "Kestrin Editor", "09:05"};
    EXPECT_EQ(page2, frame);
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
    std::vector<std::string> labels, dates, times;
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
    EXPECT_EQ(labels, (std::vector<std::string>{"Page   1", "Page   2", "Page   3"}));
    EXPECT_EQ(dates, (std::vector<std::string>(3, "03/07/2026")));
    EXPECT_EQ(times, (std::vector<std::string>(3, "09:05")));
    // Line 71 is the first of page 2, line 141 the first of page 3.
    const auto body = bodyOps(p);
    EXPECT_EQ(body[70].page, 2);
    EXPECT_EQ(body[70].y, 1380);
    EXPECT_EQ(body[140].page, 3);
}

TEST(ReportsBlock, CarriageReturnWithoutLineFeedOverprints) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock("abc\rX\r\nnext\r");
    const auto body = bodyOps(p);
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[0].text, "abc");
    EXPECT_EQ(body[1].text, "X");
    EXPECT_EQ(body[1].y, body[0].y);
    EXPECT_EQ(body[2].text, "next");
    EXPECT_EQ(body[2].y, body[0].y + 184);
}

TEST(ReportsBlock, LoneLineFeedIsNoBreak) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock("a\nb");
    EXPECT_EQ(bodyTexts(p), std::vector<std::string>{"a\nb"});
}

TEST(ReportsBlock, EmptyTextPrintsNoPage) {
    RecordingPrinter p;
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock("");
    EXPECT_TRUE(p.ops.empty());
    r.CloseReport();
    ASSERT_EQ(p.ops.size(), 1u);
    EXPECT_EQ(p.ops[0].kind, PrinterOp::EndDocument);
}

TEST(ReportsBlock, EditorPrintUsesItsTitles) {
    RecordingPrinter p;
    reports::PrintEditorText(p, "x", fixedTime);
    const std::vector<std::string> expected = {"", "Kestrin Editor", "Page   1", "Selected (All) Text",
                                               "03/07/2026", "Kestrin Editor", "09:05", "x"};
    EXPECT_EQ(p.texts(), expected);
    EXPECT_TRUE(p.ended());
}

TEST(ReportsErrors, CancelInPrintTextStopsTheReport) {
    platform::RecordingDesktop desk;
    desk.boxes.answerNext(platform::Answer::Cancel);
    FailingPrinter p;
    p.failOn(PrinterOp::Text, 9);  // the second body line (after 7 frame texts and "L1")
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock(numberedLines(150, false));
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "PrintText Error");
    EXPECT_EQ(desk.boxes.last().text, Prompt);
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(desk.boxes.last().buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(bodyTexts(p), std::vector<std::string>{"L1"});
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 0);
    EXPECT_TRUE(r.state().cancelled);
    // The pages so far are still released.
    r.CloseReport();
    EXPECT_TRUE(p.ended());

    // A new report prints normally again.
    RecordingPrinter q;
    Reports r2(q, fixedTime);
    openEditorReport(r2);
    r2.PrintBlock("a\r\nb");
    EXPECT_EQ(bodyTexts(q), (std::vector<std::string>{"a", "b"}));
}

TEST(ReportsErrors, OkInPrintTextGoesOn) {
    platform::RecordingDesktop desk;
    FailingPrinter p;
    p.failOn(PrinterOp::Text, 9);
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock("L1\r\nL2\r\nL3");
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().answer, platform::Answer::Ok);
    EXPECT_EQ(bodyTexts(p), (std::vector<std::string>{"L1", "L3"}));
    EXPECT_EQ(bodyOps(p)[1].y, 1196 + 3 * 184);
}

TEST(ReportsErrors, CancelInTheFrameStopsBeforeTheFirstLine) {
    platform::RecordingDesktop desk;
    desk.boxes.answerNext(platform::Answer::Cancel);
    FailingPrinter p;
    p.failOn(PrinterOp::Line, 2);  // the thick rule
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock("a\r\nb");
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "PrintHdrFooter Error");
    EXPECT_TRUE(bodyTexts(p).empty());
    // The frame stops at the failed rule: no footer.
    EXPECT_EQ(p.texts().size(), 4u);
}

TEST(ReportsErrors, NewPageAndEndDocumentFailuresShowProgramError) {
    platform::RecordingDesktop desk;
    FailingPrinter p;
    p.failOn(PrinterOp::NewPage, 1);
    Reports r(p, fixedTime);
    openEditorReport(r);
    r.PrintBlock(numberedLines(72, false));
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "Program Error");
    EXPECT_EQ(desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: EjectReportPage\nSub Proc: ");
    // The page was not started and got no frame, so line 71 overprints the
    // last line of page 1; the next line starts page 2.
    EXPECT_EQ(countKind(p, PrinterOp::NewPage), 1);
    const auto body = bodyOps(p);
    ASSERT_EQ(body.size(), 72u);
    EXPECT_EQ(body[70].page, 1);
    EXPECT_EQ(body[70].y, body[69].y);
    EXPECT_EQ(body[71].page, 2);
    EXPECT_EQ(body[71].y, 1380);

    FailingPrinter q;
    q.failOn(PrinterOp::EndDocument, 1);
    Reports r2(q, fixedTime);
    openEditorReport(r2);
    r2.PrintBlock("x");
    r2.CloseReport();
    EXPECT_EQ(desk.boxes.last().text, "Err Code: 57\nErr Desc: Device I/O error\nProcname: CloseReport\nSub Proc: ");
}
