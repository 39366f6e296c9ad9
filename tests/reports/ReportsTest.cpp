// The report printer's layout on the recording printer. The recording printer
// measures a character as 0.6 em (Courier New) or 0.5 em (Arial) and a line
// as 1.15 em; its default page is 11,520 x 14,976 twips. With that page:
//   R = 11517, W = 11518, H = 14974; h12 = 276, band1 = 552; h14 = 322,
//   band2 = 644; HH = 1196; S = 14974 - 552 - 644 - 552 - 100 = 13126.
//   120 columns: Courier New 8 pt, LH = 184, LL = round(13126 / 184 - 1) = 70.
#include <gtest/gtest.h>

#include <array>

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
    tm.tm_year = 2026 - 1900, tm.tm_mon = 2, tm.tm_mday = 7, tm.tm_hour = 9, tm.tm_min = 5;
    return tm;
}

// The body lines printed (Courier New), in order.
std::vector<PrinterOp> body(const RecordingPrinter& p) {
    std::vector<PrinterOp> out;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text && op.font == "Courier New") out.push_back(op);
    return out;
}
Texts bodyTexts(const RecordingPrinter& p) {
    Texts out;
    for (const auto& op : body(p)) out.push_back(op.text);
    return out;
}
int newPages(const RecordingPrinter& p) {
    return static_cast<int>(std::count_if(p.ops.begin(), p.ops.end(), [](auto& op) { return op.kind == PrinterOp::NewPage; }));
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
    for (auto [columns, height, size, lastLine] :
         {std::tuple{80, 14976, 12, 47}, {81, 14976, 10, 56}, {96, 14976, 10, 56}, {97, 14976, 8, 70},
          {120, 14976, 8, 70}, {121, 14976, 6, 94}, {120, 13156 + 1850, 8, 70}, {120, 13340 + 1850, 8, 72}}) {
        Job run(Printer(PrinterOp::Text, 0, 11520, height), columns);
        EXPECT_TRUE(run.p.ops.empty());  // opening measures only
        run.r.PrintBlock("x");
        EXPECT_EQ(run.r.state().lastLine, lastLine) << columns << " " << height;
        ASSERT_EQ(body(run.p).size(), 1u);
        EXPECT_EQ(body(run.p)[0].size, size);
        EXPECT_TRUE(body(run.p)[0].bold);
    }
}

TEST(Reports, FirstPageFrameAndBody) {
    Job run;
    run.r.PrintBlock("a\r\nb");
    run.r.CloseReport();
    using T = std::tuple<std::string, int, int, std::string, double, bool>;  // text, x, y, font, size, bold
    std::vector<T> texts;
    std::vector<std::array<int, 5>> lines;
    for (const auto& op : run.p.ops) {
        if (op.kind == PrinterOp::Text) texts.emplace_back(op.text, op.x, op.y, op.font, op.size, op.bold);
        if (op.kind == PrinterOp::Line) lines.push_back(std::array<int, 5>{op.x, op.y, op.x2, op.y2, op.width});
    }
    EXPECT_EQ(texts, (std::vector<T>{
                         {"", 120, 138, "Arial", 12, false},
                         {"Kestrin Editor", 4919, 138, "Arial", 12, false},      // (11518 - 14 x 120) / 2
                         {"Page   1", 10438, 138, "Arial", 12, false},           // 11518 - 9 x 120
                         {"Selected (All) Text", 4429, 713, "Arial", 14, true},  // (11518 - 19 x 140) / 2; 552 + 161
                         {"03/07/2026", 120, 14560, "Arial", 12, false},         // 14974 - 552 + 138
                         {"Kestrin Editor", 4919, 14560, "Arial", 12, false},
                         {"09:05", 10798, 14560, "Arial", 12, false},  // 11518 - 6 x 120
                         {"a", 96, 1380, "Courier New", 8, true},       // 1196 + 1 x 184
                         {"b", 96, 1564, "Courier New", 8, true}}));
    EXPECT_EQ(lines, (std::vector<std::array<int, 5>>{
                         {0, 552, 11517, 552, 1}, {0, 1196, 11517, 1196, 4}, {0, 14422, 11517, 14422, 1}}));
    EXPECT_EQ(run.p.ops.back().kind, PrinterOp::EndDocument);
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
    EXPECT_EQ(bodyTexts(run.p), (Texts{std::string(119, 'a'), std::string(119, 'b'), "b", std::string(119, 'w'),
                                       std::string(81, 'w')}));
    EXPECT_EQ(body(run.p)[4].y, 1196 + 5 * 184);
    Job narrow(Printer(), 10);
    for (const char* text : {"hello world again", "abc defgh    xyz", "abcdefgh    xyz"}) {
        narrow.r.WrapText(text, 1, 10);
        narrow.r.MoveToNextLine();
    }
    for (int columns : {1, 0, -5}) narrow.r.WrapText("abc", 1, columns);  // tiny column counts still end
    EXPECT_EQ(bodyTexts(narrow.p), (Texts{"hello ", "world ", "again", "abc ", "defgh    ", "xyz", "abcdefgh ", "xyz",
                                          "a", "b", "c", "a", "b", "c", "a", "b", "c"}));
}

