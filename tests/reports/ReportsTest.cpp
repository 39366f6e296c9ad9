// The report printer's layout on the recording printer. The recording printer
// measures a character as 0.6 em (Courier New) or 0.5 em (Arial) and a line
// as 1.15 em; its default page is 11,520 x 14,976 twips. With that page:
//   R = 11517, W = 11518, H = 14974; h12 = 276, band1 = 552; h14 = 322,
//   band2 = 644; HH = 1196; S = 14974 - 552 - 644 - 552 - 100 = 13126.
//   120 columns: Courier New 8 pt, LH = 184, LL = round(13126 / 184 - 1) = 70.
#include <gtest/gtest.h>

#include <array>

#include "support/Recording.h"
#include "platform/RuntimeError.h"
#include "reports/Reports.h"
#include "reports/Printout.h"
#include "support/Cases.h"

using platform::PrinterOp;
using platform::RecordingPrinter;
using reports::Reports;
using Texts = std::vector<std::string>;

namespace {

std::tm fixedTime() {
    std::tm tm{};
    tm.tm_year = 2026 - 1900, tm.tm_mon = 2, tm.tm_mday = 7, tm.tm_hour = 9, tm.tm_min = 5;
    return tm;
}

// `count` lines "L1", "L2", ... joined by CR LF.
std::string numbered(int count, bool finalCrLf = false) {
    std::string s;
    for (int i = 1; i <= count; ++i) s += "L" + std::to_string(i) + (i < count || finalCrLf ? "\r\n" : "");
    return s;
}

// A recording printer whose n-th call of one operation fails (none by default).
class Printer : public RecordingPrinter {
public:
    explicit Printer(PrinterOp::Kind kind = PrinterOp::Text, int nth = 0, int width = 11520, int height = 14976)
        : RecordingPrinter(width, height), kind_(kind), nth_(nth) {}
    void printText(const std::string& t) override { hit(PrinterOp::Text), RecordingPrinter::printText(t); }
    void drawLine(int a, int b, int c, int d) override { hit(PrinterOp::Line), RecordingPrinter::drawLine(a, b, c, d); }
    void newPage() override { hit(PrinterOp::NewPage), RecordingPrinter::newPage(); }
    void endDocument() override { hit(PrinterOp::EndDocument), RecordingPrinter::endDocument(); }

private:
    void hit(PrinterOp::Kind k) {
        if (k == kind_ && ++calls_ == nth_) platform::raise(platform::err::DeviceIO);
    }
    PrinterOp::Kind kind_;
    int nth_, calls_ = 0;
};

// An editor report of `columns` columns; the first error box gets `answer`.
struct Job {
    explicit Job(Printer printer = Printer(), int columns = 120, platform::Answer answer = platform::Answer::Ok)
        : p(std::move(printer)) {
        if (answer != platform::Answer::Ok) desk.boxes.answerNext(answer);
        r.OpenReport(columns, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
    }
    platform::RecordingDesktop desk;
    Printer p;
    Reports r{p, fixedTime};
};

}  // namespace

TEST(Reports, BodyFontAndLastLineByColumnsAndPageHeight) {
    // columns, page height -> points, LL = round(S / (points x 23) - 1); at
    // 8 pt S = 184 x 71.5 and 184 x 72.5 round halves to even.
    for (const auto& r : cases::rows("reports/cases/body_fonts.txt")) {
        const int columns = std::stoi(r[0]), height = std::stoi(r[1]), size = std::stoi(r[2]),
                  lastLine = std::stoi(r[3]);
        Job run(Printer(PrinterOp::Text, 0, 11520, height), columns);
        EXPECT_TRUE(run.p.ops.empty());  // opening measures only
        run.r.PrintBlock("x");
        EXPECT_EQ(run.r.state().lastLine, lastLine) << columns << " " << height;
        const auto& op = run.p.ops.back();
        EXPECT_EQ(std::tuple(run.p.texts().size(), op.text, op.font, op.size, op.bold),
                  std::tuple(8u, "x", "Courier New", size, true));
    }
}

TEST(Reports, FirstPageFrameAndBody) {
    Job run;
    run.r.PrintBlock("a\r\nb");
    run.r.CloseReport();
    expectPrintout(run.p, "reports/cases/first_page.txt");
    // W = 11519 and 11521: (W - 1680) / 2 = 4919.5 and 4920.5, both 4920.
    for (int width : {11521, 11523}) {
        Job other(Printer(PrinterOp::Text, 0, width));
        other.r.PrintBlock("x");
        EXPECT_EQ(other.p.ops[1].x, 4920) << width;
    }
}

TEST(Reports, WrapsLongLinesAndWordsAfterTheLastBlankAmongTheFirstNMinusOne) {
    Job run;
    run.r.PrintBlock(std::string(119, 'a') + "\r\n" + std::string(120, 'b') + "\r\n" + std::string(200, 'w'));
    expectPrintout(run.p, "reports/cases/wrap.txt");
    Job narrow(Printer(), 10);
    for (const char* text : {"hello world again", "abc defgh    xyz", "abcdefgh    xyz"}) {
        narrow.r.WrapText(text, 1, 10);
        narrow.r.MoveToNextLine();
    }
    for (int columns : {1, 0, -5}) narrow.r.WrapText("abc", 1, columns);  // tiny column counts still end
    expectPrintout(narrow.p, "reports/cases/wrap_narrow.txt");
}

TEST(Reports, PagesBreakAfterTheLastLineShareTheirDateAndKeepLineEnds) {
    Job exact, framed;
    exact.r.PrintBlock(numbered(70));
    expectPrintout(exact.p, "reports/cases/one_page.txt");
    framed.r.PrintBlock(numbered(70, true));  // a final CR LF at the last line gives a framed empty page
    expectPrintout(framed.p, "reports/cases/framed_empty_page.txt");

    RecordingPrinter p;
    int calls = 0;
    Reports r(p, [&] {  // a clock that moves on every call: the report takes it once
        std::tm tm = fixedTime();
        tm.tm_min += calls++;
        return tm;
    });
    r.OpenReport(120, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
    r.PrintBlock(numbered(141));
    expectPrintout(p, "reports/cases/three_pages.txt");  // the frames all show the first time
    // Line ends and empty text.
    Job ends;
    ends.r.PrintBlock("abc\rX\r\nnext\ra\nb");  // CR alone overprints, LF alone is no break
    expectPrintout(ends.p, "reports/cases/line_ends.txt");
    Job empty;
    empty.r.PrintBlock("");
    empty.r.CloseReport();
    expectPrintout(empty.p, "reports/cases/empty.txt");
    RecordingPrinter editor;
    reports::PrintEditorText(editor, "x", fixedTime);
    expectPrintout(editor, "reports/cases/editor_text.txt");
}

TEST(Reports, PrinterFailuresAskOrShowProgramErrors) {
    Job cancel(Printer(PrinterOp::Text, 9), 120, platform::Answer::Cancel);  // 7 frame texts, "L1", then L2
    cancel.r.PrintBlock(numbered(150));
    ASSERT_EQ(cancel.desk.boxes.shown.size(), 1u);
    const auto& box = cancel.desk.boxes.last();
    EXPECT_EQ(std::tie(box.title, box.text, box.icon, box.buttons),
              std::tuple("PrintText Error",
                         "Encountered Trappable Error while printing.\nError:\nClick Ok to continue or Cancel.",
                         platform::Icon::Stop, platform::Buttons::OkCancel));
    EXPECT_TRUE(cancel.r.state().cancelled);
    cancel.r.CloseReport();
    expectPrintout(cancel.p, "reports/cases/cancelled.txt");  // "L1" only, and the pages so far are released

    Job ok(Printer(PrinterOp::Text, 9));
    ok.r.PrintBlock("L1\r\nL2\r\nL3");
    expectPrintout(ok.p, "reports/cases/failed_line_skipped.txt");

    Job frame(Printer(PrinterOp::Line, 2), 120, platform::Answer::Cancel);  // the thick rule
    frame.r.PrintBlock("a\r\nb");
    EXPECT_EQ(frame.desk.boxes.last().title, "PrintHdrFooter Error");
    expectPrintout(frame.p, "reports/cases/failed_rule.txt");  // the frame stops there: no footer, no body
    // New page and end document failures show program errors.
    Job run(Printer(PrinterOp::NewPage, 1));
    run.r.PrintBlock(numbered(72));
    ASSERT_EQ(run.desk.boxes.shown.size(), 1u);
    EXPECT_EQ(run.desk.boxes.last().title + ": " + run.desk.boxes.last().text,
              "Program Error: Err Code: 57\nErr Desc: Device I/O error\nProcname: EjectReportPage\nSub Proc: ");
    // The page got no frame, so line 71 overprints the last line of page 1;
    // the next line starts page 2.
    expectPrintout(run.p, "reports/cases/failed_new_page.txt");

    Job end(Printer(PrinterOp::EndDocument, 1));
    end.r.PrintBlock("x");
    end.r.CloseReport();
    EXPECT_EQ(end.desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: CloseReport\nSub Proc: ");
}
