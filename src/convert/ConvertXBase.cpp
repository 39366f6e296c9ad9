#include "convert/ConvertXBase.h"

#include <array>
#include <new>
#include <string_view>

#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "platform/TextCodec.h"
#include "textlib/TextLib.h"

namespace convert {

using textlib::ExtractWord;
using textlib::InStr;
using textlib::InStrText;
using textlib::Left;
using textlib::Mid;
using textlib::ReplaceAll;
using textlib::ReplaceAllText;
using textlib::ReplaceFirst;
using textlib::RTrim;
using textlib::Trim;
using textlib::UCase;

namespace {

const std::string CrLf = "\r\n";

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
// Characters of a name: the words that the reserved-word renaming and the
// whole-word searches look at.
bool isNameChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

bool beginsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }
bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Index just past the last non-blank character (0 when text is all blanks).
std::size_t endOfNonBlank(const std::string& text) {
    auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? 0 : last + 1;
}

// 1-based position of the first occurrence of phrase in text, without regard
// to case, that no name character touches on either side; 0 if none. A blank
// at an end of the phrase is its own boundary there.
// findWord("lSkipped = 1; skip", "skip") == 15.
std::int64_t findWord(const std::string& text, const std::string& phrase) {
    const bool checkBefore = isNameChar(phrase.front());
    const bool checkAfter = isNameChar(phrase.back());
    for (auto p = InStrText(1, text, phrase); p > 0; p = InStrText(p + 1, text, phrase)) {
        const auto at = static_cast<std::size_t>(p - 1);
        const auto past = at + phrase.size();
        if (checkBefore && at > 0 && isNameChar(text[at - 1])) continue;
        if (checkAfter && past < text.size() && isNameChar(text[past])) continue;
        return p;
    }
    return 0;
}

// Replaces every whole-word occurrence of word (without regard to case).
std::string replaceWords(const std::string& text, const std::string& word, const std::string& replacement) {
    std::string out;
    std::size_t from = 0;
    for (auto p = findWord(text, word); p > 0;) {
        const auto at = static_cast<std::size_t>(p - 1);
        out.append(text, from, at - from);
        out += replacement;
        from = at + word.size();
        const auto next = findWord(text.substr(from), word);
        p = next > 0 ? next + static_cast<std::int64_t>(from) : 0;
    }
    out.append(text, from, std::string::npos);
    return out;
}

struct ReservedWord {
    std::string_view upper;
    std::string_view replacement;
};

// Basic reserved names that xBase programs use as variable names.
constexpr std::array<ReservedWord, 10> ReservedWords{{
    {"LINE", "pString"},
    {"STRING", "cString"},
    {"RIGHT", "nRight"},
    {"LEFT", "nLeft"},
    {"DATA", "cData"},
    {"CSTR", "cstrg"},
    {"CURRENCY", "currncy"},
    {"EMPTY", "emty"},
    {"ERROR", "lError"},
    {"COUNT", "nCount"},
}};

const ReservedWord* reservedWord(const std::string& word) {
    const std::string upper = UCase(word);
    for (const auto& r : ReservedWords)
        if (upper == r.upper) return &r;
    return nullptr;
}

// Word characters of the "$" operands.
bool isOperandChar(char c) {
    return isLetter(c) || isDigit(c) || std::string_view("!_'\".()[]").find(c) != std::string_view::npos;
}

bool isMarker(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u == 223 || u == 181 || u == 239 || u == 167;
}

// Runs f and reports a run-time error escaping it in the "Program Error" box
// naming procName; then the fallback value is the result. Other exceptions
// (out of memory, a library's own) count as run-time errors too.
template <class R, class F>
R trapped(const char* procName, R fallback, F&& f) {
    try {
        return f();
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError(procName, "", e);
    } catch (const std::bad_alloc&) {
        platform::ShowProgramError(procName, "", platform::RuntimeError(7, "Out of memory"));
    } catch (const std::exception& e) {
        platform::ShowProgramError(procName, "", platform::RuntimeError(platform::err::InvalidProcedureCall, e.what()));
    }
    return fallback;
}

// Rewrites the expression form of "++" or "--" in line: every word holding
// the operator becomes a call of the before- or after-function.
void rewriteIncDec(std::string& line, const std::string& op, const std::string& extra, const std::string& before,
                   const std::string& after) {
    // Every pass changes the line and takes one operator out of a word (or
    // shortens the word that holds it), so the passes end; the cap is a guard.
    for (std::size_t passes = line.size() + 1; contains(line, op) && passes > 0; --passes) {
        const std::string start = line;
        std::string scan = line;
        while (!Trim(scan).empty()) {
            const std::string w = ExtractWord(scan, extra);
            if (!contains(w, op)) continue;
            const std::string r =
                beginsWith(w, op) ? before + w.substr(2) + ")" : after + w.substr(0, w.size() - 2) + ")";
            ReplaceFirst(line, w, r);
        }
        if (line == start) break;
    }
}

// `n += v` / `n -= v` as `n = n + v` / `n = n - v`, or the line unchanged.
std::string rewriteCompound(const std::string& line, char sign) {
    std::string s = line;
    const std::string n = ExtractWord(s, "_");
    const std::string o = ExtractWord(s, std::string("_") + sign + "=\x7f");
    if (o != std::string(1, sign) + "=") return line;
    const std::string v = ExtractWord(s, "_() +-");
    if (Trim(v).empty()) return line;
    const std::string z = ExtractWord(s, "_() +-");
    if (!Trim(z).empty()) return line;
    return n + " = " + n + " " + sign + " " + v;
}

// The state of one block conversion and the rules that rewrite its lines.
class BlockConverter {
public:
    BlockConverter(ConvertXBase& owner, std::string& out) : c_(owner), out_(out) {}