TEST(Reports, PagesBreakAfterTheLastLineAndShareTheirDateAndTime) {
    Job exact, framed;
    exact.r.PrintBlock(numbered(70));
    EXPECT_EQ(newPages(exact.p), 0);
    EXPECT_EQ(body(exact.p).back().y, 1196 + 70 * 184);
    // A final CR LF at the last line gives a framed empty page.
    framed.r.PrintBlock(numbered(70, true));
    EXPECT_EQ(framed.p.texts().size(), 70 + 2 * 7u);
    EXPECT_EQ(framed.p.ops.back().text, "09:05");

    RecordingPrinter p;
    int calls = 0;
    Reports r(p, [&] {  // a clock that moves on every call: the report takes it once
        std::tm tm = fixedTime();
        tm.tm_min += calls++;
        return tm;
    });
    r.OpenReport(120, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
    r.PrintBlock(numbered(141));
    Texts frames;
    for (const auto& op : p.ops)
        if (op.kind == PrinterOp::Text && op.font == "Arial") frames.push_back(op.text + (op.bold ? " (bold)" : ""));
    const Texts frame = {"", "Kestrin Editor", "Page   ", "Selected (All) Text (bold)", "03/07/2026", "Kestrin Editor", "09:05"};
    for (int page = 0; page < 3; ++page) {
        Texts expected = frame;
        expected[2] += std::to_string(page + 1);
        EXPECT_EQ(Texts(frames.begin() + 7 * page, frames.begin() + 7 * page + 7), expected);
    }
    EXPECT_EQ(body(p)[70].page * 10000 + body(p)[70].y, 2 * 10000 + 1380);  // line 71 starts page 2
    EXPECT_EQ(body(p)[140].page, 3);
}

TEST(Reports, LineEndsAndEmptyText) {
    Job run;
    run.r.PrintBlock("abc\rX\r\nnext\ra\nb");  // CR alone overprints, LF alone is no break
    EXPECT_EQ(bodyTexts(run.p), (Texts{"abc", "X", "next", "a\nb"}));
    EXPECT_EQ(body(run.p)[1].y, body(run.p)[0].y);
    EXPECT_EQ(body(run.p)[2].y, body(run.p)[0].y + 184);
    Job empty;
    empty.r.PrintBlock("");
    empty.r.CloseReport();
    ASSERT_EQ(empty.p.ops.size(), 1u);
    EXPECT_EQ(empty.p.ops[0].kind, PrinterOp::EndDocument);
    RecordingPrinter p;
    reports::PrintEditorText(p, "x", fixedTime);
    EXPECT_EQ(p.texts(), (Texts{"", "Kestrin Editor", "Page   1", "Selected (All) Text", "03/07/2026",
                                "Kestrin Editor", "09:05", "x"}));
}

TEST(Reports, PrintTextErrorAsksAndCancelStopsTheReport) {
    Job cancel(Printer(PrinterOp::Text, 9), 120, platform::Answer::Cancel);  // 7 frame texts, "L1", then L2
    cancel.r.PrintBlock(numbered(150));
    ASSERT_EQ(cancel.desk.boxes.shown.size(), 1u);
    const auto& box = cancel.desk.boxes.last();
    EXPECT_EQ(box.title, "PrintText Error");
    EXPECT_EQ(box.text, "Encountered Trappable Error while printing.\nError:\nClick Ok to continue or Cancel.");
    EXPECT_EQ(box.icon, platform::Icon::Stop);
    EXPECT_EQ(box.buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(bodyTexts(cancel.p), Texts{"L1"});
    EXPECT_TRUE(cancel.r.state().cancelled);
    cancel.r.CloseReport();
    EXPECT_TRUE(cancel.p.ended());  // the pages so far are still released

    Job ok(Printer(PrinterOp::Text, 9));
    ok.r.PrintBlock("L1\r\nL2\r\nL3");
    EXPECT_EQ(bodyTexts(ok.p), (Texts{"L1", "L3"}));
    EXPECT_EQ(body(ok.p)[1].y, 1196 + 3 * 184);

    Job frame(Printer(PrinterOp::Line, 2), 120, platform::Answer::Cancel);  // the thick rule
    frame.r.PrintBlock("a\r\nb");
    EXPECT_EQ(frame.desk.boxes.last().title, "PrintHdrFooter Error");
    EXPECT_EQ(frame.p.texts().size(), 4u);  // the frame stops at the failed rule: no footer, no body
}

TEST(Reports, NewPageAndEndDocumentFailuresShowProgramErrors) {
    Job run(Printer(PrinterOp::NewPage, 1));
    run.r.PrintBlock(numbered(72));
    ASSERT_EQ(run.desk.boxes.shown.size(), 1u);
    EXPECT_EQ(run.desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: EjectReportPage\nSub Proc: ");
    EXPECT_EQ(run.desk.boxes.last().title, "Program Error");
    // The page got no frame, so line 71 overprints the last line of page 1;
    // the next line starts page 2.
    const auto lines = body(run.p);
    ASSERT_EQ(lines.size(), 72u);
    EXPECT_EQ(lines[70].y * 10 + lines[70].page, lines[69].y * 10 + 1);
    EXPECT_EQ(lines[71].y * 10 + lines[71].page, 1380 * 10 + 2);

    Job end(Printer(PrinterOp::EndDocument, 1));
    end.r.PrintBlock("x");
    end.r.CloseReport();
    EXPECT_EQ(end.desk.boxes.last().text, "Err Code: 57\nErr Desc: Device I/O error\nProcname: CloseReport\nSub Proc: ");
}
