// Opening files by entity: the entity list, the entity texts, the captions,
// and the reports for files that hold no entity.
#include "DocFixture.h"

#include "editor/EntityRules.h"

using namespace doctest;
using editor::Mode;
using platform::Icon;

namespace {

const std::vector<std::string> Module = {
    "Attribute VB_Name = \"Module1\"",  // 0
    "Option Explicit",                   // 1
    "Private mCount As Long",            // 2
    "Public gName As String",            // 3
    "",                                  // 4
    "Private Sub A()",                   // 5
    "    mCount = 1",                    // 6
    "End Sub",                           // 7
    "",                                  // 8
    "Public Function B() As Long",       // 9
    "    B = mCount",                    // 10
    "End Function",                      // 11
};

const std::vector<std::string> Form = {
    "VERSION 5.00",                          // 0
    "Begin VB.Form frmMain ",                // 1
    "   Caption         =   \"Main\"",       // 2
    "   BeginProperty Font ",                // 3
    "      Name            =   \"Arial\"",   // 4
    "   EndProperty",                        // 5
    "   Begin VB.CommandButton cmdOK ",      // 6
    "      Caption         =   \"OK\"",      // 7
    "   End",                                // 8
    "End",                                   // 9
    "Attribute VB_Name = \"frmMain\"",       // 10
    "Option Explicit",                       // 11
    "Private Sub cmdOK_Click()",             // 12
    "    Unload Me",                         // 13
    "End Sub",                               // 14
    "Private Sub Form_Load()",               // 15
    "    Caption = \"x\"",                   // 16
    "End Sub",                               // 17
};

const std::vector<std::string> Program = {
    "FUNCTION Main",      // 0
    "   DO Work",         // 1
    "   RETURN NIL",      // 2
    "PROCEDURE Work",     // 3
    "   PRIVATE nCount",  // 4
    "   ? \"work\"",      // 5
    "PROCEDURE Other",    // 6
    "   RETURN",          // 7
};

std::string rec(const std::string& name, std::int64_t pos) { return editor::formatEntityRecord(name, pos); }

}  // namespace

class EntitySplit : public DocTest {};

TEST_F(EntitySplit, ModuleHasDeclarationsAndEachProcedure) {
    const std::string file = write("MAIN.BAS", crlf(Module));
    ASSERT_TRUE(doc.OpenSourceFile(file, Mode::Entity));
    EXPECT_EQ(doc.entityRecords(),
              (std::vector<std::string>{"(declarations)|0000001", rec("A", lineStart(Module, 5)),
                                        rec("B", lineStart(Module, 9))}));
    EXPECT_EQ(view.items, (std::vector<std::string>{"(declarations)", "A", "B"}));
    EXPECT_TRUE(view.listEnabled);
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.text, crlf({Module[0], Module[1], Module[2], Module[3], ""}));
    EXPECT_EQ(doc.GetEntityText(1), crlf({"Private Sub A()", "    mCount = 1", "End Sub"}));
    EXPECT_EQ(doc.GetEntityText(2), crlf({"Public Function B() As Long", "    B = mCount", "End Function"}));
    EXPECT_EQ(view.windowCaption, "QVX: (declarations) of " + textlib::UCase(file));
    EXPECT_EQ(doc.currentEntityName(), "(declarations)");
    EXPECT_EQ(doc.currentIndex(), 0);
    EXPECT_FALSE(doc.changed());
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_FALSE(desktop.busy.busy);
    EXPECT_GE(desktop.busy.begins, 1);
}

TEST_F(EntitySplit, FormDescriptionBelongsToNoEntity) {
    const std::string file = write("main.frm", crlf(Form));
    doc.OpenSourceFile(file, Mode::Entity);
    EXPECT_EQ(doc.entityRecords(),
              (std::vector<std::string>{rec("(declarations)", lineStart(Form, 10)),
                                        rec("cmdOK_Click", lineStart(Form, 12)),
                                        rec("Form_Load", lineStart(Form, 15))}));
    EXPECT_EQ(view.text, crlf({Form[10], Form[11]}));
    EXPECT_EQ(doc.GetEntityText(2), crlf({Form[15], Form[16], Form[17]}));
}