    // Converts one input line. fromBuffer: the line is the text left in the
    // continuation buffer at the end of the block.
    void convertLine(std::string L, bool fromBuffer);
    // Converts what the continuation buffer still holds and closes the last
    // procedure.
    void close();

private:
    void write(const std::string& x) {
        out_ += x;
        out_ += CrLf;
    }
    // Renames reserved words and writes the line without trailing blanks.
    void finish(std::string& L) {
        c_.ChangeResWords(L);
        write(RTrim(L));
    }
    // Ends the open procedure. Before the next head the end is followed by a
    // line holding one blank; at the end of the block a Function's end is
    // followed by an empty line.
    void closeProcedure(bool atBlockEnd) {
        write(procIsFunction_ ? "End Function" : "End Sub");
        write(procIsFunction_ && atBlockEnd ? "" : " ");
    }
    // The table object that record commands are written against.
    std::string table() const {
        const std::string a = Trim(alias_);
        return a.empty() ? "oTB" : a;
    }

    bool comments(std::string& L);
    bool declaration(std::string& L, const std::string& K);
    void expressions(std::string& L, const std::string& T);
    bool statement(std::string& L, const std::string& K, const std::string& T);
    void returnStatement(std::string& L);
    bool blockHeads(std::string& L, std::string& K, const std::string& T);
    bool recordCommands(std::string& L, const std::string& K, const std::string& T);

    ConvertXBase& c_;
    std::string& out_;

