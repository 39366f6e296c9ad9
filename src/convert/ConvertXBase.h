#pragma once
// The xBase to Basic converter: a line-by-line rewriter of xBase statements,
// operators and reserved words into Basic. Not a parser: each line goes
// through a fixed, ordered list of textual rules, with a little state carried
// from line to line (the open procedure, the current table, loop and block
// bookkeeping). Texts are byte strings; lines are separated by CR LF.
#include <cstdint>
#include <string>

namespace convert {

class ConvertXBase {
public:
    virtual ~ConvertXBase() = default;

    // Converts the block cInStrg (lines separated by CR LF) and appends the
    // Basic lines to cOutStrg, each ending with CR LF. A run-time error is
    // shown in the "Program Error" box; the lines converted before it stay
    // in cOutStrg.
    void ConvertXBaseBlock(const std::string& cInStrg, std::string& cOutStrg);

    // Rewrites "++" and "--": `nCount++` gives `Inc nCount`, `x = i++ + j++`
    // gives `x = IncA(i) + IncA(j)`, `x = --i` gives `x = DecB(i)`. The
    // expression form changes strline itself; the rewritten line is returned.
    std::string ConvertIncDecOperators(std::string& strline);

    // Consumes and returns the next Basic name or literal of srcLine: letters,
    // digits, ! _ ' " and . `  x.Value! = 1` gives `x.Value!`, leaving `= 1`.
    std::string GetNextVBWord(std::string& srcLine);

    // `n += v` gives `n = n + v` when v is made of names, numbers, blanks,
    // parentheses, "+" and "-" only; any other line comes back unchanged.
    std::string ConvertPlusEquals(const std::string& pLine);
    // The same for `n -= v`, giving `n = n - v`.
    std::string ConvertMinusEquals(const std::string& pLine);

    // Rewrites the substring operator: `IF "a" $ cStr` gives
    // `IF  InStr(1, cStr, "a", 1) > 0 `. A "$" inside the first string
    // literal stops the rewriting; operands that occur twice in the line
    // leave the whole line unchanged.
    std::string ProcessStringOperator(const std::string& pstrLine);

    // Consumes and returns the next operand of the "$" operator: quoted
    // strings, parentheses and brackets stay together. `Upper(cName)) more`
    // gives `Upper(cName)` (the unmatched ")" is dropped); `f(a` gives `fa`.
    std::string GetNextPSOWord(std::string& srcLine);

    // Next token of the tokenizer source: a run of blanks, CR LF (or a lone
    // CR), one marker character (bytes 223, 181, 239, 167) or a run of other
    // characters; "" at the end. `SELECT  2` gives `SELECT`, `  `, `2`, "".
    std::string GetNextWord();

    // Renames every whole-word occurrence of a Basic reserved word (LINE,
    // STRING, RIGHT, LEFT, DATA, CSTR, CURRENCY, EMPTY, ERROR, COUNT), in
    // place: `count = count + 1` gives `nCount = nCount + 1`.
    virtual std::string ChangeResWords(std::string& pString);

    // Makes text the tokenizer source of GetNextWord, read from its first
    // character to its last.
    void SetTokenSource(const std::string& text);

private:
    std::string tokenSource_;
    std::int64_t tokenPos_ = 1;  // 1-based index of the next character
    std::int64_t tokenEnd_ = 0;  // index of the last character
};

// Converts the bytes of a file as the editor shows them: a bare LF counts as
// a line end (it becomes CR LF) before the block goes to ConvertXBaseBlock.
// Returns exactly what ConvertXBaseBlock appends.
std::string ConvertXBaseSource(const std::string& bytes);

}  // namespace convert
