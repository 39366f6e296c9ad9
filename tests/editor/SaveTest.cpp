// Saving in both modes: the streaming rewrite of one entity, the backup, and
// every failure leaving the file as it was.
#include "DocFixture.h"

using namespace doctest;
using editor::Mode;
using platform::Buttons;
using platform::Icon;

namespace {

const std::vector<std::string> Module = {
    "Attribute VB_Name = \"Module1\"",       // 0
    "Option Explicit",                       // 1
    "Private mCount As Long",                // 2
    "Public gName As String",                // 3
    "' Private Sub Form_Load is below",      // 4
    "",                                      // 5
    "Private Sub Form_LoadData()",           // 6
    "    mCount = 1",                        // 7
    "end sub",                               // 8
    "",                                      // 9
    "Private Sub Form_Load()",               // 10
    "    Form_LoadData",                     // 11
    "    Private_Count = 2",                 // 12
    "End Sub",                               // 13
    "",                                      // 14
    "Public Function B() As Long",           // 15
    "    B = mCount",                        // 16
    "End Function",                          // 17
};

std::vector<std::string> slice(const std::vector<std::string>& v, std::size_t from, std::size_t to) {
    return {v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(to)};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

class Save : public DocTest {
protected:
    std::string openModule(const std::string& name = "MAIN.BAS") {
        const std::string file = write(name, crlf(Module));
        doc.OpenSourceFile(file, Mode::Entity);
        return file;
    }
    void choose(const std::string& name) {
        const int i = doc.findEntity(name);
        ASSERT_GE(i, 0) << name;
        doc.cbProc_Click(i);
        ASSERT_EQ(doc.currentEntityName(), name);
    }
    void type(const std::string& text) { view.setEditorText(text); }
};

TEST_F(Save, ProcedureUnderItsOwnNameAddsOneEmptyLineAndKeepsABackup) {
    const std::string file = openModule();
    choose("Form_Load");
    EXPECT_EQ(view.text, crlf(slice(Module, 10, 14)));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(Module, 0, 14) + std::vector<std::string>{""} + slice(Module, 14, 18)));
    EXPECT_EQ(read(path("MAIN.BAK")), crlf(Module));
    EXPECT_EQ(folder(), (std::vector<std::string>{"MAIN.BAK", "MAIN.BAS"}));
    // The list is rebuilt and the first entity shown.
    EXPECT_EQ(doc.currentIndex(), 0);
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.items, (std::vector<std::string>{"(declarations)", "Form_LoadData", "Form_Load", "B"}));
    EXPECT_FALSE(doc.changed());
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_FALSE(desktop.busy.busy);
}

TEST_F(Save, EditedProcedureReplacesExactlyItsLines) {
    const std::string file = openModule();
    choose("Form_Load");
    type(crlf({"Private Sub Form_Load()", "    Caption = \"new\"", "End Sub"}));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(Module, 0, 10) +
                               std::vector<std::string>{"Private Sub Form_Load()", "    Caption = \"new\"",
                                                        "End Sub", ""} +
                               slice(Module, 14, 18)));
}

TEST_F(Save, ProcedureWithLowerCaseEndLine) {
    const std::string file = openModule();
    choose("Form_LoadData");
    EXPECT_EQ(view.text, crlf(slice(Module, 6, 9)));
    type(crlf({"Private Sub Form_LoadData()", "    mCount = 3", "End Sub"}));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(Module, 0, 6) +
                               std::vector<std::string>{"Private Sub Form_LoadData()", "    mCount = 3", "End Sub",
                                                        ""} +
                               slice(Module, 9, 18)));
}

TEST_F(Save, ProcedureUnderANewNameMakesNoBackup) {
    const std::string file = openModule();
    choose("B");
    type(crlf({"Public Function B() As Long", "    B = 7", "End Function"}));
    const std::string target = path("copy.bas");
    desktop.dialogs.chooseNext(target);
    ASSERT_TRUE(doc.mnuSaveAs_Click());
    EXPECT_EQ(read(file), crlf(Module));
    EXPECT_EQ(read(target),
              crlf(slice(Module, 0, 15) +
                   std::vector<std::string>{"Public Function B() As Long", "    B = 7", "End Function", ""}));
    EXPECT_EQ(folder(), (std::vector<std::string>{"MAIN.BAS", "copy.bas"}));
    EXPECT_EQ(doc.fileName(), target);
    EXPECT_EQ(view.windowCaption, "QVX: (declarations) of " + textlib::UCase(target));
    ASSERT_EQ(desktop.dialogs.calls.size(), 1u);
    EXPECT_EQ(desktop.dialogs.calls[0].kind, "save");
}

TEST_F(Save, DeclarationsOfAModuleAppearOnce) {
    const std::string file = openModule();
    EXPECT_EQ(view.text, crlf(slice(Module, 0, 6)));
    type(crlf({"Option Explicit", "Private mCount As Long", "Public gName As String", "Public gAge As Integer"}));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(std::vector<std::string>{"Option Explicit", "Private mCount As Long",
                                                        "Public gName As String", "Public gAge As Integer", ""} +
                               slice(Module, 6, 18)));
}