    std::string buffer_;           // text of preceding lines that ended with ";"
    bool inBlockComment_ = false;  // inside a "/*" ... "*/" comment
    std::string alias_;            // table chosen by the last SELECT
    std::string proc_;             // name of the open procedure
    bool procIsFunction_ = false;
    std::string loopKind_;     // "Do" or "For": the last loop head seen
    std::int64_t depth_ = 0;   // open blocks; only its falling below 0 matters
    bool caseOpened_ = false;  // the first CASE after DO CASE is converted
    bool loopLabel_ = false;   // a LOOP wants its label before the next ENDDO
};

void BlockConverter::convertLine(std::string L, bool fromBuffer) {
    if (!fromBuffer) {
        if (Trim(L).empty()) {
            finish(L);
            return;
        }
        // A continued line may carry a trailing comment after its ";": drop it
        // so that the ";" is seen.
        const auto semi = InStr(1, L, ";");
        if (semi > 0) {
            const auto amp = InStr(1, L, "&&");
            const auto slash = InStr(1, L, "//");
            if (amp > 0) {
                if (semi < amp) L = Left(L, amp - 1);
            } else if (slash > 0 && semi < slash) {
                L = Left(L, slash - 1);
            }
        }
        const std::string r = RTrim(L);
        if (!r.empty() && r.back() == ';') {
            buffer_ += Trim(r.substr(0, r.size() - 1));
            return;
        }
    }
    L = RTrim(buffer_ + Trim(L));
    buffer_.clear();
    std::string K = UCase(Trim(L));

    // xBase string delimiters become Basic ones.
    L = ReplaceAll(L, "'", "\"");

    if (comments(L)) return;
    if (declaration(L, K)) return;

    if (beginsWith(Trim(L), "#")) {
        ReplaceFirst(L, "#", "' #");
        finish(L);
        return;
    }
    // The test wants "local" followed by a blank; the first whole word
    // "local" is the one replaced.
    if (findWord(L, "local ") > 0) L.replace(static_cast<std::size_t>(findWord(L, "local") - 1), 5, "Dim");

    const std::string T = table();
    expressions(L, T);
    if (statement(L, K, T)) return;
    if (blockHeads(L, K, T)) return;
    if (recordCommands(L, K, T)) return;

    // What is left: IF and ELSEIF heads get their "Then"; DO name WITH args
    // becomes a call.
    const std::string t = Trim(L);
    if (UCase(Left(t, 3)) == "IF ") {
        const auto p = InStrText(1, L, "if");
        L.replace(static_cast<std::size_t>(p - 1), 2, "If");
        const auto q = InStr(1, L, "'");
        if (q == 0) L = RTrim(L) + " Then";
        else L = Trim(Left(L, q - 1)) + " Then " + Mid(L, q);
    }
    if (UCase(Left(t, 6)) == "ELSEIF") {
        const auto p = InStrText(1, L, "elseif");
        L.replace(static_cast<std::size_t>(p - 1), 6, "ElseIf");
        const auto q = InStr(1, L, "'");
        if (q > 0) L = Left(L, q - 1) + " Then " + Mid(L, q);
        else L += " Then";
    }
    if (beginsWith(K, "DO ") && InStrText(1, L, "enddo") == 0 && InStrText(1, L, "while") == 0) {
        ReplaceFirst(L, "DO ", "");
        // The blank keeps the procedure name and its first argument apart.
        L = ReplaceAllText(L, " with ", " ");
    }
    finish(L);
}

// Block comments and line comments. True when the line is done.
bool BlockConverter::comments(std::string& L) {
    const bool wasInComment = inBlockComment_;
    std::string t = Trim(L);
    if (beginsWith(t, "/*")) {
        L = ReplaceAll(L, "/*", "'");
        inBlockComment_ = true;
        if (contains(L, "*/")) {
            L = ReplaceAll(L, "*/", "");
            inBlockComment_ = false;
        }
        finish(L);
        return true;
    }
    if (beginsWith(t, "*/")) {
        L = ReplaceAll(L, "*/", "' */");
        inBlockComment_ = false;
        finish(L);
        return true;
    }
    if (const auto p1 = InStr(1, L, "/*"); p1 > 0) {
        // A comment opened after code: the comment goes on a line of its own,
        // written before the code.
        inBlockComment_ = !contains(L, "*/");
        const std::string c = "' " + ReplaceAll(ReplaceAll(Mid(L, p1), "/*", ""), "*/", "");
        L = Left(L, p1 - 1);
        write(c);
    }
    if (wasInComment && contains(L, "*/")) {
        // The last line of a comment that spans lines: everything up to its
        // "*/" is comment text, so the whole line stays a comment rather than
        // turning the comment's words into statements.
        inBlockComment_ = false;
        L = "' " + Trim(L);
        finish(L);
        return true;
    }
    if (contains(L, "*/")) {
        inBlockComment_ = false;
        ReplaceFirst(L, "*/", "' */");
    }
    // Lines inside the comment become comment lines; the code in front of a
    // "/*" that opens the comment stays code.
    if (inBlockComment_ && wasInComment) {
        L = "' " + Trim(L);
        finish(L);
        return true;
    }

    t = Trim(L);
    for (const char* mark : {"*", "//", "&&"}) {
        if (beginsWith(t, mark)) {
            ReplaceFirst(L, mark, "'");
            finish(L);
            return true;
        }
    }
    // A trailing comment is written on a line of its own before its statement.
    for (const char* mark : {"//", "&&"}) {
        if (const auto p = InStr(1, L, mark); p > 0) {
            write("' " + Mid(L, p + 2));
            L = Left(L, p - 1);
            break;
        }
    }
    return false;
}

// PRIVATE, PUBLIC and LOCAL: one Basic declaration per word. True when the
// line is a declaration (and so done).
bool BlockConverter::declaration(std::string& L, const std::string& K) {
    const std::string k4 = Left(K, 4);
    const char* keyword = nullptr;
    const char* note = nullptr;
    if (k4 == "PUBL") {
        keyword = "Global ";
        note = " converted to Global (must be moved to Moduele Declaration Section)";
    } else if (beginsWith(K, "LOCAL")) {
        keyword = "Dim ";
        note = " converted to Dims";
    } else if (k4 == "PRIV") {
        keyword = "Dim ";
        note = " converted to Dim (may need to move to Module Scope)";
    } else {
        return false;
    }
    std::string w = textlib::NextCodeWord(L);
    write("' " + w + note);
    for (;;) {
        w = textlib::NextCodeWord(L);
        if (Trim(w).empty()) return true;
        std::string d = keyword + w;
        write(c_.ChangeResWords(d));
    }
}

// Rewrites of functions and operators that apply to every remaining line.
void BlockConverter::expressions(std::string& L, const std::string& T) {
    if (InStrText(1, L, "found()") > 0) ReplaceFirst(L, "found()", T + ".NoMatch");
    if (InStrText(1, L, "empty(") > 0) L = ReplaceAllText(L, "empty(", "Emty(");
    if (InStrText(1, L, ".and.") > 0) L = ReplaceAllText(L, ".and.", " And ");
    if (InStrText(1, L, ".or.") > 0) L = ReplaceAllText(L, ".or.", " Or ");
    if (InStrText(1, L, ".not.") > 0) L = ReplaceAllText(L, ".not.", " Not ");
    if (contains(L, "!=")) L = ReplaceAll(L, "!=", "<>");
    // "!" is negation unless it stands inside the first string literal; this
    // runs before "->" becomes "!", so alias->field keeps its "!".
    if (const auto bang = InStr(1, L, "!"); bang > 0) {
        const auto quote = InStr(1, L, "\"");
        if (quote == 0 || bang < quote) L = ReplaceAll(L, "!", "Not ");
    }
    if (contains(L, "==")) L = ReplaceAll(L, "==", "=");
    if (contains(L, ":=")) L = ReplaceAll(L, ":=", "=");
    if (contains(L, "[")) L = ReplaceAll(L, "[", "(");
    if (contains(L, "]")) L = ReplaceAll(L, "]", ")");
    if (contains(L, "->")) L = ReplaceAll(L, "->", "!");
    if (InStrText(1, L, ".t.") > 0) L = ReplaceAllText(L, ".T.", " True ");
    if (InStrText(1, L, ".f") > 0) L = ReplaceAllText(L, ".F.", " False ");
}

// The statements recognised by their first word; the first that matches
// decides the line. True when the line is done.
bool BlockConverter::statement(std::string& L, const std::string& K, const std::string& T) {
    auto asComment = [&] {
        L = "' " + Trim(L);
        finish(L);
        return true;
    };
    if (beginsWith(K, "DELETE")) {
        ReplaceFirst(L, "delete", T + ".Delete");
        finish(L);
        return true;
    }
    if (beginsWith(K, "PACK") || beginsWith(K, "DECLARE") || beginsWith(K, "READ") || beginsWith(K, "RELEASE") ||
        beginsWith(K, "SAVE") || beginsWith(K, "RESTORE") || beginsWith(K, "RESTSCREEN") || beginsWith(K, "@") ||
        beginsWith(K, "SET "))
        return asComment();
    if (beginsWith(K, "INDEX ON")) {
        ReplaceFirst(L, "index on", T + ".Index = ");
        finish(L);
        return true;
    }
    if (beginsWith(K, "BREAK")) {
        ReplaceFirst(L, "BREAK", "GoTo " + proc_ + "BreakEnd");
        finish(L);
        return true;
    }
    if (beginsWith(K, "CLOSE")) {
        write("' " + Trim(L));
        L = contains(L, "database") ? "DB.Close" : T + ".Close";
        finish(L);
        return true;
    }
    if (beginsWith(K, "REPLACE")) {
        std::string copy = L;
        c_.GetNextVBWord(copy);
        const std::string field = c_.GetNextVBWord(copy);
        // The value follows the keyword WITH (a whole word, so that a field
        // such as WITHDRAWN is not taken for it).
        const auto with = findWord(L, "with");
        const std::string value = with > 0 ? Trim(Mid(L, with + 5)) : "";
        write("' " + Trim(L));
        // A field written alias->field already names its table.
        write((contains(field, "!") ? field : T + "!" + field) + " = " + value);
        return true;
    }
    if (beginsWith(K, "RUN ")) return asComment();
    if (beginsWith(K, "APPEND")) {
        ReplaceFirst(L, "append", T + ".AddNew");
        finish(L);
        return true;
    }
    if (beginsWith(K, "ERASE")) {
        ReplaceFirst(L, "erase", "Kill");
        finish(L);
        return true;
    }
    if (beginsWith(K, "LOOP") && !contains(L, ":")) {
        ReplaceFirst(L, "LOOP", "GoTo " + proc_ + "LupEnd");
        loopLabel_ = true;
        finish(L);
        return true;
    }
    if (beginsWith(K, "RETURN")) {
        returnStatement(L);
        finish(L);
        return true;
    }
    if (beginsWith(K, "ENDIF")) {
        ReplaceFirst(L, "endif", "End If");
        if (--depth_ < 0) {
            L = "' " + Trim(L);
            depth_ = 0;
        }
        finish(L);
        return true;
    }
    if (beginsWith(K, "ENDDO")) {
        ReplaceFirst(L, "ENDDO", "Loop");
        if (--depth_ < 0) {
            L = "' " + Trim(L);
            depth_ = 0;
        }
        if (loopLabel_) {
            write(proc_ + "LupEnd:");
            loopLabel_ = false;
        }
        write(L);
        return true;
    }
    if (beginsWith(K, "END ") || K == "END") {
        // END closes an IF, or, with no block open, a BEGIN SEQUENCE: then it
        // becomes the label that BREAK jumps to.
        ReplaceFirst(L, "end", "End If");
        if (--depth_ < 0) {
            write("' END SEQUENCE");
            L = proc_ + "BreakEnd:";
            depth_ = 0;
        }
        finish(L);
        return true;
    }
    if (beginsWith(K, "SELECT") && !beginsWith(K, "SELECT(")) {
        // The alias is the first non-blank token after the keyword; a SELECT
        // without one leaves the alias empty.
        c_.SetTokenSource(L);
        c_.GetNextWord();
        std::string token;
        do {
            token = c_.GetNextWord();
        } while (!token.empty() && Trim(token).empty());
        alias_ = token;
        return true;
    }
    return false;
}

// RETURN leaves the procedure; a return value is assigned to the procedure's
// name first (in upper case, as the statement is upper-cased).
void BlockConverter::returnStatement(std::string& L) {
    // The keyword the test matched goes first: a continued "RETURN ;" is
    // joined to its value without a blank ("RETURNHPDF_X > 1").
    L = replaceWords(Mid(UCase(Trim(L)), 7), "RETURN", "");
    if (Trim(L).empty()) {
        L = procIsFunction_ ? "   Exit Function" : "   Exit Sub";
        return;
    }
    L = ReplaceAll(ReplaceAll(L, "(", ""), ")", "");
    L = ReplaceAll(ReplaceAll(L, ".T.", "True"), ".F.", "False");
    write(proc_ + " = " + Trim(L));
    L = "Exit Function";
}

// Loop heads, CASE structures, procedure heads, CONTINUE and the block depth.
// True when the line is done.
bool BlockConverter::blockHeads(std::string& L, std::string& K, const std::string& T) {
    ReplaceFirst(L, "else", "Else");
    K = UCase(Trim(L));

    if (beginsWith(K, "WHILE")) {
        loopKind_ = "Do";
        ReplaceFirst(L, "while", "Do While");
        ++depth_;
    } else if (beginsWith(K, "FOR ")) {
        loopKind_ = "For";
    }
    ReplaceFirst(L, "eof()", T + ".EOF");

    // Basic has no DO CASE: the cases become an If ... ElseIf chain.
    if (beginsWith(K, "DO CASE")) {
        L = "' Do Case Sequence converted due to Incompatability with VB";
        caseOpened_ = false;
        finish(L);
        return true;
    }
    if (beginsWith(K, "CASE ")) {
        ReplaceFirst(L, "CASE", caseOpened_ ? "ElseIf" : "If");
        caseOpened_ = true;
    } else if (beginsWith(K, "OTHERWISE")) {
        ReplaceFirst(L, "OTHERWISE", "Else");
        finish(L);
        return true;
    } else if (beginsWith(K, "ENDCASE")) {
        ReplaceFirst(L, "ENDCASE", "End If");
        finish(L);
        return true;
    }

    // Procedure heads: a new head ends the procedure before it.
    const bool procHead = beginsWith(K, "PROCEDURE") || beginsWith(K, "PROC ");
    const bool funcHead = beginsWith(K, "FUNC ") || beginsWith(K, "FUNCTION");
    if ((procHead || funcHead) && !Trim(proc_).empty()) closeProcedure(false);
    if (procHead) procIsFunction_ = false;
    else if (funcHead) procIsFunction_ = true;
    if (contains(Left(K, 9), "PROCEDURE")) ReplaceFirst(L, "PROCEDURE", "Sub");
    if (contains(Left(K, 8), "FUNCTION")) ReplaceFirst(L, "FUNCTION ", "Function ");
    if (contains(Left(K, 5), "FUNC ")) ReplaceFirst(L, "func ", "Function ");
    if (contains(Left(K, 5), "PROC ")) ReplaceFirst(L, "proc ", "Sub ");
    // Basic heads already in the block count as well.
    const bool isFunction = UCase(Left(L, 9)) == "FUNCTION ";
    if (isFunction || UCase(Left(L, 4)) == "SUB ") {
        procIsFunction_ = isFunction;
        alias_.clear();
        std::string copy = L;
        c_.GetNextVBWord(copy);
        proc_ = c_.GetNextVBWord(copy);
    }

    if (beginsWith(K, "CONTINUE")) {
        ReplaceFirst(L, "CONTINUE", T + ".FindNext ");
        finish(L);
        return true;
    }

    K = UCase(Trim(L));
    if (beginsWith(K, "IF ") || beginsWith(K, "SELECT CASE") || beginsWith(K, "WHILE ")) {
        ++depth_;
    } else if (beginsWith(K, "DO WHILE")) {
        ++depth_;
        loopKind_ = "Do";
    } else {
        std::string copy = K;
        const std::string f = ExtractWord(copy, "_");
        if (f == "END" || f == "LOOP" || f == "WEND" || f == "ENDIF" || f == "ENDCASE" || f == "ENDDO") {
            if (--depth_ < 0) {
                depth_ = 0;
                if (f == "END") L = "' END SEQUENCE " + L;
                finish(L);
                return true;
            }
        }
    }
    return false;
}

// Function names, the operators, EXIT, BEGIN SEQUENCE and the record
// commands. True when the line is done.
bool BlockConverter::recordCommands(std::string& L, const std::string& K, const std::string& T) {
    if (InStrText(1, L, "substr") > 0) L = ReplaceAllText(L, "SUBSTR", "Mid");
    if (InStrText(1, L, "alltrim") > 0) L = ReplaceAllText(L, "alltrim", "Trim");
    if (InStrText(1, L, "upper(") > 0) L = ReplaceAllText(L, "upper(", "UCase(");
    if (InStrText(1, L, "if(") > 0 && InStrText(1, L, "iif") == 0) L = ReplaceAllText(L, "IF(", "IIF(");

    if (contains(L, "$")) {
        write("' Complex String Operators may or may not be converted properly");
        write("' " + Trim(L));
        L = c_.ProcessStringOperator(L);
    }
    if (contains(L, "++") || contains(L, "--")) L = c_.ConvertIncDecOperators(L);
    if (contains(L, "+=")) L = c_.ConvertPlusEquals(L);
    if (contains(L, "-=")) L = c_.ConvertMinusEquals(L);
    if (contains(L, "TYPE(")) {
        L = ReplaceAllText(L, "TYPE(", "VarType(");
        L = ReplaceAll(L, "\"", "");
    }

    if (beginsWith(K, "EXIT")) {
        ReplaceFirst(L, "EXIT", "Exit " + loopKind_);
        finish(L);
        return true;
    }
    if (beginsWith(K, "BEGIN SEQUENCE")) {
        L = "' " + Trim(L);
        finish(L);
        return true;
    }

    // Record positioning. SKIP, GO and GOTO are taken as whole words only, so
    // that names such as lSkipped or Cargo stay as they are.
    if (const auto p = findWord(L, "skip"); p > 0) {
        L.replace(static_cast<std::size_t>(p - 1), 4, T + (contains(L, "-1") ? ".MovePrevious" : ".MoveNext"));
        finish(L);
        return true;
    }
    struct Move {
        const char* phrase;
        std::size_t length;  // of the words replaced
        std::string replacement;
    };
    const Move moves[] = {
        {"go top", 6, T + ".MoveFirst"},      {"go bottom", 9, T + ".MoveLast"}, {"goto top", 8, T + ".MoveFirst"},
        {"goto bottom", 11, T + ".MoveLast"}, {"goto ", 4, T + ".BookMark = "},  {"go ", 2, T + ".BookMark = "},
    };
    // "goto " and "go " want a blank after the word; the first whole word is
    // the one replaced, wherever the blank was found.
    for (const auto& m : moves)
        if (findWord(L, m.phrase) > 0) {
            const auto p = findWord(L, std::string(m.phrase).substr(0, m.length));
            L.replace(static_cast<std::size_t>(p - 1), m.length, m.replacement);
        }

    if (beginsWith(K, "SEEK ")) {
        // SEEK key: a seek for equality; a key a+b becomes two key values.
        ReplaceFirst(L, "Seek ", T + ".Seek \"=\",");
        ReplaceFirst(L, "+", ",");
        finish(L);
        return true;
    }
    if (beginsWith(K, "LOCATE")) {
        ReplaceFirst(L, "LOCATE ", T + ".FindFirst ");
        finish(L);
        return true;
    }
    if (beginsWith(K, "USE ")) {
        ReplaceFirst(L, "USE", "' USE");
        finish(L);
        return true;
    }
    return false;
}

void BlockConverter::close() {
    // A block that ends inside a continuation: its text is the last line.
    if (!buffer_.empty()) convertLine("", true);
    if (!Trim(proc_).empty()) closeProcedure(true);
}

}  // namespace

