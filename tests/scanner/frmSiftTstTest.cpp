// The scanner window: its controls and menus, the scan driver, the check
// level, searching the report, printing, closing, the labels and the resize
// layout.
// Runs the real scan engine on small files written here; the expected
// reports are spelled out by hand from the report layout.
#include <gtest/gtest.h>

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <functional>
#include <memory>

#include "platform/Recording.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"
#include "scanner/ElidedLabel.h"
#include "scanner/ScannerLayout.h"
#include "scanner/frmSiftTst.h"

namespace {

using platform::Buttons;
using platform::Icon;

// An input box that keeps everything it was asked.
struct ScriptedInputBox : platform::InputBox {
    struct Asked {
        std::string prompt, title, defaultText;
    };
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultText) override {
        asked.push_back({prompt, title, defaultText});
        std::string a = answers.empty() ? "" : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return a;
    }
    std::vector<std::string> answers;
    std::vector<Asked> asked;
};

// The real files, with a call-back whenever the engine opens one.
struct ObservedFiles : platform::FaultyFileSystem {
    ObservedFiles() : FaultyFileSystem(platform::realFileSystem()) {}
    std::unique_ptr<platform::InputFile> openRead(const std::string& path) override {
        opened.push_back(path);
        if (onOpen) onOpen(path);
        return platform::realFileSystem().openRead(path);
    }
    std::vector<std::string> opened;
    std::function<void(const std::string&)> onOpen;
};

// Every message box of the window: text, title, icon and buttons.
struct Box {
    std::string text, title;
    Icon icon;
    Buttons buttons;
};
Box helpMissing(const std::string& file) {
    return {"The help file was not found:\n" + file, "Probex Zelk", Icon::Information, Buttons::Ok};
}
Box programError(const std::string& proc) {
    return {"Err Code: 57\nErr Desc: Device I/O error\nProcname: " + proc + "\nSub Proc: ", "Program Error",
            Icon::Stop, Buttons::Ok};
}
Box savedAsPdf(const std::string& pdf) {
    return {"The report was saved as a PDF file:\n" + pdf, "Probex Zelk", Icon::Information, Buttons::Ok};
}
const Box Snicker = {"It's not that easy!", "Snicker", Icon::Exclamation, Buttons::Ok};
const Box NotFound = {"Selected text not found.", "Oculon No Find", Icon::Information, Buttons::Ok};

const std::string CrLf = "\r\n";
const std::string LongComment = "'" + std::string(159, '-');  // 160 characters, 162 with CR LF

// A module without "Option Explicit" (an error) and with one over-long line
// (a warning).
const std::string AlphaSource = "Attribute VB_Name = \"modAlpha\"\r\n" + LongComment + CrLf;
// A clean class whose file name (with a blank) is not part of its name (a
// suggestion).
const std::string ClassSource = "Attribute VB_Name = \"clsMyClass\"\r\nOption Explicit\r\n";

std::string today() { return QDate::currentDate().toString("MM/dd/yyyy").toStdString(); }

std::string head(const std::string& module, const std::string& internal, int errors) {
    return "Kestrin Oculon\r\n\r\nDate: " + today() + "\r\n\r\n" + "Module: \t\t\t" + module + "\r\n" +
           "Internal Name: \t\t" + internal + "\r\n" + "Error Count: \t\t\t" + std::to_string(errors) + "\r\n";
}
const std::string ModuleSection = "\r\n[Form/Module/Declaration Level Scan Results] \r\n\r\n";
const std::string SourceSection = "[Source Code Scan Results] \r\n\r\n";
const std::string OptionExplicitFinding =
    "Error: \"Option Explicit\" should be specified for this module.\r\n\r\n";

const std::string AlphaLevel1 = head("ALPHA.BAS", "modAlpha", 1) + ModuleSection + OptionExplicitFinding + SourceSection;
const std::string AlphaLevel2 = head("ALPHA.BAS", "modAlpha", 1) + "Warning Count:  \t\t1\r\n" + ModuleSection +
                                OptionExplicitFinding + SourceSection + "Src Line:    " + LongComment + CrLf +
                                "Location: modAlpha.(declarations)\r\n\r\n" +
                                "Warning: Using shorter lines(via continutation) will make code easier to read.\r\n" +
                                "Look at:   {Reduce line length to width of normal Code Window}\r\n\r\n" +
                                "*****************\r\n";
