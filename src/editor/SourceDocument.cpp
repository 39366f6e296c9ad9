#include "editor/SourceDocument.h"

#include <cstdio>

#include "editor/EntityRules.h"
#include "platform/ErrorBoxes.h"
#include "platform/FileSystem.h"
#include "platform/ReplaceFile.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "platform/TextCodec.h"
#include "textlib/TextLib.h"

namespace editor {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::InputFile;
using platform::OutputFile;
using platform::removeQuietly;
using platform::replaceFile;
using platform::RuntimeError;
using textlib::Trim;
using textlib::UCase;

namespace {

// The hourglass for the lifetime of the object. Nested scopes show it once.
class BusyScope {
public:
    BusyScope() {
        if (depth_++ == 0) platform::busyPointer().begin();
    }
    ~BusyScope() { end(); }
    void end() {
        if (active_) {
            active_ = false;
            if (--depth_ == 0) platform::busyPointer().end();
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    static inline int depth_ = 0;
    bool active_ = true;
};

// Counts the document's own work, during which the combo box's re-entrant
// click events are ignored.
class Working {
public:
    explicit Working(int& depth) : depth_(depth) { ++depth_; }
    ~Working() { --depth_; }

private:
    int& depth_;
};

// Unwinds a save that is given up because the old heading is not in the file.
struct SaveAbandoned {};

void fileError(const std::string& text) { platform::boxes().show(text, "File Error", Icon::Stop, Buttons::Ok); }

// The end written after a line: a line that ends with a CR gets CR LF even in
// a bare-LF file, since a bare LF after it would read back as a CR LF and the
// CR would be lost.
const char* lineEndAfter(std::string_view line, const char* lineEnd) { return line.ends_with('\r') ? "\r\n" : lineEnd; }

void writeLine(OutputFile& out, std::string& buffer, const std::string& line, const char* lineEnd) {
    buffer.assign(line);
    buffer += lineEndAfter(line, lineEnd);
    out.write(buffer);
}

bool isFormFile(const std::string& upperName) { return upperName.find(".FRM") != std::string::npos; }

}  // namespace

std::string formatEntityRecord(const std::string& name, std::int64_t start) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%07lld", static_cast<long long>(start));
    return name + "|" + digits;
}

std::optional<EntityRecord> parseEntityRecord(const std::string& record) {
    const std::size_t bar = record.find('|');
    if (bar == std::string::npos) return std::nullopt;
    std::size_t i = bar + 1;
    if (i >= record.size() || record[i] < '0' || record[i] > '9') return std::nullopt;
    std::int64_t start = 0;
    for (; i < record.size() && record[i] >= '0' && record[i] <= '9'; ++i) start = start * 10 + (record[i] - '0');
    return EntityRecord{record.substr(0, bar), start};
}

std::string backupName(const std::string& path) {
    const std::size_t nameStart = path.find_last_of("/\\:");
    const std::size_t dot = path.find('.', nameStart == std::string::npos ? 0 : nameStart + 1);
    if (dot == std::string::npos) return "";
    return path.substr(0, dot) + ".BAK";
}

std::string headingKey(const std::string& text) {
    std::string first = text.substr(0, text.find('\n'));
    if (!first.empty() && first.back() == '\r') first.pop_back();
    return Trim(first.substr(0, first.find('(')));
}

std::string headingNotFoundText(const std::string& procedure, const std::string& file) {
    return "The heading of " + procedure + " was not found in " + file +
           ", so nothing was saved. Use Save As to keep this text.";
}

std::string notOnDiskText(const std::string& file, const std::string& description) {
    return file + " was saved, but the system could not confirm that it is on the disk (" + description +
           "). Save it again before you rely on it.";
}

std::string saveOverChangeText(const std::string& file) {
    return file + " has been changed on disk since it was opened. Save anyway?";
}

std::string reloadText(const std::string& file) {
    return file + " has been changed on disk by another program. Reload it?";
}

std::string changedUnderEditsText(const std::string& file) {
    return file +
           " has been changed on disk by another program. Your changes here are kept; saving will ask "
           "before it writes over the file.";
}

std::string unsavableCharText(const platform::UnsavableChar& c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c.code));
    return std::string("The character ") + code + " \"" + platform::utf8(c.code) + "\" on line " +
           std::to_string(c.line) +
           " has no byte in the Windows-1252 code page of source files, so nothing was saved. "
           "Replace it and save again.";
}