void ConvertXBase::ConvertXBaseBlock(const std::string& cInStrg, std::string& cOutStrg) {
    trapped("ConvertXBaseBlock", 0, [&] {
        BlockConverter block(*this, cOutStrg);
        const auto count = textlib::MLCount(cInStrg, 0);
        for (std::int64_t i = 1; i <= count; ++i) block.convertLine(textlib::MemoLine(cInStrg, 0, i), false);
        block.close();
        return 0;
    });
}

std::string ConvertXBase::ConvertIncDecOperators(std::string& strline) {
    std::string copy = strline;
    const std::string first = ExtractWord(copy, "+_-");
    if (contains(first, "++") || contains(first, "--")) {
        // Statement form: only the first word survives.
        if (contains(strline, "++")) {
            copy = strline;
            return "Inc " + ReplaceAll(ExtractWord(copy, "+_"), "++", "");
        }
        copy = strline;
        const std::string w = ExtractWord(copy, "-_");
        if (contains(w, "--")) return "Dec " + ReplaceAll(w, "--", "");
        return strline;
    }
    rewriteIncDec(strline, "++", "+_", "IncB(", "IncA(");
    rewriteIncDec(strline, "--", "-_", "DecB(", "DecA(");
    return strline;
}

std::string ConvertXBase::GetNextVBWord(std::string& srcLine) {
    return trapped("GetNextVBWord", std::string(), [&] { return ExtractWord(srcLine, "!_'\"."); });
}

