// Hostile files through every engine: all byte values, NUL bytes, a 50 MB
// line, a million empty lines, form descriptions nested 10,000 deep or never
// closed, a string literal that never closes, a continuation on the last line.
// Each engine must end, keep the properties that hold for any input, and
// (for the big cases) stay linear; the times are printed, not asserted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RobustnessSupport.h"
#include "convert/ConvertXBase.h"
#include "editor/SourceDocument.h"
#include "indent/Indent.h"
#include "platform/Recording.h"
#include "reports/Reports.h"
#include "scan/clsOculon.h"

namespace {

using robustness::readBytes;
using robustness::ScratchDir;
using robustness::timed;
using robustness::writeBytes;

// Pieces between CR LF pairs; a final CR LF adds no piece.
std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(text.substr(pos));
            break;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::string trimSpaces(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// The text as the editor shows it: a bare LF becomes CR LF.
std::string asEditorText(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
        out += bytes[i];
    }
    return out;
}

class Hostile : public ::testing::Test {
protected:
    ScratchDir dir;
    platform::RecordingDesktop desktop;

    // The scan engine at level 3: the report keeps its ceiling.
    scan::clsOculon& scanned(const std::string& name, const std::string& bytes) {
        scan::setCheckLevel(3);
        timed(("scan " + what).c_str(), [&] {
            engine.LoadFromText(name, bytes);
            report = engine.sFillMessages();
        });
        EXPECT_LE(report.size(), 128000u);
        return engine;
    }

    // The entity list of the file, and the text of every entity, each a run
    // of whole lines of the file.
    void split(const std::string& name, const std::string& bytes) {
        writeBytes(dir.path(name), bytes);
        timed(("entities " + what).c_str(), [&] {
            doc.OpenSourceFile(dir.path(name), editor::Mode::Entity);
            texts.clear();
            for (std::size_t i = 0; i < doc.entityRecords().size(); ++i) {
                try {
                    texts.push_back(doc.GetEntityText(static_cast<int>(i)));
                } catch (const platform::RuntimeError&) {
                    texts.push_back("<error>");
                }
            }
        });
        // Reading gives the last line a CR LF too.
        std::string editorText = asEditorText(bytes);
        if (!editorText.empty() && !editorText.ends_with("\n")) editorText += "\r\n";
        for (const auto& t : texts) {
            if (t == "<error>" || t.empty()) continue;
            EXPECT_TRUE(t.ends_with("\r\n"));
            const std::size_t at = editorText.find(t);
            if (at == std::string::npos) {
                ADD_FAILURE() << "an entity text is part of the file";
                continue;
            }
            EXPECT_TRUE(at == 0 || editorText[at - 1] == '\n') << "it starts at a line";
        }
    }

    // The indenter: one output line per input line, each the input line
    // without tabs and outer blanks, after whole levels of blanks.
    void indented(const std::string& text) {
        std::string out;
        timed(("indent " + what).c_str(), [&] { out = indent::ReindentText(text); });
        const auto in = crlfLines(text);
        const auto lines = crlfLines(out);
        ASSERT_EQ(in.size(), lines.size());
        for (std::size_t i = 0; i < in.size(); ++i) {
            std::string expected = in[i];
            std::erase(expected, '\t');
            if (trimSpaces(lines[i]) != trimSpaces(expected)) {
                ADD_FAILURE() << "line " << i + 1 << " changed";
                break;
            }
        }
    }

    // The converter: every line it writes ends with CR LF.
    std::string converted(const std::string& bytes) {
        std::string out;
        timed(("convert " + what).c_str(), [&] { out = convert::ConvertXBaseSource(bytes); });
        EXPECT_TRUE(out.empty() || out.ends_with("\r\n"));
        return out;
    }

    // The editor's report: nothing drawn outside the printable area.
    platform::RecordingPrinter& printed(const std::string& text) {
        timed(("print " + what).c_str(), [&] { reports::PrintEditorText(printer, text, [] { return std::tm{}; }); });
        EXPECT_TRUE(printer.ended());
        bool inside = true;
        for (const auto& op : printer.ops) {
            if (op.kind == platform::PrinterOp::Text)
                inside = inside && op.x >= 0 && op.y >= 0 && op.x + op.width <= printer.printableWidth() &&
                         op.y + op.height <= printer.printableHeight();
        }
        EXPECT_TRUE(inside);
        return printer;
    }

    void everyEngine(const std::string& name, const std::string& bytes) {
        scanned(name, bytes);
        split(name, bytes);
        const std::string text = asEditorText(bytes);
        indented(text);
        converted(bytes);
        printed(text);
    }

