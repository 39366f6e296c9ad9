// Module rules: the length of every line, the module's internal name against
// its kind and file name, and the search for "Option Explicit".
#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {

// A logical line is too long when its text, CR LF included, runs past 150
// characters; a continued line is measured up to its first " _".
void clsOculon::mLineLengthRule(tSourceLine& tLine) {
    // The first " _" (1-based), found by its "_", which is rarer than a blank.
    const std::string& s = tLine.sText;
    std::int64_t iLength = static_cast<std::int64_t>(s.size());
    for (std::size_t i = s.find('_', 1); i != std::string::npos; i = s.find('_', i + 1)) {
        if (s[i - 1] == ' ') {
            iLength = static_cast<std::int64_t>(i);
            break;
        }
    }
    if (iLength > 150) mPostError(MessageId::LineLength, tLine, "Reduce line length to width of normal Code Window");
}

// The name line: Attribute VB_Name = "Name".
void clsOculon::mInternalNameRules(tSourceLine& tLine) {
    trapErrors("mCritiqueLine", [&] {
        const std::string& sLiteral = tLine.word(3);
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

void clsOculon::mCritiqueModule() {
    trapErrors("mCritiqueModule", [&] {
        long iLine = 1;
        const long iLast = mLastLineIndex();
        if (msModuleKind == "FRM") {
            long iBegin = 0;
            for (long i = 1; i <= iLast; ++i) {
                if (mtLines[static_cast<std::size_t>(i)].word(1) == "Begin") {
                    iBegin = i;
                    break;
                }
            }
            if (iBegin == 0) {
                iLine = iLast + 1;  // a form without a description: nothing to search
            } else {
                iLine = iBegin;
                trapErrors("mCritiqueControl", [&] { mCritiqueControl(iLine, ""); });
            }
        }
        for (; iLine <= iLast; ++iLine) {
            const tSourceLine& tLine = mtLines[static_cast<std::size_t>(iLine)];
            if (tLine.word(1) == "Option" && tLine.word(2) == "Explicit") {
                mbOptionExplicit = true;
                break;
            }
            if (tLine.word(1) == "Public" || tLine.word(1) == "Private") break;
        }
        if (!mbOptionExplicit) mPostModuleError(MessageId::OptionExplicit, "", "");
    });
}

}  // namespace scan
