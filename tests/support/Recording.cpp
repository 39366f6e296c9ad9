#include "support/Recording.h"

#include <cmath>

#include "platform/RuntimeError.h"

namespace platform {
Answer RecordingMessageBoxes::show(const std::string& text, const std::string& title, Icon icon, Buttons buttons) {
    Answer a = defaultAnswer(buttons);
    if (!answers_.empty()) {
        a = answers_.front();
        answers_.pop_front();
    }
    shown.push_back({text, title, icon, buttons, a});
    return a;
}

std::optional<std::vector<std::string>> RecordingFileDialogs::next() {
    if (results_.empty()) return std::nullopt;
    auto r = results_.front();
    results_.pop_front();
    return r;
}

std::optional<std::string> RecordingFileDialogs::openFile(const std::string& title, const std::string& filter) {
    calls.push_back({"open", title, filter, ""});
    auto r = next();
    if (!r || r->empty()) return std::nullopt;
    return r->front();
}

std::optional<std::vector<std::string>> RecordingFileDialogs::openFiles(const std::string& title,
                                                                        const std::string& filter) {
    calls.push_back({"openMany", title, filter, ""});
    return next();
}

std::optional<std::string> RecordingFileDialogs::saveFile(const std::string& title, const std::string& filter,
                                                          const std::string& initialName) {
    calls.push_back({"save", title, filter, initialName});
    auto r = next();
    if (!r || r->empty()) return std::nullopt;
    return r->front();
}

std::string RecordingInputBox::ask(const std::string& prompt, const std::string&, const std::string&) {
    prompts.push_back(prompt);
    if (answers_.empty()) return "";
    std::string a = answers_.front();
    answers_.pop_front();
    return a;
}

int RecordingPrinter::textWidth(const std::string& text) {
    double em = size_ * 20.0;
    double perChar = (font_ == "Courier New" ? 0.6 : 0.5) * em;
    return static_cast<int>(std::lround(perChar * static_cast<double>(text.size())));
}

int RecordingPrinter::textHeight(const std::string&) { return static_cast<int>(std::lround(size_ * 20.0 * 1.15)); }

void RecordingPrinter::printText(const std::string& text) {
    PrinterOp op;
    op.kind = PrinterOp::Text;
    op.text = text;
    op.x = x_;
    op.y = y_;
    op.width = textWidth(text);
    op.height = textHeight(text);
    op.font = font_;
    op.size = size_;
    op.bold = bold_;
    op.page = page_;
    ops.push_back(op);
    x_ += op.width;
}

void RecordingPrinter::drawLine(int x1, int y1, int x2, int y2) {
    PrinterOp op;
    op.kind = PrinterOp::Line;
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.width = lineWidth_;
    op.font = font_;
    op.size = size_;
    op.bold = bold_;
    op.page = page_;
    ops.push_back(op);
}

void RecordingPrinter::newPage() {
    PrinterOp op;
    op.kind = PrinterOp::NewPage;
    op.page = page_;
    ops.push_back(op);
    ++page_;
    x_ = 0;
    y_ = 0;
}

void RecordingPrinter::endDocument() {
    PrinterOp op;
    op.kind = PrinterOp::EndDocument;
    op.page = page_;
    ops.push_back(op);
    ended_ = true;
}

std::vector<std::string> RecordingPrinter::texts() const {
    std::vector<std::string> out;
    for (const auto& op : ops)
        if (op.kind == PrinterOp::Text) out.push_back(op.text);
    return out;
}

void FaultyFileSystem::hit(const std::string& kind, const std::string& path) {
    int n = ++calls[kind];
    if (kind != "read") {
        std::string entry = kind + " " + path.substr(path.rfind('/') + 1);
        if (kind != "write" || log.empty() || log.back() != entry) log.push_back(std::move(entry));
    }
    auto it = faults_.find(kind);
    if (it != faults_.end() && it->second.first == n) raise(it->second.second);
}

namespace {

class FaultyInputFile : public InputFile {
public:
    FaultyInputFile(std::unique_ptr<InputFile> real, FaultyFileSystem& fs) : real_(std::move(real)), fs_(fs) {}
    bool readLine(std::string& line) override {
        fs_.hit("read");
        return real_->readLine(line);
    }
    std::string readBytes(std::int64_t count) override {
        fs_.hit("read");
        return real_->readBytes(count);
    }
    std::int64_t position() const override { return real_->position(); }
    void seek(std::int64_t position) override { real_->seek(position); }
    bool atEnd() override { return real_->atEnd(); }
    std::int64_t length() const override { return real_->length(); }

private:
    std::unique_ptr<InputFile> real_;
    FaultyFileSystem& fs_;
};

class FaultyOutputFile : public OutputFile {
public:
    FaultyOutputFile(std::unique_ptr<OutputFile> real, FaultyFileSystem& fs, std::string path)
        : real_(std::move(real)), fs_(fs), path_(std::move(path)) {}
    void write(const std::string& bytes) override {
        fs_.hit("write", path_);
        real_->write(bytes);
    }
    void sync() override {
        fs_.hit("sync", path_);
        real_->sync();
    }
    void close() override {
        fs_.hit("close", path_);
        real_->close();
    }

private:
    std::unique_ptr<OutputFile> real_;
    FaultyFileSystem& fs_;
    std::string path_;
};

}  // namespace

std::unique_ptr<InputFile> FaultyFileSystem::openRead(const std::string& path) {
    hit("openRead", path);
    return std::make_unique<FaultyInputFile>(real_.openRead(path), *this);
}

std::unique_ptr<OutputFile> FaultyFileSystem::openWrite(const std::string& path) {
    hit("openWrite", path);
    return std::make_unique<FaultyOutputFile>(real_.openWrite(path), *this, path);
}

std::unique_ptr<OutputFile> FaultyFileSystem::openNew(const std::string& path, bool defaultPermissions) {
    hit("openNew", path);
    return std::make_unique<FaultyOutputFile>(real_.openNew(path, defaultPermissions), *this, path);
}

void FaultyFileSystem::rename(const std::string& from, const std::string& to) {
    hit("rename", to);
    real_.rename(from, to);
}

void FaultyFileSystem::syncFolder(const std::string& path) {
    hit("syncFolder", path);
    real_.syncFolder(path);
}

void FaultyFileSystem::remove(const std::string& path) {
    hit("remove", path);
    real_.remove(path);
}

RecordingDesktop::RecordingDesktop() {
    Services s;
    s.boxes = &boxes;
    s.clipboard = &clipboard;
    s.dialogs = &dialogs;
    s.input = &input;
    s.busy = &busy;
    s.pump = &pump;
    scope_.emplace(s);
}

}  // namespace platform