SourceDocument::SourceDocument(DocumentView& view) : view_(view) {}

SourceDocument::~SourceDocument() = default;

// ---------------------------------------------------------------------------
// Opening

void SourceDocument::openWithDialog(const std::string& filter, Mode mode) {
    lastFilter_ = filter;
    std::optional<std::string> chosen;
    try {
        chosen = platform::dialogs().openFile("Open", filter);
    } catch (...) {
        // A failing dialog counts as cancelled.
    }
    platform::eventPump().processEvents();
    if (!chosen || Trim(*chosen).empty()) return;
    // The text shown goes: unsaved changes are asked about as on closing,
    // and Cancel keeps them here, where they are safe.
    if (Form_QueryUnload()) return;
    OpenSourceFile(*chosen, mode);
    platform::eventPump().processEvents();
}

bool SourceDocument::OpenSourceFile(const std::string& name, Mode mode) {
    Working working(busyDepth_);
    fileName_ = name;
    std::unique_ptr<InputFile> in;
    try {
        in = platform::files().openRead(name);
    } catch (const RuntimeError&) {
        fileError("Can't open file: " + name);
        return false;
    }
    rememberFile();
    // The mode changes only with a file actually opened, so that a later save
    // treats the shown document the way it was loaded.
    mode_ = mode;
    records_.clear();
    currentName_.clear();
    currentIndex_ = -1;
    formHeader_ = false;
    bareLf_ = false;

    if (mode == Mode::Entity) {
        view_.setEntityListEnabled(true);
        try {
            platform::LineEndSurvey survey;
            auto probe = platform::files().openRead(name);
            for (std::string chunk; !(chunk = probe->readBytes(1 << 20)).empty();) survey.feed(chunk);
            bareLf_ = survey.allBareLf();
        } catch (const RuntimeError&) {
            // The split below reads the file too and reports what fails.
        }
        SplitEntities(std::move(in));
        if (onOpened) onOpened(name);
        return true;
    }

    // Whole-file mode: the list of an earlier entity-mode file would read
    // this file at wrong positions, so it goes.
    view_.setEntityList({});
    view_.setEntityListEnabled(false);
    setCaption("QVX: " + UCase(name));
    std::string text;
    try {
        text = in->readBytes(in->length());
    } catch (const RuntimeError& e) {
        in.reset();
        fileError("File Read Error : " + std::to_string(e.number()) + "\nDesc: " + e.description() +
                  "\nCan't open this file!");
        // The text of another file must not stay under this name.
        view_.setEditorText("");
        changed_ = false;
        return true;
    }
    in.reset();
    platform::LineEndSurvey survey;
    survey.feed(text);
    bareLf_ = survey.allBareLf();
    view_.setEditorText(text);
    changed_ = false;
    if (onOpened) onOpened(name);
    return true;
}

// ---------------------------------------------------------------------------
// Entities

