// The documentation of every rule, in catalogue order, and the forms it is
// shown in.
#include "lint/RuleDocs.h"

#include <array>

#include "lint/Findings.h"
#include "textlib/TextLib.h"

namespace lint {

namespace {

const std::array<RuleDoc, 31> Docs{{
    {"SF001",
     "A Dim, Public or Private line that declares several names but gives a type to fewer of them: every name "
     "without its own \"As\" clause is a Variant.",
     "\"Dim a, b As Long\" reads as two Longs but makes a a Variant: slower, and it accepts any value without "
     "complaint.",
     "modMain.bas", "Private Sub mTotal()\n    Dim lCount, lLimit As Long\nEnd Sub",
     "Private Sub mTotal()\n    Dim lCount As Long, lLimit As Long\nEnd Sub"},
    {"SF002",
     "A variable declared with Private or Dim in the declarations section of a module whose name does not start "
     "with \"m\".",
     "The \"m\" tells a reader of a procedure that the variable outlives the call and is shared by the whole "
     "module.",
     "modMain.bas", "Private lCount As Long", "Private mlCount As Long"},
    {"SF003", "A variable declared inside a procedure whose name does not start with \"l\".",
     "The \"l\" tells a reader at once that the variable lives only for this call and that no other procedure "
     "sees it.",
     "modMain.bas", "Private Sub mShow()\n    Dim sName As String\nEnd Sub",
     "Private Sub mShow()\n    Dim lsName As String\nEnd Sub"},
    {"SF004",
     "A variable, parameter or member whose name, after its scope prefix, does not start with the prefix of its "
     "data type (\"l\" for Long, \"s\" for String, \"dt\" for Date, and those of the user definitions).",
     "The type prefix shows a value's type wherever the name is used, far from its declaration, so that mixing "
     "types is seen when the code is read.",
     "modMain.bas", "Private mCount As Long", "Private mlCount As Long"},
    {"SF004b",
     "A control of a form whose name does not start with the prefix of its control class (\"txt\" for a text "
     "box, \"cmd\" for a command button, and those of the user definitions).",
     "Names such as Text1 or Command3 say nothing about what the control is for, and the event procedures named "
     "after them say nothing either.",
     "frmMain.frm", "Begin VB.Form frmMain\n   Begin VB.TextBox Text1\n   End\nEnd",
     "Begin VB.Form frmMain\n   Begin VB.TextBox txtName\n   End\nEnd"},
    {"SF005", "A Function head (or a Declare of a function) without an \"As\" type after its parameter list.",
     "A function without a return type returns a Variant: slower, and a caller cannot see what it gets back.",
     "modMain.bas", "Public Function Total(ByRef rlA As Long)\nEnd Function",
     "Public Function Total(ByRef rlA As Long) As Long\nEnd Function"},
    {"SF006", "A parameter passed by reference (ByRef, or without a keyword) whose name does not start with \"r\".",
     "A procedure that assigns to a ByRef parameter changes the caller's variable; the \"r\" warns whoever edits "
     "the procedure.",
     "modMain.bas", "Public Sub Add(lValue As Long)\nEnd Sub", "Public Sub Add(rlValue As Long)\nEnd Sub"},
    {"SF007", "A parameter passed ByVal whose name does not start with \"v\".",
     "The \"v\" says that the procedure works on its own copy, so that assigning to it changes nothing for the "
     "caller.",
     "modMain.bas", "Public Sub Add(ByVal lValue As Long)\nEnd Sub", "Public Sub Add(ByVal vlValue As Long)\nEnd Sub"},
    {"SF008", "A name that ends in a type-declaration character (#, $, %, &, @ or !) instead of an \"As\" clause.",
     "Suffix characters are easy to miss and hard to search for; a declared type and a type prefix say the same "
     "plainly.",
     "modMain.bas", "Private msName$", "Private msName As String"},
    {"SF009", "A Sub, Function or Declare head without Public or Private.",
     "Without a keyword a procedure is Public: it becomes part of the module's interface by accident, and other "
     "modules come to depend on it.",
     "modMain.bas", "Sub Refresh()\nEnd Sub", "Public Sub Refresh()\nEnd Sub"},
    {"SF010", "A Dim in the declarations section of a module.",
     "A module-level Dim is Private, but the line does not say so; Private (or Public) states the intended scope.",
     "modMain.bas", "Dim mlCount As Long", "Private mlCount As Long"},
    {"SF011",
     "A variable declared with Static whose name does not start with \"st\". No line reaches this check as the "
     "rules stand (Static lines go to the statement rules), so it is never filed; the id is kept so that "
     "baselines and lists that name it stay valid.",
     "A Static variable keeps its value from one call to the next; the \"st\" warns that the procedure has "
     "memory.",
     "modMain.bas", "Private Sub mCount()\n    Static lCalls As Long\nEnd Sub",
     "Private Sub mCount()\n    Static stlCalls As Long\nEnd Sub"},
    {"SF012", "A parameter passed ByVal in a procedure that is not a Declare of an outside library.",
     "ByVal copies the argument on every call (a whole String, for instance); ByRef passes it without a copy. "
     "ByVal is needed only where a DLL or an out-of-process server expects it.",
     "modMain.bas", "Public Sub Add(ByVal vlValue As Long)\nEnd Sub", "Public Sub Add(ByRef rlValue As Long)\nEnd Sub"},
    {"SF013",
     "A BAS module whose internal name (its Attribute VB_Name) starts with none of \"pri\", \"mod\", \"glo\" or "
     "\"pub\".",
     "The prefix says whether the module holds shared, global state or private helpers; without one the module "
     "is taken to be private.",
     "modUtilities.bas", "Attribute VB_Name = \"Utilities\"\nOption Explicit",
     "Attribute VB_Name = \"modUtilities\"\nOption Explicit"},
    {"SF014", "A class module whose internal name does not start with \"cls\".",
     "The prefix tells a class from a module or a form wherever the name is used, in code and in the project.",
     "clsOrder.cls", "Attribute VB_Name = \"Order\"\nOption Explicit",
     "Attribute VB_Name = \"clsOrder\"\nOption Explicit"},
    {"SF015", "A form whose internal name does not start with \"frm\".",
     "The prefix tells a form from a class or a module wherever the name is used, in code and in the project.",
     "frmMain.frm", "Attribute VB_Name = \"Main\"\nOption Explicit",
     "Attribute VB_Name = \"frmMain\"\nOption Explicit"},
    {"SF016", "A constant whose name is not written in capitals.",
     "Capitals (with \"_\" between the words) set constants apart from variables, so that nobody tries to assign "
     "to one.",
     "modMain.bas", "Private Const MaxRows As Long = 100", "Private Const MAX_ROWS As Long = 100"},
    {"SF017", "A variable or procedure whose name starts with \"g\" (a global) but that is declared Private.",
     "A name that promises a global and a Private scope contradict each other; one of them misleads the reader.",
     "modMain.bas", "Private gsUser As String", "Public gsUser As String"},
    {"SF018", "A Function or Property whose name starts with \"m\" (module scope) but that is declared Public.",
     "A name that promises module scope and a Public procedure contradict each other; other modules may come to "
     "call it.",
     "modMain.bas", "Public Function mTotal() As Long\nEnd Function",
     "Private Function mTotal() As Long\nEnd Function"},
    {"SF019", "A Private Sub or Function whose name does not start with \"m\".",
     "The \"m\" shows at every call that the procedure belongs to this module and can be changed without looking "
     "elsewhere.",
     "modMain.bas", "Private Sub Refresh()\nEnd Sub", "Private Sub mRefresh()\nEnd Sub"},
    {"SF020",
     "A name whose body (after its scope and type prefixes) has no capital letter, or starts with six or more "
     "letters without a lower-case one.",
     "Capitals at the start of each syllable make a long name readable: rowcount and ROWCOUNT read worse than "
     "RowCount.",
     "modMain.bas", "Private mlrowcount As Long", "Private mlRowCount As Long"},
    {"SF021", "A module whose file name (without its extension) is not part of its internal name.",
     "When the file and the name inside it differ, a module is hard to find from the project, and renaming one "
     "of them goes unnoticed.",
     "modUtilities.bas", "Attribute VB_Name = \"modTools\"\nOption Explicit",
     "Attribute VB_Name = \"modUtilities\"\nOption Explicit"},
    {"SF022", "A variable or parameter declared without an \"As\" type.",
     "An untyped name is a Variant: slower, larger, and any value goes into it without an error until much "
     "later.",
     "modMain.bas", "Private mlCount", "Private mlCount As Long"},
    {"SF023", "A module without an \"Option Explicit\" line before its first declaration or procedure.",
     "Without it, a misspelt variable name silently creates a new Variant instead of failing to compile.",
     "modMain.bas", "Attribute VB_Name = \"modMain\"\nPrivate mlCount As Long",
     "Attribute VB_Name = \"modMain\"\nOption Explicit\nPrivate mlCount As Long"},
    {"SF024", "A statement in a form that starts with a text box's .Text or a label's .Caption written out.",
     "These are the controls' default properties; leaving them out was the faster form of access in this "
     "environment.",
     "frmMain.frm", "Private Sub cmdClear_Click()\n    txtName.Text = \"\"\nEnd Sub",
     "Private Sub cmdClear_Click()\n    txtName = \"\"\nEnd Sub"},
    {"SF025", "A command button or menu item of a form whose caption has no access key (\"&\").",
     "Without an access key a button cannot be reached from the keyboard with Alt and a letter, which matters to "
     "fast typists and to users who cannot use a mouse.",
     "frmMain.frm",
     "Begin VB.Form frmMain\n   Begin VB.CommandButton cmdOK\n      Caption         =   \"OK\"\n   End\nEnd",
     "Begin VB.Form frmMain\n   Begin VB.CommandButton cmdOK\n      Caption         =   \"&OK\"\n   End\nEnd"},
    {"SF026",
     "A call of Left, Right, Mid, Trim, LTrim, RTrim, Chr or Str without the \"$\" that makes it return a "
     "String.",
     "Without \"$\" these functions return a Variant that is converted back to a String: slower, and a Null "
     "passes through where a String was expected.",
     "modMain.bas", "Private Sub mShow(ByRef rsName As String)\n    Debug.Print Left(rsName, 1)\nEnd Sub",
     "Private Sub mShow(ByRef rsName As String)\n    Debug.Print Left$(rsName, 1)\nEnd Sub"},
    {"SF027", "A variable, parameter or member declared As Variant.",
     "A Variant is larger and slower than a typed value and accepts anything, so type errors surface late; use "
     "it only where no other type will do.",
     "modMain.bas", "Private mvntItems As Variant", "Private mcolItems As Collection"},
    {"SF028", "A logical line longer than 150 characters before its first continuation (\" _\").",
     "A line wider than the code window must be scrolled to be read, and its end is missed in reviews and "
     "diffs.",
     "modMain.bas",
     "Private Sub mWarn()\n    MsgBox \"The order could not be saved because another user has locked the "
     "customer record. Please try again in a few minutes.\", vbExclamation, \"Orders\"\nEnd Sub",
     "Private Sub mWarn()\n    MsgBox \"The order could not be saved because another user has locked the \" & "
     "_\n        \"customer record. Please try again in a few minutes.\", vbExclamation, \"Orders\"\nEnd Sub"},
    {"SF029", "A Global declaration in a BAS module whose internal name labels it private (\"mod\" or \"pri\").",
     "A module labelled private should not create global variables; a reader looking for globals would not look "
     "there.",
     "modMain.bas", "Attribute VB_Name = \"modMain\"\nGlobal gsUser As String",
     "Attribute VB_Name = \"modMain\"\nPublic gsUser As String"},
    {"SF030",
     "A Private or Dim declaration in a BAS module whose internal name labels it public (\"glo\" or \"pub\"). No "
     "line reaches this check as the rules stand, so it is never filed; the id is kept so that baselines and "
     "lists that name it stay valid.",
     "A module labelled public is expected to hold shared declarations; private state in it is easy to "
     "overlook.",
     "pubMain.bas", "Attribute VB_Name = \"pubMain\"\nPrivate msUser As String",
     "Attribute VB_Name = \"pubMain\"\nPublic gsUser As String"},
}};

const char* gradeWord(scan::Grade grade) {
    switch (grade) {
        case scan::Grade::Error: return "Error";
        case scan::Grade::Warning: return "Warning";
        case scan::Grade::Suggest: return "Suggest";
    }
    return "";
}

// The lines of an example, each after `indent`, each ending in a line end.
std::string indented(std::string_view code, std::string_view indent) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = code.find('\n', start);
        ((out += indent) += code.substr(start, lf == std::string_view::npos ? lf : lf - start)) += '\n';
        if (lf == std::string_view::npos) return out;
        start = lf + 1;
    }
}