TEST_F(Save, DeclarationsOfAFormFollowItsUnindentedDescription) {
    const std::vector<std::string> form = {"VERSION 5.00",
                                           "Begin VB.Form frmMain ",
                                           "   Caption         =   \"Main\"",
                                           "   BeginProperty Font ",
                                           "      Name            =   \"Arial\"",
                                           "   EndProperty",
                                           "End",
                                           "Attribute VB_Name = \"frmMain\"",
                                           "Private mOpen As Boolean",
                                           "Private Sub Form_Load()",
                                           "    mOpen = True",
                                           "End Sub"};
    const std::string file = write("main.frm", crlf(form));
    doc.OpenSourceFile(file, Mode::Entity);
    EXPECT_EQ(view.text, crlf({form[7], form[8]}));
    type(crlf({"Attribute VB_Name = \"frmMain\"", "Option Explicit", "Private mOpen As Boolean"}));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf({"VERSION 5.00", "Begin VB.Form frmMain", "Caption         =   \"Main\"",
                                "BeginProperty Font", "Name            =   \"Arial\"", "EndProperty", "End",
                                "Attribute VB_Name = \"frmMain\"", "Option Explicit", "Private mOpen As Boolean", "",
                                "Private Sub Form_Load()", "    mOpen = True", "End Sub"}));
    EXPECT_EQ(read(path("main.BAK")), crlf(form));
}

TEST_F(Save, DeclarationsShownEmptyKeepTheFirstProcedure) {
    const std::vector<std::string> prg = {"FUNCTION Main", "   RETURN NIL", "PROCEDURE Work", "   ? 1"};
    const std::string file = write("app.prg", crlf(prg));
    doc.OpenSourceFile(file, Mode::Entity);
    EXPECT_EQ(view.text, "");
    type(crlf({"* globals", "PUBLIC nLevel"}));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(std::vector<std::string>{"* globals", "PUBLIC nLevel", ""} + prg));
}

TEST_F(Save, XBaseProcedureWithoutParenthesesAndPrivateLines) {
    const std::vector<std::string> prg = {"FUNCTION Main",  "   DO Work",   "PROCEDURE Work",
                                          "   PRIVATE nA",  "   Public nB", "   ? nA",
                                          "PROCEDURE Other", "   RETURN"};
    const std::string file = write("app.prg", crlf(prg));
    doc.OpenSourceFile(file, Mode::Entity);
    choose("Work");
    EXPECT_EQ(view.text, crlf(slice(prg, 2, 6)));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(prg, 0, 6) + std::vector<std::string>{""} + slice(prg, 6, 8)));
}

TEST_F(Save, HeadingNotFoundShowsEofAndLeavesTheFile) {
    const std::string file = openModule();
    choose("Form_Load");
    type(crlf({"Private Sub Form_Open()", "End Sub"}));
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, "eof");
    EXPECT_EQ(desktop.boxes.last().title, editor::ProgramTitle);
    EXPECT_EQ(desktop.boxes.last().icon, Icon::None);
    EXPECT_EQ(desktop.boxes.last().buttons, Buttons::Ok);
    EXPECT_EQ(read(file), crlf(Module));
    EXPECT_EQ(folder(), (std::vector<std::string>{"MAIN.BAK", "MAIN.BAS"}));
    EXPECT_TRUE(doc.changed());  // the edits stay in the editor
    EXPECT_FALSE(desktop.busy.busy);
}

TEST_F(Save, BlankFirstLineGivesNoKeyAndLeavesTheFile) {
    const std::string file = openModule();
    choose("B");
    type("\r\nPublic Function B() As Long\r\nEnd Function\r\n");
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(read(file), crlf(Module));
}

TEST_F(Save, NameWithoutDotCannotBeBackedUp) {
    const std::string file = openModule("MAIN");
    type("Private Sub Form_Load()\r\nEnd Sub\r\n");
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_FALSE(desktop.boxes.shown.empty());
    EXPECT_EQ(desktop.boxes.last().text, "Can't make backup file!");
    EXPECT_EQ(desktop.boxes.last().title, "File Error");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Stop);
    EXPECT_EQ(read(file), crlf(Module));
    EXPECT_EQ(folder(), (std::vector<std::string>{"MAIN"}));
}

TEST_F(Save, BackupFileItselfIsNeverDeleted) {
    const std::string file = openModule("OLD.BAK");
    type("Private Sub Form_Load()\r\nEnd Sub\r\n");
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_EQ(desktop.boxes.last().text, "Can't make backup file!");
    EXPECT_EQ(read(file), crlf(Module));
}

TEST_F(Save, UnwritableFolderLeavesTheFile) {
    const std::string file = openModule();
    choose("B");
    // The folder refuses new files: the backup copy and any new file fail.
    faulty.failOn("copy", 1, platform::err::PermissionDenied);
    faulty.failOn("openWrite", 1, platform::err::PermissionDenied);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_EQ(desktop.boxes.last().text, "Can't make backup file!");
    EXPECT_EQ(read(file), crlf(Module));
    desktop.dialogs.chooseNext(path("other.bas"));
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desktop.boxes.last().text, platform::standardDescription(platform::err::PermissionDenied));
    EXPECT_EQ(folder(), (std::vector<std::string>{"MAIN.BAS"}));
}

