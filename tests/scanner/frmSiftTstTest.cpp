// The scanner window: what it adds to the scan engine and the report search
// tested below it: its captions and menus (cases/window.txt), the scan
// driver, the check level, searching the report, printing and closing. Runs
// the real scan engine on small files written here; the expected reports are
// spelled out by hand from the report layout.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <fstream>

#include "support/Recording.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"
#include "textbox/SourceTextView.h"
#include "scanner/ElidedLabel.h"
#include "scanner/ReportSearch.h"
#include "scanner/frmSiftTst.h"
#include "support/Cases.h"

namespace {

using platform::Buttons;
using platform::Icon;

// An input box that keeps everything it was asked and answers in turn.
struct ScriptedInputBox : platform::InputBox {
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultText) override {
        asked.push_back({prompt, title, defaultText});
        return answers.at(asked.size() - 1);
    }
    std::vector<std::string> answers;
    std::vector<cases::Lines> asked;
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
    Icon icon = Icon::Information;
    Buttons buttons = Buttons::Ok;
};
const Box NotFound = {"Selected text not found.", "Oculon No Find"};

// A module without "Option Explicit" (an error) and with one line of 160
// characters (a warning); a clean class whose file name (with a blank) is not
// part of its name (a suggestion). Their reports are in cases/.
const std::string AlphaSource = "Attribute VB_Name = \"modAlpha\"\r\n'" + std::string(159, '-') + "\r\n";
const std::string ClassSource = "Attribute VB_Name = \"clsMyClass\"\r\nOption Explicit\r\n";
std::string report(const std::string& name) {
    return cases::report("scanner/cases/" + name + ".txt", QDate::currentDate().toString("MM/dd/yyyy").toStdString());
}
const std::string AlphaLevel1 = report("alpha.level1"), AlphaLevel2 = report("alpha.level2"),
                  ClassLevel1 = report("class.level1"), ClassLevel2 = report("class.level2"),
                  ClassLevel3 = report("class.level3");

// The report as the view shows it: line feeds only.
QString viewed(const std::string& report) { return platform::toQt(report).replace("\r\n", "\n"); }

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
        std::ofstream(folder + "/" + name, std::ios::binary) << text;
        return folder + "/" + name;
    }

    template <class T>
    T* child(const char* name) {
        T* c = window->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QAction* action(const char* name) { return child<QAction>(name); }
    textbox::SourceTextView* view() { return child<textbox::SourceTextView>("rtbViewer"); }

    std::string state() {
        auto on = [](QWidget* w) { return w->isEnabled() ? "on" : "off"; };
        auto* file = child<QLabel>("lblCurrentFile");
        auto* bar = child<QProgressBar>("barLoadingStatus");
        std::string s = child<QLabel>("lblStatus")->text().toStdString();
        if (file->isVisible()) s += " | " + file->text().toStdString();
        if (bar->isVisible()) s += " | bar " + std::to_string(bar->value());
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
        const auto& b = desk.boxes.last();
        EXPECT_EQ(std::tie(b.text, b.title, b.icon, b.buttons), std::tie(box.text, box.title, box.icon, box.buttons));
    }

    void scan(std::vector<std::string> paths) {
        desk.dialogs.chooseNextMany(std::move(paths));
        button("cmdSelectFiles")->click();
    }
    void find(const std::string& text) {
        input.answers.push_back(text);
        action("mnuFind")->trigger();
    }
    QString selected() { return view()->selectedText(); }

    QTemporaryDir dir;
    std::string folder, alpha, myClass;
    platform::RecordingDesktop desk;
    ScriptedInputBox input;
    ObservedFiles files;
    std::optional<platform::ScopedServices> scoped;
    std::unique_ptr<frmSiftTst> window;
    int programEnds = 0;
};

