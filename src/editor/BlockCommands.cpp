#include "editor/BlockCommands.h"

#include <cstdint>
#include <exception>
#include <new>

#include "convert/ConvertXBase.h"
#include "platform/Desktop.h"
#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "reports/Reports.h"
#include "textlib/TextLib.h"

namespace editor {

namespace {

const char* const CrLf = "\r\n";

// Calls f(line) for every line of block, as MLCount and MemoLine with width
// 0 break it: at CR LF only, a final CR LF adding no line. Every line of the
// block is visited, however many there are.
template <class F>
void forEachLine(const std::string& block, F&& f) {
    const std::int64_t count = textlib::MLCount(block, 0);
    for (std::int64_t i = 1; i <= count; ++i) f(textlib::MemoLine(block, 0, i));
}

void sayNothingSelected(const char* text) {
    platform::boxes().show(text, "Error", platform::Icon::Exclamation, platform::Buttons::Ok);
}

// The block a command works on: the selection, or the whole text when
// nothing is selected. `acceptable` tests the whole text; when it fails the
// user is told `refusal` and there is no block. Otherwise the whole text is
// selected, so that the paste-back replaces all of it.
template <class Test>
std::optional<std::string> takeBlock(EditorTarget& window, Test acceptable, const char* refusal) {
    std::string selected = window.selectedText();
    if (!selected.empty()) return selected;
    std::string whole = window.text();
    if (!acceptable(whole)) {
        sayNothingSelected(refusal);
        return std::nullopt;
    }
    window.setSelStart(0);
    window.setSelLength(static_cast<std::int64_t>(whole.size()));
    return whole;
}

bool notBlank(const std::string& text) { return !textlib::Trim(text).empty(); }
bool notEmpty(const std::string& text) { return !text.empty(); }

// The exception being handled as a run-time error: itself when it is one,
// "Out of memory" (7) when memory ran out, otherwise error 5 with its text.
platform::RuntimeError currentError() {
    try {
        throw;
    } catch (const platform::RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return platform::RuntimeError(7, "Out of memory");
    } catch (const std::exception& e) {
        return platform::RuntimeError(platform::err::InvalidProcedureCall, e.what());
    }
}

// Runs a command body with the editor window's trap: a run-time error ends
// the command with its description in a "Kestrin Error" box.
template <class F>
void withKestrinTrap(F&& body) {
    try {
        body();
    } catch (const std::exception&) {
        platform::ShowKestrinError(currentError());
    }
}

}  // namespace

std::string CommentBlock(const std::string& block) {
    std::string out;
    out.reserve(block.size() + block.size() / 8 + 4);
    forEachLine(block, [&](const std::string& line) {
        out.append(static_cast<std::size_t>(textlib::LeadingSpaces(line)), ' ');
        out += '\'';
        out += textlib::Trim(line);
        out += CrLf;
    });
    return out;
}

std::string UncommentBlock(const std::string& block) {
    std::string out;
    out.reserve(block.size() + 4);
    forEachLine(block, [&](std::string line) {
        if (textlib::LTrim(line).starts_with('\'')) textlib::ReplaceFirst(line, "'", "");
        out += textlib::RTrim(line);
        out += CrLf;
    });
    return out;
}

void PasteBack(EditorTarget& window, const std::string& block) {
    platform::clipboard().setText(block);
    window.setFocus();
    window.paste();
}

void CommentLines(EditorTarget& window) {
    const auto block = takeBlock(window, notBlank, "You have no text selected!");
    if (!block) return;
    withKestrinTrap([&] { PasteBack(window, CommentBlock(*block)); });
}

void UncommentLines(EditorTarget& window) {
    const auto block = takeBlock(window, notEmpty, "You have no text selected!");
    if (!block) return;
    withKestrinTrap([&] { PasteBack(window, UncommentBlock(*block)); });
}

void ConvertXBaseProc(EditorTarget& window) {
    try {
        const std::string selected = window.selectedText();
        std::string output;
        {
            convert::ConvertXBase converter;
            converter.ConvertXBaseBlock(selected, output);
        }
        PasteBack(window, output);
    } catch (const std::exception&) {
        platform::ShowProgramError("ConvertXBaseProc", "", currentError());
    }
}

void ConcatenateToClipboard(EditorTarget& window) {
    const auto block = takeBlock(window, notBlank, "You have no text to concatenate!");
    if (!block) return;
    withKestrinTrap([&] {
        // Setting the text replaces whatever the clipboard held. It is not
        // emptied first: a failure then leaves the collected pieces on it.
        platform::clipboard().setText(platform::clipboard().text() + *block);
    });
}

std::optional<std::string> TextToPrint(EditorTarget& window) {
    std::string selected = window.selectedText();
    if (!selected.empty()) return selected;
    std::string whole = window.text();
    if (!notBlank(whole)) {
        sayNothingSelected("You have no text selected!");
        return std::nullopt;
    }
    return whole;
}

bool PrintSelectedText(EditorTarget& window, const std::function<platform::Printer&()>& openPrinter,
                       std::function<std::tm()> now) {
    const auto text = TextToPrint(window);
    if (!text) return false;
    reports::PrintEditorText(openPrinter(), *text, std::move(now));
    return true;
}

}  // namespace editor
