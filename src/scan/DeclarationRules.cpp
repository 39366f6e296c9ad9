// Declaration rules: variable declarations, member lines of the form
// "name As type", constants, and the check of a name against its data type
// that the procedure and control rules share.
//
// A name is read as: scope prefix ("g", "m", "m_", "l", "st" for statics),
// data-type prefix (msTypePrefixFor), then a body whose syllables start with
// capitals.
#include <algorithm>
#include <string>
#include <string_view>

#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The built-in prefixes, by exact type word; any word not listed is a
// user-defined type or class that needs no prefix ("UDT").
struct TypePrefix {
    std::string_view type;
    const char* prefix;
};
constexpr TypePrefix BuiltInTypePrefixes[] = {
    {"", "BAD"},         {"Byte", "byt"},    {"Collection", "col"}, {"Currency", "c"},
    {"Double", "dbl"},   {"Database", "db"}, {"Date", "dt"},        {"Boolean", "b"},
    {"Handle", "h"},     {"Integer", "i"},   {"Long", "l"},         {"Object", "obj"},
    {"Recordset", "rs"}, {"String", "s"},    {"Float", "sng"},      {"Variant", "vnt"},
};

// Prefixes that a user list may give and that are accepted for their type
// even though the name does not begin with them.
struct AcceptedPair {
    std::string_view type;
    std::string_view prefix;
};
constexpr AcceptedPair AcceptedPairs[] = {{"Long", "lng"}, {"String", "str"}, {"Integer", "int"}, {"Object", "o"}};

}  // namespace

// True when the word reads as a number: digits with at most one decimal
// point and an optional exponent ("1200", "8.25", "1E5"), blanks around it
// allowed. Signs never reach here: the word cutter drops "+" and "-".
bool clsOculon::mfIsNumeric(std::string_view sWord) {
    std::string_view s = sWord;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    std::size_t i = 0;
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            digits = true;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i == s.size()) return true;
    if (s[i] != 'E' && s[i] != 'e' && s[i] != 'D' && s[i] != 'd') return false;
    ++i;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// The data-type prefix a name of type sType must begin with: the user's list
// first ("_Integer_int_" gives "int"), then the built-in table. "BAD" marks
// a declaration without a type, "UDT" a type that needs no prefix.
// A declaration without a type is never looked up in the user's list: an
// empty line in the list ("__") would otherwise hand the next entry's type
// word to every untyped name and hide the untyped finding.
std::string clsOculon::msTypePrefixFor(std::string_view sType) {
    return trapErrors("msTypePrefixFor", [&]() -> std::string {
        if (!msVariablePrefixes.empty() && !sType.empty()) {
            std::string sKey;
            ((sKey += '_') += sType) += '_';
            const auto iAt = msVariablePrefixes.find(sKey);
            if (iAt != std::string::npos) {
                std::string sRest = msVariablePrefixes.substr(iAt + sKey.size());
                return textlib::ExtractWord(sRest, "");
            }
        }
        for (const auto& row : BuiltInTypePrefixes)
            if (row.type == sType) return row.prefix;
        return "UDT";
    });
}

// Checks one name (scope prefix already removed) against its type: type
// suffix characters, untyped and Variant declarations, the type prefix, and
// the capitals of the body that follows the prefix. vFullName is the name as
// written, for the usage texts.
void clsOculon::mCheckTypeAgainstName(std::string_view sName, std::string_view sType, tSourceLine& tLine,
                                      std::optional<std::string_view> vFullName, bool vNoCapsCheck) {
    trapErrors("mCheckTypeAgainstName", [&] {
        const std::string_view sFull = vFullName ? *vFullName : sName;
        // "name} {second": the usage of most findings here, built only for
        // a finding the check level keeps.
        auto post = [&](MessageId id, std::string_view sSecond) {
            if (!mPassesLevel(messageText(id))) return;
            std::string sUsage;
            sUsage.reserve(sFull.size() + 3 + sSecond.size());
            ((sUsage += sFull) += "} {") += sSecond;
            mPostError(id, tLine, sUsage);
        };
        if (!sName.empty() && std::string_view("#$%&@!").find(sName.back()) != std::string_view::npos)
            post(MessageId::TypeSuffix, std::string_view(&sName.back(), 1));

        std::string sPrefix = msTypePrefixFor(sType);
        if (sPrefix == "BAD") {
            sPrefix.clear();
            post(MessageId::UntypedVariable, "");
        }
        if (sPrefix == "UDT") sPrefix.clear();
        if (sType == "Variant") post(MessageId::VariantType, sPrefix);

        std::string_view sBody = sName;
        if (!startsWith(sName, sPrefix)) {
            bool bAccepted =
                sPrefix == "f" || (sPrefix == "b" && sName.size() >= 2 && (sName[0] == 'I' || sName[0] == 'i') &&
                                   (sName[1] == 'S' || sName[1] == 's'));
            for (const auto& pair : AcceptedPairs)
                if (pair.type == sType && pair.prefix == sPrefix) bAccepted = true;
            if (!bAccepted) post(MessageId::TypePrefix, sPrefix);
        } else {
            sBody.remove_prefix(sPrefix.size());
        }

        // A body written all in capitals, or one with no capital at all,
        // does not mark its syllables.
        auto hasIn = [](std::string_view s, char lo, char hi) {
            return std::ranges::any_of(s, [&](char c) { return c >= lo && c <= hi; });
        };
        if (sBody.size() > 5 && !vNoCapsCheck && !hasIn(sBody.substr(0, 6), 'a', 'z'))
            post(MessageId::SyllableCase, sBody);
        if (!hasIn(sBody, 'A', 'Z')) post(MessageId::SyllableCase, sBody);
    });
}

