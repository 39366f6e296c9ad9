#pragma once
// The editor's document: one source file, edited as a whole or entity by
// entity (the declarations section and each procedure), the procedure list,
// the caption, the changed flag, and saving with a ".BAK" backup.
//
// HOW A WINDOW DRIVES IT
//
// The window implements DocumentView (below) over its controls and gives it to
// the document once. The document then pushes everything it wants shown: the
// text of txtEdit, the caption, the items of cbProc and its selection, whether
// cbProc is enabled, and the focus. Texts cross the interface with CR LF line
// ends, as bytes (the window converts to and from its widget; Windows-1252 keeps
// every byte). Message boxes, file dialogs, the busy pointer and the event
// pump are taken from platform::services(); file access from
// platform::files().
//
//   SourceDocument doc(view);                      // view: the window's DocumentView
//
//   Open (start-up file)   doc.OpenSourceFile(name, Mode::WholeFile);
//   Open (menu items)      doc.openWithDialog(filter, Mode::WholeFile);  // "&File Open" items
//                          doc.openWithDialog(filter, Mode::Entity);     // "&Module Open" items
//                          (the mode changes only when a file is actually opened)
//   txtEdit change event   doc.txtEdit_Change();   // every change, also the ones the
//                                                  // document causes; it clears the flag itself
//   cbProc chosen          doc.cbProc_Click(index); // warns once, or switches entity
//   cbProc change event    doc.cbProc_Change();
//   cbProc key press       doc.cbProc_KeyPress(keyAscii);
//   key preview            doc.Form_KeyDown(activeControlIsCombo, keyCode);
//   Delete All Text        doc.mnuDeleteText_Click();
//   Save / Save As         doc.mnuFileSave_Click(); doc.mnuSaveAs_Click();
//   Close                  doc.mnuFileClose_Click(); then the window closes itself, and
//   any close (close box,  its close event asks:  if (doc.Form_QueryUnload()) ignore();
//   Exit, Close)           (true = the close is cancelled, as the Cancel argument)
//
// Re-entrance: the document may call view.selectEntity() and
// view.setEntityList() while it works; if the combo box then raises its own
// click event and the window calls cbProc_Click again, the document ignores
// that call (while busy) or finds the entry already shown. Blocking the
// combo's signals while filling it is still the tidier way.
//
// Errors: the public operations trap and report every run-time error with
// the box the editor shows for it; nothing escapes to the window.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace platform {
class InputFile;
class OutputFile;
}  // namespace platform

namespace editor {

// The name of the entity that stands for everything before the first procedure.
inline constexpr const char* DeclarationsName = "(declarations)";
// The title of boxes that carry "the program's title".
inline constexpr const char* ProgramTitle = "Varnel";

enum class Mode { WholeFile, Entity };

// What the document shows through the window's controls.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    // The text of txtEdit, CR LF line ends.
    virtual std::string editorText() = 0;
    // The first character of txtEdit that no byte holds (typed or pasted), if any.
    virtual std::optional<platform::UnsavableChar> unsavableCharacter() { return std::nullopt; }
    // Replaces the text of txtEdit. The window raises its change event as it
    // always does (the document clears the changed flag afterwards).
    virtual void setEditorText(const std::string& text) = 0;
    // Empties txtEdit as one edit the user can undo, like any other.
    virtual void deleteEditorText() { setEditorText(""); }
    virtual std::string caption() = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // Replaces the items of cbProc (no item selected yet).
    virtual void setEntityList(const std::vector<std::string>& names) = 0;
    // Selects item index of cbProc (its text becomes that item's); -1: none.
    virtual void selectEntity(int index) = 0;
    virtual void setEntityListEnabled(bool enabled) = 0;
    // Moves the focus to txtEdit.
    virtual void focusEditor() = 0;
};