void SourceDocument::SplitEntities(std::unique_ptr<InputFile> in) {
    BusyScope busy;
    records_.clear();
    currentName_.clear();
    currentIndex_ = -1;
    formHeader_ = false;
    view_.setEntityList({});
    try {
        // An empty file has no line to read, not even for the declarations.
        if (in->length() == 0) platform::raise(platform::err::InputPastEndOfFile);

        const std::string upperName = UCase(fileName_);
        bool declarations = false;
        if (upperName.find(".PRG") != std::string::npos || upperName.find(".BAS") != std::string::npos ||
            upperName.find(".CLS") != std::string::npos) {
            readPosition_ = 1;
            declarations = true;
        } else if (isFormFile(upperName)) {
            SkipFormHeader(*in);
            formHeader_ = true;
            declarations = true;
        }

        int result = declarations ? AddEntity(*in, DeclarationsName) : 2;
        while (result != 0) {
            if (result == 2) {
                // The next line between entities; the file's last line is never examined.
                readPosition_ = in->position();
                lineInput(*in, lineBuffer_);
                if (in->atEnd()) break;
            }
            if (auto name = headingName(lineBuffer_)) result = AddEntity(*in, *name);
            else result = 2;
        }
    } catch (const RuntimeError& e) {
        // The list keeps the entities found so far; nothing is shown.
        in.reset();
        view_.setEntityList(entityNames());
        busy.end();
        platform::ShowKestrinError(e);
        if (records_.empty()) setCaption("QVX: " + UCase(fileName_));
        view_.setEditorText("");
        changed_ = false;
        return;
    }
    in.reset();

    view_.setEntityList(entityNames());
    try {
        if (records_.empty()) platform::raise(platform::err::SubscriptOutOfRange);
        currentName_ = parseEntityRecord(records_[0])->name;
        currentIndex_ = 0;
        view_.selectEntity(0);
        setCaption(entityCaption(currentName_));
        std::string text = GetEntityText(0);
        view_.setEditorText(text);
    } catch (const RuntimeError& e) {
        busy.end();
        platform::ShowKestrinError(e);
        if (records_.empty()) setCaption("QVX: " + UCase(fileName_));
        view_.setEditorText("");
    }
    changed_ = false;
}

int SourceDocument::AddEntity(InputFile& in, const std::string& name) {
    records_.push_back(formatEntityRecord(name, readPosition_));
    try {
        for (;;) {
            readPosition_ = in.position();
            lineInput(in, lineBuffer_);
            if (in.atEnd()) return 0;
            switch (classifyListLine(lineBuffer_)) {
                case ListLine::Heading: return 1;
                case ListLine::End: return 2;
                case ListLine::Body: break;
            }
        }
    } catch (const RuntimeError& e) {
        platform::ShowKestrinError(e);
        return 0;
    }
}

void SourceDocument::SkipFormHeader(InputFile& in) {
    try {
        int depth = 0;
        std::string line;
        for (;;) {
            lineInput(in, line);
            const std::string_view t = trimBlanks(line);
            if (t.substr(0, 5) == "Begin") {
                ++depth;
            } else if (t.substr(0, 3) == "End") {
                if (depth-- == 1) break;
            }
        }
        readPosition_ = in.position();
    } catch (const RuntimeError& e) {
        // The block never closes: the declarations begin where reading stopped.
        readPosition_ = in.position();
        platform::ShowKestrinError(e);
    }
}

std::string SourceDocument::GetEntityText(int index) {
    BusyScope busy;
    if (index < 0 || static_cast<std::size_t>(index) >= records_.size())
        platform::raise(platform::err::SubscriptOutOfRange);
    auto record = parseEntityRecord(records_[static_cast<std::size_t>(index)]);
    if (!record) platform::raise(platform::err::InvalidProcedureCall);
    auto in = platform::files().openRead(fileName_);
    in->seek(record->start);
    std::string text;
    readEntity(*in, UCase(Trim(record->name)) == "(DECLARATIONS)", &text);
    return text;
}