TEST_F(EntitySplit, ClassHeaderIsPartOfTheDeclarations) {
    const std::vector<std::string> cls = {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                                          "Attribute VB_Name = \"clsThing\"", "Option Explicit",
                                          "Private mValue As Long", "Public Property Get Value() As Long",
                                          "    Value = mValue", "End Property", "Public Sub Reset()",
                                          "    mValue = 0", "End Sub", ""};
    doc.OpenSourceFile(write("thing.cls", crlf(cls)), Mode::Entity);
    // The property procedure is no entity: it shows with the declarations.
    EXPECT_EQ(doc.entityRecords(),
              (std::vector<std::string>{"(declarations)|0000001", rec("Reset", lineStart(cls, 10))}));
    EXPECT_EQ(view.text, crlf({cls[0], cls[1], cls[2], cls[3], cls[4], cls[5], cls[6], cls[7], cls[8], cls[9]}));
    EXPECT_EQ(doc.GetEntityText(1), crlf({cls[10], cls[11], cls[12]}));
}

TEST_F(EntitySplit, XBaseProceduresWithoutEndLines) {
    doc.OpenSourceFile(write("app.prg", crlf(Program)), Mode::Entity);
    EXPECT_EQ(doc.entityRecords(),
              (std::vector<std::string>{"(declarations)|0000001", "Main|0000001", rec("Work", lineStart(Program, 3)),
                                        rec("Other", lineStart(Program, 6))}));
    EXPECT_EQ(view.text, "");  // the first line is a heading: no declarations
    EXPECT_EQ(doc.GetEntityText(1), crlf({Program[0], Program[1], Program[2]}));
    EXPECT_EQ(doc.GetEntityText(2), crlf({Program[3], Program[4], Program[5]}));
    EXPECT_EQ(doc.GetEntityText(3), crlf({Program[6], Program[7]}));
}

TEST_F(EntitySplit, BlankFirstLineDoesNotHideTheDeclarations) {
    const std::vector<std::string> lines = {"", "Dim gTotal As Long", "", "Sub Main()", "End Sub"};
    doc.OpenSourceFile(write("m.bas", crlf(lines)), Mode::Entity);
    EXPECT_EQ(view.text, crlf({"", "Dim gTotal As Long", ""}));
    const std::vector<std::string> blank = {"   ", "Dim gTotal As Long", "Sub Main()", "End Sub"};
    doc.OpenSourceFile(write("n.bas", crlf(blank)), Mode::Entity);
    EXPECT_EQ(view.text, crlf({"   ", "Dim gTotal As Long"}));
}

TEST_F(EntitySplit, LastLineWithoutLineEndStillEndsTheText) {
    std::string bytes = crlf({"Option Explicit", "Sub A()", "    x = 1"}) + "End Sub";
    doc.OpenSourceFile(write("m.bas", bytes), Mode::Entity);
    ASSERT_EQ(doc.entityRecords().size(), 2u);
    EXPECT_EQ(doc.GetEntityText(1), crlf({"Sub A()", "    x = 1", "End Sub"}));
}

TEST_F(EntitySplit, BareLineFeedsCountAsLineEnds) {
    doc.OpenSourceFile(write("lf.bas", "Option Explicit\nSub A()\n  x = 1\nEnd Sub\nSub B()\nEnd Sub\n"), Mode::Entity);
    EXPECT_EQ(doc.entityRecords(), (std::vector<std::string>{"(declarations)|0000001", "A|0000017", "B|0000041"}));
    EXPECT_EQ(view.text, "Option Explicit\r\n");
    EXPECT_EQ(doc.GetEntityText(1), "Sub A()\r\n  x = 1\r\nEnd Sub\r\n");
    EXPECT_EQ(doc.GetEntityText(2), "Sub B()\r\nEnd Sub\r\n");
}

TEST_F(EntitySplit, LoneCarriageReturnsAreOrdinaryBytes) {
    // A CR without LF inside a line and at the very end of the file.
    std::string bytes = "Sub A()\r\n  s = \"a\rb\"\r\nEnd Sub\r\nSub B()\r\n  t = 1\r\nEnd Sub\r";
    doc.OpenSourceFile(write("cr.bas", bytes), Mode::Entity);
    ASSERT_EQ(doc.entityRecords().size(), 3u);
    EXPECT_EQ(doc.GetEntityText(1), "Sub A()\r\n  s = \"a\rb\"\r\nEnd Sub\r\n");
    // "End Sub\r" is not an end line, so the text runs to the file's end.
    EXPECT_EQ(doc.GetEntityText(2), "Sub B()\r\n  t = 1\r\nEnd Sub\r\r\n");
}