const std::string ClassLevel1 = head("MY CLASS.CLS", "clsMyClass", 0) + ModuleSection + SourceSection;
const std::string ClassLevel2 = head("MY CLASS.CLS", "clsMyClass", 0) + "Warning Count:  \t\t0\r\n" +
                                ModuleSection + SourceSection;
const std::string ClassLevel3 = head("MY CLASS.CLS", "clsMyClass", 0) + "Warning Count:  \t\t0\r\n" +
                                "Suggest Count:  \t\t1\r\n" + "Source Lines Scanned: \t2\r\n" + ModuleSection +
                                "Suggest: The Filename isn't a subset of the module Internal Name.\r\n" +
                                "Usage | Std:   {MY CLASS.CLS}{clsMyClass}\r\n\r\n" + SourceSection;

// The report as the view shows it: line feeds only.
QString viewed(const std::string& report) {
    std::string v;
    for (std::size_t i = 0; i < report.size(); ++i)
        if (!(report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n')) v += report[i];
    return platform::toQt(v);
}

// The scanning state the window is in, in one line: the status label, the
// file shown and the progress bar (when visible), whether the buttons and
// the level menu can be used, and the busy pointer.
const std::string Idle = "Scan Results | print on, select on, levels on";

class ScannerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = (dir.path() + "/scan dir").toStdString();
        QDir().mkpath(QString::fromStdString(folder));
        alpha = write("alpha.bas", AlphaSource);
        myClass = write("my class.cls", ClassSource);
        scoped.emplace(platform::Services{nullptr, nullptr, nullptr, &input, nullptr, nullptr, &files});
        window = std::make_unique<frmSiftTst>(std::make_unique<scan::clsOculon>(folder + "/no UserDefs.txt"));
        window->setEndProgram([this] { ++programEnds; });
        window->setPumpInterval(std::chrono::milliseconds(0));  // events before every file
        window->show();
        files.opened.clear();  // the user definitions
    }
    void TearDown() override {
        window.reset();
        scoped.reset();
    }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = folder + "/" + name;
        QFile f(QString::fromStdString(path));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    template <class T>
    T* child(const char* name) {
        T* c = window->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QAction* action(const char* name) { return child<QAction>(name); }
    QPlainTextEdit* view() { return child<QPlainTextEdit>("rtbViewer"); }
    QLabel* label(const char* name) { return child<QLabel>(name); }
    QProgressBar* bar() { return child<QProgressBar>("barLoadingStatus"); }

    std::string state() {
        auto on = [](QWidget* w) { return w->isEnabled() ? "on" : "off"; };
        std::string s = label("lblStatus")->text().toStdString();
        if (label("lblCurrentFile")->isVisible()) s += " | " + label("lblCurrentFile")->text().toStdString();
        if (bar()->isVisible()) s += " | bar " + std::to_string(bar()->value());
        s += std::string(" | print ") + on(button("cmdPrint")) + ", select " + on(button("cmdSelectFiles")) +
             ", levels " + on(child<QMenu>("mnuOption"));
        return s + (desk.busy.busy ? " | busy" : "");
    }
    static std::string scanning(const std::string& file) {
        return "Scanning | " + file + " | bar 1 | print off, select off, levels on | busy";
    }

    // The only box shown so far, or the last of `count`.
    void expectBox(const Box& box, std::size_t count = 1) {
        ASSERT_EQ(desk.boxes.shown.size(), count);
        EXPECT_EQ(desk.boxes.last().text, box.text);
        EXPECT_EQ(desk.boxes.last().title, box.title);
        EXPECT_EQ(desk.boxes.last().icon, box.icon);
        EXPECT_EQ(desk.boxes.last().buttons, box.buttons);
    }

    void scan(std::vector<std::string> paths) {
        desk.dialogs.chooseNextMany(std::move(paths));
        button("cmdSelectFiles")->click();
    }
    void find(const std::string& text) {
        input.answers.push_back(text);
        action("mnuFind")->trigger();
    }
    QString selected() { return view()->textCursor().selectedText(); }

    QTemporaryDir dir;
    std::string folder, alpha, myClass;
    platform::RecordingDesktop desk;
    ScriptedInputBox input;
    ObservedFiles files;
    std::optional<platform::ScopedServices> scoped;
    std::unique_ptr<frmSiftTst> window;
    int programEnds = 0;
};

// ---------------------------------------------------------------------------
// The window as it opens

TEST_F(ScannerWindow, OpensCentredWithItsCaptionControlsAndLevelOne) {
    EXPECT_EQ(window->windowTitle(), "Probex Zelk");
    EXPECT_EQ(scan::giCheckLevel, 1);
    EXPECT_EQ(window->centralWidget()->size(), QSize(489, 293));  // 7335 x 4395 twips
    const QRect screen = window->screen()->geometry(), outer = window->frameGeometry();
    EXPECT_EQ(outer.x(), screen.x() + screen.width() / 2 - outer.width() / 2);
    EXPECT_EQ(outer.y(), screen.y() + screen.height() / 2 - outer.height() / 2);

    EXPECT_TRUE(view()->isReadOnly());
    EXPECT_TRUE(view()->toPlainText().isEmpty());
    EXPECT_EQ(view()->font().family(), "Courier New");
    EXPECT_EQ(view()->font().pointSize(), 9);
    EXPECT_EQ(state(), "Scan Results | print off, select on, levels on");
    EXPECT_TRUE(label("lblStatus")->isVisible());
    EXPECT_TRUE(label("lblCurrentFile")->text().isEmpty());
    EXPECT_EQ(bar()->minimum(), 0);
    EXPECT_EQ(bar()->maximum(), 100);

    struct Expected {
        const char* name;
        const char* caption;
        const char* tip;
        bool visible, enabled;
    };
    for (const Expected& e : {Expected{"cmdPrint", "&Print", "Print the scan result", true, false},
                              Expected{"cmdSelectFiles", "&Select Files", "Select files to be scanned", true, true},
                              Expected{"cmdExit", "&Close", "Exit", true, true},
                              Expected{"cmdRecheck", "&ReTest", "", false, false},
                              Expected{"cmdFixErrors", "Fix &Errors", "", false, false}}) {
        SCOPED_TRACE(e.name);
        QPushButton* b = button(e.name);
        EXPECT_EQ(b->text(), e.caption);
        EXPECT_EQ(b->toolTip(), e.tip);
        EXPECT_EQ(b->isVisible(), e.visible);
        EXPECT_EQ(b->isEnabled(), e.enabled);
    }
    EXPECT_FALSE(child<QListWidget>("lstFileNames")->isVisible());
    EXPECT_EQ(child<QListWidget>("lstFileNames")->count(), 0);
    // The hidden controls lie beyond the client area.
    for (const char* name : {"cmdRecheck", "cmdFixErrors", "lstFileNames"})
        EXPECT_FALSE(window->centralWidget()->rect().intersects(child<QWidget>(name)->geometry())) << name;
}

TEST_F(ScannerWindow, MenusCarryTheirCaptionsShortcutsAndCheckMarks) {
    // menu -> items with caption and shortcut; the first level is checked
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const std::vector<std::pair<Item, std::vector<Item>>> menus = {
        {{"mnuFile", "&File", ""}, {{"mnuExit", "E&xit", ""}}},
        {{"mnuOption", "&CheckLevel", ""},
         {{"mnuErrors", "&Errors Only", ""}, {"mnuWarnings", "Errors && &Warnings", ""},
          {"mnuSuggest", "&All Diagnostics", ""}}},
        {{"mnuSearch", "&Locate", ""}, {{"mnuFind", "&Find...", "F2"}, {"mnuFindNext", "Find &Next", "F3"}}}};
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(menus.size()));
    for (std::size_t m = 0; m < menus.size(); ++m) {
        const auto& [menu, items] = menus[m];
        SCOPED_TRACE(menu.name);
        EXPECT_EQ(bar[m]->text(), menu.caption);
        EXPECT_EQ(child<QMenu>(menu.name)->menuAction(), bar[m]);
        const QList<QAction*> actions = child<QMenu>(menu.name)->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(actions[i], action(items[i].name));
            EXPECT_EQ(actions[i]->text(), items[i].caption);
            EXPECT_EQ(actions[i]->shortcut(), QKeySequence(items[i].shortcut));
        }
    }

    auto checked = [&] {
        std::string s;
        for (const char* name : {"mnuErrors", "mnuWarnings", "mnuSuggest"}) s += action(name)->isChecked() ? "x" : "-";
        return s;
    };
    EXPECT_EQ(checked(), "x--");
    for (auto [name, level, marks] : {std::tuple{"mnuSuggest", 3, "--x"}, {"mnuWarnings", 2, "-x-"},
                                      {"mnuErrors", 1, "x--"}}) {
        action(name)->trigger();
        EXPECT_EQ(checked(), marks) << name;
        EXPECT_EQ(scan::giCheckLevel, level);
    }
}

