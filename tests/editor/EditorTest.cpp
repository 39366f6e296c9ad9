// The editor's document without its window: the heading rules, opening files
// split into entities (cases/split.txt), the procedure list, saving
// (cases/save.txt) with its backup and refusals, and the close question.

#include "editor/EntityRules.h"
#include "editor/SourceDocument.h"
#include "support/Recording.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "support/Cases.h"
#include "textlib/TextLib.h"

using namespace editor;
using cases::crlf;
using cases::Lines;
using platform::Answer;
using platform::Icon;

namespace {

// A document over a MemoryView, with recording desktop services and files in
// a fresh temporary folder.
class Doc : public ::testing::Test {
protected:
    Doc() : faulty(platform::realFileSystem()) {
        files.emplace(platform::Services{.files = &faulty});
        view.onTextChange = [this] { doc.txtEdit_Change(); };
        view.onSelect = [this](int i) { doc.cbProc_Click(i); };  // a combo box raises its click
    }
    void fresh() {
        dir.clear();
        desktop.boxes.clear();
    }
    std::string path(const std::string& name) const { return dir.path(name); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string openModule(const std::string& name = "MAIN.BAS") {
        std::string file = write(name, crlf(Module));
        doc.OpenSourceFile(file, Mode::Entity);
        return file;
    }
    void type(const std::string& text) { view.setEditorText(text); }
    void choose(const std::string& name) {
        ASSERT_GE(doc.findEntity(name), 0) << name;
        doc.cbProc_Click(doc.findEntity(name));
    }
    // The last message box; an empty text is not checked.
    void expectBox(const std::string& text, const std::string& title, Icon icon = Icon::Stop) const {
        ASSERT_FALSE(desktop.boxes.shown.empty());
        const auto& box = desktop.boxes.last();
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(text.empty() ? box.text : text, title, icon, platform::Buttons::Ok));
    }
    static std::string read(const std::string& p) { return cases::read(p); }
    static std::string describe(int e) { return platform::standardDescription(e); }

