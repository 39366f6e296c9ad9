// Procedure rules: the head of a Sub, Function, Property or Declare (scope,
// return type, the procedure's name prefix, each parameter's passing mode,
// prefix and type), and the statement rules every other line goes through
// (default properties written out, Variant forms of string functions).
#include <string>
#include <string_view>

#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

// A procedure head. The parameter list is read word by word: the head's
// words stop at "(" and lose ")" and ",", so ‹Sub A(ByVal vX As Long)› reads
// Sub A ByVal vX As Long. The last two words of a Function (or Declare
// Function) and of a Property Get are taken to be "As" and the return type.
void clsOculon::mParmRules(tSourceLine& tLine) {
    trapErrors("mParmRules", [&] {
        const std::string_view w1 = tLine.word(1);
        const std::string_view w2 = tLine.word(2);
        const long iCount = tLine.iWordCount;

        long iKeyword = 2;
        if (w1 != "Public" && w1 != "Private") {
            mPostError(MessageId::ProcedureScope, tLine);
            iKeyword = 1;
        }

        // Textual on purpose: any head mentioning "Function" must show an
        // "As" after its last ")".
        if (contains(tLine.sText, "Function")) {
            const std::size_t iLastParen = tLine.sText.rfind(')');
            const std::size_t iFrom = iLastParen == std::string_view::npos ? 0 : iLastParen + 1;
            if (tLine.sText.find("As", iFrom) == std::string_view::npos)
                mPostError(MessageId::FunctionReturnType, tLine);
        }

        long iEnd = iCount + 1;
        long iName = 0;
        bool bFunction = false;
        bool bProperty = false;
        const std::string_view sKeyword = tLine.word(iKeyword);
        const std::string_view sAfterKeyword = tLine.word(iKeyword + 1);
        if (sAfterKeyword == "Let" || sAfterKeyword == "Set" || sAfterKeyword == "Get") {
            bProperty = true;
            iName = iKeyword + 2;
            if (sAfterKeyword == "Get") iEnd = iCount - 1;
        } else if (sKeyword == "Declare") {
            // "Declare PtrSafe Function F Lib ...": the 64-bit form.
            const long iKind = sAfterKeyword == "PtrSafe" ? iKeyword + 2 : iKeyword + 1;
            iName = iKind + 1;
            if (tLine.word(iKind) == "Function") {
                bFunction = true;
                iEnd = iCount - 1;
            }
        } else {
            iName = iKeyword + 1;
            if (sKeyword == "Function") {
                bFunction = true;
                iEnd = iCount - 1;
            }
            // No fixed limit: every procedure of a module is recorded.
            msMethods.emplace_back(tLine.word(iName));
            miMethodCount = static_cast<long>(msMethods.size());
        }

        // A Declare names itself but not the lines after it, which still
        // belong to the declarations section.
        const std::string_view sProcName = tLine.word(iName);
        if (sKeyword != "Declare") msLocation = sProcName;
        tLine.sLocation = sProcName;

        // Event procedures of a form (cmdOK_Click, Form_Load) are named by
        // the environment.
        if (msModuleKind == "FRM" && contains(sProcName, "_")) return;

        std::string_view sProcBody = sProcName;
        if (startsWith(sProcName, "g")) {
            if (w1 == "Private") mPostError(MessageId::GlobalScopePublic, tLine, sProcName);
            sProcBody = sProcName.substr(1);
        }
        if (startsWith(sProcBody, "m")) {
            if (w1 == "Public" && w2 != "Sub") mPostError(MessageId::ModuleProcedurePublic, tLine, sProcName);
            sProcBody = sProcName.substr(1);
        } else if (w1 == "Private") {
            if (msModuleKind == "CLS" && (sProcName == "Class_Initialize" || sProcName == "Class_Terminate")) return;
            if (!bProperty) mPostError(MessageId::PrivateProcedurePrefix, tLine, sProcName);
        }

        long i = iName + 1;
        if (i > iCount) return;

        // No parameters, only a return type.
        if (tLine.word(i) == "As" && i == iEnd) {
            if (!bFunction) mCheckTypeAgainstName(sProcName, tLine.word(i + 1), tLine);
            return;
        }

        // Skip the library and alias literals of a Declare.
        if (tLine.word(i) == "Lib") i += 2;
        if (tLine.word(i) == "Alias") i += 2;

        const bool bConst = contains(tLine.sText, "Const ");
        const bool bDeclare = w1 == "Declare" || w2 == "Declare";
        std::string_view sParam;
        while (i <= iCount) {
            sParam = tLine.word(i);
            if (i >= iEnd) break;

            bool bOptional = false;
            if (sParam == "Optional") {
                ++i;
                sParam = tLine.word(i);
                bOptional = true;
            }

            // "ParamArray vaArgs() As Variant": the keyword is not the
            // parameter's name; the array it declares is passed by reference.
            if (sParam == "ParamArray") {
                ++i;
                sParam = tLine.word(i);
            }

            std::string_view sBody;
            std::string_view sType;
            long iTypeAt = i;
            if (sParam == "ByVal" || sParam == "ByRef") {
                const bool bByVal = sParam == "ByVal";
                ++i;
                sParam = tLine.word(i);
                if (bByVal) {
                    if (!bDeclare) mPostError(MessageId::ByValExpensive, tLine, sParam);
                    if (!startsWith(sParam, "v")) {
                        mPostError(MessageId::ByValParamPrefix, tLine, sParam);
                        sBody = sParam;
                    } else {
                        sBody = sParam.substr(1);
                    }
                } else if (!startsWith(sParam, "r")) {
                    mPostError(MessageId::ByRefParamPrefix, tLine, sParam);
                    sBody = sParam;
                } else {
                    sBody = sParam.substr(1);
                }
                // Untyped: reported here, and again by the name check, which
                // reads the empty type as an untyped declaration.
                if (tLine.word(i + 1) == "As" || bConst) {
                    sType = tLine.word(i + 2);
                    iTypeAt = i + 2;
                } else {
                    mPostError(MessageId::UntypedVariable, tLine, sParam);
                    iTypeAt = i;
                }
            } else {
                // Without a keyword a parameter is passed by reference.
                if (!startsWith(sParam, "r")) {
                    mPostError(MessageId::ByRefParamPrefix, tLine, sParam);
                    sBody = sParam;
                } else {
                    sBody = sParam.substr(1);
                }
                if (tLine.word(i + 1) == "As" || bConst) {
                    sType = tLine.word(i + 2);
                    iTypeAt = i + 2;
                } else {
                    if (!bOptional) mPostError(MessageId::UntypedVariable, tLine, sParam);
                    sType = "UDT";
                    iTypeAt = i;
                }
            }
            mCheckTypeAgainstName(sBody, sType, tLine, sParam);
            i = iTypeAt + 1;

            // "Optional ByVal vbModal As Boolean = False": the words cut from
            // the head lose the "=", so the default value would be read as one
            // more, untyped, parameter named "False". Every parameter after an
            // Optional one is Optional itself, so the words up to the next
            // "Optional" (or the end of the list) are the default value.
            if (bOptional)
                while (i < iEnd && tLine.word(i) != "Optional") ++i;
        }

        // The list ended at the return type: a Property Get (or Sub) name is
        // held to its type; a Function's name is not.
        if (sParam == "As" && !bFunction) mCheckTypeAgainstName(sProcBody, tLine.word(i + 1), tLine, sProcName);
    });
}

