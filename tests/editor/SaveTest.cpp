// Saving in both modes: the streaming rewrite of one entity, the backup, and
// every failure leaving the file as it was.
#include "DocFixture.h"

using namespace doctest;
using editor::Mode;
using platform::Buttons;
using platform::Icon;

namespace {

// Lines counted from 0. save_module.bas holds a comment that mentions a
// heading (line 4), a procedure whose name begins with another's and whose
// end line is in lower case (6-8), Form_Load with a body line that begins
// with "Private" (10-13), and B (15-17). In save_program.prg, Work (2-5) has
// "PRIVATE" and "Public" lines and no end line.
const Lines Module = caseLines("save_module.bas"), Form = caseLines("save_form.frm"),
            Program2 = caseLines("save_program.prg");
const Lines Program = {"FUNCTION Main", "   RETURN NIL", "PROCEDURE Work", "   ? 1"};

const std::optional<std::string> Unedited;

// One entity saved under the file's own name: what reading it shows, the
// editor text then saved (Unedited: as shown), and the file afterwards.
struct SaveCase {
    const char* what;
    const char* file;
    Lines source;
    const char* entity;
    Lines shown;
    std::optional<std::string> typed;
    Lines saved;
    const char* backup;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.what; }

const SaveCase SaveCases[] = {
    {"UnchangedProcedureGainsOneEmptyLine", "MAIN.BAS", Module, "Form_Load", slice(Module, 10, 14), Unedited,
     slice(Module, 0, 14) + Lines{""} + slice(Module, 14, 18), "MAIN.BAK"},
    {"EditedProcedureReplacesExactlyItsLines", "MAIN.BAS", Module, "Form_Load", slice(Module, 10, 14),
     crlf({"Private Sub Form_Load()", "    Caption = \"new\"", "End Sub"}),
     slice(Module, 0, 10) + Lines{"Private Sub Form_Load()", "    Caption = \"new\"", "End Sub", ""} +
         slice(Module, 14, 18), "MAIN.BAK"},
    {"ProcedureWithLowerCaseEndLine", "MAIN.BAS", Module, "Form_LoadData", slice(Module, 6, 9),
     crlf({"Private Sub Form_LoadData()", "    mCount = 3", "End Sub"}),
     slice(Module, 0, 6) + Lines{"Private Sub Form_LoadData()", "    mCount = 3", "End Sub", ""} + slice(Module, 9, 18),
     "MAIN.BAK"},
    {"TextWithoutFinalLineEndGetsExactlyOne", "MAIN.BAS", Module, "B", slice(Module, 15, 18),
     "Public Function B() As Long\r\n    B = 3\r\nEnd Function",
     slice(Module, 0, 15) + Lines{"Public Function B() As Long", "    B = 3", "End Function"}, "MAIN.BAK"},
    {"DeclarationsOfAModuleAppearOnce", "MAIN.BAS", Module, "(declarations)", slice(Module, 0, 6),
     crlf({"Option Explicit", "Private mCount As Long", "Public gName As String", "Public gAge As Integer"}),
     Lines{"Option Explicit", "Private mCount As Long", "Public gName As String", "Public gAge As Integer", ""} +
         slice(Module, 6, 18), "MAIN.BAK"},
    {"DeclarationsOfAFormFollowItsUnindentedDescription", "main.frm", Form, "(declarations)", {Form[7], Form[8]},
     crlf({"Attribute VB_Name = \"frmMain\"", "Option Explicit", "Private mOpen As Boolean"}),
     {"VERSION 5.00", "Begin VB.Form frmMain", "Caption         =   \"Main\"", "BeginProperty Font",
      "Name            =   \"Arial\"", "EndProperty", "End", "Attribute VB_Name = \"frmMain\"", "Option Explicit",
      "Private mOpen As Boolean", "", "Private Sub Form_Load()", "    mOpen = True", "End Sub"}, "main.BAK"},
    {"DeclarationsShownEmptyKeepTheFirstProcedure", "app.prg", Program, "(declarations)", {},
     crlf({"* globals", "PUBLIC nLevel"}), Lines{"* globals", "PUBLIC nLevel", ""} + Program, "app.BAK"},
    {"XBaseProcedureWithoutParenthesesAndPrivateLines", "app.prg", Program2, "Work", slice(Program2, 2, 6), Unedited,
     slice(Program2, 0, 6) + Lines{""} + slice(Program2, 6, 8), "app.BAK"},
};

}  // namespace

