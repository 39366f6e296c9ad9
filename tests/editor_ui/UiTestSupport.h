#pragma once
// Helpers for the tests of the editor's windows: controls by name, answers to
// modal dialogs, the message boxes the editor shows, and a window fixture
// with a sample module in a temporary folder.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <tuple>

#include "editor/ui/frmEdit32.h"
#include "support/Recording.h"
#include "textbox/SourceTextView.h"
#include "support/Cases.h"
#include "textlib/TextLib.h"

namespace uitest {

template <class T>
T* child(QObject* root, const char* name) {
    T* found = root->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// Runs `answer` on the next modal dialog as soon as it is shown (inside the
// exec() of the code under test); if no dialog comes up it never runs.
inline void onNextDialog(const std::function<void(QDialog*)>& answer) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool shown = dialog && dialog->isVisible();
        if (shown || ++*tries > 500) timer->stop(), timer->deleteLater();
        if (shown) answer(dialog);
    });
    timer->start(5);
}

// Lets queued events (the first activation, pending repaints) run.
inline void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Every message box of the editor: text, title, icon and buttons.
using platform::Buttons;
using platform::Icon;
struct Box {
    std::string text, title;
    Icon icon = Icon::Exclamation;
    Buttons buttons = Buttons::Ok;
};
inline Box cannotFind(const std::string& what) { return {"Cannot find \"" + what + "\"", "Varnel"}; }
inline Box runTimeError(const std::string& description) { return {description, "Kestrin Error", Icon::Stop}; }
inline Box confirmSave(const std::string& subject) {
    return {"The text in [" + subject + "] has changed.\r\nDo you want to save the changes?", "Confirm Save",
            Icon::Exclamation, Buttons::YesNoCancel};
}
inline Box noHelpFile(const std::string& path) { return {"Can't open help file: " + path, "Varnel"}; }
inline void expectBox(const platform::ShownBox& shown, const Box& box) {
    EXPECT_EQ(std::tie(shown.text, shown.title, shown.icon, shown.buttons),
              std::tie(box.text, box.title, box.icon, box.buttons));
}

inline const std::string Declarations = "Attribute VB_Name = \"Module1\"\r\nOption Explicit\r\nDim x As Long\r\n\r\n";
inline const std::string ProcA = "Private Sub A()\r\n  x = 1\r\nEnd Sub\r\n";
inline const std::string Module = Declarations + ProcA + "\r\nPublic Function B()\r\n  B = 2\r\nEnd Function\r\n";

// The desktop doubles, a fresh search state and "My Module.bas" (a name with
// a blank) holding Module; start() makes the window.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        editor::searchState() = editor::SearchState{};
        ASSERT_TRUE(dir.isValid());
        std::ofstream(path, std::ios::binary) << Module;
    }
    // A window started with this command line, shown and activated.
    editor::ui::frmEdit32& start(const std::string& commandLine = "") {
        window = std::make_unique<editor::ui::frmEdit32>(commandLine);
        window->show();
        window->activateWindow();
        settle();
        return *window;
    }
    template <class T>
    T* control(const char* name) {
        return child<T>(window.get(), name);
    }
    std::string caption() const { return window->windowTitle().toStdString(); }
    // The menu item (not a submenu) of that name.
    QAction* item(const char* name) {
        for (QAction* a : window->findChildren<QAction*>(name))
            if (!a->menu()) return a;
        ADD_FAILURE() << "no menu item named " << name;
        return nullptr;
    }
    void typeIntoEditor(const QString& keys) {
        control<textbox::SourceTextView>("txtEdit")->setFocus();
        QTest::keyClicks(control<textbox::SourceTextView>("txtEdit"), keys);
    }
    void expectSelection(std::int64_t start, std::int64_t length) {
        EXPECT_EQ(std::pair(window->selStart(), window->selLength()), std::pair(start, length));
    }

    platform::RecordingDesktop desktop;
    QTemporaryDir dir;
    std::string path = dir.filePath("My Module.bas").toStdString();
    std::unique_ptr<editor::ui::frmEdit32> window;
};

// The same with the window started without a file.
class StartedEditor : public EditorFixture {
protected:
    void SetUp() override { EditorFixture::SetUp(), start(); }
};

}  // namespace uitest
