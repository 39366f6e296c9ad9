// The scanner window: its controls and menus, the scan driver, the check
// level, searching the report, printing, closing and the resize layout.
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
#include "scanner/ScannerLayout.h"
#include "scanner/frmSiftTst.h"

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

// An input box that keeps everything it was asked.
struct AskedInput {
    std::string prompt, title, defaultText;
};
class ScriptedInputBox : public platform::InputBox {
public:
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultText) override {
        asked.push_back({prompt, title, defaultText});
        if (answers.empty()) return "";
        std::string a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::vector<std::string> answers;
    std::vector<AskedInput> asked;
};

// The real files, with a call-back whenever the engine opens one.
class ObservedFiles : public platform::FileSystem {
public:
    std::unique_ptr<platform::InputFile> openRead(const std::string& path) override {
        opened.push_back(path);
        if (onOpen) onOpen(path);
        return real().openRead(path);
    }
    std::unique_ptr<platform::OutputFile> openWrite(const std::string& path) override {
        return real().openWrite(path);
    }
    void copy(const std::string& from, const std::string& to) override { real().copy(from, to); }
    void rename(const std::string& from, const std::string& to) override { real().rename(from, to); }
    void remove(const std::string& path) override { real().remove(path); }
    bool exists(const std::string& path) override { return real().exists(path); }
    void copyPermissions(const std::string& model, const std::string& path) override {
        real().copyPermissions(model, path);
    }
    std::vector<std::string> opened;
    std::function<void(const std::string&)> onOpen;

private:
    static platform::FileSystem& real() { return platform::realFileSystem(); }
};

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
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') continue;
        v += report[i];
    }
    return platform::toQt(v);
}

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

    void scan(std::vector<std::string> paths) {
        desk.dialogs.chooseNextMany(std::move(paths));
        button("cmdSelectFiles")->click();
    }
    void find(const std::string& text) {
        input.answers.push_back(text);
        action("mnuFind")->trigger();
    }
    // The selection of the view, as report positions with their text.
    int selectionStart() { return view()->textCursor().selectionStart(); }
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

TEST_F(ScannerWindow, OpensWithItsCaptionControlsAndLevelOne) {
    EXPECT_EQ(window->windowTitle(), "Probex Zelk");
    EXPECT_EQ(scan::giCheckLevel, 1);
    EXPECT_EQ(window->centralWidget()->size(), QSize(489, 293));  // 7335 x 4395 twips

    EXPECT_TRUE(view()->isReadOnly());
    EXPECT_TRUE(view()->toPlainText().isEmpty());
    EXPECT_EQ(view()->font().family(), "Courier New");
    EXPECT_EQ(view()->font().pointSize(), 9);

    EXPECT_EQ(label("lblStatus")->text(), "Scan Results");
    EXPECT_TRUE(label("lblStatus")->isVisible());
    EXPECT_TRUE(label("lblCurrentFile")->text().isEmpty());
    EXPECT_FALSE(label("lblCurrentFile")->isVisible());
    EXPECT_FALSE(bar()->isVisible());
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
    auto* list = child<QListWidget>("lstFileNames");
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->count(), 0);
    // The hidden controls lie beyond the client area.
    for (const char* name : {"cmdRecheck", "cmdFixErrors", "lstFileNames"}) {
        QWidget* w = child<QWidget>(name);
        EXPECT_FALSE(window->centralWidget()->rect().intersects(w->geometry())) << name;
    }
}

TEST_F(ScannerWindow, IsCentredOnTheScreen) {
    const QRect screen = window->screen()->geometry();
    const QRect outer = window->frameGeometry();
    EXPECT_EQ(outer.x(), screen.x() + screen.width() / 2 - outer.width() / 2);
    EXPECT_EQ(outer.y(), screen.y() + screen.height() / 2 - outer.height() / 2);
}