class Save : public DocTest {
protected:
    std::string openModule(const std::string& name = "MAIN.BAS") {
        const std::string file = write(name, crlf(Module));
        doc.OpenSourceFile(file, Mode::Entity);
        return file;
    }
};

class SaveEntity : public Save, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveEntity, RewritesTheFileAndKeepsTheOldOneAsBackup) {
    const SaveCase& c = GetParam();
    const std::string file = write(c.file, crlf(c.source));
    doc.OpenSourceFile(file, Mode::Entity);
    const Lines items = view.items;
    choose(c.entity);
    EXPECT_EQ(view.text, crlf(c.shown));
    if (c.typed) type(*c.typed);
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(c.saved));
    EXPECT_EQ(read(path(c.backup)), crlf(c.source));
    EXPECT_EQ(folder(), (Lines{c.backup, c.file}));
    // The list is rebuilt and the first entity shown.
    EXPECT_EQ(view.items, items);
    EXPECT_EQ(doc.currentIndex(), 0);
    EXPECT_EQ(view.selected, 0);
    EXPECT_FALSE(doc.changed());
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_FALSE(desktop.busy.busy);
}

INSTANTIATE_TEST_SUITE_P(Save, SaveEntity, ::testing::ValuesIn(SaveCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(Save, SavedTwiceInARowTheFileStaysWhole) {
    const std::string file = openModule();
    choose("Form_Load");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(view.items, (Lines{"(declarations)", "Form_LoadData", "Form_Load", "B"}));
    choose("Form_Load");
    EXPECT_EQ(view.text, crlf(slice(Module, 10, 14)));
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(file), crlf(slice(Module, 0, 14) + Lines{"", ""} + slice(Module, 14, 18)));
    EXPECT_EQ(read(path("MAIN.BAK")), crlf(slice(Module, 0, 14) + Lines{""} + slice(Module, 14, 18)));
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
              crlf(slice(Module, 0, 15) + Lines{"Public Function B() As Long", "    B = 7", "End Function", ""}));
    EXPECT_EQ(folder(), (Lines{"MAIN.BAS", "copy.bas"}));
    EXPECT_EQ(doc.fileName(), target);
    EXPECT_EQ(view.windowCaption, "QVX: (declarations) of " + textlib::UCase(target));
    ASSERT_EQ(desktop.dialogs.calls.size(), 1u);
    EXPECT_EQ(desktop.dialogs.calls[0].kind, "save");
}

