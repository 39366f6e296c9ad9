#pragma once
// The editor's block commands: Comment, Uncomment, Convert, Concatenate and
// Print Selected Text. Each takes the selection of the editor's text box, or
// its whole text when nothing is selected, as a block of lines separated by
// CR LF. A transformed block goes back through the clipboard and the window's
// Edit > Paste command, so that it replaces the selection exactly as a paste
// by the user would, and stays on the clipboard afterwards.
//
// Plain C++: the window is seen through indent::IndentTarget, the interface
// the indenter uses for the same paste-back.
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "indent/Indent.h"
#include "platform/Printer.h"

namespace editor {

using EditorTarget = indent::IndentTarget;

// The block with every line commented: its leading blanks, an apostrophe,
// the line without leading and trailing blanks, CR LF. Blank and already
// commented lines are commented too.
//   CommentBlock("a = 1\r\n  b = 2  ") == "'a = 1\r\n  'b = 2\r\n"
//   CommentBlock("  ") == "  '\r\n";  CommentBlock("") == ""
std::string CommentBlock(const std::string& block);

// The block with the first apostrophe removed from every line that begins
// with one after its leading blanks, and trailing blanks removed from every
// line; each line ends with CR LF.
//   UncommentBlock("  ' x = 1  ") == "   x = 1\r\n"
//   UncommentBlock("x = 'a'") == "x = 'a'\r\n"
std::string UncommentBlock(const std::string& block);

// Puts block on the clipboard, gives the text box the focus and runs the
// window's Paste command, which replaces the selection with it.
void PasteBack(EditorTarget& window, const std::string& block);

// Comments the selected lines (the whole text when nothing is selected,
// after selecting it). A text of blanks only is refused with "You have no
// text selected!". A run-time error is shown in a "Kestrin Error" box.
void CommentLines(EditorTarget& window);

// Uncomments the selected lines (the whole text when nothing is selected,
// after selecting it). Only an empty text is refused, with "You have no text
// selected!": a text of blanks is taken and loses its trailing blanks. A
// run-time error is shown in a "Kestrin Error" box.
void UncommentLines(EditorTarget& window);

// Converts the selected xBase text to Basic and pastes the result over it.
// The selection is taken as it is, even when empty (the empty result is then
// pasted at the caret). A run-time error is shown in the "Program Error" box
// naming ConvertXBaseProc.
void ConvertXBaseProc(EditorTarget& window);

// Appends the selected text (the whole text when nothing is selected, after
// selecting it) to the clipboard's text, without a separator. The editor
// text does not change. A text of blanks only is refused with "You have no
// text to concatenate!". A run-time error is shown in a "Kestrin Error" box.
void ConcatenateToClipboard(EditorTarget& window);

// The text Print Selected Text prints: the selection, or the whole text when
// nothing is selected (the selection stays as it is). When the whole text is
// blanks only it says "You have no text selected!" and gives nullopt.
std::optional<std::string> TextToPrint(EditorTarget& window);

// Prints TextToPrint as the editor's 120-column report. `openPrinter` is
// called only when there is something to print and gives the printer to
// print on. True when a report was printed.
bool PrintSelectedText(EditorTarget& window, const std::function<platform::Printer&()>& openPrinter,
                       std::function<std::tm()> now = {});

}  // namespace editor
