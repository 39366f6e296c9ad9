// Saving under failure: every file operation a save performs is made to fail
// in turn, in both save modes. After each failure the file and its ".BAK" must
// hold exactly the bytes they held before (the ".BAK" may instead hold a
// complete copy of the file, when the failure came after the backup was made),
// no temporary file may be left behind, and a message box must have told the
// user. A save that goes through despite the fault must give the same files as
// a save without one.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "RobustnessSupport.h"
#include "editor/SourceDocument.h"
#include "platform/Recording.h"
#include "platform/Services.h"

namespace {

using editor::Mode;
using robustness::readBytes;
using robustness::ScratchDir;
using robustness::writeBytes;

const std::string ModuleText =
    "Attribute VB_Name = \"modMain\"\r\n"
    "Option Explicit\r\n"
    "Private miCount As Integer\r\n"
    "\r\n"
    "Private Sub Alpha()\r\n"
    "    miCount = 1\r\n"
    "End Sub\r\n"
    "\r\n"
    "Public Function Total(x As Long) As Long\r\n"
    "    Total = x + miCount\r\n"
    "End Function\r\n";

const std::string FormText =
    "VERSION 5.00\r\n"
    "Begin VB.Form frmMain\r\n"
    "   Caption = \"Main\"\r\n"
    "   Begin VB.CommandButton cmdOK\r\n"
    "      Caption = \"OK\"\r\n"
    "   End\r\n"
    "End\r\n"
    "Attribute VB_Name = \"frmMain\"\r\n"
    "Option Explicit\r\n"
    "Dim msName As String\r\n"
    "\r\n"
    "Private Sub cmdOK_Click()\r\n"
    "   Unload Me\r\n"
    "End Sub\r\n";

const std::string OldBackup = "an older backup\r\n";
const std::string OldOther = "another file that Save As replaces\r\n";

struct Scenario {
    const char* name;
    Mode mode;
    const char* file;      // the file opened
    const std::string* text;
    int entity;            // entity edited (entity mode)
    bool saveAs;           // Save As to OTHER.BAS instead of Save
};

void PrintTo(const Scenario& sc, std::ostream* os) { *os << sc.name; }

const Scenario Scenarios[] = {
    {"EntityProcedureSameName", Mode::Entity, "MAIN.BAS", &ModuleText, 2, false},
    {"EntityFormDeclarationsSameName", Mode::Entity, "FMAIN.FRM", &FormText, 0, false},
    {"EntityProcedureNewName", Mode::Entity, "MAIN.BAS", &ModuleText, 1, true},
    {"WholeFileSameName", Mode::WholeFile, "MAIN.BAS", &ModuleText, 0, false},
    {"WholeFileNewName", Mode::WholeFile, "MAIN.BAS", &ModuleText, 0, true},
};

struct Outcome {
    bool saved = false;
    std::string target, backup, original;
    std::set<std::string> names;
    std::vector<platform::ShownBox> boxes;
    std::map<std::string, int> calls;
    bool fired = false;
};

class SaveFaults : public ::testing::TestWithParam<Scenario> {
protected:
    std::string targetName() const { return GetParam().saveAs ? "OTHER.BAS" : GetParam().file; }
    std::string backupOf(const std::string& file) const {
        return file.substr(0, file.find('.')) + ".BAK";
    }

    // Lays out the folder, opens the file, edits it and saves it with the
    // given fault (kind "" for none).
    Outcome run(const std::string& kind, int nth) {
        const Scenario& sc = GetParam();
        dir.clear();
        writeBytes(dir.path(sc.file), *sc.text);
        writeBytes(dir.path(backupOf(sc.file)), OldBackup);
        writeBytes(dir.path("OTHER.BAS"), OldOther);

        platform::RecordingDesktop desktop;
        editor::MemoryView view;
        editor::SourceDocument doc(view);
        EXPECT_TRUE(doc.OpenSourceFile(dir.path(sc.file), sc.mode));
        if (sc.mode == Mode::Entity && sc.entity != 0) doc.cbProc_Click(sc.entity);
        std::string text = view.text;
        const auto at = text.find("\r\n");
        text.insert(at == std::string::npos ? text.size() : at, " ' edited");
        view.setEditorText(text);
        doc.txtEdit_Change();
        desktop.boxes.clear();

        platform::FaultyFileSystem faulty(platform::realFileSystem());
        if (!kind.empty()) faulty.failOn(kind, nth);
        platform::Services s;
        s.files = &faulty;
        Outcome o;
        {
            platform::ScopedServices scope(s);
            if (sc.saveAs) {
                desktop.dialogs.chooseNext(dir.path("OTHER.BAS"));
                o.saved = doc.mnuSaveAs_Click();
            } else {
                o.saved = doc.mnuFileSave_Click();
            }
        }
        o.target = readBytes(dir.path(targetName()));
        o.backup = readBytes(dir.path(backupOf(targetName())));
        o.original = readBytes(dir.path(sc.file));
        o.names = dir.names();
        o.boxes = desktop.boxes.shown;
        o.calls = faulty.calls;
        o.fired = !kind.empty() && faulty.calls[kind] >= nth;
        return o;
    }