TEST_F(Save, MissingFolderIsReported) {
    openModule();
    choose("B");
    desktop.dialogs.chooseNext(path("no/such/folder/x.bas"));
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(doc.fileName(), path("MAIN.BAS"));
}

// Every step after the backup can fail; the file stays as it was, the backup
// holds the old bytes and nothing else is left in the folder.
class SaveFailure : public Save, public ::testing::WithParamInterface<const char*> {};

TEST_P(SaveFailure, LeavesTheFileAndTheBackup) {
    const std::string file = openModule();
    choose("Form_Load");
    type(crlf({"Private Sub Form_Load()", "    x = 1", "End Sub"}));
    faulty.failOn(GetParam(), faulty.calls[GetParam()] + (std::string(GetParam()) == "read" ? 5 : 1),
                  platform::err::DiskFull);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desktop.boxes.last().text, platform::standardDescription(platform::err::DiskFull));
    EXPECT_EQ(read(file), crlf(Module));
    EXPECT_EQ(read(path("MAIN.BAK")), crlf(Module));
    EXPECT_EQ(folder(), (std::vector<std::string>{"MAIN.BAK", "MAIN.BAS"}));
    EXPECT_TRUE(doc.changed());
}

INSTANTIATE_TEST_SUITE_P(EachStep, SaveFailure,
                         ::testing::Values("openRead", "openWrite", "read", "write", "close", "rename"));

TEST_F(Save, RemovingTheOldBackupMayFail) {
    const std::string file = openModule();
    write("MAIN.BAK", "older backup");
    choose("B");
    faulty.failOn("remove", 1);
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(path("MAIN.BAK")), crlf(Module));
    EXPECT_NE(read(file), crlf(Module));
}

TEST_F(Save, BlankTextSavesNothing) {
    const std::string file = openModule();
    type("   ");
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_EQ(faulty.calls["openWrite"], 0);
    EXPECT_EQ(faulty.calls["copy"], 0);
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_EQ(read(file), crlf(Module));
}

TEST_F(Save, SaveAsCancelledSavesNothing) {
    openModule();
    desktop.dialogs.cancelNext();
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    EXPECT_EQ(faulty.calls["openWrite"], 0);
}

TEST_F(Save, KeepsThePermissionsOfTheFile) {
    const std::string file = openModule();
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    choose("B");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(Save, WholeFileWritesTheTextAndFollowsTheTarget) {
    const std::string file = write("notes.txt", "one\r\ntwo\r\n");
    doc.OpenSourceFile(file, Mode::WholeFile);
    type("one\r\ntwo\r\nthree");
    const std::string target = path("other.txt");
    desktop.dialogs.chooseNext(target);
    ASSERT_TRUE(doc.mnuSaveAs_Click());
    EXPECT_EQ(read(target), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(read(file), "one\r\ntwo\r\n");
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(target));
    EXPECT_FALSE(doc.changed());
    // A later Save writes to the file the caption names.
    type("four");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(target), "four\r\n");
    EXPECT_EQ(read(file), "one\r\ntwo\r\n");
    EXPECT_EQ(folder(), (std::vector<std::string>{"notes.txt", "other.txt"}));
}

TEST_F(Save, WholeFileWriteErrorIsShownAndLeavesTheFile) {
    const std::string file = write("notes.txt", "one\r\n");
    doc.OpenSourceFile(file, Mode::WholeFile);
    type("changed");
    faulty.failOn("close", 1, platform::err::DiskFull);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, platform::standardDescription(platform::err::DiskFull));
    EXPECT_EQ(desktop.boxes.last().title, editor::ProgramTitle);
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Exclamation);
    EXPECT_EQ(read(file), "one\r\n");
    EXPECT_EQ(folder(), (std::vector<std::string>{"notes.txt"}));
    EXPECT_TRUE(doc.changed());
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(file));
}

TEST_F(Save, TextWithoutFinalLineEndGetsExactlyOne) {
    const std::string file = openModule();
    choose("B");
    type("Public Function B() As Long\r\n    B = 3\r\nEnd Function");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(Module, 0, 15) +
                               std::vector<std::string>{"Public Function B() As Long", "    B = 3", "End Function"}));
}

TEST_F(Save, SavedTwiceInARowTheFileStaysWhole) {
    const std::string file = openModule();
    choose("Form_Load");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    choose("Form_Load");
    EXPECT_EQ(view.text, crlf(slice(Module, 10, 14)));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(Module, 0, 14) + std::vector<std::string>{"", ""} + slice(Module, 14, 18)));
    EXPECT_EQ(read(path("MAIN.BAK")),
              crlf(slice(Module, 0, 14) + std::vector<std::string>{""} + slice(Module, 14, 18)));
}