    const Lines Module = cases::lines("editor/cases/save_module.bas");
    cases::ScratchDir dir;
    platform::RecordingDesktop desktop;
    platform::FaultyFileSystem faulty;
    std::optional<platform::ScopedServices> files;
    MemoryView view;
    SourceDocument doc{view};
};

TEST(EntityRules, EveryRowOfTheTable) {
    const std::map<std::string, std::function<std::string(const std::string&)>> call = {
        {"headingName", [](const std::string& l) { return headingName(l).value_or("-"); }},
        {"classifyListLine", [](const std::string& l) { return std::string(1, "BHE"[int(classifyListLine(l))]); }},
        {"classifyBodyLine", [](const std::string& l) { return std::string(1, "TEH"[int(classifyBodyLine(l))]); }},
        {"backupName", [](const std::string& l) { return backupName(l); }},
        {"headingKey", [](const std::string& l) { return headingKey(l); }},
        {"declarationsStartWithHeading",
         [](const std::string& l) { return declarationsStartWithHeading(l) ? "1" : "0"; }},
        {"formatEntityRecord",
         [](const std::string& l) {
             return formatEntityRecord(l.substr(0, l.find('@')), std::stoll(l.substr(l.find('@') + 1)));
         }},
        {"parseEntityRecord", [](const std::string& l) {
             const auto r = parseEntityRecord(l);
             return r ? r->name + "@" + std::to_string(r->start) : "-";
         }}};
    for (const Lines& r : cases::rows("editor/cases/rules.txt"))
        EXPECT_EQ(call.at(r[0])(r[1]), r[2]) << r[0] << " " << r[1];
}

// ---------------------------------------------------------------------------
// Opening

TEST_F(Doc, OpenSplitsIntoEntities) {
    for (const cases::Case& c : cases::read_cases("editor/cases/split.txt")) {
        SCOPED_TRACE(c.title);
        const std::string name = c.title.substr(0, c.title.find(' '));
        const std::string file = write(name, c.has("bytes") ? c["bytes"][0] : crlf(c["in"]));
        ASSERT_TRUE(doc.OpenSourceFile(file, Mode::Entity));
        ASSERT_EQ(view.items.size(), c["entries"].size());
        for (std::size_t i = 0; i < view.items.size(); ++i) {
            const std::string& e = c["entries"][i];
            EXPECT_EQ(e.find('|') != std::string::npos ? doc.entityRecords()[i] : doc.entityNames()[i], e);
            EXPECT_EQ(view.items[i], e.substr(0, e.find('|')));
        }
        for (const auto& [section, lines] : c.sections)
            if (section.starts_with("text ")) {
                const int i = std::stoi(section.substr(5));
                EXPECT_EQ(i == 0 ? view.text : doc.GetEntityText(i), crlf(lines)) << section;
            }
        EXPECT_EQ(view.windowCaption, "QVX: " + view.items[0] + " of " + textlib::UCase(file));
        EXPECT_EQ(view.selected + doc.currentIndex(), 0);
        EXPECT_TRUE(view.listEnabled);
        EXPECT_FALSE(doc.changed());
        EXPECT_TRUE(desktop.boxes.shown.empty());
    }
    EXPECT_GE(desktop.busy.begins, 1);
    EXPECT_FALSE(desktop.busy.busy);
}

TEST_F(Doc, FilesWithoutEntitiesAreReportedAndShowNothing) {
    for (const Lines& r : cases::rows("editor/cases/no_entities.txt")) {
        desktop.boxes.clear();
        view.text = "old text";
        doc.OpenSourceFile(write(r[0], r[1]), Mode::Entity);
        expectBox(describe(std::stoi(r[2])), "Kestrin Error");
        EXPECT_EQ(view.text, "");
        EXPECT_EQ(view.items, (r[3].empty() ? Lines{} : Lines{r[3]})) << r[0];
        EXPECT_FALSE(doc.changed());
    }
}

TEST_F(Doc, MissingOrUnreadableFileIsReportedAndWholeFileModeShowsTheBytes) {
    openModule();
    const std::string missing = path("missing.bas");
    EXPECT_FALSE(doc.OpenSourceFile(missing, Mode::WholeFile));
    expectBox("Can't open file: " + missing, "File Error");
    EXPECT_EQ(doc.mode(), Mode::Entity);
    EXPECT_EQ(view.items.size(), 4u);
    desktop.dialogs.cancelNext();  // a cancelled or blank choice opens nothing
    doc.openWithDialog("Text Files (*.txt)|*.txt", Mode::WholeFile);
    desktop.dialogs.chooseNext("   ");
    doc.openWithDialog("All Files (*.*)|*.*", Mode::WholeFile);
    EXPECT_EQ(doc.mode(), Mode::Entity);
    EXPECT_EQ(doc.lastFilter(), "All Files (*.*)|*.*");

    const std::string bytes = "Line 1\r\nLine \xE9\xFF\x01 2\nno end";
    const std::string file = write("b.txt", bytes);
    ASSERT_TRUE(doc.OpenSourceFile(file, Mode::WholeFile));
    EXPECT_EQ(view.text, bytes);
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(file));
    EXPECT_TRUE(view.items.empty());
    EXPECT_FALSE(view.listEnabled);
    EXPECT_EQ(doc.mode(), Mode::WholeFile);

    faulty.failOn("read", faulty.calls["read"] + 1, platform::err::DeviceIO);
    doc.OpenSourceFile(file, Mode::WholeFile);
    expectBox("File Read Error : 57\nDesc: " + describe(platform::err::DeviceIO) + "\nCan't open this file!",
              "File Error");
}

// ---------------------------------------------------------------------------
// The procedure list

