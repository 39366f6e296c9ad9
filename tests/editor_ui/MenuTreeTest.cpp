// The editor's menu tree: every item in order, with its caption, shortcut,
// place in the tree, whether it can be chosen and, for the open commands,
// the filter of the file dialog they show. Then the window's own controls.
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "UiTestSupport.h"

namespace {

struct Entry {
    int depth;
    std::string name;
    std::string caption;  // "-" for a separator
    std::string shortcut;
    bool enabled;
    std::string filter = "";
};

const std::vector<Entry> Tree = {
    {0, "mnuFile", "&File", "", true},
    {1, "mnuFileOpen", "&File Open", "", true},
    {2, "mnuFileBas", ".&BAS Files", "", true, "Program (*.bas)|*.bas"},
    {2, "mnuFilePrg", ".&PRG Files", "", true, "Program (*.prg)|*.prg"},
    {2, "mnuFileFRM", ".&FRM Files", "", true, "Forms (*.frm)|*.frm"},
    {2, "mnuVbp", "&.VBP", "", true, "Program (*.VBP)|*.VBP"},
    {2, "mnuMakFiles", ".&MAK Files", "", true, "Program (*.mak)|*.mak"},
    {2, "mnuClsFiles", ".&CLS Files", "", true, "Class (*.cls)|*.cls"},
    {2, "mnuTextFiles", ".&Txt Files", "", true, "Text Files (*.txt)|*.txt"},
    {2, "mnuLogFiles", ".&Log Files", "", true, "Log (Error) Files (*.Log)|*.Log"},
    {2, "mnuFillAll", "&All Files", "", true, "All Files (*.*)|*.*"},
    {1, "mnuOpenModule", "&Module Open", "", true},
    {2, "mnuBasFiles", ".&BAS Files", "", true, "Program (*.bas)|*.bas"},
    {2, "mnuFrmFilesn", ".&FRM Files", "", true, "Forms (*.frm)|*.frm"},
    {2, "mnuCls", ".&CLS Files", "", true, "Class (*.cls)|*.cls"},
    {2, "mnuPrgFiles", ".&PRG Files", "", true, "Program (*.prg)|*.prg"},
    {1, "mnuFileClose", "&Close", "", true},
    {1, "mnuFileSave", "&Save", "", true},
    {1, "mnuSaveAs", "Save &As", "", true},
    {1, "mnuPrint", "&Print Selected Text", "Ctrl+P", true},
    {1, "mnuSep4", "-", "", true},
    {1, "mnuFileExit", "E&xit", "Ctrl+E", true},
    {0, "mnuEdit", "&Edit", "", true},
    {1, "mnuCut", "Cu&t", "Ctrl+X", true},
    {1, "mnuCopy", "&Copy", "Ctrl+C", true},
    {1, "mnuConcatenate", "C&oncatenate", "Ctrl+O", true},
    {1, "mnuClear", "C&lear", "", true},
    {1, "mnuPaste", "&Paste", "Ctrl+V", true},
    {1, "mnuSep5", "-", "", true},
    {1, "mnuDeleteText", "&Delete All Text", "Ctrl+D", true},
    {1, "mnjSelectAll", "&Select All", "Ctrl+A", true},
    {1, "mnuSelectCut", "S&elect && Cut", "Ctrl+K", false},
    {1, "mnuSep1", "-", "", true},
    {1, "mnuFind", "&Find", "F2", true},
    {1, "mnuFindNext", "Find &Next", "F3", true},
    {1, "mnusep3", "-", "", true},
    {1, "mnuReplace", "Replace", "Ctrl+R", true},
    {0, "mnuOptions", "&Options", "", true},
    {1, "mnuComment", "&Comment", "F4", true},
    {1, "mnuUncomment", "&Uncomment", "Shift+F4", true},
    {1, "mnuSep2", "-", "", true},
    {1, "mnuIndent", "&Indent Selected Text", "F5", true},
    {1, "mnuConvert", "&Convert Selected xBase Text", "F6", true},
    {1, "mnuFindDiff", "Find &Difference", "F7", false},
    {1, "menuFontSizeToggle", "Font Size &Toggle", "", false},
    {0, "mnuWindows", "&Window", "", false},
    {1, "mnuTile", "&Tile", "", false},
    {1, "mnuCascade", "&Cascade", "", false},
    {0, "mnuHelp", "&Help", "", false},
    {1, "mnuHelponHelp", "&Help", "", false},
    {1, "mnuAbout", "&About Ix Orvane", "", false},
};

void collect(const QList<QAction*>& actions, int depth, std::vector<Entry>& out) {
    for (QAction* a : actions) {
        out.push_back({depth, a->objectName().toStdString(), a->isSeparator() ? "-" : a->text().toStdString(),
                       a->shortcut().toString(QKeySequence::PortableText).toStdString(), a->isEnabled()});
        if (a->menu()) {
            EXPECT_EQ(a->menu()->objectName(), a->objectName());
            collect(a->menu()->actions(), depth + 1, out);
        }
    }
}

class MenuTree : public uitest::EditorFixture {};

TEST_F(MenuTree, EveryItemInOrderWithCaptionShortcutAndState) {
    start();
    std::vector<Entry> actual;
    collect(window->menuBar()->actions(), 0, actual);
    ASSERT_EQ(actual.size(), Tree.size());
    for (std::size_t i = 0; i < Tree.size(); ++i) {
        SCOPED_TRACE(Tree[i].name);
        EXPECT_EQ(actual[i].depth, Tree[i].depth);
        EXPECT_EQ(actual[i].name, Tree[i].name);
        EXPECT_EQ(actual[i].caption, Tree[i].caption);
        EXPECT_EQ(actual[i].shortcut, Tree[i].shortcut);
        EXPECT_EQ(actual[i].enabled, Tree[i].enabled);
    }
}

TEST_F(MenuTree, EveryOpenCommandAsksWithItsFilter) {
    start();
    for (const Entry& e : Tree) {
        if (e.filter.empty()) continue;
        SCOPED_TRACE(e.name);
        const auto before = desktop.dialogs.calls.size();
        item(e.name.c_str())->trigger();
        ASSERT_EQ(desktop.dialogs.calls.size(), before + 1);
        EXPECT_EQ(desktop.dialogs.calls.back().kind, "open");
        EXPECT_EQ(desktop.dialogs.calls.back().filter, e.filter);
    }
    EXPECT_EQ(desktop.dialogs.calls.size(), 13u);
}

TEST_F(MenuTree, WindowControlsCarryTheirNamesAndCaptions) {
    start();
    EXPECT_EQ(window->objectName(), "frmEdit32");
    for (const char* name : {"Picture1", "Image1", "cbProc"}) EXPECT_NE(window->findChild<QWidget*>(name), nullptr);
    auto* label = control<QLabel>("Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Procedure");
    auto* edit = control<QPlainTextEdit>("txtEdit");
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(QFontInfo(edit->font()).fixedPitch());
    EXPECT_EQ(edit->font().pointSize(), 9);
}

}  // namespace