// Roff text: a backslash doubled, a leading "." or "'" guarded, "-" as a
// minus sign where it is one in code.
std::string roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        lineStart = c == '\n';
    }
    return out;
}

}  // namespace

std::span<const RuleDoc> ruleDocs() { return Docs; }

const RuleDoc* ruleDoc(std::string_view id) {
    for (const RuleDoc& d : Docs)
        if (textlib::EqualsText(d.id, std::string(id))) return &d;
    return nullptr;
}

const scan::CatalogueEntry& catalogueRow(const RuleDoc& doc) {
    return scan::messageCatalogue()[static_cast<std::size_t>(&doc - Docs.data())];
}

std::string explainText(const RuleDoc& doc) {
    const scan::CatalogueEntry& row = catalogueRow(doc);
    std::string out = std::string(doc.id) + " (" + gradeWord(row.grade) + "): " + oneLineMessage(row) + "\n\n";
    out += std::string(doc.checks) + "\n\nWhy: " + doc.why + "\n\n";
    out += "Filed (" + std::string(doc.file) + "):\n" + indented(doc.fires, "    ");
    out += "\nNot filed:\n" + indented(doc.passes, "    ");
    return out;
}

std::string explainMarkdown(const RuleDoc& doc) {
    const scan::CatalogueEntry& row = catalogueRow(doc);
    std::string out = "**" + std::string(doc.id) + "** (" + gradeWord(row.grade) + "): " + oneLineMessage(row) + "\n\n";
    out += std::string(doc.checks) + "\n\n**Why:** " + doc.why + "\n\n";
    out += "Filed (`" + std::string(doc.file) + "`):\n\n```vb\n" + indented(doc.fires, "") + "```\n\n";
    out += "Not filed:\n\n```vb\n" + indented(doc.passes, "") + "```\n";
    return out;
}

std::string rulesManSection() {
    std::string out = ".SH RULES\n";
    for (const RuleDoc& d : Docs) {
        const scan::CatalogueEntry& row = catalogueRow(d);
        out += ".TP\n.B " + std::string(d.id) + "\n";
        out += roff(std::string(gradeWord(row.grade)) + ": " + oneLineMessage(row)) + "\n.br\n";
        out += roff(d.checks) + "\n.IP\n" + roff(d.why) + "\n";
        out += ".IP\nFiled:\n.RS\n.RS 4\n.nf\n" + roff(d.fires) +
               "\n.fi\n.RE\n.RE\n.IP\nNot filed:\n.RS\n.RS 4\n.nf\n" + roff(d.passes) + "\n.fi\n.RE\n.RE\n";
    }
    return out;
}

}  // namespace lint
