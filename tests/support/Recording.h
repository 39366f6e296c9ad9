#pragma once
// Recording test doubles of the desktop services. Tests script the answers
// (next message box answer, next dialog result) and read back what happened.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

namespace platform {

struct ShownBox {
    std::string text;
    std::string title;
    Icon icon;
    Buttons buttons;
    Answer answer;
};

class RecordingMessageBoxes : public MessageBoxes {
public:
    // Answers are taken in order; when none is scripted the box gives
    // defaultAnswer.
    void answerNext(Answer a) { answers_.push_back(a); }
    Answer show(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override;

    std::vector<ShownBox> shown;
    const ShownBox& last() const { return shown.back(); }
    void clear() {
        shown.clear();
        answers_.clear();
    }

private:
    std::deque<Answer> answers_;
};

class RecordingClipboard : public Clipboard {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& t) override {
        text_ = t;
        ++sets;
    }
    void clear() override {
        text_.clear();
        ++clears;
    }
    int sets = 0;
    int clears = 0;

private:
    std::string text_;
};

struct DialogCall {
    std::string kind;  // "open", "openMany", "save"
    std::string title;
    std::string filter;
    std::string initialName;
};

class RecordingFileDialogs : public FileDialogs {
public:
    // Scripted results in order; unscripted calls are cancelled.
    void chooseNext(std::string path) { results_.push_back(std::vector<std::string>{std::move(path)}); }
    void chooseNextMany(std::vector<std::string> paths) { results_.push_back(std::move(paths)); }
    void cancelNext() { results_.push_back(std::nullopt); }

    std::optional<std::string> openFile(const std::string& title, const std::string& filter) override;
    std::optional<std::vector<std::string>> openFiles(const std::string& title, const std::string& filter) override;
    std::optional<std::string> saveFile(const std::string& title, const std::string& filter,
                                        const std::string& initialName) override;

    std::vector<DialogCall> calls;

private:
    std::optional<std::vector<std::string>> next();
    std::deque<std::optional<std::vector<std::string>>> results_;
};

class RecordingInputBox : public InputBox {
public:
    void typeNext(std::string text) { answers_.push_back(std::move(text)); }
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    std::vector<std::string> prompts;

private:
    std::deque<std::string> answers_;
};

class RecordingBusyPointer : public BusyPointer {
public:
    void begin() override {
        busy = true;
        ++begins;
    }
    void end() override {
        busy = false;
        ++ends;
    }
    bool busy = false;
    int begins = 0;
    int ends = 0;
};

class CountingEventPump : public EventPump {
public:
    void processEvents() override {
        ++count;
        if (onPump) onPump();
    }
    int count = 0;
    std::function<void()> onPump;
};

// One recorded printer operation, with the font in force when it ran.
struct PrinterOp {
    enum Kind { Text, Line, NewPage, EndDocument };
    Kind kind = Text;
    std::string text;    // Text
    int x = 0, y = 0;    // Text: top left; Line: first point
    int x2 = 0, y2 = 0;  // Line: second point
    int width = 0;       // Text: measured width; Line: line width
    int height = 0;      // Text: measured height
    std::string font;
    double size = 0;
    bool bold = false;
    int page = 1;
};

// A printer that records what is drawn. Fonts are measured as a fixed-pitch
// approximation: a character is 0.6 em wide for Courier New and 0.5 em
// otherwise, and a line is 1.15 em high (1 pt = 20 twips). The page defaults
// to a Letter sheet's printable area (11,520 x 14,976 twips, quarter-inch margins).
class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(int width = 11520, int height = 14976) : width_(width), height_(height) {}

    int printableWidth() const override { return width_; }
    int printableHeight() const override { return height_; }
    void setFontName(const std::string& name) override { font_ = name; }
    void setFontSize(double points) override { size_ = points; }
    void setBold(bool b) override { bold_ = b; }
    std::string fontName() const override { return font_; }
    double fontSize() const override { return size_; }
    bool bold() const override { return bold_; }
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;
    void setCurrentX(int x) override { x_ = x; }
    void setCurrentY(int y) override { y_ = y; }
    int currentX() const override { return x_; }
    int currentY() const override { return y_; }
    void printText(const std::string& text) override;
    void setLineWidth(int w) override { lineWidth_ = w; }
    void drawLine(int x1, int y1, int x2, int y2) override;
    void newPage() override;
    void endDocument() override;

    std::vector<PrinterOp> ops;
    int page() const { return page_; }
    bool ended() const { return ended_; }
    // The texts printed, in order.
    std::vector<std::string> texts() const;

private:
    int width_, height_;
    std::string font_ = "Arial";
    double size_ = 10;
    bool bold_ = false;
    int x_ = 0, y_ = 0;
    int lineWidth_ = 1;
    int page_ = 1;
    bool ended_ = false;
};

// Wraps a file system and makes chosen operations fail: the Nth call (1-based)
// of an operation kind throws the given run-time error. Kinds: "openRead",
// "openWrite", "openNew", "read", "write", "sync", "close", "rename",
// "syncFolder", "remove".
class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& real) : real_(real) {}
    void failOn(const std::string& kind, int nth, long errorNumber = err::PathFileAccess) {
        faults_[kind] = {nth, errorNumber};
    }
    // How often each kind was called.
    std::map<std::string, int> calls;
    // Every call but reads, in order: the kind and the last part of the path
    // ("rename MAIN.BAS"); repeated writes to one file count once.
    std::vector<std::string> log;

    std::unique_ptr<InputFile> openRead(const std::string& path) override;
    std::unique_ptr<OutputFile> openWrite(const std::string& path) override;
    std::unique_ptr<OutputFile> openNew(const std::string& path, bool defaultPermissions) override;
    void rename(const std::string& from, const std::string& to) override;
    void syncFolder(const std::string& path) override;
    std::vector<std::string> listFolder(const std::string& folder) override { return real_.listFolder(folder); }
    void remove(const std::string& path) override;
    bool exists(const std::string& path) override { return real_.exists(path); }
    void copyPermissions(const std::string& model, const std::string& path) override {
        real_.copyPermissions(model, path);
    }
    std::string resolveLinks(const std::string& path) override { return real_.resolveLinks(path); }
    FileFacts facts(const std::string& path) override {
        FileFacts f = real_.facts(path);
        if (adjustFacts) adjustFacts(f);
        return f;
    }
    std::string tempFolder() override { return tempFolderOverride.empty() ? real_.tempFolder() : tempFolderOverride; }
    // Pretends what a user without the superuser's rights would find.
    std::function<void(FileFacts&)> adjustFacts;
    std::string tempFolderOverride;

    // Counts a call of `kind` on `path` and throws when it is the one to fail.
    void hit(const std::string& kind, const std::string& path = "");

private:
    FileSystem& real_;
    std::map<std::string, std::pair<int, long>> faults_;
};

// All doubles together, installed for the lifetime of the object.
class RecordingDesktop {
public:
    RecordingDesktop();
    RecordingMessageBoxes boxes;
    RecordingClipboard clipboard;
    RecordingFileDialogs dialogs;
    RecordingInputBox input;
    RecordingBusyPointer busy;
    CountingEventPump pump;

private:
    std::optional<ScopedServices> scope_;
};

}  // namespace platform