TEST_F(Doc, EditedEntityWarnsOnceThenSwitches) {
    const std::string file = openModule();
    doc.cbProc_Click(3);
    EXPECT_EQ(view.text, crlf({Module[15], Module[16], Module[17]}));
    EXPECT_EQ(view.windowCaption, "QVX: B of " + textlib::UCase(file));
    EXPECT_FALSE(doc.changed());  // although the program replaced the text
    type("edited");
    doc.cbProc_Click(1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(
        "The currenty entity has been changed,\nto save, use the File Save Menu.\n"
        "You will not be prompted again unless\nadditional changes are made!",
        "Save or Lose Changes", Icon::Exclamation);
    EXPECT_EQ(view.selected, 3);  // the list shows the old entity again
    EXPECT_EQ(view.text, "edited");
    doc.cbProc_Click(1);  // no second warning; the edits are gone
    EXPECT_EQ(doc.currentEntityName(), "Form_LoadData");
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);

    // The shown entity, or one beyond the list, reads nothing.
    const int opens = faulty.calls["openRead"], sets = view.textSets;
    doc.cbProc_Click(1);
    doc.cbProc_Click(4);
    EXPECT_EQ(faulty.calls["openRead"] + view.textSets, opens + sets);
    EXPECT_EQ(doc.currentIndex(), 1);

    // An entity that cannot be read keeps the shown one.
    faulty.failOn("openRead", opens + 1, platform::err::FileNotFound);
    doc.cbProc_Click(2);
    expectBox("", "Kestrin Error");
    EXPECT_EQ(doc.currentEntityName(), "Form_LoadData");
    EXPECT_EQ(view.selected, 1);
}

// ---------------------------------------------------------------------------
// Saving

TEST_F(Doc, SaveRewritesTheFileAndKeepsTheOldOneAsBackup) {
    for (const cases::Case& c : cases::read_cases("editor/cases/save.txt")) {
        SCOPED_TRACE(c.title);
        fresh();
        std::istringstream title(c.title);
        std::string source, name, entity, backup;
        title >> source >> name >> entity >> backup;
        const Lines before = source == "program" ? c["in"] : cases::lines("editor/cases/" + source);
        const std::string file = write(name, crlf(before));
        doc.OpenSourceFile(file, Mode::Entity);
        const Lines items = view.items;
        choose(entity);
        EXPECT_EQ(view.text, crlf(c["shown"]));
        if (c.has("typed")) type(c["typed"][0]);
        ASSERT_TRUE(doc.mnuFileSave_Click());
        EXPECT_EQ(read(file), crlf(c["saved"]));
        EXPECT_EQ(read(path(backup)), crlf(before));
        EXPECT_EQ(dir.names(), (std::set<std::string>{backup, name}));
        EXPECT_EQ(view.items, items);  // the list is rebuilt and the first entity shown
        EXPECT_EQ(view.selected + doc.currentIndex(), 0);
        EXPECT_FALSE(doc.changed());
        EXPECT_TRUE(desktop.boxes.shown.empty());
    }
}

TEST_F(Doc, SaveTwiceAndSaveAsUnderANewName) {
    const std::string file = openModule();
    for (int i = 0; i < 2; ++i) {
        choose("Form_Load");
        ASSERT_TRUE(doc.mnuFileSave_Click());
    }
    const Lines once = Lines(Module.begin(), Module.begin() + 14);
    EXPECT_EQ(read(file), crlf(once) + "\r\n\r\n" + crlf(Lines(Module.begin() + 14, Module.end())));
    choose("B");
    type(crlf({"Public Function B() As Long", "End Function"}));
    const std::string target = path("copy.bas");
    desktop.dialogs.chooseNext(target);
    ASSERT_TRUE(doc.mnuSaveAs_Click());
    EXPECT_EQ(read(target).substr(read(target).size() - 45), "Public Function B() As Long\r\nEnd Function\r\n\r\n");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"MAIN.BAK", "MAIN.BAS", "copy.bas"}));  // no backup of the new file
    EXPECT_EQ(view.windowCaption, "QVX: (declarations) of " + textlib::UCase(target));
    EXPECT_EQ(desktop.dialogs.calls.at(0).kind, "save");
}

// Refused saves: the file stays as it was and the edits stay in the editor.
TEST_F(Doc, RefusedSaveLeavesTheFile) {
    for (const Lines& r : cases::rows("editor/cases/refused.txt")) {
        SCOPED_TRACE(r[0]);
        fresh();
        const std::string file = openModule(r[0]);
        if (!r[1].empty()) choose(r[1]);
        type(r[2]);
        EXPECT_FALSE(doc.mnuFileSave_Click());
        std::string text = r[3];
        if (text.find("<file>") != std::string::npos) text.replace(text.find("<file>"), 6, path("MAIN.BAS"));
        expectBox(text, r[4], r[4] == ProgramTitle ? Icon::Exclamation : Icon::Stop);
        EXPECT_EQ(read(file), crlf(Module));
        EXPECT_TRUE(doc.changed());
    }
    type("   ");  // a blank text is not saved, silently
    desktop.boxes.clear();
    EXPECT_FALSE(doc.mnuFileSave_Click());
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(Doc, SaveKeepsPermissionsAndMayFailToRemoveTheOldBackup) {
    using std::filesystem::perms;
    const std::string file = openModule();
    write("MAIN.BAK", "older backup");
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write | perms::group_read);
    choose("B");
    faulty.failOn("remove", 1);
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(path("MAIN.BAK")), crlf(Module));
    EXPECT_EQ(std::filesystem::status(file).permissions() & perms::all,
              perms::owner_read | perms::owner_write | perms::group_read);
}

