#pragma once
// Line, word and substitution functions in the manner of the xBase text
// functions. Texts are byte strings (one byte, one character); positions are
// 1-based; lines are separated by CR LF. Letters and digits are ASCII only and
// a blank is the space character only.
#include <cstdint>
#include <string>

namespace textlib {

// Number of lines of text. width 0: lines end at CR LF only, and no line is
// counted after a final CR LF. MLCount("ab\r\nc", 0) == 2; MLCount("", 0) == 0.
std::int64_t MLCount(const std::string& text, int width);

// Line `line` (1-based) of text, broken as MLCount breaks it. width 0: the
// line without its CR LF, untrimmed; width > 0: trimmed. A line number
// beyond the count gives "". Keeps one program-wide cursor, so asking for
// lines 1, 2, 3, ... of a text in order costs one step per call.
std::string MemoLine(const std::string& text, int width, std::int64_t line);

// Resets the MemoLine cursor (to its start-up state).
void ResetMemoCursor();

// Position of the last occurrence of search in text (exact), 0 if none.
// LastAt(" ", "a b c") == 4.
std::int64_t LastAt(const std::string& search, const std::string& text);

// Consumes and returns the next word of text: letters, digits and the
// characters of extra. Characters before the word are skipped; the one that
// ends it is consumed. ExtractWord("  (abc_1+x", "_") == "abc_1", text "x".
std::string ExtractWord(std::string& text, const std::string& extra);

// True when the first character is an ASCII letter / digit.
bool IsAlpha(const std::string& text);
bool IsDigit(const std::string& text);

// Number of blanks at the start of text. LeadingSpaces("   x") == 3.
int LeadingSpaces(const std::string& text);

// Replaces the first occurrence of search (without regard to case) in text;
// changes text and returns it. ReplaceFirst("Left = LEFT", "left", "nLeft")
// gives "nLeft = LEFT".
std::string ReplaceFirst(std::string& text, const std::string& search, const std::string& replacement);

// Replaces every occurrence, exact / without regard to case; replacements are
// never rescanned. An empty search returns text unchanged.
// ReplaceAll("a.b.c", ".", "..") == "a..b..c".
std::string ReplaceAll(const std::string& text, const std::string& search, const std::string& replacement);
std::string ReplaceAllText(const std::string& text, const std::string& search, const std::string& replacement);

// ExtractWord with the Basic word characters: letters, digits, ! _ ' " and .
std::string NextCodeWord(std::string& text);

// Consumes and returns the next run of non-blank characters.
std::string NextSpacedWord(std::string& text);

// Helpers shared by the suite.
// Blanks (spaces only) removed at both ends / at the start / at the end.
std::string Trim(const std::string& text);
std::string LTrim(const std::string& text);
std::string RTrim(const std::string& text);
// ASCII upper / lower case.
std::string UCase(std::string text);
std::string LCase(std::string text);
char upperChar(char c);
// The upper case of a Windows-1252 letter, the way Western Windows upper-cased
// text: a-z, the accented letters à-þ (but ÷), š, œ, ž and ÿ; any other byte
// is itself (ß and µ have no upper case of one byte). For the case-blind
// searches users type into, where "ação" must find "AÇÃO".
//   upperLetter1252('\xE7') == '\xC7'; upperLetter1252('\xFF') == '\x9F'
char upperLetter1252(char c);
// 1-based position of search in text from start (exact / without regard to
// case), 0 if none; an empty search gives start (when start <= len + 1).
std::int64_t InStr(std::int64_t start, const std::string& text, const std::string& search);
std::int64_t InStrText(std::int64_t start, const std::string& text, const std::string& search);
// Equal without regard to case.
bool EqualsText(const std::string& a, const std::string& b);
// Like the Basic Mid$/Left$/Right$, with 1-based start; out of range gives "".
std::string Mid(const std::string& text, std::int64_t start, std::int64_t length = -1);
std::string Left(const std::string& text, std::int64_t length);
std::string Right(const std::string& text, std::int64_t length);

}  // namespace textlib
