// The scan engine's loading, cutting and filing: Load, the per-file reset,
// the cutting of the file into logical lines and of each line into words, the
// classification that sends each line to its rule family, and the filing of
// findings with the check level.
#include "scan/clsOculon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/Desktop.h"
#include "platform/Services.h"
#include "textlib/TextLib.h"

namespace scan {

std::atomic<int> giCheckLevel{1};

namespace {
std::atomic<std::uint64_t> levelChanges{0};
}

void setCheckLevel(int level) {
    giCheckLevel = level;
    ++levelChanges;
}

std::uint64_t checkLevelChanges() { return levelChanges; }

namespace {

const char* const CrLf = "\r\n";

// The folder of the running program ("" when it cannot be found).
std::string programFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return exe.parent_path().string();
}

// What the word cutter does with each character, looked up once per
// character: Skip is passed over before a word, End ends a word (the comment
// quote too), Drop is left out of the word without ending it.
enum : unsigned char { Skip = 1, End = 2, Drop = 4 };
constexpr std::array<unsigned char, 256> CharClasses = [] {
    std::array<unsigned char, 256> t{};
    for (char c : {' ', '_', '&', '\r', '\n', '\t'}) t[static_cast<unsigned char>(c)] |= Skip;
    for (char c : {' ', '(', '\r', '\n', '\t', '\''}) t[static_cast<unsigned char>(c)] |= End;
    for (char c : {'(', ')', '=', '<', '>', '+', '-', '/', '*', '\\', '&', ','})
        t[static_cast<unsigned char>(c)] |= Drop;
    return t;
}();
unsigned char charClass(char c) { return CharClasses[static_cast<unsigned char>(c)]; }

// A procedure head of any form: "Sub", "Function" or "Property" after any of
// "Public", "Private", "Friend" and "Static" ("Friend Function F()",
// "Private Static Sub S()", "Property Get P()").
bool isAnyProcedureHead(const tSourceLine& tLine) {
    long i = 1;
    for (; i < 3; ++i) {
        const std::string_view w = tLine.word(i);
        if (w != "Public" && w != "Private" && w != "Friend" && w != "Static") break;
    }
    const std::string_view w = tLine.word(i);
    return w == "Sub" || w == "Function" || w == "Property";
}

// The number of line feeds in a text.
std::size_t countLineFeeds(const std::string& s) {
    std::size_t n = 0;
    for (const char* p = s.data();
         const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(s.data() + s.size() - p));
         p = static_cast<const char*>(lf) + 1)
        ++n;
    return n;
}

// Sets a slot to a text followed by line ends, in the slot's own room.
void setWithLineEnds(std::string& sSlot, std::string_view sText, int iLineEnds) {
    sSlot.reserve(sText.size() + 2 * static_cast<std::size_t>(iLineEnds));
    sSlot.assign(sText);
    for (int i = 0; i < iLineEnds; ++i) sSlot += CrLf;
}

// The user definitions the program reads, the first file that exists of:
// UserDefs.txt beside the program (a copy that carries its own), the user's
// own ($XDG_CONFIG_HOME/sifton, by default ~/.config/sifton), and the one
// installed with the program (share/sifton beside the program's bin folder).
std::string userDefsFile() {
    const std::string folder = programFolder();
    std::vector<std::string> places{folder + "/UserDefs.txt"};
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && *config == '/') places.push_back(std::string(config) + "/sifton/UserDefs.txt");
    else if (home && *home) places.push_back(std::string(home) + "/.config/sifton/UserDefs.txt");
    places.push_back(folder + "/" SIFTON_DATA_FROM_BIN "/UserDefs.txt");
    std::error_code ec;
    for (const std::string& place : places)
        if (std::filesystem::exists(place, ec)) return place;
    return places.front();
}

}  // namespace

clsOculon::clsOculon() : clsOculon(userDefsFile()) {}

clsOculon::clsOculon(const std::string& userDefsPath) {
    mtLines.resize(1);
    Class_Initialize(userDefsPath);
}

// ---------------------------------------------------------------------------
// Loading

void clsOculon::Load(const std::string& rsFilename, ProgressIndicator* rProgressBar, int level) {
    mLoadSource(rsFilename, nullptr, rProgressBar, level);
}

void clsOculon::LoadFromText(const std::string& rsFilename, const std::string& sSource, ProgressIndicator* rProgressBar,
                             int level) {
    std::string sCopy = sSource;
    mLoadSource(rsFilename, &sCopy, rProgressBar, level);
}

