#pragma once
// clsOculon: the scan engine. Load() reads one .BAS, .FRM or .CLS file, cuts
// it into logical lines and each line into words, runs the rule families on
// every line as soon as it is cut and the module rules at the end; then
// sFillMessages() turns the findings into the report text or a printout.
//
// How a rule works
// ----------------
// A rule is a member of clsOculon, given the line it examines:
//
//     void clsOculon::mConstantRules(tSourceLine& tLine) {
//         trapErrors("mConstantRules", [&] {
//             const std::string_view sName = tLine.word(1) == "Const" ? tLine.word(2) : tLine.word(3);
//             if (sName.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string_view::npos)
//                 mPostError(MessageId::ConstantCase, tLine, sName);
//         });
//     }
//
// - Words: tLine.word(i) is word i, 1-based, exactly as cut (keyword
//   comparisons are exact and case-sensitive); any i outside 1..iWordCount
//   gives "". tLine.sText is the whole logical line with its CR LF (and, for
//   a continued line, every physical line with its " _" and CR LF). Both
//   view the engine's copy of the file: they hold until the next Load.
// - Line findings: mPostError(MessageId, tLine) or mPostError(MessageId,
//   tLine, usage). Module findings: mPostModuleError(MessageId, first, second).
//   Both apply the check level, count the finding and store its report text;
//   the id names a row of the catalogue (MessageCatalogue.h), never a text.
// - Errors: wrap the body in trapErrors("<procedure name>", ...) so that a
//   fault is reported in the "Program Error" box under that name and the
//   scan goes on.
// - State the rules read: mbInDeclarations, msModuleKind ("BAS", "FRM",
//   "CLS"), msModuleScope ("GLB", "MOD" or ""), msLocation, msMethods and
//   miMethodCount, msControlStyles and msVariablePrefixes. A rule sees the
//   line it is given only: the lines before it may be gone (see
//   setLineSink); what the module rules need of them is followed as the
//   lines go by (mFollowModuleLine).
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Printer.h"
#include "scan/MessageCatalogue.h"
#include "scan/Trap.h"

namespace scan {

// The program-wide check level: 1 errors only, 2 errors and warnings,
// 3 everything. 1 at start-up. A load that is given no level of its own
// reads it once, as the load begins, and files and reports the whole file at
// that level; the window may change it while the scan pool's engines work on
// other threads, hence atomic.
extern std::atomic<int> giCheckLevel;
void setCheckLevel(int level);
// Counts the calls of setCheckLevel, so that a scan can tell whether the
// level was chosen again while it ran.
std::uint64_t checkLevelChanges();

// A progress indicator the engine moves while it cuts lines (value 0..100).
// The window implements it with its progress bar.
class ProgressIndicator {
public:
    virtual ~ProgressIndicator() = default;
    virtual void setValue(int value) = 0;
    virtual void setVisible(bool visible) = 0;
};

// Number of finding slots of one line (slot 0 is never used).
constexpr int LineSlots = 20;
// Number of module finding slots (slot 0 is never used).
constexpr int ModuleSlots = 100;

// The finding slots of one line, indexed 1 to LineSlots (0 is never used).
// Their storage is made when a slot is first written, so that the many lines
// without findings stay small.
class MessageSlots {
public:
    using Slots = std::array<std::string, LineSlots + 1>;
    MessageSlots() = default;
    MessageSlots(const MessageSlots& other)
        : slots_(other.slots_ ? std::make_unique<Slots>(*other.slots_) : nullptr), written_(other.written_) {}
    MessageSlots& operator=(const MessageSlots& other) {
        if (this != &other) {
            slots_ = other.slots_ ? std::make_unique<Slots>(*other.slots_) : nullptr;
            written_ = other.written_;
        }
        return *this;
    }
    MessageSlots(MessageSlots&&) noexcept = default;
    MessageSlots& operator=(MessageSlots&&) noexcept = default;

