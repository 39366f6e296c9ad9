// The editor's menu tree: every item in order, with its caption, shortcut,
// place in the tree and whether it can be chosen.
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <vector>

#include "UiTestSupport.h"
#include "platform/Recording.h"

namespace {

struct Expected {
    int depth;
    std::string name;
    std::string caption;  // "-" for a separator
    std::string shortcut;
    bool enabled;
};

const std::vector<Expected> Tree = {
    {0, "mnuFile", "&File", "", true},
    {1, "mnuFileOpen", "&File Open", "", true},
    {2, "mnuFileBas", ".&BAS Files", "", true},
    {2, "mnuFilePrg", ".&PRG Files", "", true},
    {2, "mnuFileFRM", ".&FRM Files", "", true},
    {2, "mnuVbp", "&.VBP", "", true},
    {2, "mnuMakFiles", ".&MAK Files", "", true},
    {2, "mnuClsFiles", ".&CLS Files", "", true},
    {2, "mnuTextFiles", ".&Txt Files", "", true},
    {2, "mnuLogFiles", ".&Log Files", "", true},
    {2, "mnuFillAll", "&All Files", "", true},
    {1, "mnuOpenModule", "&Module Open", "", true},
    {2, "mnuBasFiles", ".&BAS Files", "", true},
    {2, "mnuFrmFilesn", ".&FRM Files", "", true},
    {2, "mnuCls", ".&CLS Files", "", true},
    {2, "mnuPrgFiles", ".&PRG Files", "", true},
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

void collect(const QList<QAction*>& actions, int depth, std::vector<Expected>& out) {
    for (QAction* a : actions) {
        const std::string caption = a->isSeparator() ? "-" : a->text().toStdString();
        out.push_back({depth, a->objectName().toStdString(), caption,
                       a->shortcut().toString(QKeySequence::PortableText).toStdString(), a->isEnabled()});
        if (a->menu()) {
            EXPECT_EQ(a->menu()->objectName(), a->objectName());
            collect(a->menu()->actions(), depth + 1, out);
        }
    }
}

TEST(MenuTree, EveryItemInOrderWithCaptionShortcutAndState) {
    platform::RecordingDesktop desktop;
    editor::ui::frmEdit32 window;
    std::vector<Expected> actual;
    collect(window.menuBar()->actions(), 0, actual);
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

TEST(MenuTree, WindowControlsCarryTheirNamesAndCaptions) {
    platform::RecordingDesktop desktop;
    editor::ui::frmEdit32 window;
    EXPECT_EQ(window.objectName(), "frmEdit32");
    EXPECT_NE(window.findChild<QWidget*>("Picture1"), nullptr);
    EXPECT_NE(window.findChild<QWidget*>("Image1"), nullptr);
    EXPECT_NE(window.findChild<QWidget*>("cbProc"), nullptr);
    auto* label = uitest::child<QLabel>(&window, "Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Procedure");
    auto* edit = uitest::child<QPlainTextEdit>(&window, "txtEdit");
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(QFontInfo(edit->font()).fixedPitch());
    EXPECT_EQ(edit->font().pointSize(), 9);
}

}  // namespace