TEST_F(ScannerWindow, F1SaysWhenTheHelpFileIsMissing) {
    EXPECT_EQ(window->helpFile(), QCoreApplication::applicationDirPath().toStdString() + "/QVX.hlp");
    QTest::keyClick(window.get(), Qt::Key_F1);
    expectBox(helpMissing(window->helpFile()));
}

// ---------------------------------------------------------------------------
// Selecting files and scanning

TEST_F(ScannerWindow, ScanOfTwoFilesShowsTheirReportsInOrder) {
    // Window events run before each file, with the file's path and the bar
    // already on show.
    std::vector<std::string> beforeFile, whileLoading;
    desk.pump.onPump = [&] { beforeFile.push_back(state()); };
    files.onOpen = [&](const std::string&) { whileLoading.push_back(state()); };
    scan({alpha, myClass});

    ASSERT_EQ(desk.dialogs.calls.size(), 1u);
    EXPECT_EQ(desk.dialogs.calls[0].kind, "openMany");
    EXPECT_EQ(desk.dialogs.calls[0].title, "Select Files To Scan");
    EXPECT_EQ(desk.dialogs.calls[0].filter, "VB Files (*.BAS;*.FRM;*.CLS)|*.BAS;*.FRM;*.CLS");
    ASSERT_EQ(window->fileList().size(), 2u);
    EXPECT_EQ(window->fileList()[0].gsFilename, alpha);
    EXPECT_EQ(window->fileList()[1].gsFilename, myClass);  // blanks in the folder and the name
    EXPECT_EQ(files.opened, (std::vector<std::string>{alpha, myClass}));
    const std::vector<std::string> during = {scanning(alpha), scanning(myClass)};
    EXPECT_EQ(beforeFile, during);
    EXPECT_EQ(whileLoading, during);

    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1);
    EXPECT_EQ(view()->toPlainText(), viewed(AlphaLevel1 + ClassLevel1));
    EXPECT_EQ(state(), Idle);
    EXPECT_TRUE(button("cmdRecheck")->isEnabled());
    EXPECT_TRUE(button("cmdFixErrors")->isEnabled());
    EXPECT_FALSE(button("cmdRecheck")->isVisible());
    EXPECT_EQ(window->focusWidget(), button("cmdExit"));
    EXPECT_EQ(desk.busy.begins, 1);
    EXPECT_TRUE(desk.boxes.shown.empty());
}