// Lines starting with "Dim" or "Global", or "Public"/"Private" followed by a
// name: the module-level Dim, several names sharing too few types, the scope
// prefixes, and each name against its type.
void clsOculon::mVariableRules(tSourceLine& tLine) {
    trapErrors("mVariableRules", [&] {
        const std::string_view w1 = tLine.word(1);
        const std::string_view w2 = tLine.word(2);
        const long iCount = tLine.iWordCount;

        // Names beginning with "Pelto" are exempt from the module-level Dim rule.
        if (w1 == "Dim" && mbInDeclarations && !w2.starts_with("Pelto"))
            mPostError(MessageId::ModuleLevelDim, tLine, w1);

        const bool bConst = contains(tLine.sText, "Const ");
        // "Dim a, b As Integer" declares a as a Variant. Arrays, constants and
        // With lines are not judged; the test reads only w3 and w4, so it
        // repeats for every name of the line.
        const bool bMultipleTest =
            !contains(tLine.sText, "(") && !contains(tLine.sText, ")") && !bConst && !contains(tLine.sText, "With");

        std::string_view sType;
        long iName = 2;
        while (iName <= iCount) {
            const std::string_view w3 = tLine.word(3);
            if (bMultipleTest && w3 != "As" && !w3.empty()) {
                if (!mfIsNumeric(w3) || tLine.word(4) != "As")
                    mPostError(MessageId::MultipleVarsWithoutTypes, tLine, w2);
            }

            // The type is the word after the next "As" ("As New clsDb": the
            // word after "New"); a name without one keeps the type of the
            // name before it.
            long iType = iName;
            while (iType <= iCount && tLine.word(iType - 1) != "As") ++iType;
            if (iType <= iCount && tLine.word(iType) == "New") ++iType;
            if (iType <= iCount) sType = tLine.word(iType);

            if (msModuleScope == "MOD" && w1 == "Global") mPostError(MessageId::GlobalInPrivateModule, tLine, w1);

            // "Private WithEvents mobjApp As Application": the keyword is not
            // the name.
            const std::string_view sName = tLine.word(tLine.word(iName) == "WithEvents" ? iName + 1 : iName);
            std::string_view sBody;
            if (mbInDeclarations) {
                if (startsWith(sName, "g") && !startsWith(sName, "grd") && !startsWith(sName, "gpb") && w1 == "Private")
                    mPostError(MessageId::GlobalScopePublic, tLine, sName);
                if (!startsWith(sName, "m") && (w1 == "Private" || w1 == "Dim"))
                    mPostError(MessageId::ModuleVarPrefix, tLine, sName);
                if (startsWith(sName, "m_")) sBody = sName.substr(2);
                else if (startsWith(sName, "g") || startsWith(sName, "m")) sBody = sName.substr(1);
                else sBody = sName;
            } else if (!startsWith(sName, "l")) {
                mPostError(MessageId::LocalVarPrefix, tLine, sName);
                sBody = sName;
            } else {
                sBody = sName.substr(1);
            }

            // Static names carry "st" before their type prefix ("str" is the
            // String prefix, not a static one). Lines starting with "Static"
            // never reach this rule, so the static finding is not filed.
            if (!startsWith(sBody, "str") && startsWith(sBody, "st")) sBody = sBody.substr(2);

            if (!bConst) mCheckTypeAgainstName(sBody, sType, tLine, sName);
            iName = iType + 1;
        }
    });
}

// Member lines ("Name As String", as in a Type block).
void clsOculon::mTypeRules(tSourceLine& tLine) {
    trapErrors("mTypeRules", [&] {
        std::string_view sType;
        for (long i = 2; i <= 99; ++i) {
            if (tLine.word(i) == "As") {
                sType = tLine.word(i + 1);
                break;
            }
        }
        const std::string_view sName = tLine.word(1);
        // Reported here and again by the name check: both findings are kept.
        if (!sName.empty() && std::string_view("#$%&@").find(sName.back()) != std::string_view::npos)
            mPostError(MessageId::TypeSuffix, tLine, sName);
        mCheckTypeAgainstName(sName, sType, tLine, std::nullopt, true);
    });
}

// Constants are written in capitals ("MAX_SIZE").
void clsOculon::mConstantRules(tSourceLine& tLine) {
    trapErrors("mConstantRules", [&] {
        const std::string_view w1 = tLine.word(1);
        const std::string_view sName = (w1 == "Public" || w1 == "Private") ? tLine.word(3) : tLine.word(2);
        // Written in capitals: no letter a to z.
        if (sName.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string_view::npos)
            mPostError(MessageId::ConstantCase, tLine, sName);
    });
}

}  // namespace scan