    const std::string& operator[](std::size_t i) const {
        static const std::string empty;
        if (i > LineSlots) throw std::out_of_range("message slot");
        return slots_ && written_ ? (*slots_)[i] : empty;
    }
    std::string& operator[](std::size_t i) {
        if (i > LineSlots) throw std::out_of_range("message slot");
        if (!slots_) slots_ = std::make_unique<Slots>();
        written_ = true;
        return (*slots_)[i];
    }
    static constexpr std::size_t size() { return LineSlots + 1; }
    // Empties every slot; the storage stays, for the next line that uses it.
    // Slots are filled from 1 without gaps: the first empty one ends them.
    // Only slots reached for writing since the last clear are looked at: the
    // storage of a line without findings is not touched.
    void clear() {
        if (written_ && slots_)
            for (std::size_t i = 1; i <= LineSlots && !(*slots_)[i].empty(); ++i) (*slots_)[i].clear();
        written_ = false;
    }

private:
    std::unique_ptr<Slots> slots_;
    bool written_ = false;  // a slot may hold text
};

// One logical source line. Its texts view the text of the file loaded last
// (and the words that cutting had to piece together): none is copied per
// line, and they hold until the engine loads the next file.
struct tSourceLine {
    std::string_view sText;                // the line with its CR LF (all physical lines of a continued line)
    std::vector<std::string_view> sWords;  // the words, first word at [0]; use word(i)
    long iWordCount = 0;                   // number of words
    std::string_view sLocation;            // procedure name, or "(declarations)"
    MessageSlots sMessages;                // finding texts in slots 1..20, no gaps
    long iPhysicalLine = 0;                // 1-based number of the file's line where this one starts

    // Word i (1-based); "" outside 1..iWordCount.
    std::string_view word(long i) const {
        return (i >= 1 && i <= iWordCount) ? sWords[static_cast<std::size_t>(i - 1)] : std::string_view();
    }
};

// One finding as filed, beside its report text: its catalogue row, the line
// it was filed against (its logical line number, also its index into lines()
// when lines are kept; 0 for a module finding) and its
// usage hint as the report shows it ("{sName} {str}", "{cmdOK} {OK}{frmMain}";
// "" when the rule gave none). Unlike the slots these are never cut short.
struct tFinding {
    MessageId id;
    long iLine = 0;
    std::string sUsage;
};

// Takes each line as soon as its rules ran (its number and the findings filed
// meanwhile, module findings among them), and at the end of the file the
// module rules' findings with no line. The line and the findings are valid
// during the call only.
using LineSink = std::function<void(const tSourceLine* tLine, long iLine, const std::vector<tFinding>& findings)>;

// Decides whether a finding that passed the check level is filed; given its
// row and its ordinal among the file's findings that passed the level (0, 1,
// ...), which is the same in every scan of the same text.
using FindingFilter = std::function<bool(MessageId id, long iOrdinal)>;

class clsOculon {
    friend struct ScanTestAccess;  // the engine's own tests reach the filing operations

public:
    // Reads "UserDefs.txt" from the program's folder, or else from the user's
    // configuration folder or the one installed with the program.
    clsOculon();
    // Reads the user definitions from the given file instead.
    explicit clsOculon(const std::string& userDefsPath);

    // Reads the user definitions (control styles and type prefixes) from a
    // file; a missing or unreadable file leaves the lists as far as read.
    void Class_Initialize(const std::string& userDefsPath);

    // Reads, cuts and checks one file at a check level (1 errors only, 2 and
    // warnings, 3 everything; ProgramLevel: giCheckLevel as the load begins).
    // The report of the file shows the level it was loaded at. rProgressBar
    // may be null.
    static constexpr int ProgramLevel = 0;
    void Load(const std::string& rsFilename, ProgressIndicator* rProgressBar = nullptr, int level = ProgramLevel);
    // The same for a text already in memory, scanned as the file rsFilename;
    // a text handed over is kept without a copy.
    void LoadFromText(const std::string& rsFilename, const std::string& sSource,
                      ProgressIndicator* rProgressBar = nullptr, int level = ProgramLevel);
    void LoadFromText(const std::string& rsFilename, std::string&& sSource, ProgressIndicator* rProgressBar = nullptr,
                      int level = ProgramLevel);
    // The level the last Load filed its findings at.
    int checkLevel() const { return miCheckLevel; }
    // Whether the engine lets the program's window events run while it cuts
    // lines (yes by default; no for an engine on a thread of its own).
    void setPumpsEvents(bool pumps) { mbPumpsEvents = pumps; }
    // The file system Load reads from; null (the default): the program's.
    void setFileSystem(platform::FileSystem* files) { mFiles = files; }