TEST_F(ScannerWindow, MenusCarryTheirCaptionsShortcutsAndCheckMarks) {
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->text(), "&File");
    EXPECT_EQ(bar[1]->text(), "&CheckLevel");
    EXPECT_EQ(bar[2]->text(), "&Locate");
    EXPECT_EQ(child<QMenu>("mnuFile")->menuAction(), bar[0]);
    EXPECT_EQ(child<QMenu>("mnuOption")->menuAction(), bar[1]);
    EXPECT_EQ(child<QMenu>("mnuSearch")->menuAction(), bar[2]);

    EXPECT_EQ(child<QMenu>("mnuFile")->actions(), QList<QAction*>{action("mnuExit")});
    EXPECT_EQ(action("mnuExit")->text(), "E&xit");
    EXPECT_EQ(child<QMenu>("mnuOption")->actions(),
              (QList<QAction*>{action("mnuErrors"), action("mnuWarnings"), action("mnuSuggest")}));
    EXPECT_EQ(action("mnuErrors")->text(), "&Errors Only");
    EXPECT_EQ(action("mnuWarnings")->text(), "Errors && &Warnings");
    EXPECT_EQ(action("mnuSuggest")->text(), "&All Diagnostics");
    EXPECT_EQ(child<QMenu>("mnuSearch")->actions(), (QList<QAction*>{action("mnuFind"), action("mnuFindNext")}));
    EXPECT_EQ(action("mnuFind")->text(), "&Find...");
    EXPECT_EQ(action("mnuFind")->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(action("mnuFindNext")->text(), "Find &Next");
    EXPECT_EQ(action("mnuFindNext")->shortcut(), QKeySequence(Qt::Key_F3));

    auto marks = [&] {
        return std::vector<bool>{action("mnuErrors")->isChecked(), action("mnuWarnings")->isChecked(),
                                 action("mnuSuggest")->isChecked()};
    };
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    action("mnuSuggest")->trigger();
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(scan::giCheckLevel, 3);
    action("mnuWarnings")->trigger();
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(scan::giCheckLevel, 2);
    action("mnuErrors")->trigger();
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(scan::giCheckLevel, 1);
}

TEST_F(ScannerWindow, F1SaysWhenTheHelpFileIsMissing) {
    EXPECT_EQ(window->helpFile(), QCoreApplication::applicationDirPath().toStdString() + "/QVX.hlp");
    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "The help file was not found:\n" + window->helpFile());
    EXPECT_EQ(desk.boxes.last().title, "Probex Zelk");
    EXPECT_EQ(desk.boxes.last().icon, Icon::Information);
    EXPECT_EQ(desk.boxes.last().buttons, Buttons::Ok);
}

// ---------------------------------------------------------------------------
// Selecting files and scanning

