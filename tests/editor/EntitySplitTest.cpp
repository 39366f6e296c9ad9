// Opening files: the entity list, the entity texts, the captions, the reports
// for files that hold no entity, and whole-file mode.
#include <map>

#include "DocFixture.h"

using namespace doctest;
using editor::Mode;
using platform::Icon;

namespace {

// Lines counted from 0: line 5 of module.bas starts A, 9 starts B; in
// form.frm the declarations start at 10, the procedures at 12 and 15; line 10
// of class.cls starts Reset; lines 3 and 6 of program.prg start Work and Other.
const Lines Module = caseLines("module.bas"), Form = caseLines("form.frm"), Class = caseLines("class.cls"),
            Program = caseLines("program.prg");

std::string rec(const std::string& name, std::int64_t pos) { return editor::formatEntityRecord(name, pos); }

struct SplitCase {
    const char* what;
    const char* file;
    std::string bytes;
    // "name|0000001" checks the whole record, a bare name the name alone.
    Lines entries;
    // Entity index -> its text; index 0 is checked as the text shown on opening.
    std::map<int, std::string> texts;
};

}  // namespace

class EntitySplit : public DocTest {};

TEST_F(EntitySplit, EntitiesAndTheirTexts) {
    const SplitCase cases[] = {
        {"module", "MAIN.BAS", crlf(Module),
         {"(declarations)|0000001", rec("A", lineStart(Module, 5)), rec("B", lineStart(Module, 9))},
         {{0, crlf(slice(Module, 0, 5))}, {1, crlf(slice(Module, 5, 8))}, {2, crlf(slice(Module, 9, 12))}}},
        {"form description belongs to no entity", "main.frm", crlf(Form),
         {rec("(declarations)", lineStart(Form, 10)), rec("cmdOK_Click", lineStart(Form, 12)),
          rec("Form_Load", lineStart(Form, 15))},
         {{0, crlf({Form[10], Form[11]})}, {2, crlf({Form[15], Form[16], Form[17]})}}},
        // The property procedure is no entity: it shows with the declarations.
        {"class header", "thing.cls", crlf(Class), {"(declarations)|0000001", rec("Reset", lineStart(Class, 10))},
         {{0, crlf(slice(Class, 0, 10))}, {1, crlf(slice(Class, 10, 13))}}},
        // The first line is a heading: no declarations.
        {"xBase without end lines", "app.prg", crlf(Program),
         {"(declarations)|0000001", "Main|0000001", rec("Work", lineStart(Program, 3)),
          rec("Other", lineStart(Program, 6))},
         {{0, ""}, {1, crlf(slice(Program, 0, 3))}, {2, crlf(slice(Program, 3, 6))}, {3, crlf(slice(Program, 6, 8))}}},
        {"empty first line hides no declaration", "m.bas", crlf({"", "Dim gTotal As Long", "", "Sub Main()", "End Sub"}),
         {"(declarations)", "Main"}, {{0, crlf({"", "Dim gTotal As Long", ""})}}},
        {"blank first line hides no declaration", "n.bas", crlf({"   ", "Dim gTotal As Long", "Sub Main()", "End Sub"}),
         {"(declarations)", "Main"}, {{0, crlf({"   ", "Dim gTotal As Long"})}}},
        {"last line without line end", "m.bas", crlf({"Option Explicit", "Sub A()", "    x = 1"}) + "End Sub",
         {"(declarations)", "A"}, {{1, crlf({"Sub A()", "    x = 1", "End Sub"})}}},
        {"bare line feeds", "lf.bas", "Option Explicit\nSub A()\n  x = 1\nEnd Sub\nSub B()\nEnd Sub\n",
         {"(declarations)|0000001", "A|0000017", "B|0000041"},
         {{0, "Option Explicit\r\n"}, {1, "Sub A()\r\n  x = 1\r\nEnd Sub\r\n"}, {2, "Sub B()\r\nEnd Sub\r\n"}}},
        // A CR without LF inside a line and at the very end of the file; "End
        // Sub\r" is not an end line, so B's text runs to the file's end.
        {"lone carriage returns", "cr.bas", "Sub A()\r\n  s = \"a\rb\"\r\nEnd Sub\r\nSub B()\r\n  t = 1\r\nEnd Sub\r",
         {"(declarations)", "A", "B"},
         {{1, "Sub A()\r\n  s = \"a\rb\"\r\nEnd Sub\r\n"}, {2, "Sub B()\r\n  t = 1\r\nEnd Sub\r\r\n"}}},
        {"text file has no declarations entry", "notes.txt",
         crlf({"Some notes", "Sub A()", "End Sub", "Sub B()", "End Sub", ""}), {"A", "B"},
         {{0, crlf({"Sub A()", "End Sub"})}}},
        // X's scan does not see its end line; Y's heading still makes an entry.
        {"one-line procedure", "m.bas", crlf({"Private Sub X(): End Sub", "Private Sub Y()", "End Sub", ""}),
         {"(declarations)", "X", "Y"}, {{1, crlf({"Private Sub X(): End Sub"})}}},
        {"last line is never examined for a heading", "m.bas", crlf({"Sub A()", "End Sub", "Sub B()"}),
         {"(declarations)", "A"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = write(c.file, c.bytes);
        ASSERT_TRUE(doc.OpenSourceFile(file, Mode::Entity));
        ASSERT_EQ(doc.entityRecords().size(), c.entries.size());
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            const bool whole = c.entries[i].find('|') != std::string::npos;
            EXPECT_EQ(whole ? doc.entityRecords()[i] : doc.entityNames()[i], c.entries[i]);
            EXPECT_EQ(view.items[i], c.entries[i].substr(0, c.entries[i].find('|')));
        }
        for (const auto& [index, text] : c.texts) EXPECT_EQ(index == 0 ? view.text : doc.GetEntityText(index), text);
        EXPECT_EQ(view.windowCaption, "QVX: " + view.items[0] + " of " + textlib::UCase(file));
        EXPECT_EQ(view.selected, 0);
        EXPECT_EQ(doc.currentIndex(), 0);
        EXPECT_EQ(doc.currentEntityName(), view.items[0]);
        EXPECT_TRUE(view.listEnabled);
        EXPECT_FALSE(doc.changed());
        EXPECT_TRUE(desktop.boxes.shown.empty());
        EXPECT_FALSE(desktop.busy.busy);
    }
    EXPECT_GE(desktop.busy.begins, 1);
}

TEST_F(EntitySplit, OffsetsBeyondSevenDigitsAreRead) {
    // A declarations section of more than 10 MB puts the procedure's start
    // beyond 9,999,999.
    std::string bytes = "Option Explicit\r\n";
    const std::string filler = "' " + std::string(98, 'x') + "\r\n";
    while (bytes.size() < 10'100'000) bytes += filler;
    const std::int64_t start = static_cast<std::int64_t>(bytes.size()) + 1;
    bytes += crlf({"Sub Far()", "    x = 1", "End Sub"});
    doc.OpenSourceFile(write("big.bas", bytes), Mode::Entity);
    ASSERT_EQ(doc.entityRecords().size(), 2u);
    EXPECT_EQ(doc.entityRecords()[1], "Far|" + std::to_string(start));
    EXPECT_EQ(doc.GetEntityText(1), crlf({"Sub Far()", "    x = 1", "End Sub"}));
}

TEST_F(EntitySplit, FileWithoutEntitiesIsReportedAndShowsNothing) {
    const struct {
        const char* file;
        std::string bytes;
        int error;
    } cases[] = {{"empty.bas", "", platform::err::InputPastEndOfFile},
                 {"plain.txt", crlf({"just", "some", "text"}), platform::err::SubscriptOutOfRange}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        desktop.boxes.clear();
        view.text = "old text";
        doc.OpenSourceFile(write(c.file, c.bytes), Mode::Entity);
        ASSERT_EQ(desktop.boxes.shown.size(), 1u);
        expectBox(platform::standardDescription(c.error), "Kestrin Error", Icon::Stop);
        EXPECT_TRUE(doc.entityRecords().empty());
        EXPECT_TRUE(view.items.empty());
        EXPECT_EQ(view.text, "");
        EXPECT_EQ(doc.currentIndex(), -1);
        EXPECT_FALSE(doc.changed());
        EXPECT_FALSE(desktop.busy.busy);
    }
}

TEST_F(EntitySplit, UnclosedFormBlockLeavesAnEmptyDeclarationsEntry) {
    doc.OpenSourceFile(write("bad.frm", crlf({"VERSION 5.00", "Begin VB.Form F", "   Caption = \"x\""})),
                       Mode::Entity);
    ASSERT_FALSE(desktop.boxes.shown.empty());
    for (const auto& box : desktop.boxes.shown) {
        EXPECT_EQ(box.title, "Kestrin Error");
        EXPECT_EQ(box.text, platform::standardDescription(platform::err::InputPastEndOfFile));
    }
    EXPECT_EQ(view.items, Lines{"(declarations)"});
    EXPECT_EQ(view.text, "");
}

TEST_F(EntitySplit, MissingFileIsReportedAndNothingElseChanges) {
    doc.OpenSourceFile(write("a.bas", crlf({"Sub A()", "End Sub", ""})), Mode::Entity);
    const auto items = view.items;
    const std::string missing = path("missing.bas");
    EXPECT_FALSE(doc.OpenSourceFile(missing, Mode::WholeFile));
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox("Can't open file: " + missing, "File Error", Icon::Stop, platform::Buttons::Ok);
    EXPECT_EQ(doc.fileName(), missing);
    EXPECT_EQ(doc.mode(), Mode::Entity);
    EXPECT_EQ(view.items, items);
}

TEST_F(EntitySplit, WholeFileModeShowsTheBytesAndEmptiesTheList) {
    doc.OpenSourceFile(write("a.bas", crlf({"Sub A()", "End Sub", ""})), Mode::Entity);
    const std::string bytes = "Line 1\r\nLine \xE9\xFF\x01 2\nno end";
    const std::string file = write("b.txt", bytes);
    ASSERT_TRUE(doc.OpenSourceFile(file, Mode::WholeFile));
    EXPECT_EQ(view.text, bytes);
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(file));
    EXPECT_TRUE(view.items.empty());
    EXPECT_FALSE(view.listEnabled);
    EXPECT_TRUE(doc.entityRecords().empty());
    EXPECT_EQ(doc.mode(), Mode::WholeFile);
    EXPECT_FALSE(doc.changed());
}