TEST_F(ScannerWindow, EventsRunBeforeTheFirstFileAndThenOncePerInterval) {
    window->setPumpInterval(std::chrono::hours(1));
    std::vector<std::string> filesAtPump;
    desk.pump.onPump = [&] { filesAtPump.push_back(label("lblCurrentFile")->text().toStdString()); };
    scan({alpha, myClass, alpha});
    EXPECT_EQ(filesAtPump, std::vector<std::string>{alpha});
    EXPECT_EQ(files.opened, (std::vector<std::string>{alpha, myClass, alpha}));
    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1 + AlphaLevel1);
}

TEST_F(ScannerWindow, NoSecondScanStartsInsideTheFirst) {
    int nested = 0;
    desk.pump.onPump = [&] {
        if (nested++) return;
        desk.dialogs.chooseNextMany({myClass});
        button("cmdSelectFiles")->click();  // disabled: nothing happens
        QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
    };
    scan({alpha});
    EXPECT_EQ(desk.dialogs.calls.size(), 1u);
    EXPECT_EQ(files.opened, std::vector<std::string>{alpha});
    EXPECT_EQ(window->reportText(), AlphaLevel1);
}

TEST_F(ScannerWindow, ALevelChosenDuringAScanAppliesToTheFilesStillToCome) {
    desk.pump.onPump = [&] {
        if (files.opened.size() == 1) action("mnuWarnings")->trigger();
    };
    scan({alpha, alpha});
    EXPECT_EQ(window->reportText(), AlphaLevel1 + AlphaLevel2);
}