TEST_F(ScannerWindow, ScanOfTwoFilesShowsTheirReportsInOrder) {
    struct Seen {
        std::string status, currentFile;
        bool currentFileShown, barShown, printEnabled, selectEnabled, levelsEnabled, busy;
        int barValue;
    };
    std::vector<Seen> beforeFile, whileLoading;
    auto look = [&] {
        return Seen{label("lblStatus")->text().toStdString(),
                    label("lblCurrentFile")->text().toStdString(),
                    label("lblCurrentFile")->isVisible(),
                    bar()->isVisible(),
                    button("cmdPrint")->isEnabled(),
                    button("cmdSelectFiles")->isEnabled(),
                    child<QMenu>("mnuOption")->isEnabled(),
                    desk.busy.busy,
                    bar()->value()};
    };
    desk.pump.onPump = [&] { beforeFile.push_back(look()); };
    files.onOpen = [&](const std::string&) { whileLoading.push_back(look()); };

    scan({alpha, myClass});

    ASSERT_EQ(desk.dialogs.calls.size(), 1u);
    EXPECT_EQ(desk.dialogs.calls[0].kind, "openMany");
    EXPECT_EQ(desk.dialogs.calls[0].title, "Select Files To Scan");
    EXPECT_EQ(desk.dialogs.calls[0].filter, "VB Files (*.BAS;*.FRM;*.CLS)|*.BAS;*.FRM;*.CLS");
    ASSERT_EQ(window->fileList().size(), 2u);
    EXPECT_EQ(window->fileList()[0].gsFilename, alpha);
    EXPECT_EQ(window->fileList()[1].gsFilename, myClass);  // blanks in the folder and the name

    EXPECT_EQ(files.opened, (std::vector<std::string>{alpha, myClass}));
    // Window events run before each file, with the file's path and the bar
    // already on show.
    ASSERT_EQ(beforeFile.size(), 2u);
    ASSERT_EQ(whileLoading.size(), 2u);
    EXPECT_EQ(beforeFile[0].currentFile, alpha);
    EXPECT_EQ(beforeFile[1].currentFile, myClass);
    EXPECT_EQ(whileLoading[0].currentFile, alpha);
    EXPECT_EQ(whileLoading[1].currentFile, myClass);
    for (const auto* seen : {&beforeFile, &whileLoading}) {
        for (const Seen& s : *seen) {
            EXPECT_EQ(s.status, "Scanning");
            EXPECT_TRUE(s.currentFileShown);
            EXPECT_TRUE(s.barShown);
            EXPECT_EQ(s.barValue, 1);
            EXPECT_FALSE(s.printEnabled);
            EXPECT_FALSE(s.selectEnabled);
            EXPECT_FALSE(s.levelsEnabled);
            EXPECT_TRUE(s.busy);
        }
    }

    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1);
    EXPECT_EQ(view()->toPlainText(), viewed(AlphaLevel1 + ClassLevel1));
    EXPECT_EQ(label("lblStatus")->text(), "Scan Results");
    EXPECT_FALSE(label("lblCurrentFile")->isVisible());
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
    EXPECT_TRUE(button("cmdSelectFiles")->isEnabled());
    EXPECT_TRUE(button("cmdRecheck")->isEnabled());
    EXPECT_TRUE(button("cmdFixErrors")->isEnabled());
    EXPECT_FALSE(button("cmdRecheck")->isVisible());
    EXPECT_TRUE(child<QMenu>("mnuOption")->isEnabled());
    EXPECT_EQ(window->focusWidget(), button("cmdExit"));
    EXPECT_FALSE(desk.busy.busy);
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
        action("mnuSuggest")->trigger();  // the level menu is disabled too
    };
    scan({alpha});
    EXPECT_EQ(desk.dialogs.calls.size(), 1u);
    EXPECT_EQ(files.opened, std::vector<std::string>{alpha});
    EXPECT_EQ(window->reportText(), AlphaLevel1);
    EXPECT_EQ(scan::giCheckLevel, 1);
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
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "It's not that easy!");
    EXPECT_EQ(desk.boxes.last().title, "Snicker");
    EXPECT_EQ(desk.boxes.last().icon, Icon::Exclamation);
    EXPECT_EQ(desk.boxes.last().buttons, Buttons::Ok);
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
    EXPECT_EQ(label("lblStatus")->text(), "Scan Results");
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
    EXPECT_EQ(files.opened, std::vector<std::string>{alpha});
}