TEST_F(Doc, WholeFileSaveWritesTheTextAndFollowsTheTarget) {
    const std::string file = write("notes.txt", "one\r\n");
    doc.OpenSourceFile(file, Mode::WholeFile);
    type("one\r\ntwo");
    const std::string target = path("other.txt");
    desktop.dialogs.chooseNext(target);
    ASSERT_TRUE(doc.mnuSaveAs_Click());
    EXPECT_EQ(read(target), "one\r\ntwo\r\n");
    EXPECT_EQ(view.windowCaption, "QVX: " + textlib::UCase(target));
    type("four");  // a later Save writes to the file the caption names
    faulty.failOn("close", faulty.calls["close"] + 1, platform::err::DiskFull);
    EXPECT_FALSE(doc.mnuFileSave_Click());
    expectBox(describe(platform::err::DiskFull), ProgramTitle, Icon::Exclamation);
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(read(target), "four\r\n");
    EXPECT_EQ(read(file), "one\r\n");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"notes.txt", "other.txt"}));
}

// ---------------------------------------------------------------------------
// Closing a changed text

TEST_F(Doc, QueryUnloadAsksAboutTheFileNameAndFollowsTheAnswer) {
    const std::string file = write("notes.txt", "old\r\n");
    doc.OpenSourceFile(file, Mode::WholeFile);
    // The file the save dialog gives after Yes ("" when cancelled, null when
    // it must not be shown); the save that succeeds comes last.
    const std::tuple<Answer, const char*, bool, std::size_t> cases[] = {{Answer::Cancel, nullptr, true, 1},
                                                                        {Answer::No, nullptr, false, 1},
                                                                        {Answer::Yes, "", true, 1},
                                                                        {Answer::Yes, "no/such/folder/x.txt", true, 2},
                                                                        {Answer::Yes, "saved.txt", false, 1}};
    for (const auto& [answer, choice, cancelled, boxes] : cases) {
        desktop.boxes.clear();
        desktop.dialogs.calls.clear();
        type("new");
        desktop.boxes.answerNext(answer);
        if (choice) *choice ? desktop.dialogs.chooseNext(path(choice)) : desktop.dialogs.cancelNext();
        EXPECT_EQ(doc.Form_QueryUnload(), cancelled);
        ASSERT_EQ(desktop.boxes.shown.size(), boxes);
        const auto& box = desktop.boxes.shown.front();
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple("The text in [" + file + "] has changed.\r\nDo you want to save the changes?",
                             std::string("Confirm Save"), Icon::Exclamation, platform::Buttons::YesNoCancel));
        EXPECT_EQ(desktop.dialogs.calls.size(), choice ? 1u : 0u);
        if (cancelled) {
            EXPECT_TRUE(doc.changed());
        }
    }
    EXPECT_EQ(read(path("saved.txt")), "new\r\n");
    EXPECT_EQ(read(file), "old\r\n");
    // The save dialog shows the last open filter.
    desktop.dialogs.cancelNext();
    doc.openWithDialog("Class (*.cls)|*.cls", Mode::Entity);
    desktop.dialogs.cancelNext();
    EXPECT_EQ(doc.ShowSaveDialog(), "");
    EXPECT_EQ(desktop.dialogs.calls.back().filter, "Class (*.cls)|*.cls");
}