void clsOculon::LoadFromText(const std::string& rsFilename, std::string&& sSource, ProgressIndicator* rProgressBar,
                             int level) {
    mLoadSource(rsFilename, &sSource, rProgressBar, level);
}

void clsOculon::mInitialize() {
    for (std::string& s : msModuleMessages) s.clear();
    msMethods.clear();
    miMethodCount = 0;
    msLocation = "(declarations)";
    miErrorCount = miWarningCount = miSuggestCount = 0;
    miLineCount = 0;
    mbOptionExplicit = false;
    mbInDeclarations = false;
    mbInEnum = false;
    mbSourceRead = false;
    // A copy of the engine made since the last file may still read that
    // file's records, which view its text: the text is left to it.
    mpSource = std::make_shared<SourceText>();
    msModuleKind.clear();
    msFileName.clear();
    msInternalName.clear();
    // A scope label belongs to one BAS module; it must not carry over into
    // the files scanned after it.
    msModuleScope.clear();
    mtFindings.clear();
    miFindingOrdinal = 0;
    miLinesDropped = 0;
    meModuleWalk = ModuleWalk::SeekOption;
    miControlDepth = 0;
    mtControlLines.clear();
    msReportBlocks.clear();
    mbReportCut = false;
    msReportName.reset();
    mbReportNameChanged = false;
    // The lines of the previous file go too, so that a file that cannot be
    // read reports nothing but its head; their storage is kept for the next.
    for (std::size_t i = 1; i < mtLines.size(); ++i) mtSpareLines.push_back(std::move(mtLines[i]));
    mtLines.resize(1);
    mtLines[0] = tSourceLine{};
}

tSourceLine& clsOculon::mNewLine() {
    if (mtSpareLines.empty()) return mtLines.emplace_back();
    tSourceLine& tLine = mtLines.emplace_back(std::move(mtSpareLines.back()));
    mtSpareLines.pop_back();
    tLine.sText = {};
    tLine.iWordCount = 0;  // the words are replaced when the line is cut
    tLine.sLocation = {};
    tLine.sMessages.clear();
    tLine.iPhysicalLine = 0;
    return tLine;
}

void clsOculon::mLoadSource(const std::string& rsFilename, std::string* sSource, ProgressIndicator* rProgressBar,
                            int level) {
    // The level holds for the whole file: one chosen while it loads applies
    // from the next file on.
    miCheckLevel = level == ProgramLevel ? giCheckLevel.load() : level;
    bool bRead = trapErrors("Load", [&] {
        mInitialize();
        msModuleKind = textlib::UCase(textlib::Right(rsFilename, 3));
        // The name starts after the last separator found at or before the
        // fifth-last character.
        std::size_t iStart = 0;
        for (std::int64_t i = static_cast<std::int64_t>(rsFilename.size()) - 4; i >= 1; --i) {
            char c = rsFilename[static_cast<std::size_t>(i - 1)];
            if (c == '\\' || c == '/') {
                iStart = static_cast<std::size_t>(i);
                break;
            }
        }
        msFileName = textlib::UCase(rsFilename.substr(iStart));
        if (msModuleKind == "FRM") meModuleWalk = ModuleWalk::SeekBegin;
        mpSource->sText = sSource ? std::move(*sSource) : (mFiles ? *mFiles : platform::files()).readAll(rsFilename);
        mbInDeclarations = true;
        mbSourceRead = true;
        return true;
    });
    if (!bRead) return;
    mParseLines(rProgressBar);
    mCritiqueModule();
    if (mfLineSink) mHandOver(nullptr);
}

void clsOculon::mHandOver(const tSourceLine* tLine) {
    trapErrors("mHandOver", [&] {
        const long iLine = tLine ? mLineIndex(*tLine) : 0;
        mfLineSink(tLine, iLine, mtFindings);
    });
    mtFindings.clear();
    if (tLine && !mbKeepLines && &mtLines.back() == tLine) {
        mtSpareLines.push_back(std::move(mtLines.back()));
        mtLines.pop_back();
        ++miLinesDropped;
    }
}

