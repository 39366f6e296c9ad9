// The message catalogue: every finding's text, grade and number in one table.
#include "scan/MessageCatalogue.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace scan {

namespace {

using enum Grade;
using enum FindingKind;
using M = MessageId;

const std::array<CatalogueEntry, 31> Catalogue{{
    {M::MultipleVarsWithoutTypes, "1", Error, Line, "Error:   Dim of multiple vars w/o multiple types yeilds variants.",
     "the first declared name"},
    {M::ModuleVarPrefix, "2", Warning, Line, "Warning: Prefixing Module variables with \"m\" would clarify scope.",
     "the name"},
    {M::LocalVarPrefix, "3", Warning, Line, "Warning: Prefixing Local variables with \"l\" would clarify scope.",
     "the name"},
    {M::TypePrefix, "4", Warning, Line, "Warning: DataType doesn't correspond to variable prefix.",
     "name} {expected prefix"},
    {M::ControlPrefix, "4b", Warning, Module, "Warning: DataType doesn't correspond to variable prefix.",
     "control name; class} {expected prefix"},
    {M::FunctionReturnType, "5", Warning, Line, "Warning: Functions should specify return type.", ""},
    {M::ByRefParamPrefix, "6", Suggest, Line, "Suggest: Prefixing Params passed ByRef with \"r\" clarifies usage.",
     "the parameter name"},
    {M::ByValParamPrefix, "7", Suggest, Line, "Suggest: Prefixing Params passed ByVal with \"v\" clarifies usage.",
     "the parameter name"},
    {M::TypeSuffix, "8", Warning, Line, "Warning: Typing suffixes (#$%&@) makes for cryptic code.",
     "the name, or name} {character"},
    {M::ProcedureScope, "9", Warning, Line, "Warning: Scope of procedure not specified.", ""},
    {M::ModuleLevelDim, "10", Warning, Line, "Warning: Module Level Dim does not clarify scope, Public/Private will.",
     "Dim"},
    {M::StaticPrefix, "11", Suggest, Line, "Suggest: Static variables should be prefixed with \"st\".", "the name"},
    {M::ByValExpensive, "12", Warning, Line,
     "Warning: Params passed ByVal to other than Out of Process Servers or DLLs is expensive.", "the parameter name"},
    {M::BasInternalName, "13", Suggest, Module,
     "Suggest: Use \"pri/mod\" or \"glo/pub\" to prefix BAS module\r\n"
     "         Internal Names to define variable scope, Private Assumed.",
     "internal name; MOD"},
    {M::ClsInternalName, "14", Suggest, Module, "Suggest: CLS modules should have Internal Names prefixed by \"cls\".",
     "internal name; CLS"},
    {M::FrmInternalName, "15", Suggest, Module, "Suggest: FRM modules should have Internal Names prefixed by \"frm\".",
     "internal name; FRM"},
    {M::ConstantCase, "16", Suggest, Line, "Suggest: Constants should be all upper case with intermixed \"_\".",
     "the constant's name"},
    {M::GlobalScopePublic, "17", Warning, Line, "Warning: A global's scope should be Public.", "the name"},
    {M::ModuleProcedurePublic, "18", Warning, Line, "Warning: Module scope procedures should not be Public.",
     "the procedure name"},
    {M::PrivateProcedurePrefix, "19", Suggest, Line,
     "Suggest: Prefixing Private procedures with \"m\" clarifies scope.", "the procedure name"},
    {M::SyllableCase, "20", Suggest, Line, "Suggest: Variable names should start syllables with upper case letters.",
     "name} {body"},
    {M::FileNameSubset, "21", Suggest, Module, "Suggest: The Filename isn't a subset of the module Internal Name.",
     "file name; internal name"},
    {M::UntypedVariable, "22", Error, Line, "Error: Untyped Variable yields variant type.",
     "name} { (or the parameter name)"},
    {M::OptionExplicit, "23", Error, Module, "Error: \"Option Explicit\" should be specified for this module.", ""},
    {M::DefaultProperty, "24", Warning, Line, "Warning: Using control's default property improves performance.",
     "the first word of the line"},
    {M::AcceleratorKeys, "25", Error, Module, "Error: You should use accelerator keys on Command buttons.",
     "control} {caption; parent"},
    {M::StringFunctionForm, "26", Error, Line, "Error: Use string form of function ($).", "the function's word"},
    {M::VariantType, "27", Warning, Line, "Warning: Use Variant Type only when absolutely necessary.",
     "name} {expected prefix"},
    {M::LineLength, "28", Warning, Line,
     "Warning: Using shorter lines(via continutation) will make code easier to read.",
     "Reduce line length to width of normal Code Window"},
    {M::GlobalInPrivateModule, "29", Warning, Line, "Warning: Global scope declared in module labelled as private.",
     "Global"},
    {M::PrivateInPublicModule, "30", Warning, Line, "Warning: Private scope declared in module labeled as public.",
     "the first word"},
}};

}  // namespace

std::span<const CatalogueEntry> messageCatalogue() { return Catalogue; }

const CatalogueEntry& catalogueEntry(MessageId id) {
    // The rows by id, indexed once: every finding filed looks its row up.
    static const auto ById = [] {
        std::array<const CatalogueEntry*, 128> t{};
        for (const CatalogueEntry& e : Catalogue) t.at(static_cast<std::size_t>(e.id)) = &e;
        return t;
    }();
    const auto i = static_cast<std::size_t>(id);
    if (i < ById.size() && ById[i]) return *ById[i];
    throw std::out_of_range("no such message");
}

std::string ruleId(const CatalogueEntry& entry) {
    std::string sNumber = entry.number;
    std::size_t iDigits = 0;
    while (iDigits < sNumber.size() && sNumber[iDigits] >= '0' && sNumber[iDigits] <= '9') ++iDigits;
    return "SF" + std::string(3 - std::min<std::size_t>(iDigits, 3), '0') + sNumber;
}

const CatalogueEntry* findRule(const std::string& id) {
    for (const CatalogueEntry& e : Catalogue)
        if (ruleId(e) == id) return &e;
    return nullptr;
}

const char* gradeLetter(Grade grade) {
    switch (grade) {
        case Grade::Error: return "E";
        case Grade::Warning: return "W";
        case Grade::Suggest: return "S";
    }
    return "?";
}

}  // namespace scan