std::string ConvertXBase::ConvertPlusEquals(const std::string& pLine) { return rewriteCompound(pLine, '+'); }

std::string ConvertXBase::ConvertMinusEquals(const std::string& pLine) { return rewriteCompound(pLine, '-'); }

std::string ConvertXBase::ProcessStringOperator(const std::string& pstrLine) {
    std::string S = pstrLine;
    // Each "$" of the line is rewritten at most once: an operand that itself
    // holds a "$" (in a string) puts one back.
    std::size_t operators = 0;
    for (char c : pstrLine)
        if (c == '$') ++operators;
    for (; operators > 0; --operators) {
        const auto P = InStr(1, S, "$");
        if (P == 0) break;
        const auto q1 = InStr(1, S, "\"");
        const auto q2 = q1 > 0 ? InStr(q1 + 1, S, "\"") : 0;
        if (q1 > 0 && q2 > 0 && q1 < P && P < q2) break;  // the "$" is inside a string

        std::string before = Left(S, P - 1);
        std::string A;
        for (;;) {
            std::string w = GetNextPSOWord(before);
            if (Trim(w).empty()) break;
            A = std::move(w);
        }
        std::string after = Mid(S, P + 1);
        const std::string B = Trim(GetNextPSOWord(after));
        if (B.empty()) break;

        // Operands that occur again in the line cannot be told apart from
        // their other occurrence: the line is left as it came. (So is a "$"
        // with no left operand: the empty text occurs everywhere.)
        ReplaceFirst(S, A, "");
        ReplaceFirst(S, B, "");
        if (InStrText(1, S, A) > 0 || InStrText(1, S, B) > 0) return pstrLine;
        ReplaceFirst(S, "$", std::string("InStr(1, ").append(B).append(", ").append(A).append(", 1) > 0"));
    }
    return S;
}

