// Hostile files through every engine, beside the fuzz harnesses (which try
// small inputs and check the properties that hold for any input): all byte
// values through a save, and the big inputs the fuzzers never reach: a 50 MB
// line, a million empty lines, a form description nested 10,000 deep. Each
// engine must end and stay linear (the benchmarks measure the times).

#include "RobustnessSupport.h"
#include "convert/ConvertXBase.h"
#include "editor/SourceDocument.h"
#include "indent/Indent.h"
#include "support/Recording.h"
#include "reports/Reports.h"
#include "scan/clsOculon.h"

namespace {

using robustness::readBytes;
using robustness::writeBytes;

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    while (times--) out += piece;
    return out;
}

// Every engine on one input. The properties that hold for any input
// (entity texts are whole lines of the file, the indenter keeps every line,
// ...) are the fuzz harnesses' checks; here the report keeps its ceiling, the
// converter ends every line with CR LF and nothing is printed off the page.
class Hostile : public ::testing::Test {
protected:
    void scanned(const std::string& name, const std::string& bytes) {
        scan::setCheckLevel(3);
        EXPECT_LE((engine.LoadFromText(name, bytes), engine.sFillMessages()).size(), 128000u);
    }
    void split(const std::string& name, const std::string& bytes) {
        writeBytes(dir.path(name), bytes);
        doc.OpenSourceFile(dir.path(name), editor::Mode::Entity);
        texts.clear();
        for (std::size_t i = 0; i < doc.entityRecords().size(); ++i) {
            try {
                texts.push_back(doc.GetEntityText(static_cast<int>(i)));
            } catch (const platform::RuntimeError&) {
                texts.push_back("");
            }
        }
    }
    void indented(const std::string& text) { EXPECT_EQ(indent::ReindentText(text).empty(), text.empty()); }
    void converted(const std::string& bytes) {
        const std::string out = convert::ConvertXBaseSource(bytes);
        EXPECT_TRUE(out.empty() || out.ends_with("\r\n"));
    }
    void printed(const std::string& text) {
        reports::PrintEditorText(printer, text, [] { return std::tm{}; });
        EXPECT_TRUE(printer.ended());
        for (const auto& op : printer.ops)
            if (op.kind == platform::PrinterOp::Text &&
                !(op.x >= 0 && op.y >= 0 && op.x + op.width <= printer.printableWidth() &&
                  op.y + op.height <= printer.printableHeight()))
                return ADD_FAILURE() << "printed outside the page: " << op.text.substr(0, 40);
    }
    void everyEngine(const std::string& name, const std::string& bytes) {
        scanned(name, bytes);
        split(name, bytes);
        indented(bytes);
        converted(bytes);
        printed(bytes);
    }

    robustness::ScratchDir dir;
    platform::RecordingDesktop desktop;
    scan::clsOculon engine{"/nonexistent/UserDefs.txt"};
    editor::MemoryView view;
    editor::SourceDocument doc{view};
    std::vector<std::string> texts;
    platform::RecordingPrinter printer;
};

// Bytes 0 to 255 (without the line feed, a line end in every reader) in a
// comment and two string literals: an entity save and a whole-file save keep
// every byte, and every engine ends.
TEST_F(Hostile, EveryByteValue) {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\n') bytes += static_cast<char>(b);
    const std::string procA = "Private Sub A()\r\n    s = \"" + bytes + "\"\r\nEnd Sub\r\n";
    const std::string procB = "Public Function B()\r\n    t = \"" + bytes + "\"\r\nEnd Function\r\n";
    const std::string head = "Option Explicit\r\n' " + bytes + "\r\n\r\n" + procA + "\r\n";
    writeBytes(dir.path("ALL.BAS"), head + procB);
    ASSERT_TRUE(doc.OpenSourceFile(dir.path("ALL.BAS"), editor::Mode::Entity));
    doc.cbProc_Click(1);
    ASSERT_EQ(view.text, procA);
    doc.txtEdit_Change();
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(readBytes(dir.path("ALL.BAS")), head + "\r\n" + procB);  // one empty line after the entity saved
    EXPECT_EQ(readBytes(dir.path("ALL.BAK")), head + procB);
    doc.cbProc_Click(2);
    EXPECT_EQ(view.text, procB);
    ASSERT_TRUE(doc.OpenSourceFile(dir.path("ALL.BAS"), editor::Mode::WholeFile));
    doc.txtEdit_Change();
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(readBytes(dir.path("ALL.BAS")), head + "\r\n" + procB + "\r\n");
    EXPECT_TRUE(desktop.boxes.shown.empty());
    everyEngine("ALL.BAS", bytes + '\n' + bytes + std::string(3, '\0'));
    everyEngine("ALL.FRM", bytes);
}

// Nothing quadratic: one 50 MB line of statements, and one of a single word
// (an If whose Then never comes, a line no blank can wrap).
TEST_F(Hostile, FiftyMegabytesOnOneLine) {
    const std::string line = repeat("Dim sName As String: x = a + b & \"text\" ' note ", (50u << 20) / 48);
    everyEngine("BIG.BAS", line);
    EXPECT_EQ(engine.lineCount(), 1);
    EXPECT_EQ(texts.at(0).size(), line.size() + 2);
    EXPECT_GT(printer.page(), static_cast<int>(line.size() / 119 / 71));  // 119 characters a line, 70 a page
    const std::string word = "If " + std::string(50u << 20, 'x');
    scanned("WORD.BAS", word);
    EXPECT_EQ(engine.lines()[1].iWordCount, 2);
    indented(word);
    printed(word);
}

TEST_F(Hostile, AMillionEmptyLines) {
    const std::string lines = repeat("\r\n", 1000000);
    everyEngine("EMPTY.BAS", lines);
    EXPECT_EQ(engine.lineCount(), 1000000);
    EXPECT_EQ(texts, std::vector<std::string>{lines});
}

std::string nestedForm(int depth, bool closed) {
    std::string s = "VERSION 5.00\r\nBegin VB.Form frmDeep\r\n";
    for (int i = 1; i < depth; ++i)
        s += std::string(static_cast<std::size_t>(i % 40), ' ') + "Begin VB.Frame fra" + std::to_string(i) +
             "\r\n   Caption = \"&Level\"\r\n";
    for (int i = depth - 1; closed && i >= 0; --i) s += std::string(static_cast<std::size_t>(i % 40), ' ') + "End\r\n";
    return s +
           "Attribute VB_Name = \"frmDeep\"\r\nOption Explicit\r\n\r\nPrivate Sub Form_Load()\r\n    x = 1\r\nEnd "
           "Sub\r\n";
}

TEST_F(Hostile, FormNestedTenThousandLevelsDeep) {
    everyEngine("DEEP.FRM", nestedForm(10000, true));
    EXPECT_EQ(engine.internalName(), "frmDeep");
    EXPECT_EQ(texts, (std::vector<std::string>{"Attribute VB_Name = \"frmDeep\"\r\nOption Explicit\r\n\r\n",
                                               "Private Sub Form_Load()\r\n    x = 1\r\nEnd Sub\r\n"}));
}

}  // namespace
