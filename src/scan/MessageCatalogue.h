#pragma once
// The findings the scanner can report: one table of texts, grades and
// numbers. Rules name an entry by its MessageId and never write message text.
#include <span>
#include <string>

namespace scan {

// The grade of a finding is the first letter of its text: "E", "W" or "S".
enum class Grade { Error, Warning, Suggest };

// Whether a rule files the finding against one line or against the module.
enum class FindingKind { Line, Module };

// One id per catalogue row; the value is the row's number (ControlPrefix is
// row "4b", the module form of TypePrefix, with the same text).
enum class MessageId {
    MultipleVarsWithoutTypes = 1,  // Dim of several names with fewer types
    ModuleVarPrefix = 2,           // module-level name without "m"
    LocalVarPrefix = 3,            // local name without "l"
    TypePrefix = 4,                // name prefix vs data type
    FunctionReturnType = 5,        // function head without "As"
    ByRefParamPrefix = 6,          // by-reference parameter without "r"
    ByValParamPrefix = 7,          // by-value parameter without "v"
    TypeSuffix = 8,                // name ending in #$%&@
    ProcedureScope = 9,            // head without Public/Private
    ModuleLevelDim = 10,           // "Dim" in the declarations section
    StaticPrefix = 11,             // Static name without "st"
    ByValExpensive = 12,           // ByVal outside a Declare
    BasInternalName = 13,          // BAS internal name without scope prefix
    ClsInternalName = 14,          // class internal name without "cls"
    FrmInternalName = 15,          // form internal name without "frm"
    ConstantCase = 16,             // constant not upper case
    GlobalScopePublic = 17,        // "g" name declared Private
    ModuleProcedurePublic = 18,    // "m" procedure declared Public
    PrivateProcedurePrefix = 19,   // Private procedure without "m"
    SyllableCase = 20,             // name casing
    FileNameSubset = 21,           // file name not inside the internal name
    UntypedVariable = 22,          // declaration or parameter without "As"
    OptionExplicit = 23,           // missing "Option Explicit"
    DefaultProperty = 24,          // .Text / .Caption written out
    AcceleratorKeys = 25,          // caption without "&"
    StringFunctionForm = 26,       // Variant form of a string function
    VariantType = 27,              // "As Variant"
    LineLength = 28,               // logical line too long
    GlobalInPrivateModule = 29,    // "Global" in a private-labelled BAS module
    PrivateInPublicModule = 30,    // "Private"/"Dim" in a public-labelled BAS module
    ControlPrefix = 104,           // "4b": control name prefix vs control class
};

struct CatalogueEntry {
    MessageId id;
    const char* number;  // "1" ... "30", "4b"
    Grade grade;
    FindingKind kind;
    std::string text;   // exactly as it appears in the report
    const char* usage;  // what the rule passes as usage text
};

// All rows in catalogue order.
std::span<const CatalogueEntry> messageCatalogue();

// The row of an id.
const CatalogueEntry& catalogueEntry(MessageId id);

// The text of an id.
inline const std::string& messageText(MessageId id) { return catalogueEntry(id).text; }

// The stable id of a row, "SF" and its number in three digits: "SF001" ...
// "SF030"; row "4b" is "SF004b".
std::string ruleId(const CatalogueEntry& entry);

// The row of a rule id ("SF020"), or null when there is none.
const CatalogueEntry* findRule(const std::string& ruleId);

// "E", "W" or "S".
const char* gradeLetter(Grade grade);

}  // namespace scan
