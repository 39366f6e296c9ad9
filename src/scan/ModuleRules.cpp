// Module rules: the length of every line, the module's internal name against
// its kind and file name, and the search for "Option Explicit".
#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {

// A logical line is too long when its text, CR LF included, runs past 150
// characters; a continued line is measured up to its first " _".
void clsOculon::mLineLengthRule(tSourceLine& tLine) {
    const std::string_view s = tLine.sText;
    if (s.size() <= 150) return;  // most lines: too short to look for " _"
    // A " _" within the first 150 characters (its blank 1-based, found by
    // its "_", which is rarer than a blank) ends the measure in time.
    for (std::size_t i = s.find('_', 1); i != std::string_view::npos && i <= 150; i = s.find('_', i + 1))
        if (s[i - 1] == ' ') return;
    mPostError(MessageId::LineLength, tLine, "Reduce line length to width of normal Code Window");
}

// The name line: Attribute VB_Name = "Name".
void clsOculon::mInternalNameRules(tSourceLine& tLine) {
    trapErrors("mCritiqueLine", [&] {
        const std::string_view sLiteral = tLine.word(3);
        msInternalName = sLiteral.size() >= 2 ? sLiteral.substr(1, sLiteral.size() - 2) : "";
        const std::string sPrefix = textlib::UCase(textlib::Left(msInternalName, 3));
        if (msModuleKind == "BAS") {
            if (sPrefix == "PUB" || sPrefix == "GLO") {
                msModuleScope = "GLB";
            } else if (sPrefix == "MOD" || sPrefix == "PRI") {
                msModuleScope = "MOD";
            } else {
                msModuleScope = "MOD";
                mPostModuleError(MessageId::BasInternalName, msInternalName, "MOD");
            }
        } else if (msModuleKind == "CLS") {
            if (sPrefix != "CLS") mPostModuleError(MessageId::ClsInternalName, msInternalName, "CLS");
        } else if (msModuleKind == "FRM") {
            if (sPrefix != "FRM") mPostModuleError(MessageId::FrmInternalName, msInternalName, "FRM");
        }
        const std::string sBase = textlib::Left(msFileName, static_cast<std::int64_t>(msFileName.size()) - 4);
        if (textlib::InStrText(1, msInternalName, sBase) == 0)
            mPostModuleError(MessageId::FileNameSubset, msFileName, msInternalName);
    });
}

// Runs when the file's lines are cut: the control rules over the form
// description, then the verdict of the search for "Option Explicit", both
// followed line by line (mFollowModuleLine). A form without a description
// has no place to search.
void clsOculon::mCritiqueModule() {
    trapErrors("mCritiqueModule", [&] {
        if (!mtControlLines.empty()) {
            std::size_t iLine = 0;
            trapErrors("mCritiqueControl", [&] { mCritiqueControl(iLine, ""); });
        }
        if (!mbOptionExplicit) mPostModuleError(MessageId::OptionExplicit, "", "");
    });
}

}  // namespace scan