TEST_F(ScannerWindow, LevelOneHidesWarningsUntilReTestAtLevelTwo) {
    scan({alpha, myClass});
    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1);
    action("mnuWarnings")->trigger();
    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1);  // the report shown stays
    EXPECT_EQ(view()->toPlainText(), viewed(AlphaLevel1 + ClassLevel1));
    button("cmdRecheck")->click();
    EXPECT_EQ(window->reportText(), AlphaLevel2 + ClassLevel2);
    EXPECT_EQ(view()->toPlainText(), viewed(AlphaLevel2 + ClassLevel2));
    action("mnuSuggest")->trigger();
    scan({myClass});
    EXPECT_EQ(window->reportText(), ClassLevel3);
}

TEST_F(ScannerWindow, HiddenButtonsAnswerTheirAccessKeysOnceEnabled) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(desk.boxes.shown.empty());
    EXPECT_TRUE(files.opened.empty());

    scan({alpha});
    action("mnuWarnings")->trigger();
    QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(files.opened, (std::vector<std::string>{alpha, alpha}));
    EXPECT_EQ(window->reportText(), AlphaLevel2);
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    expectBox(Snicker);
    EXPECT_EQ(window->reportText(), AlphaLevel2);  // nothing else happens
}

TEST_F(ScannerWindow, CancelKeepsTheReportAndReTestThenEmptiesIt) {
    scan({alpha});
    desk.dialogs.cancelNext();
    button("cmdSelectFiles")->click();
    EXPECT_TRUE(window->fileList().empty());
    EXPECT_EQ(window->reportText(), AlphaLevel1);
    EXPECT_EQ(desk.busy.begins, 1);  // no scan
    button("cmdRecheck")->click();
    EXPECT_EQ(window->reportText(), "");
    EXPECT_TRUE(view()->toPlainText().isEmpty());
    EXPECT_EQ(state(), Idle);
    EXPECT_EQ(files.opened, std::vector<std::string>{alpha});
}

TEST_F(ScannerWindow, FailureDuringTheScanIsReportedAndEndsTheBusyState) {
    desk.pump.onPump = [] { throw platform::RuntimeError(57, "Device I/O error"); };
    scan({alpha, myClass});
    expectBox(programError("mnuOpen_Click"));
    EXPECT_TRUE(files.opened.empty());
    EXPECT_EQ(window->fileList().size(), 2u);
    EXPECT_EQ(state(), Idle);

    // Failing on the second file keeps the report of the first.
    int pumps = 0;
    desk.pump.onPump = [&] {
        if (++pumps == 2) throw platform::RuntimeError(57, "Device I/O error");
    };
    button("cmdRecheck")->click();
    expectBox(programError("cmdRecheck_Click"), 2);
    EXPECT_EQ(window->reportText(), AlphaLevel1);
    EXPECT_FALSE(desk.busy.busy);
}