std::string ConvertXBase::GetNextPSOWord(std::string& srcLine) {
    return trapped("GetNextPSOWord", std::string(), [&]() -> std::string {
        std::string w;
        int depth = 0;
        bool inQuote = false;
        const std::size_t end = endOfNonBlank(srcLine);
        std::size_t i = 0;
        auto done = [&](std::string word) {
            srcLine.erase(0, i);
            return word;
        };
        for (;;) {
            if (i >= end) {
                if (depth > 0) ReplaceFirst(w, "(", "");
                return done(w);
            }
            const char c = srcLine[i];
            if (c == '"') inQuote = !inQuote;
            bool take = false;
            if (c == '(' && !inQuote) {
                ++depth;
            } else if (c == ')') {
                if (inQuote) {
                    take = true;
                } else if (--depth < 0) {
                    ++i;  // an unmatched ")" is dropped
                    continue;
                }
            }
            if (!take && !inQuote && !isOperandChar(c)) {
                ++i;
                if (Trim(w).empty()) continue;
                // A word that ends inside an open "(" loses that "(".
                if (depth > 0) ReplaceFirst(w, "(", "");
                if (Trim(w).empty()) continue;
                return done(w);
            }
            w += c;
            ++i;
        }
    });
}

std::string ConvertXBase::GetNextWord() {
    return trapped("GetNextWord", std::string(), [&]() -> std::string {
        std::string t;
        bool blanks = false;
        while (tokenPos_ <= tokenEnd_) {
            const char c = tokenSource_.at(static_cast<std::size_t>(tokenPos_ - 1));
            ++tokenPos_;
            if (c == ' ') {
                if (!blanks && !t.empty()) {
                    --tokenPos_;
                    return t;
                }
                blanks = true;
                t += c;
                continue;
            }
            if (c == '\r') {
                if (!t.empty()) {
                    --tokenPos_;
                    return t;
                }
                if (tokenPos_ <= tokenEnd_ && tokenSource_.at(static_cast<std::size_t>(tokenPos_ - 1)) == '\n') {
                    ++tokenPos_;
                    return CrLf;
                }
                return "\r";
            }
            if (isMarker(c)) {
                if (!t.empty()) {
                    --tokenPos_;
                    return t;
                }
                return std::string(1, c);
            }
            if (blanks) {
                --tokenPos_;
                return t;
            }
            t += c;
        }
        return t;
    });
}

std::string ConvertXBase::ChangeResWords(std::string& pString) {
    std::string out;
    out.reserve(pString.size() + 8);
    std::size_t i = 0;
    while (i < pString.size()) {
        if (!isNameChar(pString[i])) {
            out += pString[i++];
            continue;
        }
        std::size_t j = i;
        while (j < pString.size() && isNameChar(pString[j])) ++j;
        const std::string word = pString.substr(i, j - i);
        if (const auto* r = reservedWord(word)) out += r->replacement;
        else out += word;
        i = j;
    }
    pString = std::move(out);
    return pString;
}

void ConvertXBase::SetTokenSource(const std::string& text) {
    tokenSource_ = text;
    tokenPos_ = 1;
    tokenEnd_ = static_cast<std::int64_t>(text.size());
}

std::string ConvertXBaseSource(const std::string& bytes) {
    const std::string text = platform::toCrLfLineEnds(bytes);
    ConvertXBase converter;
    std::string out;
    converter.ConvertXBaseBlock(text, out);
    return out;
}

}  // namespace convert
