// --indent and --print: the indenter and the report printer on the command line.
#include <cstdlib>
#include <iostream>
#include <iterator>

#include <QGuiApplication>

#include "Commands.h"
#include "indent/Indent.h"
#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "platform/TextCodec.h"
#include "platform/qt/QtPrinter.h"
#include "reports/Reports.h"
#include "textlib/TextLib.h"

namespace {

// Reads FILE, or standard input when there is none; nullopt (after saying
// why) when it cannot be read.
std::optional<std::string> readInput(const std::optional<std::string>& file) {
    if (!file) return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    try {
        return platform::realFileSystem().readAll(*file);
    } catch (const platform::RuntimeError& e) {
        std::cerr << "varnel: " << *file << ": " << e.description() << "\n";
        return std::nullopt;
    }
}

// A text with a selection, standing in for the editor window.
class TextTarget : public indent::IndentTarget {
public:
    explicit TextTarget(std::string text) : text_(std::move(text)) {}
    std::string selectedText() override { return text_.substr(start_, length_); }
    std::string text() override { return text_; }
    void setSelStart(std::int64_t start) override { start_ = static_cast<std::size_t>(start); }
    void setSelLength(std::int64_t length) override { length_ = static_cast<std::size_t>(length); }
    void setFocus() override {}
    void paste() override {
        const std::string block = platform::clipboard().text();
        text_.replace(start_, length_, block);
        start_ += block.size();
        length_ = 0;
        pasted = true;
    }
    bool pasted = false;

private:
    std::string text_;
    std::size_t start_ = 0;
    std::size_t length_ = 0;
};

}  // namespace

int cmdIndent(const std::optional<std::string>& file) {
    auto input = readInput(file);
    if (!input) return 1;
    // Nothing selected: the command indents the whole text.
    TextTarget target(platform::toCrLfLineEnds(*input));
    indent::Indent().E1QuickIndentProc(target);
    if (!target.pasted) return 1;
    const std::string out = target.text();
    std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
    std::cout.flush();
    return std::cout ? 0 : 1;
}

int cmdPrint(int argc, char** argv, const std::string& file, const std::optional<std::string>& pdf) {
    auto input = readInput(file);
    if (!input) return 1;
    const std::string text = platform::toCrLfLineEnds(*input);
    if (textlib::Trim(text).empty()) {
        platform::boxes().show("You have no text selected!", "Error", platform::Icon::Exclamation,
                               platform::Buttons::Ok);
        return 1;
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    try {
        platform::PrintJob job = platform::startPrintJob("Kestrin Editor", pdf);
        reports::PrintEditorText(*job.printer, text);
        // Without a printer the report went to a file the user did not name.
        if (!pdf && !job.pdfPath.empty()) std::cout << platform::pdfReportMessage(job.pdfPath) << "\n";
    } catch (const platform::RuntimeError& e) {
        std::cerr << "varnel: " << (pdf ? *pdf + ": " : std::string()) << e.description() << "\n";
        return 1;
    }
    return 0;
}