TEST_F(ScannerWindow, FailureDuringTheScanIsReportedAndEndsTheBusyState) {
    desk.pump.onPump = [] { throw platform::RuntimeError(57, "Device I/O error"); };
    scan({alpha, myClass});
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: mnuOpen_Click\nSub Proc: ");
    EXPECT_EQ(desk.boxes.last().title, "Program Error");
    EXPECT_EQ(desk.boxes.last().icon, Icon::Stop);
    EXPECT_EQ(desk.boxes.last().buttons, Buttons::Ok);
    EXPECT_TRUE(files.opened.empty());
    EXPECT_EQ(window->fileList().size(), 2u);
    EXPECT_FALSE(desk.busy.busy);
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
    EXPECT_TRUE(button("cmdSelectFiles")->isEnabled());
    EXPECT_EQ(label("lblStatus")->text(), "Scan Results");
    EXPECT_FALSE(label("lblCurrentFile")->isVisible());

    // Failing on the second file keeps the report of the first.
    int pumps = 0;
    desk.pump.onPump = [&] {
        if (++pumps == 2) throw platform::RuntimeError(57, "Device I/O error");
    };
    button("cmdRecheck")->click();
    ASSERT_EQ(desk.boxes.shown.size(), 2u);
    EXPECT_EQ(desk.boxes.last().text,
              "Err Code: 57\nErr Desc: Device I/O error\nProcname: cmdRecheck_Click\nSub Proc: ");
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

TEST_F(ScannerWindow, ExitAndClosingTheWindowEndTheProgram) {
    action("mnuExit")->trigger();
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(window->isVisible());
    action("mnuExit")->trigger();
    EXPECT_EQ(programEnds, 1);  // once only

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
    EXPECT_EQ(selectionStart(), viewed(AlphaLevel1).size());
    EXPECT_EQ(window->focusWidget(), view());
    EXPECT_TRUE(desk.boxes.shown.empty());

    // Nothing after it: the box, and the position -1.
    action("mnuFindNext")->trigger();
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "Selected text not found.");
    EXPECT_EQ(desk.boxes.last().title, "Oculon No Find");
    EXPECT_EQ(desk.boxes.last().icon, Icon::Information);
    EXPECT_EQ(desk.boxes.last().buttons, Buttons::Ok);
    EXPECT_EQ(window->searchPosition(), -1);
    EXPECT_EQ(selected(), "Kestr");  // the selection stays

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
    action("mnuFindNext")->trigger();  // from s + 1 + 4
    EXPECT_EQ(window->searchPosition(), s + 5);
    EXPECT_EQ(selected(), "****");
    action("mnuFindNext")->trigger();
    EXPECT_EQ(window->searchPosition(), s + 10);
    EXPECT_TRUE(desk.boxes.shown.empty());
    action("mnuFindNext")->trigger();  // from s + 15: only two asterisks are left
    EXPECT_EQ(window->searchPosition(), -1);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "Oculon No Find");

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
    input.answers.push_back("Module: \t\t\tMY CLASS.CLS\r\nInt");
    action("mnuFind")->trigger();
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

TEST_F(ScannerWindow, FindInAnEmptyViewSaysNotFound) {
    find("Error");
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "Selected text not found.");
    EXPECT_EQ(window->searchPosition(), -1);
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
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "The report was saved as a PDF file:\n" + pdf);
    EXPECT_EQ(desk.boxes.last().title, "Probex Zelk");
    EXPECT_EQ(desk.boxes.last().icon, Icon::Information);
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
        const int w = client.width() * 15 + scanner::FrameWidth;
        const int h = client.height() * 15 + scanner::FrameHeight;
        auto twips = [](int px) { return px * 15; };
        const QRect rtb = view()->geometry(), pbar = bar()->geometry();
        const QRect print = button("cmdPrint")->geometry(), select = button("cmdSelectFiles")->geometry(),
                    exit = button("cmdExit")->geometry();
        EXPECT_NEAR(twips(rtb.width()), w - 280, 15);
        EXPECT_NEAR(twips(rtb.height()), h - 1700, 15);
        EXPECT_NEAR(twips(pbar.top() - (rtb.y() + rtb.height())), 100, 15);
        EXPECT_NEAR(twips(exit.x() + exit.width()), w - 200, 15);
        EXPECT_NEAR(twips(exit.x() - (select.x() + select.width())), 100, 15);
        EXPECT_NEAR(twips(select.x() - (print.x() + print.width())), 100, 15);
        EXPECT_EQ(print.top(), pbar.top());
        EXPECT_EQ(select.top(), pbar.top());
        EXPECT_EQ(exit.top(), pbar.top());
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
    const QRect exit = button("cmdExit")->geometry();
    EXPECT_TRUE(window->centralWidget()->rect().contains(exit));
    EXPECT_GT(button("cmdPrint")->geometry().left(), bar()->geometry().right());
    // The labels and the hidden controls never move.
    EXPECT_EQ(label("lblStatus")->geometry(), QRect(6, 18, 63, 13));
    EXPECT_EQ(button("cmdRecheck")->geometry(), QRect(722, 334, 57, 21));
}

}  // namespace