    ScratchDir dir;
};

TEST_P(SaveFaults, EveryFailingOperationLeavesTheFilesIntactAndIsReported) {
    const Scenario& sc = GetParam();
    const bool sameName = !sc.saveAs;
    const bool makesBackup = sameName && sc.mode == Mode::Entity;
    const std::string oldTarget = sc.saveAs ? OldOther : *sc.text;
    const std::string oldBackup = sc.saveAs ? "" : OldBackup;  // OTHER.BAK does not exist

    const Outcome clean = run("", 0);
    ASSERT_TRUE(clean.saved);
    ASSERT_TRUE(clean.boxes.empty()) << clean.boxes.front().text;
    ASSERT_NE(clean.target, oldTarget);
    ASSERT_NE(clean.target.find(" ' edited"), std::string::npos);
    if (makesBackup) ASSERT_EQ(clean.backup, *sc.text);
    const std::set<std::string> cleanNames = clean.names;

    int failures = 0;
    for (const auto& [kind, count] : clean.calls) {
        for (int nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(kind + " #" + std::to_string(nth));
            const Outcome o = run(kind, nth);
            ASSERT_TRUE(o.fired);
            EXPECT_EQ(o.original, sc.saveAs ? *sc.text : o.original) << "the file opened is never touched by Save As";
            if (!o.saved) {
                ++failures;
                EXPECT_EQ(o.target, oldTarget);
                if (makesBackup)
                    EXPECT_TRUE(o.backup == oldBackup || o.backup == *sc.text) << "backup holds: " << o.backup;
                else
                    EXPECT_EQ(o.backup, oldBackup);
                EXPECT_FALSE(o.boxes.empty()) << "the user is told";
                const std::set<std::string> before = {sc.file, backupOf(sc.file), "OTHER.BAS"};
                EXPECT_EQ(o.names, before) << "no temporary file is left";
            } else {
                // The fault hit an operation whose failure the save may pass
                // over (removing the old backup) or came after the new file was
                // in place (reading it back for the entity list).
                EXPECT_EQ(o.target, clean.target);
                EXPECT_EQ(o.backup, clean.backup);
                EXPECT_EQ(o.names, cleanNames);
                if (kind != "remove") EXPECT_FALSE(o.boxes.empty()) << "the user is told";
            }
        }
    }
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(BothModes, SaveFaults, ::testing::ValuesIn(Scenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// The file disappears, or turns into something that cannot be read, between
// opening and saving.
class VanishingFile : public ::testing::Test {
protected:
    ScratchDir dir;
    platform::RecordingDesktop desktop;
    editor::MemoryView view;
    editor::SourceDocument doc{view};

    void openAndEdit(Mode mode, int entity) {
        writeBytes(dir.path("MAIN.BAS"), ModuleText);
        writeBytes(dir.path("MAIN.BAK"), OldBackup);
        ASSERT_TRUE(doc.OpenSourceFile(dir.path("MAIN.BAS"), mode));
        if (entity) doc.cbProc_Click(entity);
        view.setEditorText(view.text + "' edited\r\n");
        doc.txtEdit_Change();
        desktop.boxes.clear();
    }
};

TEST_F(VanishingFile, EntitySaveOfADeletedFileKeepsTheBackupAndSaysSo) {
    openAndEdit(Mode::Entity, 1);
    std::filesystem::remove(dir.path("MAIN.BAS"));
    EXPECT_FALSE(doc.mnuFileSave_Click());
    ASSERT_FALSE(desktop.boxes.shown.empty());
    EXPECT_EQ(desktop.boxes.shown.front().text, "Can't make backup file!");
    EXPECT_EQ(readBytes(dir.path("MAIN.BAK")), OldBackup);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"MAIN.BAK"}));
    EXPECT_TRUE(doc.changed()) << "the edits are still unsaved";
}

TEST_F(VanishingFile, EntitySaveOfAFileTurnedIntoAFolderKeepsEverything) {
    openAndEdit(Mode::Entity, 2);
    std::filesystem::remove(dir.path("MAIN.BAS"));
    std::filesystem::create_directory(dir.path("MAIN.BAS"));
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_FALSE(desktop.boxes.shown.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("MAIN.BAS")));
    EXPECT_EQ(readBytes(dir.path("MAIN.BAK")), OldBackup);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"MAIN.BAS", "MAIN.BAK"}));
}

TEST_F(VanishingFile, EntitySaveAsOfADeletedFileWritesNothing) {
    openAndEdit(Mode::Entity, 1);
    std::filesystem::remove(dir.path("MAIN.BAS"));
    desktop.dialogs.chooseNext(dir.path("NEW.BAS"));
    EXPECT_FALSE(doc.mnuSaveAs_Click());
    EXPECT_FALSE(desktop.boxes.shown.empty());
    EXPECT_EQ(dir.names(), (std::set<std::string>{"MAIN.BAK"}));
}

TEST_F(VanishingFile, WholeFileSaveOfADeletedFileWritesTheTextAgain) {
    openAndEdit(Mode::WholeFile, 0);
    std::filesystem::remove(dir.path("MAIN.BAS"));
    EXPECT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(readBytes(dir.path("MAIN.BAS")), ModuleText + "' edited\r\n\r\n");
    EXPECT_EQ(readBytes(dir.path("MAIN.BAK")), OldBackup);
}

TEST_F(VanishingFile, WholeFileSaveOverAFolderFailsAndSaysSo) {
    openAndEdit(Mode::WholeFile, 0);
    std::filesystem::remove(dir.path("MAIN.BAS"));
    std::filesystem::create_directory(dir.path("MAIN.BAS"));
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("MAIN.BAS")));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"MAIN.BAS", "MAIN.BAK"}));
    EXPECT_TRUE(doc.changed());
}

TEST_F(VanishingFile, UnreadableFileIsReportedWhenNotRoot) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
    openAndEdit(Mode::Entity, 1);
    std::filesystem::permissions(dir.path("MAIN.BAS"), std::filesystem::perms::none);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_FALSE(desktop.boxes.shown.empty());
    std::filesystem::permissions(dir.path("MAIN.BAS"), std::filesystem::perms::owner_all);
    EXPECT_EQ(readBytes(dir.path("MAIN.BAS")), ModuleText);
    EXPECT_EQ(readBytes(dir.path("MAIN.BAK")), OldBackup);
}

}  // namespace