    std::string what = "input";
    scan::clsOculon engine{"/nonexistent/UserDefs.txt"};
    std::string report;
    editor::MemoryView view;
    editor::SourceDocument doc{view};
    std::vector<std::string> texts;
    platform::RecordingPrinter printer;
};

// ---------------------------------------------------------------------------
// Every byte value

// Bytes 0 to 255 without the line feed (a line end in every reader).
std::string everyByteButLineFeed() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        if (b != '\n') s += static_cast<char>(b);
    return s;
}

TEST_F(Hostile, EveryByteValueSurvivesAnEntitySave) {
    const std::string bytes = everyByteButLineFeed();
    const std::string procA = "Private Sub A()\r\n    s = \"" + bytes + "\"\r\nEnd Sub\r\n";
    const std::string procB = "Public Function B()\r\n    t = \"" + bytes + "\"\r\nEnd Function\r\n";
    const std::string file = "Option Explicit\r\n' " + bytes + "\r\n\r\n" + procA + "\r\n" + procB;
    writeBytes(dir.path("ALL.BAS"), file);

    ASSERT_TRUE(doc.OpenSourceFile(dir.path("ALL.BAS"), editor::Mode::Entity));
    ASSERT_EQ(doc.entityNames(), (std::vector<std::string>{"(declarations)", "A", "B"}));
    doc.cbProc_Click(1);
    ASSERT_EQ(view.text, procA);
    doc.txtEdit_Change();
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_TRUE(desktop.boxes.shown.empty());
    // A save writes one empty line after the entity it saved.
    const std::string expected = "Option Explicit\r\n' " + bytes + "\r\n\r\n" + procA + "\r\n\r\n" + procB;
    EXPECT_EQ(readBytes(dir.path("ALL.BAS")), expected);
    EXPECT_EQ(readBytes(dir.path("ALL.BAK")), file);
    doc.cbProc_Click(2);
    EXPECT_EQ(view.text, procB);
}

TEST_F(Hostile, EveryByteValueSurvivesAWholeFileSave) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    writeBytes(dir.path("ALL.TXT"), bytes);
    ASSERT_TRUE(doc.OpenSourceFile(dir.path("ALL.TXT"), editor::Mode::WholeFile));
    ASSERT_EQ(view.text, bytes);
    doc.txtEdit_Change();
    ASSERT_TRUE(doc.mnuFileSave_Click());
    // Its one line end is a bare LF, so the save ends the text with one too.
    EXPECT_EQ(readBytes(dir.path("ALL.TXT")), bytes + "\n");
}

TEST_F(Hostile, EveryByteValueInEveryEngine) {
    std::string bytes;
    for (int rep = 0; rep < 4; ++rep)
        for (int b = 255; b >= 0; --b) bytes += static_cast<char>(b);
    everyEngine("ALL.BAS", bytes);
    everyEngine("ALL.FRM", bytes);
}

// ---------------------------------------------------------------------------
// NUL bytes

TEST_F(Hostile, NulBytesNeitherEndALineNorTheFile) {
    const std::string nul(1, '\0');
    const std::string file = "Option Explicit\r\nDim x" + nul + "y As Integer\r\n" + nul + nul + nul +
                             "\r\nPrivate Sub A" + nul + "()\r\n    x = 1\r\nEnd Sub\r\n";
    everyEngine("NUL.BAS", file);
    EXPECT_EQ(engine.lineCount(), 6);
    EXPECT_EQ(doc.entityNames(), (std::vector<std::string>{"(declarations)", "A"}));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "Private Sub A" + nul + "()\r\n    x = 1\r\nEnd Sub\r\n");
    EXPECT_NE(converted(file).find(nul + nul + nul), std::string::npos);
}

TEST_F(Hostile, AFileOfNothingButNulBytes) {
    everyEngine("NULS.BAS", std::string(4096, '\0'));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], std::string(4096, '\0') + "\r\n");
}

// ---------------------------------------------------------------------------
// Size: nothing quadratic

TEST_F(Hostile, FiftyMegabytesOnOneLine) {
    const std::size_t size = 50u << 20;
    const std::string piece = "Dim sName As String: x = a + b & \"text\" ' note ";
    std::string line = repeat(piece, size / piece.size());
    what = "50 MB line";
    everyEngine("BIG.BAS", line);
    EXPECT_EQ(engine.lineCount(), 1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].size(), line.size() + 2);
    // 119 characters a body line, 70 body lines a page.
    EXPECT_GT(printer.page(), static_cast<int>(line.size() / 119 / 71));
}