void clsOculon::mFollowModuleLine(const tSourceLine& tLine) {
    const std::string_view w1 = tLine.word(1);
    switch (meModuleWalk) {
        case ModuleWalk::SeekBegin:
            if (w1 != "Begin") return;
            meModuleWalk = ModuleWalk::InControls;
            miControlDepth = 1;
            break;
        case ModuleWalk::InControls:
            if (w1 == "Begin") ++miControlDepth;
            break;
        case ModuleWalk::SeekOption:
            if (w1 == "Option" && tLine.word(2) == "Explicit") {
                mbOptionExplicit = true;
                meModuleWalk = ModuleWalk::Done;
            } else if (w1 == "Public" || w1 == "Private") {
                meModuleWalk = ModuleWalk::Done;
            }
            return;
        case ModuleWalk::Done: return;
    }
    // A line of the form description; its "End" at the outer depth ends it,
    // and the search for "Option Explicit" goes on below it.
    mtControlLines.push_back({w1, tLine.word(2), tLine.word(3)});
    if (w1 == "End" && --miControlDepth == 0) meModuleWalk = ModuleWalk::SeekOption;
}

void clsOculon::mParseLines(ProgressIndicator* rProgressBar) {
    trapErrors("mParseLines", [&] {
        platform::ThrottledPump pump(mbPumpsEvents ? &platform::eventPump() : nullptr);
        std::string& s = mpSource->sText;
        // Progress is a share of the file as read.
        const std::size_t iReadSize = s.size();
        // A last line without a line end is examined like every other: it
        // gets one here (a lone CR its LF), so that every line's text is a
        // piece of the file's.
        if (!s.empty() && s.back() != '\n') {
            s.reserve(s.size() + 2);  // not the doubling of a plain append, for a huge file
            s += s.back() == '\r' ? "\n" : CrLf;
        }
        const std::string_view sAll = s;
        const std::size_t n = sAll.size();
        std::size_t p = 0;
        long iPhysical = 1;
        int iLastValue = -1;
        if (mbKeepLines) mtLines.reserve(mtLines.size() + countLineFeeds(s) + 1);
        while (p < n) {
            pump.maybePump();
            tSourceLine& tLine = mNewLine();
            tLine.iPhysicalLine = iPhysical;
            // One physical line, and the next ones while a line ends in "_"
            // right before its line end (CR LF or a bare LF).
            const std::size_t iStart = p;
            for (;;) {
                const std::size_t lf = sAll.find('\n', p);
                p = lf + 1;
                ++iPhysical;
                std::size_t before = lf;
                if (before > 0 && sAll[before - 1] == '\r') --before;
                if (before == 0 || sAll[before - 1] != '_' || p >= n) break;
            }
            tLine.sText = sAll.substr(iStart, p - iStart);
            mParseWords(tLine);
            tLine.sLocation = msLocation;
            mCritiqueLine(tLine);
            ++miLineCount;
            mFollowModuleLine(tLine);
            if (mtStreamedReport && !tLine.sMessages[1].empty()) mStreamLineBlock(tLine);
            if (mfLineSink) mHandOver(&tLine);
            if (rProgressBar && p < iReadSize) {
                // The position of the next line in the file's byte image
                // (two bytes per character), as a share of its last index.
                double dValue = 200.0 * static_cast<double>(p) / (2.0 * static_cast<double>(iReadSize) - 1.0);
                int iValue = static_cast<int>(std::nearbyint(dValue));
                if (iValue != iLastValue) {
                    rProgressBar->setValue(iValue);
                    iLastValue = iValue;
                }
            }
        }
    });
}

std::string_view clsOculon::SourceText::keep(std::string_view sWord) {
    if (sBlocks.empty() || iBlockSize - iBlockUsed < sWord.size()) {
        iBlockSize = std::max<std::size_t>(4096, sWord.size());
        sBlocks.push_back(std::make_unique_for_overwrite<char[]>(iBlockSize));
        iBlockUsed = 0;
    }
    char* pAt = sBlocks.back().get() + iBlockUsed;
    std::memcpy(pAt, sWord.data(), sWord.size());
    iBlockUsed += sWord.size();
    return {pAt, sWord.size()};
}