// A DocumentView held in memory: for the command line and for tests.
// onTextChange runs after every setEditorText, as a window's change event would.
class MemoryView : public DocumentView {
public:
    std::string editorText() override { return text; }
    std::optional<platform::UnsavableChar> unsavableCharacter() override { return unsavable; }
    void setEditorText(const std::string& t) override {
        text = t;
        ++textSets;
        if (onTextChange) onTextChange();
    }
    std::string caption() override { return windowCaption; }
    void setCaption(const std::string& c) override { windowCaption = c; }
    void setEntityList(const std::vector<std::string>& names) override {
        items = names;
        selected = -1;
    }
    void selectEntity(int index) override {
        selected = index;
        if (onSelect) onSelect(index);
    }
    void setEntityListEnabled(bool enabled) override { listEnabled = enabled; }
    void focusEditor() override { ++focusMoves; }

    std::string text;
    std::optional<platform::UnsavableChar> unsavable;
    std::string windowCaption;
    std::vector<std::string> items;
    int selected = -1;
    bool listEnabled = true;
    int textSets = 0;
    int focusMoves = 0;
    std::function<void()> onTextChange;
    std::function<void(int)> onSelect;
};

// One record of the entity list: "name|0000001".
struct EntityRecord {
    std::string name;
    std::int64_t start = 1;  // 1-based byte position of the entity's first line
};

// "name|0000001": the name, a bar, the start with at least seven digits.
std::string formatEntityRecord(const std::string& name, std::int64_t start);
// The record back: the name before the first "|", the start from all the
// digits after it; nullopt when there are none.
std::optional<EntityRecord> parseEntityRecord(const std::string& record);

// The backup name of a file: the path cut before the first "." of its last
// component, followed by ".BAK"; "" when that name has no ".".
// "/src/MAIN.BAS" -> "/src/MAIN.BAK".
std::string backupName(const std::string& path);

// The key by which a save finds the old heading of an edited procedure: the
// first line of the text up to its first "(" (the whole line when it has
// none), trimmed. "Private Sub Form_Load()\r\n..." -> "Private Sub Form_Load".
std::string headingKey(const std::string& text);

// The box of a procedure save whose old heading is not in the file.
std::string headingNotFoundText(const std::string& procedure, const std::string& file);
// The box of a save whose file is in place but whose folder could not be
// synced (`description` says why).
std::string notOnDiskText(const std::string& file, const std::string& description);
// The questions and the note about a file that another program changed.
std::string saveOverChangeText(const std::string& file);
std::string reloadText(const std::string& file);
std::string changedUnderEditsText(const std::string& file);
// The box of a save refused for a character that no byte holds.
std::string unsavableCharText(const platform::UnsavableChar& c);

class SourceDocument {
public:
    explicit SourceDocument(DocumentView& view);
    ~SourceDocument();
    SourceDocument(const SourceDocument&) = delete;
    SourceDocument& operator=(const SourceDocument&) = delete;

    // --- Opening ---------------------------------------------------------
    // Shows the open dialog with the filter ("description|pattern"); when the
    // user picks a file, asks about unsaved changes as Form_QueryUnload does,
    // then opens it in the given mode. Cancel (of either) changes nothing.
    void openWithDialog(const std::string& filter, Mode mode);
    // Opens the file in the given mode: whole-file mode reads it into txtEdit
    // and empties and disables cbProc; entity mode builds the entity list,
    // fills cbProc and shows the first entity. Returns true when the file
    // could be opened (even if its content then reported an error).
    bool OpenSourceFile(const std::string& name, Mode mode);

    // --- Entities ---------------------------------------------------------
    // The text of entity `index`, read from the file: from its first line
    // through its end line, every line ending in CR LF. Throws
    // platform::RuntimeError (file errors, index out of range).
    std::string GetEntityText(int index);
    // Index of the first entity of that exact name, -1 if none.
    int findEntity(const std::string& name) const;

    // --- Navigator --------------------------------------------------------
    void cbProc_Click(int index);
    void cbProc_Change();
    void cbProc_KeyPress(int keyAscii);
    void Form_KeyDown(bool activeControlIsCombo, int keyCode);
    void txtEdit_Change() { changed_ = true; }
    void mnuDeleteText_Click();