    // The report text of the file loaded last.
    std::string sFillMessages();
    // With an argument (the window passes "Print Only"): prints the report on
    // the printer given with setPrinter() and returns "".
    std::string sFillMessages(const std::string& vPrintOnly);
    // Prints the report on the given printer and returns "".
    std::string sFillMessages(const std::string& vPrintOnly, platform::Printer& printer);
    // The printer used by sFillMessages(argument); not owned.
    void setPrinter(platform::Printer* printer) { mPrinter = printer; }

    std::string sVersion() const { return "Version 5.0"; }

    // Counts the pieces of a text: with nL > 0 pieces of nL characters or up
    // to a CR LF; with nL <= 0 lines ending in CR LF. MLCount("ab\r\nc", 0) == 2.
    long MLCount(const std::string& cStrng, long nL);

    // Read-only views of the state, for the window, the command line and tests.
    long errorCount() const { return miErrorCount; }
    long warningCount() const { return miWarningCount; }
    long suggestCount() const { return miSuggestCount; }
    long lineCount() const { return miLineCount; }
    const std::vector<tSourceLine>& lines() const { return mtLines; }
    const std::array<std::string, ModuleSlots + 1>& moduleMessages() const { return msModuleMessages; }
    const std::string& internalName() const { return msInternalName; }
    const std::string& fileName() const { return msFileName; }
    const std::string& moduleKind() const { return msModuleKind; }
    const std::string& moduleScope() const { return msModuleScope; }
    bool optionExplicit() const { return mbOptionExplicit; }
    // Whether the last Load could read its file.
    bool sourceRead() const { return mbSourceRead; }
    const std::string& controlStyles() const { return msControlStyles; }
    const std::string& variablePrefixes() const { return msVariablePrefixes; }
    const std::vector<std::string>& methods() const { return msMethods; }
    // Every finding filed since the last Load, in filing order.
    const std::vector<tFinding>& findings() const { return mtFindings; }
    // Leaves out, from the next Load on, the findings the filter refuses:
    // neither counted nor stored nor recorded. None by default.
    void setFindingFilter(FindingFilter filter) { mfFindingFilter = std::move(filter); }
    // From the next Load on, hands every line and its findings to the sink as
    // they are done, and keeps no finding records (findings() stays empty);
    // with keepLines false it keeps no line either, so that a file of any
    // size is scanned in the room of one line (lines() and the report then
    // show none). A null sink: lines and findings are kept (the default).
    void setLineSink(LineSink sink, bool keepLines = false) {
        mfLineSink = std::move(sink);
        mbKeepLines = !mfLineSink || keepLines;
    }
    // From the next Load on: makes the report's line blocks as the lines are
    // cut, laid out after a head (banner and module findings) of headLength
    // characters and under the internal name sInternalName (nullopt: the one
    // read so far), so that the report needs no line kept. Off (the
    // default): the report is made from the lines kept.
    struct StreamedReport {
        std::size_t headLength = 0;
        std::optional<std::string> sInternalName;
    };
    void setStreamedReport(std::optional<StreamedReport> layout) { mtStreamedReport = std::move(layout); }
    // After a Load with a streamed report: the report text as sFillMessages()
    // gives it from kept lines; nullopt when the file's head or internal name
    // differ from the layout's and the blocks would have been cut otherwise:
    // then a Load with streamedReportLayout() gives it.
    std::optional<std::string> streamedReport();
    StreamedReport streamedReportLayout();
    // Today's date as the report head shows it ("mm/dd/yyyy").
    static std::string sToday();

private:
    // ---- Loading and cutting (clsOculon.cpp) ----
    void mInitialize();
    // sSource: the text, taken over; null: read the file.
    void mLoadSource(const std::string& rsFilename, std::string* sSource, ProgressIndicator* rProgressBar, int level);
    void mParseLines(ProgressIndicator* rProgressBar);
    void mParseWords(tSourceLine& tLine);
    void mCritiqueLine(tSourceLine& tLine);
    // Follows the lines the module rules read after the last one (the form
    // description's lines, the search for "Option Explicit"), so that no line
    // need be kept for them.
    void mFollowModuleLine(const tSourceLine& tLine);
    // Hands the findings filed since the last hand-over to the sink, with
    // the line they were filed on (null: none); the line is dropped unless
    // lines are kept.
    void mHandOver(const tSourceLine* tLine);
    // Appends an empty line record to mtLines, made from a line of an earlier
    // file when there is one.
    tSourceLine& mNewLine();