TEST_F(Doc, EntityModeCloseSavesTheEntity) {
    const std::string module = write("m.bas", "Sub A()\r\nEnd Sub\r\n");
    doc.OpenSourceFile(module, Mode::Entity);
    doc.cbProc_Click(1);
    type("Sub A()\r\n  x = 1\r\nEnd Sub\r\n");
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.chooseNext(module);
    EXPECT_FALSE(doc.Form_QueryUnload());
    EXPECT_EQ(read(module), "Sub A()\r\n  x = 1\r\nEnd Sub\r\n\r\n");
    EXPECT_EQ(read(path("m.BAK")), "Sub A()\r\nEnd Sub\r\n");
}

TEST_F(Doc, KeepsBareLfFilesBareLfInBothModes) {
    for (const Lines& r : cases::rows("editor/cases/bare_lf.txt")) {
        SCOPED_TRACE(r[0]);
        const std::string file = write("M.BAS", r[0]);
        ASSERT_TRUE(doc.OpenSourceFile(file, r[1] == "E" ? Mode::Entity : Mode::WholeFile));
        if (r[1] == "E") choose("B");
        type("Private Sub B()\r\ny\r\nEnd Sub\r\n");
        ASSERT_TRUE(doc.mnuFileSave_Click());
        EXPECT_EQ(read(file), r[2]);
        EXPECT_EQ(std::filesystem::exists(path("M.BAK")) ? read(path("M.BAK")) : "", r[1] == "E" ? r[0] : "");
        std::filesystem::remove(path("M.BAK"));
    }
}

// Another program writes the open file. The focus coming back tells of it
// once; a save over it asks first, and No (the default) leaves the disk and
// the window as they are; with nothing unsaved the file is offered for
// reloading, in the entity that was shown.
TEST_F(Doc, FileChangedByAnotherProgram) {
    using platform::Buttons;
    const auto boxes = [&] {
        std::vector<std::tuple<std::string, Buttons>> out;
        for (const auto& b : desktop.boxes.shown) out.emplace_back(b.text, b.buttons);
        desktop.boxes.shown.clear();
        return out;
    };
    using Boxes = std::vector<std::tuple<std::string, Buttons>>;
    fresh();
    const std::string file = openModule();
    choose("B");
    doc.checkDiskOnFocus();
    EXPECT_EQ(boxes(), Boxes{});
    const std::string mine = "Public Function B() As Long\r\n    ' mine\r\nEnd Function\r\n";
    const std::string theirs = crlf(Module) + "' theirs\r\n";
    type(mine);
    write("MAIN.BAS", theirs);
    doc.checkDiskOnFocus();
    doc.checkDiskOnFocus();
    EXPECT_EQ(boxes(), (Boxes{{file + " has been changed on disk by another program. Your changes here are kept; "
                                      "saving will ask before it writes over the file.",
                               Buttons::Ok}}));
    EXPECT_FALSE(doc.mnuFileSave_Click());
    const Boxes question{
        {file + " has been changed on disk since it was opened. Save anyway?", Buttons::YesNoDefaultNo}};
    EXPECT_EQ(boxes(), question);
    EXPECT_EQ(read(file), theirs);
    EXPECT_EQ(view.text, mine);
    EXPECT_TRUE(doc.changed());
    EXPECT_FALSE(dir.names().contains("MAIN.BAK")) << "nothing was written";

    desktop.boxes.answerNext(Answer::Yes);
    EXPECT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(boxes(), question);
    EXPECT_NE(read(file).find("' theirs"), std::string::npos) << "their lines stay, the entity is replaced";
    EXPECT_NE(read(file).find("' mine"), std::string::npos);
    doc.checkDiskOnFocus();
    EXPECT_EQ(boxes(), Boxes{}) << "our own save is no change by another program";

    choose("B");
    write("MAIN.BAS", theirs);
    desktop.boxes.answerNext(Answer::Yes);
    doc.checkDiskOnFocus();
    EXPECT_EQ(boxes(),
              (Boxes{{file + " has been changed on disk by another program. Reload it?", Buttons::YesNoDefaultNo}}));
    EXPECT_EQ(doc.currentEntityName(), "B");
    EXPECT_EQ(view.text, "Public Function B() As Long\r\n    B = mCount\r\nEnd Function\r\n");
    EXPECT_FALSE(doc.changed());
    type(mine);
    EXPECT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(boxes(), Boxes{}) << "a reloaded file is the one read";
}

}  // namespace