// Every line that is not a head, declaration, member line, name line or
// control start.
void clsOculon::mAssignmentAndCallRules(tSourceLine& tLine) {
    trapErrors("mAssignmentAndCallRules", [&] {
        const std::string_view w1 = tLine.word(1);
        if (msModuleKind == "FRM" &&
            ((startsWith(w1, "txt") && w1.ends_with(".Text")) || (startsWith(w1, "lbl") && w1.ends_with(".Caption"))))
            mPostError(MessageId::DefaultProperty, tLine, w1);

        for (long i = 1; i <= tLine.iWordCount; ++i) {
            const std::string_view sWord = tLine.word(i);
            if (sWord.size() > 5) continue;  // longer than every name below: saves the comparisons
            if (sWord == "Trim" || sWord == "LTrim" || sWord == "RTrim" || sWord == "Chr" || sWord == "Str" ||
                sWord == "Mid")
                mPostError(MessageId::StringFunctionForm, tLine, tLine.word(i));
            // A number after Left or Right is a property line of a form
            // description ("Left = 1200"), not a call.
            if ((sWord == "Left" || sWord == "Right") && !mfIsNumeric(tLine.word(i + 1)))
                mPostError(MessageId::StringFunctionForm, tLine, tLine.word(i));
        }
    });
}

}  // namespace scan