    // --- Saving and closing ----------------------------------------------
    // Each returns true when a file was written.
    bool mnuFileSave_Click();
    bool mnuSaveAs_Click();
    bool SaveSourceFile(const std::string& target);
    // The save question of Close; the window then closes itself.
    void mnuFileClose_Click();
    // The question asked whenever the window is about to close. Returns true
    // when the close is cancelled.
    bool Form_QueryUnload();
    // The save dialog; "" when the user cancels.
    std::string ShowSaveDialog();

    // --- Recovery ------------------------------------------------------------
    // Runs after every file opened, with its name.
    std::function<void(const std::string&)> onOpened;
    // Puts a recovered text in the window as unsaved changes, shown the way
    // it was edited: the open file in that mode, on that entity (the file on
    // disk untouched). False when the entity is no longer in the file.
    bool recover(Mode mode, const std::string& entity, const std::string& text);

    // --- The file on disk --------------------------------------------------
    // The open file as it was read or saved last.
    const platform::FileFacts& fileFacts() const { return readFacts_; }
    // True when the open file is no longer the one read or saved last:
    // another program wrote, replaced or removed it.
    bool changedOnDisk();
    // The window got the focus back: a change on disk is told once. Without
    // unsaved changes the file is offered for reloading; with them the user
    // is told that saving will ask before it writes over the file.
    void checkDiskOnFocus();

    // --- State ------------------------------------------------------------
    const std::string& fileName() const { return fileName_; }
    Mode mode() const { return mode_; }
    bool entityMode() const { return mode_ == Mode::Entity; }
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    // The entity list as records "name|0000001", in file order.
    const std::vector<std::string>& entityRecords() const { return records_; }
    std::vector<std::string> entityNames() const;
    const std::string& currentEntityName() const { return currentName_; }
    int currentIndex() const { return currentIndex_; }
    const std::string& caption() const { return caption_; }
    // The filter the open dialog had last (Save As shows it again).
    const std::string& lastFilter() const { return lastFilter_; }

private:
    void SplitEntities(std::unique_ptr<platform::InputFile> in);
    int AddEntity(platform::InputFile& in, const std::string& name);
    void SkipFormHeader(platform::InputFile& in);
    bool saveEntityMode(const std::string& target);
    bool saveWholeFile(const std::string& target);
    void CopyFormHeader(platform::InputFile& in, platform::OutputFile& out);
    bool CopyUntilHeading(platform::InputFile& in, platform::OutputFile& out, const std::string& key);
    void SkipEntityBody(platform::InputFile& in);
    void skipDeclarations(platform::InputFile& in);
    void WriteEditorText(platform::OutputFile& out, const std::string& text);
    void CopyRest(platform::InputFile& in, platform::OutputFile& out);
    std::string entityCaption(const std::string& name) const;
    // The line end of every line a save writes.
    const char* lineEnd() const { return bareLf_ ? "\n" : "\r\n"; }
    void setCaption(const std::string& caption);

    DocumentView& view_;
    std::string fileName_;
    Mode mode_ = Mode::WholeFile;
    bool changed_ = false;
    std::vector<std::string> records_;
    std::string currentName_;
    int currentIndex_ = -1;
    std::string caption_;
    std::string lastFilter_;
    bool enterInList_ = false;
    // True when the declarations of the open file begin after a form
    // description block (the file was split as a form).
    bool formHeader_ = false;
    // True when every line end of the file was a bare LF when it was opened:
    // saves then keep that style, so that they do not rewrite every line.
    bool bareLf_ = false;
    // The read position of the line in lineBuffer_ while the list is built.
    std::int64_t readPosition_ = 1;
    std::string lineBuffer_;
    int busyDepth_ = 0;
    // The open file as it was read or saved last, and as it was when a
    // change on disk was last told.
    platform::FileFacts readFacts_, toldFacts_;
    bool checkingDisk_ = false;
    void rememberFile();
};

}  // namespace editor