TEST_F(EntitySplit, TextFileHasNoDeclarationsEntry) {
    doc.OpenSourceFile(write("notes.txt", crlf({"Some notes", "Sub A()", "End Sub", "Sub B()", "End Sub", ""})),
                       Mode::Entity);
    EXPECT_EQ(view.items, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(view.text, crlf({"Sub A()", "End Sub"}));
    EXPECT_EQ(view.windowCaption, "QVX: A of " + textlib::UCase(path("notes.txt")));
}

TEST_F(EntitySplit, OneLineProcedureRunsIntoTheNext) {
    const std::vector<std::string> lines = {"Private Sub X(): End Sub", "Private Sub Y()", "End Sub", ""};
    doc.OpenSourceFile(write("m.bas", crlf(lines)), Mode::Entity);
    // X's scan does not see its end line; Y's heading still makes an entry.
    EXPECT_EQ(view.items, (std::vector<std::string>{"(declarations)", "X", "Y"}));
    EXPECT_EQ(doc.GetEntityText(1), crlf({lines[0]}));
}

TEST_F(EntitySplit, LastLineIsNeverExaminedForAHeading) {
    doc.OpenSourceFile(write("m.bas", crlf({"Sub A()", "End Sub", "Sub B()"})), Mode::Entity);
    EXPECT_EQ(view.items, (std::vector<std::string>{"(declarations)", "A"}));
}

TEST_F(EntitySplit, EmptyFileReportsReadingPastItsEnd) {
    view.text = "old text";
    doc.OpenSourceFile(write("empty.bas", ""), Mode::Entity);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Stop);
    EXPECT_EQ(desktop.boxes.last().text, platform::standardDescription(platform::err::InputPastEndOfFile));
    EXPECT_TRUE(doc.entityRecords().empty());
    EXPECT_TRUE(view.items.empty());
    EXPECT_EQ(view.text, "");
    EXPECT_FALSE(doc.changed());
    EXPECT_FALSE(desktop.busy.busy);
}

TEST_F(EntitySplit, FileWithoutEntitiesReportsTheMissingRecord) {
    view.text = "old text";
    doc.OpenSourceFile(write("plain.txt", crlf({"just", "some", "text"})), Mode::Entity);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desktop.boxes.last().text, platform::standardDescription(platform::err::SubscriptOutOfRange));
    EXPECT_TRUE(view.items.empty());
    EXPECT_EQ(view.text, "");
    EXPECT_EQ(doc.currentIndex(), -1);
}

TEST_F(EntitySplit, UnclosedFormBlockLeavesAnEmptyDeclarationsEntry) {
    doc.OpenSourceFile(write("bad.frm", crlf({"VERSION 5.00", "Begin VB.Form F", "   Caption = \"x\""})),
                       Mode::Entity);
    ASSERT_FALSE(desktop.boxes.shown.empty());
    for (const auto& box : desktop.boxes.shown) {
        EXPECT_EQ(box.title, "Kestrin Error");
        EXPECT_EQ(box.text, platform::standardDescription(platform::err::InputPastEndOfFile));
    }
    EXPECT_EQ(view.items, (std::vector<std::string>{"(declarations)"}));
    EXPECT_EQ(view.text, "");
}

TEST_F(EntitySplit, MissingFileIsReportedAndNothingElseChanges) {
    doc.OpenSourceFile(write("a.bas", crlf({"Sub A()", "End Sub", ""})), Mode::Entity);
    const auto items = view.items;
    const std::string missing = path("missing.bas");
    EXPECT_FALSE(doc.OpenSourceFile(missing, Mode::WholeFile));
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, "Can't open file: " + missing);
    EXPECT_EQ(desktop.boxes.last().title, "File Error");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Stop);
    EXPECT_EQ(desktop.boxes.last().buttons, platform::Buttons::Ok);
    EXPECT_EQ(doc.fileName(), missing);
    EXPECT_EQ(doc.mode(), Mode::Entity);
    EXPECT_EQ(view.items, items);
}

TEST_F(EntitySplit, WholeFileModeShowsTheBytesAndEmptiesTheList) {
    doc.OpenSourceFile(write("a.bas", crlf({"Sub A()", "End Sub", ""})), Mode::Entity);
    const std::string bytes = "Line 1\r\nLine \xE9\xFF\x01 2\nno end";
    const std::string file = write("b.txt", bytes);
    view.onTextChange = [this] { doc.txtEdit_Change(); };
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
    EXPECT_EQ(desktop.boxes.last().text, "File Read Error : 57\nDesc: " +
                                             platform::standardDescription(platform::err::DeviceIO) +
                                             "\nCan't open this file!");
    EXPECT_EQ(desktop.boxes.last().title, "File Error");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Stop);
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
    EXPECT_EQ(view.items, (std::vector<std::string>{"(declarations)", "A"}));
    EXPECT_EQ(doc.lastFilter(), "Text Files (*.txt)|*.txt");
    desktop.dialogs.chooseNext("   ");
    doc.openWithDialog("All Files (*.*)|*.*", Mode::WholeFile);
    EXPECT_EQ(doc.mode(), Mode::Entity);
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