TEST_F(ScannerWindow, OpensWithItsCaptionsMenusAndLevelOne) {
    EXPECT_EQ(window->windowTitle(), "Probex Zelk");
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(16, 16)));
    EXPECT_EQ(window->centralWidget()->size(), QSize(489, 293));  // 7335 x 4395 twips
    EXPECT_TRUE(view()->isReadOnly());
    EXPECT_EQ(view()->accessibleName(), "Scan report");
    EXPECT_EQ(view()->font().family() + QString::number(view()->font().pointSize()), "Courier New9");
    EXPECT_EQ(state(), "Scan Results | print off, select on, levels on");
    EXPECT_FALSE(child<QListWidget>("lstFileNames")->isVisible());
    // The buttons and the menu bar as cases/window.txt lists them, in order.
    std::vector<cases::Lines> shown;
    auto s = [](const QString& q) { return q.toStdString(); };
    for (auto* b : window->findChildren<QPushButton*>())
        shown.push_back({"button", s(b->objectName()), s(b->text()), s(b->toolTip()), b->isVisible() ? "1" : "0",
                         b->isEnabled() ? "1" : "0"});
    for (QAction* m : window->menuBar()->actions()) {
        shown.push_back({"menu", s(m->menu()->objectName()), s(m->menu()->title())});
        for (QAction* a : m->menu()->actions())
            shown.push_back({"item", s(a->objectName()), s(a->text()), s(a->shortcut().toString())});
    }
    EXPECT_EQ(shown, cases::rows("scanner/cases/window.txt"));
    // The levels are checked one at a time.
    auto checked = [&] {
        std::string marks;
        for (const char* name : {"mnuErrors", "mnuWarnings", "mnuSuggest"})
            marks += action(name)->isChecked() ? "x" : "-";
        return marks + std::to_string(scan::giCheckLevel);
    };
    EXPECT_EQ(checked(), "x--1");
    for (auto [name, marks] : {std::pair{"mnuSuggest", "--x3"}, {"mnuWarnings", "-x-2"}, {"mnuErrors", "x--1"}}) {
        action(name)->trigger();
        EXPECT_EQ(checked(), marks) << name;
    }
    // F1 says when the help file is missing.
    EXPECT_EQ(window->helpFile(), QCoreApplication::applicationDirPath().toStdString() + "/QVX.hlp");
    QTest::keyClick(window.get(), Qt::Key_F1);
    expectBox({"The help file was not found:\n" + window->helpFile(), "Probex Zelk"});
    // The labels show the whole status and the name of a long path.
    EXPECT_GE(child<QLabel>("lblStatus")->width(),
              child<QLabel>("lblStatus")->fontMetrics().horizontalAdvance("Scan Results"));
    auto* file = dynamic_cast<scanner::ElidedLabel*>(child<QLabel>("lblCurrentFile"));
    ASSERT_NE(file, nullptr);
    file->setText("/home/user/" + QString(60, 'x') + "/forms/frmCustomerOrders.frm");
    EXPECT_TRUE(file->shownText().startsWith("/home/") && file->shownText().endsWith("/frmCustomerOrders.frm"));
    EXPECT_LE(file->fontMetrics().horizontalAdvance(file->shownText()), file->contentsRect().width());
}

TEST_F(ScannerWindow, ScanOfTwoFilesShowsTheirReportsInOrder) {
    // Window events run before each file, with the file's path and the bar
    // already on show.
    std::vector<std::string> beforeFile, whileLoading;
    desk.pump.onPump = [&] { beforeFile.push_back(state()); };
    files.onOpen = [&](const std::string&) { whileLoading.push_back(state()); };
    scan({alpha, myClass});
    ASSERT_EQ(desk.dialogs.calls.size(), 1u);
    EXPECT_EQ(desk.dialogs.calls[0].kind + " " + desk.dialogs.calls[0].title, "openMany Select Files To Scan");
    EXPECT_EQ(desk.dialogs.calls[0].filter, "VB Files (*.BAS;*.FRM;*.CLS)|*.BAS;*.FRM;*.CLS");
    EXPECT_EQ(files.opened, (std::vector<std::string>{alpha, myClass}));
    EXPECT_EQ(beforeFile, (std::vector<std::string>{scanning(alpha), scanning(myClass)}));
    EXPECT_EQ(whileLoading, beforeFile);
    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1);
    EXPECT_EQ(view()->plainText(), viewed(AlphaLevel1 + ClassLevel1));
    EXPECT_EQ(state(), Idle);
    EXPECT_TRUE(button("cmdRecheck")->isEnabled() && !button("cmdRecheck")->isVisible());
    EXPECT_EQ(window->focusWidget(), button("cmdExit"));
    EXPECT_EQ(desk.busy.begins, 1);
    EXPECT_TRUE(desk.boxes.shown.empty());
}

TEST_F(ScannerWindow, TheLevelAppliesFromTheNextScanAndTheHiddenButtonsAnswerTheirKeys) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);  // disabled before a scan
    QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(desk.boxes.shown.empty() && files.opened.empty());
    scan({alpha, myClass});
    action("mnuWarnings")->trigger();
    EXPECT_EQ(window->reportText(), AlphaLevel1 + ClassLevel1);  // the report shown stays
    QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);   // ReTest
    EXPECT_EQ(window->reportText(), AlphaLevel2 + ClassLevel2);
    EXPECT_EQ(view()->plainText(), viewed(AlphaLevel2 + ClassLevel2));
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    expectBox({"It's not that easy!", "Snicker", Icon::Exclamation});
    EXPECT_EQ(window->reportText(), AlphaLevel2 + ClassLevel2);  // nothing else happens
    action("mnuSuggest")->trigger();
    scan({myClass});
    EXPECT_EQ(window->reportText(), ClassLevel3);
    // A cancelled dialog keeps the report; ReTest then empties it.
    desk.dialogs.cancelNext();
    button("cmdSelectFiles")->click();
    EXPECT_EQ(window->reportText(), ClassLevel3);
    button("cmdRecheck")->click();
    EXPECT_EQ(window->reportText() + view()->plainText().toStdString(), "");
    EXPECT_EQ(state(), Idle);
    // A level chosen during a scan applies to the files still to come.
    action("mnuErrors")->trigger();
    files.opened.clear();
    desk.pump.onPump = [&] {
        if (files.opened.size() == 1) action("mnuWarnings")->trigger();
    };
    scan({alpha, alpha});
    EXPECT_EQ(window->reportText(), AlphaLevel1 + AlphaLevel2);
}