int SourceDocument::findEntity(const std::string& name) const {
    for (std::size_t i = 0; i < records_.size(); ++i) {
        auto record = parseEntityRecord(records_[i]);
        if (record && record->name == name) return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> SourceDocument::entityNames() const {
    std::vector<std::string> names;
    names.reserve(records_.size());
    for (const auto& r : records_) names.push_back(r.substr(0, r.find('|')));
    return names;
}

std::string SourceDocument::entityCaption(const std::string& name) const {
    return "QVX: " + Trim(name) + " of " + UCase(fileName_);
}

void SourceDocument::setCaption(const std::string& caption) {
    caption_ = caption;
    view_.setCaption(caption);
}

// ---------------------------------------------------------------------------
// Navigator

void SourceDocument::cbProc_Click(int index) {
    if (busyDepth_ > 0) return;
    Working working(busyDepth_);
    if (changed_) {
        platform::boxes().show(
            "The currenty entity has been changed,\nto save, use the File Save Menu.\n"
            "You will not be prompted again unless\nadditional changes are made!",
            "Save or Lose Changes", Icon::Exclamation, Buttons::Ok);
        changed_ = false;
        view_.selectEntity(currentIndex_);
        return;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= records_.size()) return;
    const std::string name =
        records_[static_cast<std::size_t>(index)].substr(0, records_[static_cast<std::size_t>(index)].find('|'));
    if (name == currentName_) return;
    std::string text;
    try {
        text = GetEntityText(index);
    } catch (const RuntimeError& e) {
        platform::ShowKestrinError(e);
        view_.selectEntity(currentIndex_);
        return;
    }
    view_.setEditorText(text);
    setCaption(entityCaption(name));
    platform::eventPump().processEvents();
    changed_ = false;
    currentName_ = name;
    currentIndex_ = index;
}

void SourceDocument::cbProc_Change() {
    if (enterInList_) {
        view_.focusEditor();
        enterInList_ = false;
    }
}

void SourceDocument::cbProc_KeyPress(int keyAscii) {
    if (keyAscii == 13) view_.focusEditor();
}

void SourceDocument::Form_KeyDown(bool activeControlIsCombo, int keyCode) {
    if (activeControlIsCombo && keyCode == 13) enterInList_ = true;
}

void SourceDocument::mnuDeleteText_Click() {
    view_.deleteEditorText();
    changed_ = false;
    view_.focusEditor();
}

// ---------------------------------------------------------------------------
// Saving and closing

bool SourceDocument::mnuFileSave_Click() {
    if (Trim(view_.editorText()).empty() || fileName_.empty()) return false;
    return SaveSourceFile(fileName_);
}

bool SourceDocument::mnuSaveAs_Click() {
    const std::string name = ShowSaveDialog();
    if (name.empty()) return false;
    return SaveSourceFile(name);
}

std::string SourceDocument::ShowSaveDialog() {
    try {
        return platform::dialogs().saveFile("Save As", lastFilter_, "").value_or("");
    } catch (...) {
        return "";
    }
}

bool SourceDocument::SaveSourceFile(const std::string& target) {
    Working working(busyDepth_);
    if (const auto c = view_.unsavableCharacter()) {
        platform::boxes().show(unsavableCharText(*c), ProgramTitle, Icon::Exclamation, Buttons::Ok);
        return false;
    }
    platform::FileSystem& fs = platform::files();
    if (!fileName_.empty() && fs.resolveLinks(target) == fs.resolveLinks(fileName_) && changedOnDisk() &&
        platform::boxes().show(saveOverChangeText(fileName_), ProgramTitle, Icon::Exclamation,
                               Buttons::YesNoDefaultNo) != Answer::Yes)
        return false;
    try {
        return mode_ == Mode::Entity ? saveEntityMode(target) : saveWholeFile(target);
    } catch (const RuntimeError& e) {
        platform::ShowKestrinError(e);
        return false;
    }
}

bool SourceDocument::saveWholeFile(const std::string& target) {
    const std::string text = view_.editorText();
    std::string notOnDisk;
    {
        BusyScope busy;
        try {
            notOnDisk =
                replaceFile(target, "", false, [&](OutputFile& out, InputFile*) { WriteEditorText(out, text); });
        } catch (const RuntimeError& e) {
            busy.end();
            platform::boxes().show(e.description(), ProgramTitle, Icon::Exclamation, Buttons::Ok);
            return false;
        }
    }
    setCaption("QVX: " + UCase(target));
    changed_ = false;
    // A later Save writes to the file the caption names.
    fileName_ = target;
    rememberFile();
    if (!notOnDisk.empty())
        platform::boxes().show(notOnDiskText(target, notOnDisk), ProgramTitle, Icon::Exclamation, Buttons::Ok);
    return true;
}

bool SourceDocument::saveEntityMode(const std::string& target) {
    const std::string text = view_.editorText();
    platform::FileSystem& fs = platform::files();
    BusyScope busy;
    // A file this user may not write is refused before a backup is made of it.
    const platform::FileFacts targetFacts = fs.facts(fs.resolveLinks(target));
    if (targetFacts.exists && !targetFacts.writable) platform::raise(platform::err::PermissionDenied);

    std::string source = fileName_;
    if (UCase(Trim(target)) == UCase(Trim(fileName_))) {
        const std::string backup = backupName(target);
        bool made = false;
        // A backup name that is the file itself would delete the file. The
        // backup must be whole and on the disk before the file is touched;
        // a backup that is a link is written where it points.
        if (!backup.empty() && backup != target && backup != fileName_) {
            try {
                made = replaceFile(backup, fileName_, true, [](OutputFile& out, InputFile* in) {
                           for (std::string chunk; !(chunk = in->readBytes(1 << 20)).empty();) out.write(chunk);
                       }).empty();
            } catch (const RuntimeError&) {}
        }
        if (!made) {
            busy.end();
            fileError("Can't make backup file!");
            return false;
        }
        source = backup;
    }

    std::string notOnDisk;
    try {
        notOnDisk = replaceFile(target, source, false, [&](OutputFile& out, InputFile* in) {
            if (currentName_ == DeclarationsName) {
                if (formHeader_) CopyFormHeader(*in, out);
                WriteEditorText(out, text);
                skipDeclarations(*in);
            } else {
                const std::string key = headingKey(text);
                if (key.empty() || !CopyUntilHeading(*in, out, key)) throw SaveAbandoned{};
                SkipEntityBody(*in);
                WriteEditorText(out, text);
            }
            CopyRest(*in, out);
        });
    } catch (const SaveAbandoned&) {
        // Shown once the file is back as it was.
        busy.end();
        platform::boxes().show(headingNotFoundText(currentName_, fileName_), ProgramTitle, Icon::Exclamation,
                               Buttons::Ok);
        return false;
    } catch (const RuntimeError& e) {
        busy.end();
        platform::ShowKestrinError(e);
        return false;
    }
    busy.end();

    fileName_ = target;
    rememberFile();
    if (!notOnDisk.empty())
        platform::boxes().show(notOnDiskText(target, notOnDisk), ProgramTitle, Icon::Exclamation, Buttons::Ok);
    std::unique_ptr<InputFile> in;
    try {
        in = fs.openRead(fileName_);
    } catch (const RuntimeError&) {
        fileError("Can't open file: " + fileName_);
        return true;
    }
    SplitEntities(std::move(in));
    return true;
}

void SourceDocument::CopyFormHeader(InputFile& in, OutputFile& out) {
    int depth = 0;
    std::string line, buffer;
    while (!in.atEnd()) {
        lineInput(in, line);
        const std::string t = Trim(line);
        writeLine(out, buffer, t, lineEnd());
        if (t.compare(0, 5, "Begin") == 0) {
            ++depth;
        } else if (t.compare(0, 3, "End") == 0) {
            if (depth-- == 1) return;
        }
    }
}

bool SourceDocument::CopyUntilHeading(InputFile& in, OutputFile& out, const std::string& key) {
    // A heading of the same name before the edited entity (a duplicate, or the
    // other branch of a conditional compilation) is not the one it replaces.
    std::int64_t from = 1;
    if (currentIndex_ >= 0 && static_cast<std::size_t>(currentIndex_) < records_.size())
        if (auto record = parseEntityRecord(records_[static_cast<std::size_t>(currentIndex_)])) from = record->start;
    std::string line, buffer;
    while (!in.atEnd()) {
        const std::int64_t at = in.position();
        lineInput(in, line);
        // The old heading is the line whose text before its parameter list is
        // the key, not any line that merely mentions it.
        const std::string_view head = trimBlanks(std::string_view(line).substr(0, line.find('(')));
        if (at >= from && head.size() == key.size() && startsWithText(head, key)) return true;
        writeLine(out, buffer, line, lineEnd());
    }
    return false;
}

void SourceDocument::SkipEntityBody(InputFile& in) { readEntityBody(in, nullptr); }

void SourceDocument::skipDeclarations(InputFile& in) {
    if (!in.atEnd()) readEntity(in, true, nullptr);
}

void SourceDocument::WriteEditorText(OutputFile& out, const std::string& text) {
    const std::string body = bareLf_ ? platform::toLfLineEnds(text) : text;
    out.write(body);
    out.write(lineEndAfter(body, lineEnd()));
}

void SourceDocument::CopyRest(InputFile& in, OutputFile& out) {
    std::string line, buffer;
    while (!in.atEnd()) {
        lineInput(in, line);
        writeLine(out, buffer, line, lineEnd());
    }
}

void SourceDocument::mnuFileClose_Click() {
    if (!changed_) return;
    const Answer a =
        platform::boxes().show("The text in [" + view_.caption() + "] has changed.\r\nDo you want to save the changes?",
                               "Confirm Save", Icon::Exclamation, Buttons::YesNoCancel);
    if (a != Answer::Yes) return;
    const std::string name = ShowSaveDialog();
    if (!name.empty()) SaveSourceFile(name);
}

bool SourceDocument::Form_QueryUnload() {
    if (!changed_) return false;
    const Answer a =
        platform::boxes().show("The text in [" + fileName_ + "] has changed.\r\nDo you want to save the changes?",
                               "Confirm Save", Icon::Exclamation, Buttons::YesNoCancel);
    if (a == Answer::No) return false;
    if (a != Answer::Yes) return true;
    const std::string name = ShowSaveDialog();
    if (name.empty()) return true;
    // A save that failed keeps the window open, so the edits are not lost.
    return !SaveSourceFile(name);
}

// ---------------------------------------------------------------------------
// The file on disk

namespace {

bool sameFile(const platform::FileFacts& a, const platform::FileFacts& b) {
    return a.exists == b.exists && a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified == b.modified;
}

}  // namespace

void SourceDocument::rememberFile() {
    platform::FileSystem& fs = platform::files();
    readFacts_ = toldFacts_ = fs.facts(fs.resolveLinks(fileName_));
}

bool SourceDocument::changedOnDisk() {
    if (fileName_.empty()) return false;
    platform::FileSystem& fs = platform::files();
    return !sameFile(fs.facts(fs.resolveLinks(fileName_)), readFacts_);
}

void SourceDocument::checkDiskOnFocus() {
    if (fileName_.empty() || checkingDisk_ || busyDepth_ > 0) return;
    platform::FileSystem& fs = platform::files();
    const platform::FileFacts now = fs.facts(fs.resolveLinks(fileName_));
    if (sameFile(now, readFacts_) || sameFile(now, toldFacts_)) return;
    toldFacts_ = now;
    // The box takes the focus and gives it back: that is no new change.
    checkingDisk_ = true;
    if (changed_) {
        platform::boxes().show(changedUnderEditsText(fileName_), ProgramTitle, Icon::Exclamation, Buttons::Ok);
    } else if (now.exists && platform::boxes().show(reloadText(fileName_), ProgramTitle, Icon::Exclamation,
                                                    Buttons::YesNoDefaultNo) == Answer::Yes) {
        const std::string shown = currentName_;
        if (OpenSourceFile(fileName_, mode_) && mode_ == Mode::Entity) {
            const int index = findEntity(shown);
            if (index > 0) cbProc_Click(index);
        }
    }
    checkingDisk_ = false;
}

bool SourceDocument::recover(Mode mode, const std::string& entity, const std::string& text) {
    if (!fileName_.empty() && mode != mode_) OpenSourceFile(fileName_, mode);
    if (!fileName_.empty() && mode == Mode::Entity) {
        const int index = findEntity(entity);
        if (index < 0 || mode_ != Mode::Entity) return false;
        if (index != currentIndex_) cbProc_Click(index);
    }
    view_.setEditorText(text);
    changed_ = true;
    return true;
}

}  // namespace editor