TEST_F(ScannerWindow, AFileThatCannotBeReadIsReportedByTheEngineAndTheScanGoesOn) {
    const std::string missing = folder + "/gone.bas";
    scan({missing, myClass});
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "Program Error");
    EXPECT_NE(desk.boxes.last().text.find("\nProcname: Load\n"), std::string::npos);
    EXPECT_EQ(files.opened, (std::vector<std::string>{missing, myClass}));
    EXPECT_NE(window->reportText().find(ClassLevel1), std::string::npos);
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
}

// ---------------------------------------------------------------------------
// Closing

TEST_F(ScannerWindow, CloseDuringAScanEndsTheProgramAtOnce) {
    int pumps = 0;
    desk.pump.onPump = [&] {
        if (++pumps == 2) button("cmdExit")->click();
    };
    scan({alpha, myClass, alpha});
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(files.opened, std::vector<std::string>{alpha});  // no file after the Close
    EXPECT_FALSE(desk.busy.busy);
    EXPECT_TRUE(desk.boxes.shown.empty());  // no prompt
}

TEST_F(ScannerWindow, ExitAndClosingTheWindowEndTheProgramOnce) {
    action("mnuExit")->trigger();
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(window->isVisible());
    action("mnuExit")->trigger();
    EXPECT_EQ(programEnds, 1);

    auto other = std::make_unique<frmSiftTst>(std::make_unique<scan::clsOculon>(folder + "/no UserDefs.txt"));
    int ends = 0;
    other->setEndProgram([&] { ++ends; });
    other->show();
    other->close();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(desk.boxes.shown.empty());
}

// ---------------------------------------------------------------------------
// Searching the report

TEST_F(ScannerWindow, FindInAnEmptyViewSaysNotFound) {
    find("Error");
    expectBox(NotFound);
    EXPECT_EQ(window->searchPosition(), -1);
}

TEST_F(ScannerWindow, FindSkipsTheFirstLengthCharactersAndSelectsTheNextOccurrence) {
    scan({alpha, myClass});
    // "Kestr" begins both reports; the one at index 0 lies within the first
    // five characters and is skipped.
    find("kESTR");
    ASSERT_EQ(input.asked.size(), 1u);
    EXPECT_EQ(input.asked[0].prompt, "Find What?:");
    EXPECT_EQ(input.asked[0].title, "Oculon Search");
    EXPECT_EQ(input.asked[0].defaultText, "");
    EXPECT_EQ(window->searchPosition(), static_cast<std::int64_t>(AlphaLevel1.size()));
    EXPECT_EQ(selected(), "Kestr");
    EXPECT_EQ(view()->textCursor().selectionStart(), viewed(AlphaLevel1).size());
    EXPECT_EQ(window->focusWidget(), view());
    EXPECT_TRUE(desk.boxes.shown.empty());

    // Nothing after it: the box, the position -1, and the selection stays.
    action("mnuFindNext")->trigger();
    expectBox(NotFound);
    EXPECT_EQ(window->searchPosition(), -1);
    EXPECT_EQ(selected(), "Kestr");

    // The next Find offers the selection and searches from the top again.
    find("Kestr");
    EXPECT_EQ(input.asked.back().defaultText, "Kestr");
    EXPECT_EQ(window->searchPosition(), static_cast<std::int64_t>(AlphaLevel1.size()));
}

TEST_F(ScannerWindow, FindNextResumesOneCharacterPastTheStartPlusTheLength) {
    action("mnuWarnings")->trigger();
    scan({alpha});
    // The one asterisk line of the report has 17 asterisks from index s.
    const auto s = static_cast<std::int64_t>(AlphaLevel2.find("*****************"));
    find("****");
    EXPECT_EQ(window->searchPosition(), s);
    for (std::int64_t at : {s + 5, s + 10, std::int64_t{-1}}) {  // from s + 1 + 4, ...; from s + 15 two are left
        action("mnuFindNext")->trigger();
        EXPECT_EQ(window->searchPosition(), at);
        EXPECT_EQ(selected(), "****");
    }
    expectBox(NotFound);

    // Positions past line ends still select the right characters.
    find("{reduce");
    EXPECT_EQ(window->searchPosition(), static_cast<std::int64_t>(AlphaLevel2.find("{Reduce")));
    EXPECT_EQ(selected(), "{Reduce");
}