void clsOculon::mParseWords(tSourceLine& tLine) {
    // A word is a view of the line's text, or, when dropped characters split
    // it ("a=b" gives "ab"), of the pieces joined and kept beside the text.
    std::vector<std::string_view>& sWords = tLine.sWords;
    sWords.clear();
    tLine.iWordCount = 0;
    trapErrors("mParseWords", [&] {
        // The work text is sText followed by one more CR LF, read in place.
        const std::string_view sText = tLine.sText;
        const char* const pText = sText.data();  // read through a local pointer, which stays in a register
        const std::size_t iTextLen = sText.size();
        auto at = [&](std::size_t q) -> char {
            return q < iTextLen ? sText[q] : q == iTextLen ? '\r' : q == iTextLen + 1 ? '\n' : '\0';
        };
        std::size_t q = 0;  // 0-based
        while (q < iTextLen) {
            while (q < iTextLen && (charClass(pText[q]) & Skip)) ++q;
            // Past the text only the added CR LF is left: blanks, no word.
            if (q >= iTextLen) break;
            if (pText[q] != '"') {
                // The kept characters so far: one run [iFrom, iTo) of the
                // text, or, once a dropped character splits them, msPiecing.
                std::size_t iFrom = q, iTo = q;
                bool bPieced = false;
                auto keep = [&](std::size_t iRun, std::size_t iEnd) {
                    if (iRun == iEnd) return;
                    if (iFrom == iTo) {
                        iFrom = iRun;
                        iTo = iEnd;
                        return;
                    }
                    if (!bPieced) msPiecing.assign(pText + iFrom, iTo - iFrom);
                    bPieced = true;
                    msPiecing.append(pText + iRun, iEnd - iRun);
                };
                std::size_t iRun = q;
                for (; q < iTextLen; ++q) {
                    const unsigned char k = charClass(pText[q]);
                    if (!(k & (End | Drop))) continue;
                    if (k & End) break;
                    keep(iRun, q);
                    iRun = q + 1;
                }
                keep(iRun, q);
                if (bPieced) sWords.push_back(mpSource->keep(msPiecing));
                else if (iFrom < iTo) sWords.push_back(sText.substr(iFrom, iTo - iFrom));
            } else {
                // A literal is the text from its quote to its closing quote
                // (doubled quotes inside it kept).
                const std::size_t iFrom = q;
                ++q;
                for (;;) {
                    for (; q < iTextLen; ++q) {
                        const char c = pText[q];
                        if (c == '"' || c == '\n' || (c == '\r' && at(q + 1) == '\n')) break;
                    }
                    // A literal without its closing quote ends at the end of
                    // its physical line.
                    if (q >= iTextLen || pText[q] != '"') break;
                    if (at(q + 1) == '"') {
                        q += 2;
                        continue;
                    }
                    ++q;
                    break;
                }
                sWords.push_back(sText.substr(iFrom, q - iFrom));
            }
            if (at(q) == '\'') break;
            ++q;
        }
    });
    tLine.iWordCount = static_cast<long>(sWords.size());
}

// Runs the line-length rule, then the one rule family the line's first two
// words call for. Each family is trapped under its own name, so that a fault
// in one line's rules never stops the cutting of the file.
void clsOculon::mCritiqueLine(tSourceLine& tLine) {
    trapErrors("mCritiqueLine", [&] { mLineLengthRule(tLine); });
    const std::string_view w1 = tLine.word(1);
    const std::string_view w2 = tLine.word(2);
    const bool bScoped = w1 == "Public" || w1 == "Private";
    const bool bDeclare = w1 == "Declare" || (bScoped && w2 == "Declare");
    // Every procedure head ends the declarations section, also the forms the
    // head rules pass over.
    const bool bHead = isAnyProcedureHead(tLine);
    if (bHead) mbInDeclarations = false;
    // The members of an Enum and its "End Enum" name constants: no variable,
    // call or string function is in them, whatever their words. (A head ends
    // an Enum whose "End Enum" is missing.)
    if (mbInEnum && !bHead) {
        if (w1 == "End" && w2 == "Enum") mbInEnum = false;
        return;
    }
    mbInEnum = w1 == "Enum" || (bScoped && w2 == "Enum");
    if (w1 == "Sub" || w1 == "Function" || bDeclare ||
        (bScoped && (w2 == "Sub" || w2 == "Function" || w2 == "Property"))) {
        // A Declare is a declaration too: the declarations section goes on
        // after it.
        if (!bDeclare) mbInDeclarations = false;
        trapErrors("mParmRules", [&] { mParmRules(tLine); });
    } else if (w1 == "Const" || (bScoped && w2 == "Const")) {
        trapErrors("mConstantRules", [&] { mConstantRules(tLine); });
    } else if (w1 == "Dim" || w1 == "Global" ||
               (bScoped && w2 != "Type" && w2 != "Declare" && w2 != "Enum" && w2 != "Event")) {
        // "Public Enum eColor" and "Private Event Changed(...)" declare no
        // variable; they and the members of an Enum are ordinary lines.
        trapErrors("mVariableRules", [&] { mVariableRules(tLine); });
    } else if (w2 == "As") {
        trapErrors("mTypeRules", [&] { mTypeRules(tLine); });
    } else if (w1 == "Attribute" && w2 == "VB_Name") {
        mInternalNameRules(tLine);
    } else if (w1 == "Begin" && msModuleKind == "FRM") {
        trapErrors("mControlRules", [&] { mControlRules(tLine); });
    } else {
        trapErrors("mAssignmentAndCallRules", [&] { mAssignmentAndCallRules(tLine); });
    }
}