TEST_F(EntitySplit, WholeFileReadErrorIsReportedInThreeLines) {
    const std::string file = write("a.txt", "some text");
    faulty.failOn("read", 1, platform::err::DeviceIO);
    doc.OpenSourceFile(file, Mode::WholeFile);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox("File Read Error : 57\nDesc: " + platform::standardDescription(platform::err::DeviceIO) +
                  "\nCan't open this file!",
              "File Error", Icon::Stop);
}

TEST_F(EntitySplit, CancelledOpenDialogKeepsTheModeOfTheShownDocument) {
    const std::string file = write("a.bas", crlf({"Sub A()", "End Sub", ""}));
    desktop.dialogs.chooseNext(file);
    doc.openWithDialog("Program (*.bas)|*.bas", Mode::Entity);
    EXPECT_EQ(doc.mode(), Mode::Entity);
    ASSERT_EQ(desktop.dialogs.calls.size(), 1u);
    EXPECT_EQ(desktop.dialogs.calls[0].filter, "Program (*.bas)|*.bas");
    desktop.dialogs.cancelNext();
    doc.openWithDialog("Text Files (*.txt)|*.txt", Mode::WholeFile);
    EXPECT_EQ(doc.mode(), Mode::Entity);
    EXPECT_EQ(doc.fileName(), file);
    EXPECT_EQ(view.items, (Lines{"(declarations)", "A"}));
    EXPECT_EQ(doc.lastFilter(), "Text Files (*.txt)|*.txt");
    desktop.dialogs.chooseNext("   ");
    doc.openWithDialog("All Files (*.*)|*.*", Mode::WholeFile);
    EXPECT_EQ(doc.mode(), Mode::Entity);
}