// Saves that are refused or abandoned: the file stays as it was, the edits
// stay in the editor, and the user is told (nullopt: text not checked). An
// empty entity name saves the entity shown first.
TEST_F(Save, RefusedSaveLeavesTheFile) {
    const struct {
        const char* what;
        const char* file;
        const char* entity;
        std::string typed;
        std::optional<std::string> text;
        std::string title;
        std::optional<Icon> icon;
        Lines folderAfter;  // empty: not checked
    } cases[] = {
        {"heading not found", "MAIN.BAS", "Form_Load", crlf({"Private Sub Form_Open()", "End Sub"}),
         "The heading of Form_Load was not found in " + path("MAIN.BAS") +
             ", so nothing was saved. Use Save As to keep this text.",
         editor::ProgramTitle, Icon::Exclamation, {"MAIN.BAK", "MAIN.BAS"}},
        {"blank first line gives no key", "MAIN.BAS", "B", "\r\nPublic Function B() As Long\r\nEnd Function\r\n",
         "The heading of B was not found in " + path("MAIN.BAS") +
             ", so nothing was saved. Use Save As to keep this text.",
         editor::ProgramTitle, Icon::Exclamation, {}},
        {"name without a dot has no backup name", "MAIN", "", "Private Sub Form_Load()\r\nEnd Sub\r\n",
         "Can't make backup file!", "File Error", Icon::Stop, {"MAIN"}},
        {"the backup file itself is never deleted", "OLD.BAK", "",
         "Private Sub Form_Load()\r\nEnd Sub\r\n", "Can't make backup file!", "File Error", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        desktop.boxes.clear();
        const std::string file = openModule(c.file);
        if (*c.entity) choose(c.entity);
        type(c.typed);
        EXPECT_FALSE(doc.mnuFileSave_Click());
        if (c.file == std::string("MAIN.BAS")) {
            EXPECT_EQ(desktop.boxes.shown.size(), 1u);
        }
        expectBox(c.text, c.title, c.icon, Buttons::Ok);
        EXPECT_EQ(read(file), crlf(Module));
        if (!c.folderAfter.empty()) {
            EXPECT_EQ(folder(), c.folderAfter);
        }
        EXPECT_TRUE(doc.changed());
        EXPECT_FALSE(desktop.busy.busy);
    }
}

TEST_F(Save, UnwritableOrMissingFolderLeavesTheFile) {
    const std::string file = openModule();
    choose("B");
    // The folder refuses new files: the backup copy and any new file fail.
    faulty.failOn("copy", 1, platform::err::PermissionDenied);
    faulty.failOn("openWrite", 1, platform::err::PermissionDenied);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    expectBox("Can't make backup file!", "File Error");
    EXPECT_EQ(read(file), crlf(Module));
    desktop.dialogs.chooseNext(path("other.bas"));
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    expectBox(platform::standardDescription(platform::err::PermissionDenied), "Kestrin Error");
    EXPECT_EQ(folder(), Lines{"MAIN.BAS"});
    desktop.dialogs.chooseNext(path("no/such/folder/x.bas"));
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    expectBox(std::nullopt, "Kestrin Error");
    EXPECT_EQ(doc.fileName(), file);
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
    expectBox(platform::standardDescription(platform::err::DiskFull), "Kestrin Error");
    EXPECT_EQ(read(file), crlf(Module));
    EXPECT_EQ(read(path("MAIN.BAK")), crlf(Module));
    EXPECT_EQ(folder(), (Lines{"MAIN.BAK", "MAIN.BAS"}));
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

TEST_F(Save, BlankTextOrCancelledSaveAsWritesNothing) {
    const std::string file = openModule();
    type("   ");
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_TRUE(desktop.boxes.shown.empty());
    desktop.dialogs.cancelNext();
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    EXPECT_EQ(faulty.calls["openWrite"], 0);
    EXPECT_EQ(faulty.calls["copy"], 0);
    EXPECT_EQ(read(file), crlf(Module));
}

TEST_F(Save, KeepsThePermissionsOfTheFile) {
    using std::filesystem::perms;
    const std::string file = openModule();
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write | perms::group_read);
    choose("B");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(std::filesystem::status(file).permissions() & perms::all,
              perms::owner_read | perms::owner_write | perms::group_read);
}

TEST_F(Save, WholeFileWritesTheTextAndFollowsTheTarget) {
    const std::string file = write("notes.txt", "one\r\ntwo\r\n");
    doc.OpenSourceFile(file, Mode::WholeFile);
    type("one\r\ntwo\r\nthree");
    const std::string target = path("other.txt");
    desktop.dialogs.chooseNext(target);
    ASSERT_TRUE(doc.mnuSaveAs_Click());
    EXPECT_EQ(read(target), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(target));
    EXPECT_FALSE(doc.changed());
    // A later Save writes to the file the caption names.
    type("four");
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(target), "four\r\n");
    EXPECT_EQ(read(file), "one\r\ntwo\r\n");
    EXPECT_EQ(folder(), (Lines{"notes.txt", "other.txt"}));
}

TEST_F(Save, WholeFileWriteErrorIsShownAndLeavesTheFile) {
    const std::string file = write("notes.txt", "one\r\n");
    doc.OpenSourceFile(file, Mode::WholeFile);
    type("changed");
    faulty.failOn("close", 1, platform::err::DiskFull);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(platform::standardDescription(platform::err::DiskFull), editor::ProgramTitle, Icon::Exclamation);
    EXPECT_EQ(read(file), "one\r\n");
    EXPECT_EQ(folder(), Lines{"notes.txt"});
    EXPECT_TRUE(doc.changed());
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(file));
}
