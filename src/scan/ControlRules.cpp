// Control rules of a form description: each control's name starts with the
// prefix of its class, and command buttons and menu items have an access key
// ("&") in their caption.
#include <string>
#include <string_view>
#include <vector>

#include "scan/clsOculon.h"

namespace scan {
namespace {

struct ControlPrefix {
    std::string_view sClass;
    const char* prefix;
};

// Compared with the full class word, in this order.
constexpr ControlPrefix BuiltInControlPrefixes[] = {
    {"VB.ComboBox", "cbo"},
    {"VB.CheckBox", "chk"},
    {"VB.CommandButton", "cmd"},
    {"VB.Control", "ctrl"},
    {"MSComDlg.CommonDialog", "dlg"},
    {"VB.Form", "frm"},
    {"VB.MDIForm", "frm"},
    {"VB.Frame", "fra"},
    {"VB.GroupPushButtom", "gpb"},
    {"MSGrid.Grid", "grd"},
    {"VB.Image", "img"},
    {"CSCalLibCtl.CSCalendar", "cal"},
    {"ComctlLib.TreeView", "tvw"},
    {"ComctlLib.StatusBar", "sta"},
    {"Threed.SSOption", "opt"},
    {"Threed.SSPanel", "pan"},
    {"Threed.SSFrame", "fra"},
    {"Threed.SSCommand", "cmd"},
    {"Threed.SSCheck", "chk"},
    {"VB.Label", "lbl"},
    {"VB.Line", "lin"},
    {"VB.ListBox", "lst"},
    {"MSMask.MaskEdBox", "msk"},
    {"VB.Menu", "mnu"},
    {"VB.OptionButton", "opt"},
    {"VB.Picture", "pic"},
    {"VB.PictureBox", "pct"},
    {"3DPanel", "pnl"},
    {"Spreadsheet", "ss"},
    {"TabDlg.SSTab", "tab"},
    {"VB.Tab", "tab"},
    {"VB.TextBox", "txt"},
    {"VB.Timer", "tmr"},
    {"VB.HyperText", "hyp"},
    {"VB.ImageList", "imgl"},
};

}  // namespace

// The prefix a control of class sClass ("VB.TextBox") must carry: the user's
// control styles first ("TextBox=txb_" gives "txb"), then the built-in table;
// "???" for a class that neither knows, which no name matches.
// A style found as plain text but followed by no "_" gives no prefix and
// the table is used instead.
std::string clsOculon::msControlPrefixFor(std::string_view sClass) {
    return trapErrors("msControlPrefixFor", [&]() -> std::string {
        const auto iDot = sClass.find('.');
        const std::string_view sShort = iDot == std::string_view::npos ? sClass : sClass.substr(iDot + 1);
        if (!msControlStyles.empty() && !sShort.empty()) {
            const auto iAt = msControlStyles.find(sShort);
            if (iAt != std::string::npos) {
                // Skip the short name and the one separator character after it.
                const auto iStart = iAt + sShort.size() + 1;
                const auto iEnd =
                    iStart <= msControlStyles.size() ? msControlStyles.find('_', iStart) : std::string::npos;
                if (iEnd != std::string::npos && iEnd > iStart) return msControlStyles.substr(iStart, iEnd - iStart);
            }
        }
        for (const auto& row : BuiltInControlPrefixes)
            if (row.sClass == sClass) return row.prefix;
        return "???";
    });
}

// "Begin Class Name": the name starts with the class's prefix. Lines,
// labels and frames may keep their default names (Line1, Label3, Frame1).
void clsOculon::mControlRules(tSourceLine& tLine) {
    trapErrors("mControlRules", [&] {
        const std::string_view sClass = tLine.word(2);
        const std::string_view sName = tLine.word(3);
        const std::string sPrefix = msControlPrefixFor(sClass);
        if (sName.starts_with(sPrefix)) return;
        if ((sPrefix == "lin" || sPrefix == "lbl" || sPrefix == "fra") &&
            (sName.starts_with("Line") || sName.starts_with("Label") || sName.starts_with("Frame")))
            return;
        mPostModuleError(MessageId::ControlPrefix, sName, std::string(sClass) + "} {" + sPrefix);
    });
}

// Walks the block that starts on line iLine ("Begin Class Name") and every
// block nested in it, to any depth; iLine is left on the block's "End" line
// (or past the last line when the End is missing). sParent is the dotted path
// of the enclosing controls, "" for the form itself.
// Nested blocks are kept on a list rather than walked by recursion, and their
// paths share one string, so that a description nested many thousands deep
// neither exhausts the stack nor copies its paths over and over. A nested
// block's "End" line belongs to the block around it.
void clsOculon::mCritiqueControl(std::size_t& iLine, const std::string& sParent) {
    trapErrors("mCritiqueControl", [&] {
        struct Block {
            std::string_view sClass;
            std::string_view sName;
            std::size_t iParentLength;  // its parent's path is sPath cut to this length
        };
        std::vector<Block> blocks;
        std::string sPath = sParent;
        auto open = [&] {
            const tControlLine& tBegin = mtControlLines.at(iLine);
            blocks.push_back({tBegin.w2, tBegin.w3, sPath.size()});
            if (!sPath.empty()) sPath += '.';
            sPath += tBegin.w3;
            ++iLine;
        };

        open();
        while (iLine < mtControlLines.size()) {
            const std::string_view w1 = mtControlLines[iLine].w1;
            if (w1 == "End") {
                if (blocks.size() == 1) break;
                sPath.resize(blocks.back().iParentLength);
                blocks.pop_back();
            } else if (w1 == "Begin") {
                open();
                continue;
            } else if (w1 == "Caption") {
                // Only caption lines can file anything.
                const Block& block = blocks.back();
                mCritiqueControlProperty(mtControlLines[iLine], block.sName, block.sClass,
                                         std::string_view(sPath).substr(0, block.iParentLength));
            }
            ++iLine;
        }
    });
}

// One line of a control's block: a command button's or menu item's caption
// needs an access key. "Cancel" buttons and menu separators ("-") are exempt.
void clsOculon::mCritiqueControlProperty(const tControlLine& tLine, std::string_view sName, std::string_view sClass,
                                         std::string_view sParent) {
    trapErrors("mCritiqueControlProperty", [&] {
        const std::string_view w1 = tLine.w1;
        const std::string_view w2 = tLine.w2;
        if (w1 != "Caption" || w2.find('&') != std::string_view::npos || w2 == "\"Cancel\"") return;
        if (sClass == "VB.CommandButton" || (sClass == "VB.Menu" && w2 != "\"-\""))
            mPostModuleError(MessageId::AcceleratorKeys, std::string(sName) + "} {" + std::string(w2), sParent);
    });
}

}  // namespace scan
