#pragma once
// What screen readers see of the text box: its text, caret and selection,
// text by character, word and line, and the editing of it, through Qt's
// accessible text interfaces. Offsets are the buffer's positions, so a line
// end held as CR LF counts two.

namespace textbox {

// Makes every SourceTextView answer with these interfaces; once is enough.
void installSourceTextAccessible();

}  // namespace textbox