// A long list is scanned on two processors; the report and the boxes are
// still those of a scan by the window alone.
TEST_F(ScannerWindow, ALongListGivesTheReportAndBoxesOfOneEngine) {
    std::vector<std::string> list;
    list.reserve(12);
    for (int i = 0; i < 12; ++i) list.push_back(i == 5 ? folder + "/gone.bas" : i % 2 ? myClass : alpha);
    scan({list.begin(), list.begin() + 6});  // halves too short for a second engine
    std::string expected = window->reportText();
    scan({list.begin() + 6, list.end()});
    expected += window->reportText();
    const std::size_t boxes = desk.boxes.shown.size();
    ASSERT_GT(boxes, 0u);
    scan(list);
    EXPECT_EQ(window->reportText(), expected);
    EXPECT_EQ(desk.boxes.shown.size(), 2 * boxes);
}

// During a scan the buttons and the level menu do nothing, but Close ends the
// program at once.
TEST_F(ScannerWindow, CloseDuringAScanEndsTheProgramAtOnceAndOnlyOnce) {
    find("Error");  // in an empty view
    expectBox(NotFound);
    int pumps = 0;
    desk.pump.onPump = [&] {
        if (++pumps == 1) {
            desk.dialogs.chooseNextMany({myClass});
            button("cmdSelectFiles")->click();
            QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
        }
        if (pumps == 2) button("cmdExit")->click();
    };
    scan({alpha, myClass, alpha});
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(files.opened, std::vector<std::string>{alpha});  // no file after the Close
    EXPECT_EQ(desk.dialogs.calls.size(), 1u);
    EXPECT_FALSE(desk.busy.busy);
    action("mnuExit")->trigger();
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(desk.boxes.shown.size(), 1u);  // no prompt
}

TEST_F(ScannerWindow, FindSkipsTheFirstLengthCharactersAndFindNextResumesPastTheMatch) {
    action("mnuWarnings")->trigger();
    scan({alpha, myClass});
    // "Kestr" begins both reports; the one at index 0 lies within the first
    // five characters and is skipped.
    find("kESTR");
    ASSERT_EQ(input.asked.size(), 1u);
    EXPECT_EQ(input.asked[0], (cases::Lines{"Find What?:", "Oculon Search", ""}));
    EXPECT_EQ(window->searchPosition(), static_cast<std::int64_t>(AlphaLevel2.size()));
    EXPECT_EQ(selected(), "Kestr");
    EXPECT_EQ(window->focusWidget(), view());
    action("mnuFindNext")->trigger();  // nothing after it: the box, and the selection stays
    expectBox(NotFound);
    EXPECT_EQ(window->searchPosition(), -1);
    EXPECT_EQ(selected(), "Kestr");
    // The next Find offers the selection; Find Next resumes one character
    // past the start plus the length.
    const auto s = static_cast<std::int64_t>(AlphaLevel2.find("*****************"));
    find("****");
    EXPECT_EQ(input.asked.back()[2], "Kestr");
    for (std::int64_t at : {s, s + 5, s + 10, std::int64_t{-1}}) {
        if (at != s) action("mnuFindNext")->trigger();
        EXPECT_EQ(window->searchPosition(), at);
    }
    find("{reduce");  // positions past line ends still select the right characters
    EXPECT_EQ(selected(), "{Reduce");
    find("");  // Cancel searches nothing and Find Next then does nothing
    action("mnuFindNext")->trigger();
    EXPECT_EQ(selected(), "{Reduce");
    EXPECT_EQ(desk.boxes.shown.size(), 2u);
}

// A failed scan is reported and ends the busy state; print goes to a PDF and
// says where; a print that cannot start is reported.
TEST_F(ScannerWindow, FailuresAreReportedAndPrintGoesToAPdfAndSaysWhere) {
    desk.pump.onPump = [] { throw platform::RuntimeError(57, "Device I/O error"); };
    scan({alpha, myClass});
    expectBox(
        {"Err Code: 57\nErr Desc: Device I/O error\nProcname: mnuOpen_Click\nSub Proc: ", "Program Error", Icon::Stop});
    EXPECT_TRUE(files.opened.empty());
    EXPECT_EQ(state(), Idle);
    desk.pump.onPump = nullptr;
    std::string pdf = folder + "/report.pdf";
    window->setPrintJobFactory([&](const std::string& name) { return platform::startPrintJob(name, pdf); });
    scan({alpha, myClass});
    button("cmdPrint")->click();
    expectBox({"The report was saved as a PDF file:\n" + pdf, "Probex Zelk"}, 2);
    EXPECT_EQ(desk.busy.begins, 3);
    EXPECT_FALSE(desk.busy.busy);
    EXPECT_EQ(window->focusWidget(), button("cmdExit"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(pdf)));
    pdf = folder + "/no such folder/report.pdf";
    button("cmdPrint")->click();
    EXPECT_EQ(desk.boxes.last().title, "Program Error");
    EXPECT_NE(desk.boxes.last().text.find("\nProcname: cmdPrint_Click\nSub Proc: "), std::string::npos);
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
}

}  // namespace