    // ---- Filing findings (clsOculon.cpp) ----
    void mPostError(MessageId id, tSourceLine& tLine);
    void mPostError(MessageId id, tSourceLine& tLine, std::string_view vUsage);
    void mPostModuleError(MessageId id, std::string_view sFirst, std::string_view sSecond);
    // Level filter, finding filter and counters; false when the finding is
    // filtered out. Otherwise records it against the given line (0: module).
    bool mCountFinding(MessageId id, const std::string& sMessage, long iLine, std::string sUsage);
    // Whether the check level keeps a finding with this text.
    bool mPassesLevel(const std::string& sMessage) const;
    // The number of a line of mtLines in the file (0 when it is not one of them).
    long mLineIndex(const tSourceLine& tLine) const;

    // ---- Module rules (ModuleRules.cpp) ----
    void mLineLengthRule(tSourceLine& tLine);
    void mInternalNameRules(tSourceLine& tLine);
    void mCritiqueModule();

    // ---- Declaration rules (DeclarationRules.cpp) ----
    std::string msTypePrefixFor(std::string_view sType);
    void mCheckTypeAgainstName(std::string_view sName, std::string_view sType, tSourceLine& tLine,
                               std::optional<std::string_view> vFullName = std::nullopt, bool vNoCapsCheck = false);
    void mVariableRules(tSourceLine& tLine);
    void mTypeRules(tSourceLine& tLine);
    void mConstantRules(tSourceLine& tLine);
    // True when a word reads as a number ("1200", "8.25").
    static bool mfIsNumeric(std::string_view sWord);

    // ---- Procedure rules (ProcedureRules.cpp) ----
    void mParmRules(tSourceLine& tLine);
    void mAssignmentAndCallRules(tSourceLine& tLine);
    // Whether a name is among the module's procedures (msMethods).
    bool mfHasMethod(std::string_view sName) const;

    // ---- Control rules (ControlRules.cpp) ----
    std::string msControlPrefixFor(std::string_view sClass);
    void mControlRules(tSourceLine& tLine);
    // Words 1 to 3 of a line of the form description, what the control
    // rules read of it (views of the file, as the line's words are).
    struct tControlLine {
        std::string_view w1, w2, w3;
    };
    // Walks the block whose "Begin" line is mtControlLines[iLine]; leaves
    // iLine on its "End".
    void mCritiqueControl(std::size_t& iLine, const std::string& sParent);
    void mCritiqueControlProperty(const tControlLine& tLine, std::string_view sName, std::string_view sClass,
                                  std::string_view sParent);

    // ---- Report (Report.cpp) ----
    struct ReportBuffer;
    void mFormatMessageBanner(std::string& sWork, ReportBuffer& buffer, platform::Printer* printer);
    void mFormatModuleMessages(std::string& sWork, ReportBuffer& buffer, platform::Printer* printer);
    void mFormatLineBlocks(ReportBuffer& buffer, platform::Printer* printer);
    // The block of one line with findings, under the module's internal name.
    void mFormatLineBlock(const tSourceLine& tLine, const std::string& sInternalName, ReportBuffer& buffer);
    // Lays out the block of a line just cut, for a streamed report.
    void mStreamLineBlock(const tSourceLine& tLine);
    // Appends the pieces as one text: whole, or not at all when they do not fit.
    void mAppendStringToByteArray(std::initializer_list<std::string_view> sPieces, ReportBuffer& buffer);
    std::string mFillMessages(platform::Printer* printer);

