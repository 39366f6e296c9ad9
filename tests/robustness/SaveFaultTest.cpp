// Saving under failure: every file operation a save performs is made to fail
// in turn, in both save modes. After each failure the file and its ".BAK" must
// hold exactly the bytes they held before (the ".BAK" may instead hold a
// complete copy of the file, when the failure came after the backup was made),
// no temporary file may be left behind, and a message box must have told the
// user. A save that goes through despite the fault must give the same files as
// a save without one. Then files that vanish between opening and saving, and
// the faults found by fuzzing, each as the smallest input that showed it.
#include <sys/stat.h>
#include <sys/wait.h>

#include <iterator>
#include <map>
#include <regex>

#include "RobustnessSupport.h"
#include "editor/SourceDocument.h"
#include "support/Recording.h"
#include "platform/Services.h"

namespace {

using editor::Mode;
using robustness::caseText;
using robustness::readBytes;
using robustness::writeBytes;
using Names = std::set<std::string>;

const std::string OldBackup = "an older backup\r\n", OldOther = "another file that Save As replaces\r\n";

struct Scenario {
    const char* name;
    Mode mode;
    const char* file;  // opened, from cases/
    int entity;        // edited (entity mode)
    bool saveAs;       // Save As to OTHER.BAS instead of Save
};

struct Outcome {
    bool saved = false;
    std::string target, backup, original;
    Names names;
    std::size_t boxes = 0;
    std::map<std::string, int> calls;
};

class SaveFaults : public ::testing::TestWithParam<Scenario> {
protected:
    static std::string backupOf(const std::string& file) { return file.substr(0, file.find('.')) + ".BAK"; }
    // Lays out the folder, opens the file, edits it and saves it with the
    // given fault (kind "" for none).
    Outcome run(const std::string& kind, int nth) {
        const Scenario& sc = GetParam();
        const std::string target = sc.saveAs ? "OTHER.BAS" : sc.file;
        dir.clear();
        writeBytes(dir.path(sc.file), text);
        writeBytes(dir.path(backupOf(sc.file)), OldBackup);
        writeBytes(dir.path("OTHER.BAS"), OldOther);
        platform::RecordingDesktop desktop;
        editor::MemoryView view;
        editor::SourceDocument doc(view);
        EXPECT_TRUE(doc.OpenSourceFile(dir.path(sc.file), sc.mode));
        if (sc.entity != 0) doc.cbProc_Click(sc.entity);
        std::string edited = view.text;
        view.setEditorText(edited.insert(edited.find("\r\n"), " ' edited"));
        doc.txtEdit_Change();
        desktop.boxes.clear();

        platform::FaultyFileSystem faulty(platform::realFileSystem());
        if (!kind.empty()) faulty.failOn(kind, nth);
        bool saved = false;
        {
            platform::ScopedServices scope({.files = &faulty});
            if (sc.saveAs) desktop.dialogs.chooseNext(dir.path("OTHER.BAS"));
            saved = sc.saveAs ? doc.mnuSaveAs_Click() : doc.mnuFileSave_Click();
        }
        const auto read = [&](const std::string& name) { return readBytes(dir.path(name)); };
        return {saved,         read(target), read(backupOf(target)),
                read(sc.file), dir.names(),  desktop.boxes.shown.size(),
                faulty.calls};
    }
    robustness::ScratchDir dir;
    const std::string text = caseText(GetParam().file);
};

TEST_P(SaveFaults, EveryFailingOperationLeavesTheFilesIntactAndIsReported) {
    const Scenario& sc = GetParam();
    const bool makesBackup = !sc.saveAs && sc.mode == Mode::Entity;
    const std::string oldTarget = sc.saveAs ? OldOther : text;
    const std::string oldBackup = sc.saveAs ? "" : OldBackup;  // OTHER.BAK does not exist

    const Outcome clean = run("", 0);
    ASSERT_TRUE(clean.saved);
    ASSERT_EQ(clean.boxes, 0u);
    ASSERT_NE(clean.target.find(" ' edited"), std::string::npos);
    ASSERT_EQ(clean.backup, makesBackup ? text : clean.backup);

    int failures = 0;
    for (const auto& [kind, count] : clean.calls) {
        for (int nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(kind + " #" + std::to_string(nth));
            const Outcome o = run(kind, nth);
            EXPECT_EQ(o.original, sc.saveAs ? text : o.original) << "Save As never touches the file opened";
            if (!o.saved) {
                ++failures;
                EXPECT_EQ(o.target, oldTarget);
                EXPECT_TRUE(o.backup == oldBackup || (makesBackup && o.backup == text)) << o.backup;
                EXPECT_GT(o.boxes, 0u) << "the user is told";
                EXPECT_EQ(o.names, (Names{sc.file, backupOf(sc.file), "OTHER.BAS"})) << "no temporary file is left";
            } else {
                // The fault hit an operation the save may pass over (removing
                // the old backup) or came after the new file was in place
                // (reading it back for the entity list).
                EXPECT_EQ(o.target, clean.target);
                EXPECT_EQ(o.backup, clean.backup);
                EXPECT_EQ(o.names, clean.names);
                EXPECT_TRUE(kind == "remove" || o.boxes > 0) << "the user is told";
            }
        }
    }
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(BothModes, SaveFaults,
                         ::testing::Values(Scenario{"EntityProcedureSameName", Mode::Entity, "MAIN.BAS", 2, false},
                                           Scenario{"EntityFormDeclarations", Mode::Entity, "FMAIN.FRM", 0, false},
                                           Scenario{"EntityProcedureNewName", Mode::Entity, "MAIN.BAS", 1, true},
                                           Scenario{"WholeFileSameName", Mode::WholeFile, "MAIN.BAS", 0, false},
                                           Scenario{"WholeFileNewName", Mode::WholeFile, "MAIN.BAS", 0, true}),
                         [](const auto& param) { return std::string(param.param.name); });

// The file disappears, or turns into a folder or something unreadable,
// between opening and saving: what is saved, the files left and whether the
// user is told.
TEST(VanishingFile, EachChangeBehindTheEditorsBack) {
    robustness::ScratchDir dir;
    const std::string text = caseText("MAIN.BAS");
    for (const auto& r : cases::rows("robustness/cases/vanishing.txt")) {
        const Mode mode = r[0] == "E" ? Mode::Entity : Mode::WholeFile;
        const bool unreadable = r[2] == "unreadable", saveAs = r[3] == "1", saved = r[4] == "1";
        if (unreadable && ::geteuid() == 0) continue;  // permissions do not stop the superuser
        SCOPED_TRACE(r[0] + " " + r[1] + " " + r[2] + " " + r[3]);
        dir.clear();
        writeBytes(dir.path("MAIN.BAS"), text);
        writeBytes(dir.path("MAIN.BAK"), OldBackup);
        platform::RecordingDesktop desktop;
        editor::MemoryView view;
        editor::SourceDocument doc(view);
        ASSERT_TRUE(doc.OpenSourceFile(dir.path("MAIN.BAS"), mode));
        if (r[1] != "0") doc.cbProc_Click(std::stoi(r[1]));
        view.setEditorText(view.text + "' edited\r\n");
        doc.txtEdit_Change();
        if (unreadable) std::filesystem::permissions(dir.path("MAIN.BAS"), std::filesystem::perms::none);
        else std::filesystem::remove(dir.path("MAIN.BAS"));
        if (r[2] == "folder") std::filesystem::create_directory(dir.path("MAIN.BAS"));
        if (saveAs) desktop.dialogs.chooseNext(dir.path("NEW.BAS"));
        // Saving over a file that changed on disk asks first: here, save anyway.
        desktop.boxes.answerNext(platform::Answer::Yes);
        EXPECT_EQ(saveAs ? doc.mnuSaveAs_Click() : doc.mnuFileSave_Click(), saved);
        std::erase_if(desktop.boxes.shown,
                      [](const platform::ShownBox& b) { return b.buttons == platform::Buttons::YesNoDefaultNo; });
        EXPECT_EQ(desktop.boxes.shown.empty(), saved);
        std::istringstream left(r[5]);
        EXPECT_EQ(dir.names(), (Names{std::istream_iterator<std::string>(left), {}}));
        EXPECT_EQ(readBytes(dir.path("MAIN.BAK")), OldBackup);
        EXPECT_EQ(doc.changed(), !saved);
        if (unreadable) std::filesystem::permissions(dir.path("MAIN.BAS"), std::filesystem::perms::owner_all);
        const std::string now = readBytes(dir.path("MAIN.BAS"));
        EXPECT_EQ(now, saved ? text + "' edited\r\n\r\n" : unreadable ? text : now);
        if (mode == Mode::Entity && r[2] == "deleted" && !saveAs) {
            EXPECT_EQ(desktop.boxes.shown.front().text, "Can't make backup file!");
        }
    }
}

// Two procedures of one name (the branches of a conditional compilation):
// saving the second must replace the second, not the first.
TEST(Regression, SavingTheSecondOfTwoSameNamedProceduresReplacesOnlyIt) {
    robustness::ScratchDir dir;
    platform::RecordingDesktop desktop;
    writeBytes(dir.path("BEEP.BAS"), caseText("BEEP.BAS"));
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    ASSERT_TRUE(doc.OpenSourceFile(dir.path("BEEP.BAS"), Mode::Entity));
    ASSERT_EQ(doc.entityNames(), (std::vector<std::string>{"(declarations)", "Beep", "Beep"}));
    doc.cbProc_Click(2);
    view.setEditorText("Private Sub Beep(ByVal n As Integer)\r\n    n = 3\r\nEnd Sub\r\n");
    doc.txtEdit_Change();
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(readBytes(dir.path("BEEP.BAS")), caseText("BEEP.saved.BAS"));
    EXPECT_EQ(readBytes(dir.path("BEEP.BAK")), caseText("BEEP.BAS"));
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

// Saving where a rename would change more than the text: a symbolic link, a
// read-only file, a file with a second hard link, a folder this user may not
// write, an owner a new file could not get. Each case is saved cleanly, then
// with every file operation failing in turn; then as the user "nobody".

namespace fs = std::filesystem;

const std::string Old = "Option Explicit\r\n\r\nPrivate Sub Alpha()\r\n    x = 1\r\nEnd Sub\r\n";
const std::string Alpha = "Private Sub Alpha()\r\n    x = 2\r\nEnd Sub\r\n";
const std::string SavedAlpha = Old.substr(0, 19) + Alpha + "\r\n";

struct stat info(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st;
}

// MAIN.BAS and an old MAIN.BAK in `folder` ("/" at its end); REAL.BAS stays
// where it is MAIN.BAS's other name or the file its link points to.
void layOut(const std::string& folder, const std::string& setup) {
    robustness::writeBytes(folder + "REAL.BAS", Old);
    robustness::writeBytes(folder + "MAIN.BAK", "old backup");
    if (setup == "link") fs::create_symlink("REAL.BAS", folder + "MAIN.BAS");
    if (setup != "link") fs::create_hard_link(folder + "REAL.BAS", folder + "MAIN.BAS");
    if (setup != "hardlink" && setup != "link") fs::remove(folder + "REAL.BAS");
    if (setup == "readonly") fs::permissions(folder + "MAIN.BAS", fs::perms::owner_read | fs::perms::others_read);
}

class SaveInPlace : public ::testing::TestWithParam<std::tuple<const char*, Mode>> {
protected:
    // Lays out the case, opens MAIN.BAS and saves entity Alpha (or the whole
    // text) with the nth call of `kind` failing; calls: the save's calls.
    bool save(const std::string& kind, int nth, std::map<std::string, int>* calls = nullptr) {
        const std::string setup = std::get<0>(GetParam());
        dir.clear();
        fs::create_directory(dir.path("tmp"));
        layOut(dir.path(""), setup);
        inodeBefore = info(dir.path("MAIN.BAS")).st_ino;
        platform::RecordingDesktop desktop;
        editor::MemoryView view;
        editor::SourceDocument doc(view);
        doc.OpenSourceFile(dir.path("MAIN.BAS"), std::get<1>(GetParam()));
        if (std::get<1>(GetParam()) == Mode::Entity) doc.cbProc_Click(1);
        view.setEditorText(std::get<1>(GetParam()) == Mode::Entity ? Alpha : Old + "' more");
        platform::FaultyFileSystem faulty(platform::realFileSystem());
        faulty.tempFolderOverride = dir.path("tmp");
        faulty.adjustFacts = [&](platform::FileFacts& f) {
            f.folderWritable = f.folderWritable && setup != "folder";
            f.ownerKept = f.ownerKept && setup != "owner";
        };
        if (!kind.empty()) faulty.failOn(kind, nth);
        platform::ScopedServices scope({.files = &faulty});
        const bool saved = doc.mnuFileSave_Click();
        if (calls) *calls = faulty.calls;
        boxes = desktop.boxes.shown;
        return saved;
    }
    robustness::ScratchDir dir;
    std::vector<platform::ShownBox> boxes;
    ino_t inodeBefore = 0;
};

TEST_P(SaveInPlace, KeepsWhatTheFileIsAndLosesNothingOnFailure) {
    const std::string setup = std::get<0>(GetParam()), file = setup == "link" ? "REAL.BAS" : "MAIN.BAS";
    const std::string after = std::get<1>(GetParam()) == Mode::Entity ? SavedAlpha : Old + "' more\r\n";
    const bool refused = setup == "readonly" && ::geteuid() != 0;  // the superuser may write it
    std::map<std::string, int> calls;
    ASSERT_EQ(save("", 0, &calls), !refused) << (boxes.empty() ? "" : boxes[0].text);
    EXPECT_EQ(readBytes(dir.path(file)), refused ? Old : after);
    EXPECT_EQ(fs::is_symlink(dir.path("MAIN.BAS")), setup == "link");
    EXPECT_EQ(readBytes(dir.path("REAL.BAS")), setup == "hardlink" || setup == "link" ? after : "");
    EXPECT_EQ(info(dir.path(file)).st_ino == inodeBefore, setup != "link" && setup != "readonly");
    EXPECT_EQ(boxes.empty() ? "" : boxes[0].text, refused ? "Permission denied" : "");
    const auto names = dir.names();
    for (const auto& [kind, count] : calls) {
        for (int nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(kind + " #" + std::to_string(nth));
            const bool saved = save(kind, nth);
            const std::string now = readBytes(dir.path(file)), box = boxes.empty() ? "" : boxes[0].text;
            EXPECT_EQ(now, saved ? after : now == Old ? Old : "the old text or the box names its copy");
            EXPECT_TRUE(saved || !boxes.empty()) << "the user is told";
            if (!saved && now != Old) {  // putting the old bytes back failed too
                EXPECT_EQ(readBytes(box.substr(box.rfind(" in ") + 4, box.size() - box.rfind(" in ") - 5)), Old);
            } else if (kind != "remove") {  // a copy that cannot be removed stays
                EXPECT_EQ(dir.names(), names);
                EXPECT_TRUE(fs::is_empty(dir.path("tmp")));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveInPlace,
                         ::testing::Combine(::testing::Values("link", "readonly", "hardlink", "folder", "owner"),
                                            ::testing::Values(Mode::Entity, Mode::WholeFile)),
                         [](const auto& i) {
                             return std::get<0>(i.param) + std::string(i.index % 2 ? "Whole" : "Entity");
                         });

// Opens MAIN.BAS laid out as `setup` in `dir`, edits it in `mode` and saves
// it through `files`; returns the boxes shown.
std::vector<std::string> editAndSave(const robustness::ScratchDir& dir, const std::string& setup, Mode mode,
                                     platform::FileSystem& files) {
    layOut(dir.path(""), setup);
    platform::RecordingDesktop desktop;
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    doc.OpenSourceFile(dir.path("MAIN.BAS"), mode);
    if (mode == Mode::Entity) doc.cbProc_Click(1);
    view.setEditorText(mode == Mode::Entity ? Alpha : Old + "' more");
    {
        platform::ScopedServices scope({.files = &files});
        doc.mnuFileSave_Click();
    }
    std::vector<std::string> boxes;
    for (const auto& b : desktop.boxes.shown) {
        std::string text = b.text;
        if (text.starts_with(dir.path(""))) text.erase(0, dir.path("").size());
        boxes.push_back(text);
    }
    return boxes;
}

TEST(SaveOrder, NewTextIsOnTheDiskBeforeItTakesTheName) {
    const std::regex passing(R"(\.[0-9]+\.[0-9a-f]{16}$)");
    const auto section = [](const cases::Case& c, const char* name) {
        cases::Lines lines = c[name];
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    };
    for (const auto& c : cases::read_cases("robustness/cases/save_order.txt")) {
        SCOPED_TRACE(c.title);
        std::istringstream how(c["in"].at(0));
        std::string mode, setup, kind;
        int nth = 0;
        how >> mode >> setup >> kind >> nth;
        robustness::ScratchDir dir;
        platform::FaultyFileSystem faulty(platform::realFileSystem());
        if (kind != "-") faulty.failOn(kind, nth);
        EXPECT_EQ(editAndSave(dir, setup, mode == "E" ? Mode::Entity : Mode::WholeFile, faulty), section(c, "boxes"));
        for (std::string& entry : faulty.log) entry = std::regex_replace(entry, passing, "");
        EXPECT_EQ(faulty.log, section(c, "log"));
    }
}

// What saves killed halfway left: their new texts go once their process has
// ended; a kept copy of old bytes, a live save's file, another file's and a
// name that only looks alike stay.
TEST(SaveOrder, StraysOfKilledSavesAreRemovedAndNothingElse) {
    robustness::ScratchDir dir;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), live = std::to_string(::getppid()), tag = ".0123456789abcdef";
    const Names left = {"MAIN.BAS.~old." + dead + tag, "MAIN.BAS.~sav." + live + tag, "OTHER.BAS.~sav." + dead + tag,
                        "MAIN.BAS.~sav." + dead + ".0123", "MAIN.BAS.~sav"};
    for (const auto& name : left) writeBytes(dir.path(name), "x");
    writeBytes(dir.path("MAIN.BAS.~sav." + dead + tag), "half a text");
    EXPECT_EQ(editAndSave(dir, "plain", Mode::WholeFile, platform::realFileSystem()), std::vector<std::string>{});
    Names expected = left;
    expected.insert({"MAIN.BAS", "MAIN.BAK"});
    EXPECT_EQ(dir.names(), expected);
}

// The same cases saved through the command line by a user without the
// superuser's rights: the files are root's where that is the point.
TEST(SaveAsAnotherUser, LinkReadOnlyHardLinkFolderAndOwner) {
    if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0 ||
        !fs::exists(VARNEL_BINARY_DIR "/app/varnel/varnel"))
        GTEST_SKIP() << "needs root, setpriv and the varnel program to run it as the user nobody";
    robustness::ScratchDir dir;
    fs::permissions(dir.path(""), fs::perms::all);
    for (const std::string s : {"link", "readonly", "hardlink", "folder", "owner"}) {
        SCOPED_TRACE(s);
        const std::string sub = dir.path(s) + "/", file = sub + (s == "link" ? "REAL.BAS" : "MAIN.BAS");
        fs::create_directory(sub);
        layOut(sub, s);
        const std::string give = s == "owner"    ? "chmod 666 MAIN.BAS MAIN.BAK && chmod 777 ."
                                 : s == "folder" ? "chmod 666 MAIN.BAS MAIN.BAK"
                                                 : "chmod 777 . && chown -h nobody *";
        const std::string run = std::string("cd ").append(sub).append(" && ").append(give).append(
            " && printf 'Private Sub Alpha()\\r\\n    x = 2\\r\\n"
            "End Sub\\r\\n' | setpriv --reuid=nobody --regid=nogroup --clear-groups " VARNEL_BINARY_DIR
            "/app/varnel/varnel --save-entity Alpha MAIN.BAS 2>../err.txt");
        const int status = WEXITSTATUS(std::system(run.c_str()));
        EXPECT_EQ(status, s == "readonly" ? 1 : 0) << readBytes(dir.path("err.txt"));
        EXPECT_EQ(readBytes(file), status ? Old : SavedAlpha);
        EXPECT_EQ(readBytes(sub + "MAIN.BAK"), status ? "old backup" : Old);
        EXPECT_EQ(readBytes(dir.path("err.txt")), status ? "Kestrin Error: Permission denied\n" : "");
        EXPECT_EQ(fs::is_symlink(sub + "MAIN.BAS"), s == "link");
        EXPECT_EQ(info(file).st_uid, s == "owner" || s == "folder" ? 0u : info(sub + "MAIN.BAK").st_uid);
        EXPECT_EQ(readBytes(sub + "REAL.BAS"), s == "hardlink" || s == "link" ? SavedAlpha : "");
    }
}

}  // namespace