bool clsOculon::mfHasMethod(std::string_view sName) const {
    for (long i = 0; i < miMethodCount && i < static_cast<long>(msMethods.size()); ++i)
        if (msMethods[static_cast<std::size_t>(i)] == sName) return true;
    return false;
}

// ---------------------------------------------------------------------------
// Filing findings

bool clsOculon::mPassesLevel(const std::string& sMessage) const {
    const char g = sMessage.empty() ? '\0' : sMessage[0];
    if (miCheckLevel == 1 && g != 'E') return false;
    if (miCheckLevel == 2 && g != 'E' && g != 'W') return false;
    return true;
}

bool clsOculon::mCountFinding(MessageId id, const std::string& sMessage, long iLine, std::string sUsage) {
    const char g = sMessage.empty() ? '\0' : sMessage[0];
    if (!mPassesLevel(sMessage)) return false;
    if (mfFindingFilter && !mfFindingFilter(id, miFindingOrdinal++)) return false;
    if (g == 'W') ++miWarningCount;
    else if (g == 'E') ++miErrorCount;
    else if (g == 'S') ++miSuggestCount;
    mtFindings.push_back(tFinding{id, iLine, std::move(sUsage)});
    return true;
}

long clsOculon::mLineIndex(const tSourceLine& tLine) const {
    const tSourceLine* first = mtLines.data();
    if (&tLine < first || &tLine >= first + mtLines.size()) return 0;
    return static_cast<long>(&tLine - first) + miLinesDropped;
}

void clsOculon::mPostError(MessageId id, tSourceLine& tLine) {
    trapErrors("mPostError", [&] {
        const std::string& sMessage = messageText(id);
        if (!mCountFinding(id, sMessage, mLineIndex(tLine), "")) return;
        for (std::size_t s = 1; s <= LineSlots - 1; ++s) {
            if (tLine.sMessages[s].empty()) {
                setWithLineEnds(tLine.sMessages[s], sMessage, 2);
                return;
            }
        }
    });
}

void clsOculon::mPostError(MessageId id, tSourceLine& tLine, std::string_view vUsage) {
    trapErrors("mPostError", [&] {
        const std::string& sMessage = messageText(id);
        if (!mPassesLevel(sMessage)) return;  // before the hint is built: most findings stop here
        std::string sHint;
        sHint.reserve(vUsage.size() + 2);
        ((sHint += '{') += vUsage) += '}';
        if (!mCountFinding(id, sMessage, mLineIndex(tLine), std::move(sHint))) return;
        const std::string& sStored = mtFindings.back().sUsage;
        for (std::size_t s = 1; s <= LineSlots - 1; ++s) {
            if (tLine.sMessages[s].empty()) {
                setWithLineEnds(tLine.sMessages[s], sMessage, 1);
                std::string& sLookAt = tLine.sMessages[s + 1];
                sLookAt.reserve(11 + sStored.size() + 4);
                ((sLookAt.assign("Look at:   ")) += sStored) += "\r\n\r\n";
                return;
            }
        }
    });
}

void clsOculon::mPostModuleError(MessageId id, std::string_view sFirst, std::string_view sSecond) {
    trapErrors("mPostModuleError", [&] {
        const std::string& sMessage = messageText(id);
        std::string sSuffix;
        if (!sFirst.empty()) ((sSuffix += '{') += sFirst) += '}';
        if (!sSecond.empty()) ((sSuffix += '{') += sSecond) += '}';
        if (!mCountFinding(id, sMessage, 0, sSuffix)) return;
        for (std::size_t s = 1; s <= ModuleSlots - 1; ++s) {
            if (msModuleMessages[s].empty()) {
                msModuleMessages[s] = sMessage + CrLf;
                if (!sSuffix.empty()) msModuleMessages[s + 1] = "Usage | Std:   " + sSuffix + CrLf + CrLf;
                else msModuleMessages[s] += CrLf;
                return;
            }
        }
    });
}

}  // namespace scan