    // ---- State ----
    std::array<std::string, ModuleSlots + 1> msModuleMessages;  // module findings, slots 1..100
    std::vector<tSourceLine> mtLines;                           // [0] unused; lines 1..miLineCount
    // Lines of earlier files, whose strings keep their room for the lines of
    // the next one: a file's cutting then seldom allocates. Never more than
    // the longest file's lines.
    std::vector<tSourceLine> mtSpareLines;
    std::vector<std::string> msMethods;              // Sub and Function names, in order of their heads
    long miMethodCount = 0;                          // == msMethods.size()
    std::string_view msLocation = "(declarations)";  // a word of the file, or this text
    long miErrorCount = 0;
    long miWarningCount = 0;
    long miSuggestCount = 0;
    long miLineCount = 0;
    bool mbOptionExplicit = false;
    // The file loaded last, one byte per character, ending in a line end,
    // and the words cut from it that are no piece of it ("ab" from "a=b");
    // the line records view both. Shared by an engine's copies, whose
    // records view them too.
    struct SourceText {
        std::string sText;
        // Keeps a pieced word in blocks that never move, and views it there.
        // A pieced word is shorter than the text it was cut from, so the
        // blocks never outgrow the file, whatever it holds.
        std::string_view keep(std::string_view sWord);
        std::vector<std::unique_ptr<char[]>> sBlocks;
        std::size_t iBlockSize = 0;  // of the last block
        std::size_t iBlockUsed = 0;  // of the last block
    };
    std::shared_ptr<SourceText> mpSource = std::make_shared<SourceText>();
    std::string msPiecing;           // a word being pieced together, reused from word to word
    bool mbInDeclarations = false;   // true until the first procedure head
    bool mbInEnum = false;           // between an Enum head and its "End Enum"
    std::string msModuleKind;        // last three characters of the file name, upper case
    std::string msFileName;          // file name without its folder, upper case
    std::string msInternalName;      // from the name line
    std::string msModuleScope;       // "GLB", "MOD" or "" (reset for each file)
    std::string msControlStyles;     // user control styles: entry_entry_...
    std::string msVariablePrefixes;  // user type prefixes: _entry_entry_...
    platform::Printer* mPrinter = nullptr;
    bool mbPumpsEvents = true;
    platform::FileSystem* mFiles = nullptr;
    int miCheckLevel = 1;              // the level of the last Load
    bool mbSourceRead = false;         // the last Load read its file
    std::vector<tFinding> mtFindings;  // every finding filed, in order (since the last hand-over)
    LineSink mfLineSink;               // takes lines and findings as they are done (none when empty)
    bool mbKeepLines = true;           // lines stay in mtLines
    long miLinesDropped = 0;           // lines handed over and dropped before mtLines[1]
    // Where the module rules stand: before the form description (FRM), in
    // it, searching for "Option Explicit", or done.
    enum class ModuleWalk { SeekBegin, InControls, SeekOption, Done };
    ModuleWalk meModuleWalk = ModuleWalk::SeekOption;
    long miControlDepth = 0;                   // open blocks of the form description
    std::vector<tControlLine> mtControlLines;  // the form description, its first "Begin" to its "End"
    FindingFilter mfFindingFilter;             // leaves findings out (none when empty)
    long miFindingOrdinal = 0;                 // findings that passed the check level so far
    // A report made as the lines are cut (see setStreamedReport): its line
    // blocks so far (never more than the report's limit), whether any text
    // did not fit, and the internal name they were laid out under.
    std::optional<StreamedReport> mtStreamedReport;
    std::string msReportBlocks;
    bool mbReportCut = false;
    std::optional<std::string> msReportName;
    bool mbReportNameChanged = false;
};

}  // namespace scan