TEST_F(Hostile, FiftyMegabytesOnOneLineWithoutBlanksOrThen) {
    // An If line whose Then never comes (the indenter looks for it word by
    // word), one word for the scanner's word cutter, and a line no blank can
    // wrap for the printer.
    std::string line = "If " + std::string(50u << 20, 'x');
    what = "50 MB word";
    scanned("WORD.BAS", line);
    EXPECT_EQ(engine.lines()[1].iWordCount, 2);
    indented(line);
    printed(line);
}

TEST_F(Hostile, AMillionEmptyLines) {
    const std::string lines = repeat("\r\n", 1000000);
    what = "1e6 empty lines";
    everyEngine("EMPTY.BAS", lines);
    EXPECT_EQ(engine.lineCount(), 1000000);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], lines);
}

// ---------------------------------------------------------------------------
// Form descriptions

std::string nestedForm(int depth, bool closed) {
    std::string s = "VERSION 5.00\r\nBegin VB.Form frmDeep\r\n";
    for (int i = 1; i < depth; ++i) s += std::string(static_cast<std::size_t>(i % 40), ' ') + "Begin VB.Frame fraLevel" + std::to_string(i) + "\r\n   Caption = \"&Level\"\r\n";
    if (closed)
        for (int i = depth - 1; i >= 0; --i) s += std::string(static_cast<std::size_t>(i % 40), ' ') + "End\r\n";
    s += "Attribute VB_Name = \"frmDeep\"\r\nOption Explicit\r\n\r\nPrivate Sub Form_Load()\r\n    x = 1\r\nEnd Sub\r\n";
    return s;
}

TEST_F(Hostile, FormNestedTenThousandLevelsDeep) {
    const std::string form = nestedForm(10000, true);
    what = "form nested 10,000 deep";
    everyEngine("DEEP.FRM", form);
    EXPECT_EQ(engine.internalName(), "frmDeep");
    EXPECT_EQ(doc.entityNames(), (std::vector<std::string>{"(declarations)", "Form_Load"}));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Attribute VB_Name = \"frmDeep\"\r\nOption Explicit\r\n\r\n");
    EXPECT_EQ(texts[1], "Private Sub Form_Load()\r\n    x = 1\r\nEnd Sub\r\n");
}

TEST_F(Hostile, FormDescriptionThatNeverCloses) {
    const std::string form = nestedForm(200, false);
    what = "form never closed";
    everyEngine("OPEN.FRM", form);
    EXPECT_GT(engine.lineCount(), 400);
    // The block runs to the end of the file: the declarations begin there.
    bool told = false;
    for (const auto& box : desktop.boxes.shown) told = told || box.title == "Kestrin Error";
    EXPECT_TRUE(told);
}

TEST_F(Hostile, FormThatIsNothingButABegin) {
    everyEngine("BEGIN.FRM", "Begin");
    everyEngine("BEGIN.FRM", "Begin\r\n");
    everyEngine("END.FRM", "End\r\nEnd\r\nEnd");
}

// ---------------------------------------------------------------------------
// Lines that never end

TEST_F(Hostile, StringLiteralThatNeverCloses) {
    const std::string file = "Option Explicit\r\nConst msText = \"never closed\r\n"
                             "Private Sub A()\r\n    s = \"open ' not a comment\r\n    If s = \"x Then\r\nEnd Sub\r\n"
                             "x = \"a\" $ \"b";
    everyEngine("QUOTE.BAS", file);
    EXPECT_EQ(engine.lineCount(), 7);
    EXPECT_EQ(doc.entityNames(), (std::vector<std::string>{"(declarations)", "A"}));
    EXPECT_EQ(engine.lines()[2].word(1), "Const");
    // The literal ends with its physical line; the next line is read as usual.
    EXPECT_EQ(engine.lines()[2].word(3), "\"never closed");
    EXPECT_EQ(engine.lines()[3].word(3), "A");
}

TEST_F(Hostile, ContinuationOnTheLastLine) {
    for (const std::string end : {"", "\r\n", "\n"}) {
        SCOPED_TRACE("line end \"" + end + "\"");
        const std::string file = "Option Explicit\r\nDim msName As _\r\n    String\r\nPublic Sub A(ByVal x As _" + end;
        everyEngine("CONT.BAS", file);
        ASSERT_EQ(engine.lineCount(), 3);
        EXPECT_EQ(engine.lines()[3].sText, "Public Sub A(ByVal x As _" + (end.empty() ? std::string("\r\n") : end));
        EXPECT_EQ(engine.methods(), (std::vector<std::string>{"A"}));
    }
    everyEngine("CONT.BAS", " _");
    everyEngine("CONT.BAS", "_\r\n_\r\n_");
}

}  // namespace
