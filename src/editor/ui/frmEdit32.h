#pragma once
// The editor's main window: the procedure band, the editing area, the menus
// and the simple commands. The document (opening, navigating, saving, the
// close question) lives in editor::SourceDocument; the window shows what it
// pushes and routes the events to it. Find and Replace run here over the
// editor text.
#include <QMainWindow>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "editor/Recovery.h"
#include "editor/Search.h"
#include "editor/SourceDocument.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;

namespace textbox {
class SourceTextView;
}

namespace editor::ui {

// Where the window's controls go, in twips, for the window's outer width and
// height: the band across the top and the editing area below it. No size is
// ever negative.
struct EditorLayout {
    struct Rect {
        int left, top, width, height;
    };
    Rect txtEdit;
    Rect Picture1;
};
EditorLayout editorLayout(int outerWidth, int outerHeight);

class frmEdit32 : public QMainWindow, public DocumentView {
    Q_OBJECT
public:
    // commandLine: the program's whole command line; when it is not blank it
    // names a file that opens in whole-file mode at the first activation.
    explicit frmEdit32(const std::string& commandLine = "", QWidget* parent = nullptr);
    ~frmEdit32() override;

    SourceDocument& document() { return *doc_; }

    // The editor text and its selection as the logic sees them: CR LF line
    // ends, 0-based positions into that text.
    std::string editorText() override;
    std::optional<platform::UnsavableChar> unsavableCharacter() override;
    void setEditorText(const std::string& text) override;
    void deleteEditorText() override;
    std::int64_t selStart();
    std::int64_t selLength();
    std::string selText();
    // Selects length characters from start; both are clamped to the text.
    void setSelection(std::int64_t start, std::int64_t length);

    // Edit > Paste: the selection becomes the clipboard's text. The block
    // commands paste their results back through it.
    void mnuPaste_Click();

    // Keeps the window's unsaved changes in a recovery file in `folder` from
    // now on, and offers those that ended windows left there.
    void keepRecovery(const std::string& folder, std::chrono::milliseconds pause = std::chrono::seconds(2),
                      std::chrono::milliseconds longest = std::chrono::seconds(30));

    // The help file F1 opens: QVX.hlp in the program's folder.
    static std::string helpFilePath();

    // DocumentView
    std::string caption() override;
    void setCaption(const std::string& caption) override;
    void setEntityList(const std::vector<std::string>& names) override;
    void selectEntity(int index) override;
    void setEntityListEnabled(bool enabled) override;
    void focusEditor() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class EditorSearchTarget;

    void buildControls();
    void buildMenus();
    QAction* action(const char* name);
    void route(const char* name, void (frmEdit32::*handler)());

    void Form_Load(const std::string& commandLine);
    void Form_Activate();
    void Form_Resize();
    void fitIntoScreen();
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift, bool activeControlIsCombo);
    void txtEdit_Change();
    void cbProc_Click(int index);
    void cbProc_Change();

    // File
    void openWhole(const std::string& filter);
    void openEntities(const std::string& filter);
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuFileExit_Click();
    // Edit
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuConcatenate_Click();
    void mnuClear_Click();
    void mnuDeleteText_Click();
    void mnjSelectAll_Click();
    void mnuFind_Click();
    void mnuFindNext_Click();
    void mnuReplace_Click();
    // Options
    void mnuComment_Click();
    void mnuUncomment_Click();
    void mnuIndent_Click();
    void mnuConvert_Click();

    // Replaces the selection with text (CR LF) as typing would.
    void replaceSelection(const std::string& text);
    void replaceAt(const std::vector<std::int64_t>& starts, std::int64_t length, const std::string& replacement);
    void showHelp();
    // Writes the recovery file when it is due, or removes it when nothing is unsaved.
    void recoveryTick();
    void offerRecovery(const std::string& name);

    std::unique_ptr<SourceDocument> doc_;
    std::unique_ptr<EditorSearchTarget> searchTarget_;
    // The editor text as bytes, as of the text's revision textRevision_.
    std::string text_;
    std::uint64_t textRevision_ = 0;
    std::string commandLineFile_;
    bool firstActivation_ = true;
    std::string recoveryFolder_;
    std::unique_ptr<RecoveryFile> recovery_;
    std::optional<RecoverySchedule> schedule_;
    bool offering_ = false, recoveryFailureTold_ = false;

    QWidget* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbProc = nullptr;
    QLabel* Image1 = nullptr;
    textbox::SourceTextView* txtEdit = nullptr;
};

}  // namespace editor::ui