TEST_F(ScannerWindow, FindTakesASelectionSpanningLinesAsItsDefault) {
    scan({alpha, myClass});
    // Select from "Module" over its line end into the next line: 20
    // characters, the line end and two more.
    const int from = static_cast<int>(viewed(AlphaLevel1).indexOf("Module"));
    QTextCursor c = view()->textCursor();
    c.setPosition(from);
    c.setPosition(from + 23, QTextCursor::KeepAnchor);
    view()->setTextCursor(c);
    find("Module: \t\t\tMY CLASS.CLS\r\nInt");
    ASSERT_EQ(input.asked.size(), 1u);
    EXPECT_EQ(input.asked[0].defaultText, "Module: \t\t\tALPHA.BAS\r\nIn");
    const auto at = static_cast<std::int64_t>((AlphaLevel1 + ClassLevel1).find("Module: \t\t\tMY CLASS"));
    EXPECT_EQ(window->searchPosition(), at);
    EXPECT_EQ(selected(), QString("Module: \t\t\tMY CLASS.CLS") + QChar(0x2029) + "Int");
}

TEST_F(ScannerWindow, CancelledFindSearchesNothingAndFindNextThenDoesNothing) {
    scan({alpha});
    find("Count");
    ASSERT_GE(window->searchPosition(), 0);
    const auto before = window->searchPosition();
    find("");  // Cancel
    EXPECT_EQ(window->searchText(), "");
    EXPECT_EQ(window->searchPosition(), before);
    action("mnuFindNext")->trigger();
    EXPECT_EQ(window->searchPosition(), before);
    EXPECT_TRUE(desk.boxes.shown.empty());
}

TEST_F(ScannerWindow, ListDoubleClickSearchesForTheFileNameAndKeepsTheSearchText) {
    scan({alpha, myClass});
    find("Count");
    auto* list = child<QListWidget>("lstFileNames");
    list->addItem("  C:\\VB\\Proj\\my class.cls ");
    list->addItem("modAlpha");  // no folder: no file name, nothing to search
    emit list->itemDoubleClicked(list->item(0));
    const auto at = static_cast<std::int64_t>((AlphaLevel1 + ClassLevel1).find("MY CLASS.CLS"));
    EXPECT_EQ(window->searchPosition(), at);
    EXPECT_EQ(selected(), "MY CLASS.CLS");
    EXPECT_EQ(window->searchText(), "Count");
    emit list->itemDoubleClicked(list->item(1));
    EXPECT_EQ(window->searchPosition(), at);
    EXPECT_TRUE(desk.boxes.shown.empty());
}

// ---------------------------------------------------------------------------
// Printing

