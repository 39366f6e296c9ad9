#pragma once
// The quick indenter: re-indents a block of Basic source by the keywords at
// the start of its lines, three spaces per level. It never parses the
// language, and never reorders, joins or splits lines.
#include <cstdint>
#include <string>

namespace indent {

// What the indenter needs of the editor window: its text box's selection and
// whole text (CR LF line ends; positions 0-based, as the window converts
// them), its focus, and its Edit > Paste command.
class IndentTarget {
public:
    virtual ~IndentTarget() = default;
    virtual std::string selectedText() = 0;
    virtual std::string text() = 0;
    virtual void setSelStart(std::int64_t start) = 0;
    virtual void setSelLength(std::int64_t length) = 0;
    // Gives the focus to the text box.
    virtual void setFocus() = 0;
    // The window's Edit > Paste: replaces the selection with the clipboard's text.
    virtual void paste() = 0;
};

// Spaces per block level.
constexpr int IndentUnit = 3;

// The re-indented text: every line of `text` (pieces between CR LF pairs; a
// final CR LF adds no line) rebuilt with its level's spaces in front and
// followed by CR LF. The first line starts at level 0 when the text, without
// its leading spaces, begins with "Func" or "Sub ", otherwise at 3.
//   ReindentText("If a Then\r\nb\r\nEnd If") == "   If a Then\r\n      b\r\n   End If\r\n"
std::string ReindentText(const std::string& text);

class Indent {
public:
    // Re-indents the window's selection, or its whole text when nothing is
    // selected (after selecting it all), and replaces the selection with the
    // result through the clipboard and the window's Paste command. Says
    // "You have no text to indent!" when there is nothing but blanks; reports
    // a run-time error in a "Kestrin Error" box.
    void E1QuickIndentProc(IndentTarget& oFrm);
};

}  // namespace indent