TEST_F(ScannerWindow, PrintGoesToAPdfAndSaysWhere) {
    const std::string pdf = folder + "/report.pdf";
    window->setPrintJobFactory([&](const std::string& name) { return platform::startPrintJob(name, pdf); });
    scan({alpha, myClass});
    button("cmdPrint")->click();
    expectBox(savedAsPdf(pdf));
    EXPECT_EQ(desk.busy.begins, 2);
    EXPECT_FALSE(desk.busy.busy);
    EXPECT_EQ(window->focusWidget(), button("cmdExit"));
    ASSERT_TRUE(QFile::exists(QString::fromStdString(pdf)));

    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QProcess p;
    p.start(pdftotext, {QString::fromStdString(pdf), "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromLatin1(p.readAllStandardOutput());
    // The findings of the file loaded last.
    EXPECT_TRUE(text.contains("MY CLASS.CLS")) << text.toStdString();
    EXPECT_TRUE(text.contains("clsMyClass"));
    EXPECT_FALSE(text.contains("ALPHA.BAS"));
}

TEST_F(ScannerWindow, PrintThatCannotStartIsReported) {
    window->setPrintJobFactory([&](const std::string& name) {
        return platform::startPrintJob(name, folder + "/no such folder/report.pdf");
    });
    scan({alpha});
    button("cmdPrint")->click();
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "Program Error");
    EXPECT_NE(desk.boxes.last().text.find("\nProcname: cmdPrint_Click\nSub Proc: "), std::string::npos);
    EXPECT_FALSE(desk.busy.busy);
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
}

// ---------------------------------------------------------------------------
// Layout

TEST_F(ScannerWindow, ButtonsStayRightAlignedUnderTheViewAtSeveralSizes) {
    const int menu = window->menuBar()->height();
    for (QSize client : {QSize(489, 293), QSize(640, 480), QSize(1000, 700), QSize(470, 140)}) {
        SCOPED_TRACE(testing::Message() << client.width() << " x " << client.height());
        window->resize(client.width(), client.height() + menu);
        QCoreApplication::processEvents();
        ASSERT_EQ(window->centralWidget()->size(), client);
        // In twips, within the one-pixel rounding of the placing.
        const int w = client.width() * 15 + scanner::FrameWidth, h = client.height() * 15 + scanner::FrameHeight;
        const QRect rtb = view()->geometry(), pbar = bar()->geometry(), print = button("cmdPrint")->geometry(),
                    select = button("cmdSelectFiles")->geometry(), exit = button("cmdExit")->geometry();
        EXPECT_NEAR(rtb.width() * 15, w - 280, 15);
        EXPECT_NEAR(rtb.height() * 15, h - 1700, 15);
        EXPECT_NEAR((pbar.top() - (rtb.y() + rtb.height())) * 15, 100, 15);
        EXPECT_NEAR((exit.x() + exit.width()) * 15, w - 200, 15);
        EXPECT_NEAR((exit.x() - (select.x() + select.width())) * 15, 100, 15);
        EXPECT_NEAR((select.x() - (print.x() + print.width())) * 15, 100, 15);
        for (const QRect& b : {print, select, exit}) EXPECT_EQ(b.top(), pbar.top());
        // The row stays inside the client area and clear of the progress bar.
        EXPECT_LE(exit.bottom(), client.height());
        EXPECT_GT(print.left(), pbar.right());
    }
}

TEST_F(ScannerWindow, CannotShrinkBelowAUsableSize) {
    window->resize(50, 50);
    QCoreApplication::processEvents();
    const QSize client = window->centralWidget()->size();
    EXPECT_GE(client.width() * 15 + scanner::FrameWidth, scanner::MinOuterWidth);
    EXPECT_GE(client.height() * 15 + scanner::FrameHeight, scanner::MinOuterHeight);
    EXPECT_GE(view()->height(), 1000 / 15);
    EXPECT_TRUE(window->centralWidget()->rect().contains(button("cmdExit")->geometry()));
    EXPECT_GT(button("cmdPrint")->geometry().left(), bar()->geometry().right());
    // The labels and the hidden controls never move.
    EXPECT_EQ(label("lblStatus")->geometry().topLeft(), QPoint(6, 18));
    EXPECT_EQ(button("cmdRecheck")->geometry(), QRect(722, 334, 57, 21));
}

TEST_F(ScannerWindow, LabelsShowTheWholeStatusAndTheNameOfALongPath) {
    EXPECT_GE(label("lblStatus")->width(), label("lblStatus")->fontMetrics().horizontalAdvance("Scan Results"));
    auto* file = dynamic_cast<scanner::ElidedLabel*>(label("lblCurrentFile"));
    ASSERT_NE(file, nullptr);
    file->setText("/home/user/" + QString(60, 'x') + "/forms/frmCustomerOrders.frm");
    EXPECT_TRUE(file->shownText().startsWith("/home/") && file->shownText().endsWith("/frmCustomerOrders.frm"));
    EXPECT_LE(file->fontMetrics().horizontalAdvance(file->shownText()), file->contentsRect().width());
}

}  // namespace
