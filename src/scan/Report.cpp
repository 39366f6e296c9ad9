// The scan report: the text the window shows for one file, and its printout.
#include <algorithm>
#include <ctime>
#include <string_view>
#include <vector>

#include "platform/RuntimeError.h"
#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {

namespace {

const char* const CrLf = "\r\n";
const char* const Tab = "\t";

// The report holds at most this many characters; a text that does not fit
// is replaced by one "** More **" line while there is room for one.
constexpr std::size_t ReportLimit = 128000;
constexpr std::size_t MoreRoom = 127988;  // a "** More **" line (12 characters) still fits
const char* const MoreLine = "** More **\r\n";

// A report that lost any text ends with a "** More **" line, so that the
// reader knows findings are missing: the shorter texts written after the
// first such line may have used up the room, and then the last lines give way
// to it.
void endWithMore(std::string& r) {
    if (r.ends_with(MoreLine)) return;
    if (r.size() > MoreRoom) {
        const std::size_t lf = r.rfind('\n', MoreRoom - 1);
        r.resize(lf == std::string::npos ? 0 : lf + 1);
    }
    r += MoreLine;
}

// Printout layout, in twips.
constexpr int PrintTop = 1000;
constexpr int PrintLeft = 1440;
constexpr int PrintValueColumn = PrintLeft + 2880;

// Cuts an item into the lines it prints as: without its final CR LF, split
// at every further line end.
std::vector<std::string> printLines(std::string_view sItem) {
    std::string s(sItem);
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, CrLf) == 0) s.resize(s.size() - 2);
    else if (!s.empty() && s.back() == '\n') s.pop_back();
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t lf = s.find('\n', start);
        if (lf == std::string::npos) {
            out.push_back(s.substr(start));
            return out;
        }
        std::size_t end = (lf > start && s[lf - 1] == '\r') ? lf - 1 : lf;
        out.push_back(s.substr(start, end - start));
        start = lf + 1;
    }
}

// Writes lines one under the other from the top margin, starting a new page
// when the next line would not fit.
class PrintWriter {
public:
    explicit PrintWriter(platform::Printer& printer) : p_(printer) {
        p_.setFontName("Courier New");
        p_.setFontSize(10);
        p_.setBold(false);
        y_ = PrintTop;
    }
    // Prints one line. A line wider than the paper goes on over the lines
    // below, cut where the paper ends; each of them starts under the first
    // non-blank character after the first `hang` characters of the line (the
    // text after a label such as "Src Line: "), so that nothing is lost.
    void line(const std::string& text, bool bold, std::size_t hang = 0) {
        place(PrintLeft);
        p_.setBold(bold);
        if (text.empty()) {
            advance();
            return;
        }
        const std::size_t start = std::min(text.find_first_not_of(' ', std::min(hang, text.size())), text.size());
        int indent = PrintLeft + p_.textWidth(text.substr(0, start));
        if (indent + p_.textWidth("XXXXXXXXXX") > p_.printableWidth()) indent = PrintLeft;
        std::string_view rest = text;
        for (int x = PrintLeft;;) {
            const std::size_t n = fitting(rest, p_.printableWidth() - x);
            p_.printText(std::string(rest.substr(0, n)));
            advance();
            rest.remove_prefix(n);
            if (rest.empty()) return;
            x = indent;
            place(x);
        }
    }
    void labelled(const std::string& label, const std::string& value, bool valueBold) {
        place(PrintLeft);
        p_.setBold(true);
        p_.printText(label);
        p_.setCurrentX(PrintValueColumn);
        p_.setBold(valueBold);
        if (!value.empty()) p_.printText(value);
        advance();
    }
    void finish() { p_.endDocument(); }

private:
    void place(int x) {
        int h = p_.textHeight("X");
        if (y_ + h > p_.printableHeight() && y_ > PrintTop) {
            p_.newPage();
            y_ = PrintTop;
        }
        p_.setCurrentX(x);
        p_.setCurrentY(y_);
    }
    // How many characters of text, at least one, fit in room twips.
    std::size_t fitting(std::string_view text, int room) {
        std::size_t lo = 1, hi = text.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi + 1) / 2;
            if (p_.textWidth(std::string(text.substr(0, mid))) <= room) lo = mid;
            else hi = mid - 1;
        }
        return lo;
    }
    void advance() { y_ += p_.textHeight("X"); }

    platform::Printer& p_;
    int y_ = PrintTop;
};

}  // namespace

struct clsOculon::ReportBuffer {
    std::string sText;
    PrintWriter* writer = nullptr;
    bool bCut = false;        // some text did not fit
    std::size_t iOffset = 0;  // the length of the report before sText
};

std::string clsOculon::sToday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%m/%d/%Y", &local);
    return buf;
}

void clsOculon::mAppendStringToByteArray(std::initializer_list<std::string_view> sPieces, ReportBuffer& buffer) {
    trapErrors("mAppendStringToByteArray", [&] {
        std::string& r = buffer.sText;
        std::size_t iSize = 0;
        for (std::string_view p : sPieces) iSize += p.size();
        const std::size_t iLength = buffer.iOffset + r.size();
        if (iLength + iSize > ReportLimit) {
            if (iLength <= MoreRoom) r += MoreLine;
            buffer.bCut = true;
            return;
        }
        for (std::string_view p : sPieces) r += p;
    });
}

void clsOculon::mFormatMessageBanner(std::string& sWork, ReportBuffer& buffer, platform::Printer*) {
    trapErrors("mFormatMessageBanner", [&] {
        const std::string sDate = sToday();
        if (PrintWriter* w = buffer.writer) {
            w->line("Kestrin Oculon", true);
            w->line("", false);
            w->line("Date: " + sDate, true);
            w->line("", false);
            w->labelled("Module: ", msFileName, true);
            w->labelled("Internal Name: ", msInternalName, true);
            w->labelled("Error Count: ", std::to_string(miErrorCount), true);
            if (miCheckLevel > 1) w->labelled("Warning Count:  ", std::to_string(miWarningCount), false);
            if (miCheckLevel > 2) {
                w->labelled("Suggest Count:  ", std::to_string(miSuggestCount), false);
                w->labelled("Source Lines Scanned: ", std::to_string(miLineCount), true);
            }
            return;
        }
        sWork = std::string("Kestrin Oculon") + CrLf + CrLf + "Date: " + sDate + CrLf + CrLf;
        sWork += std::string("Module: ") + Tab + Tab + Tab + msFileName + CrLf;
        sWork += std::string("Internal Name: ") + Tab + Tab + msInternalName + CrLf;
        sWork += std::string("Error Count: ") + Tab + Tab + Tab + std::to_string(miErrorCount) + CrLf;
        if (miCheckLevel > 1)
            sWork += std::string("Warning Count:  ") + Tab + Tab + std::to_string(miWarningCount) + CrLf;
        if (miCheckLevel > 2) {
            sWork += std::string("Suggest Count:  ") + Tab + Tab + std::to_string(miSuggestCount) + CrLf;
            sWork += std::string("Source Lines Scanned: ") + Tab + std::to_string(miLineCount) + CrLf;
        }
        mAppendStringToByteArray({sWork}, buffer);
    });
}

void clsOculon::mFormatModuleMessages(std::string& sWork, ReportBuffer& buffer, platform::Printer*) {
    trapErrors("mFormatModuleMessages", [&] {
        PrintWriter* w = buffer.writer;
        if (!w) {
            sWork = std::string(CrLf) + "[Form/Module/Declaration Level Scan Results] " + CrLf + CrLf;
            mAppendStringToByteArray({sWork}, buffer);
        }
        for (std::size_t s = 1; s <= ModuleSlots && !msModuleMessages[s].empty(); ++s) {
            if (w) {
                for (const std::string& l : printLines(msModuleMessages[s])) w->line(l, false);
            } else {
                mAppendStringToByteArray({msModuleMessages[s]}, buffer);
            }
        }
        if (!w) {
            sWork = std::string("[Source Code Scan Results] ") + CrLf + CrLf;
            mAppendStringToByteArray({sWork}, buffer);
        }
    });
}

void clsOculon::mFormatLineBlocks(ReportBuffer& buffer, platform::Printer*) {
    for (std::size_t i = 1; i < mtLines.size(); ++i)
        if (!mtLines[i].sMessages[1].empty()) mFormatLineBlock(mtLines[i], msInternalName, buffer);
}

void clsOculon::mFormatLineBlock(const tSourceLine& tLine, const std::string& sInternalName, ReportBuffer& buffer) {
    PrintWriter* w = buffer.writer;
    if (w) {
        const std::string sLocation = "Location: " + sInternalName + "." + std::string(tLine.sLocation);
        w->line("", false);
        bool bFirst = true;
        for (const std::string& l : printLines(tLine.sText)) {
            w->line(bFirst ? "Src Line: " + l : l, true, bFirst ? 10 : 0);
            bFirst = false;
        }
        w->line(sLocation, false);
        w->line("", false);
    } else {
        mAppendStringToByteArray({"Src Line:    ", tLine.sText}, buffer);
        mAppendStringToByteArray({"Location: ", sInternalName, ".", tLine.sLocation, "\r\n\r\n"}, buffer);
    }
    for (std::size_t s = 1; s <= LineSlots; ++s) {
        if (tLine.sMessages[s].empty()) {
            if (!w) mAppendStringToByteArray({"*****************\r\n"}, buffer);
            break;
        }
        if (w) {
            for (const std::string& l : printLines(tLine.sMessages[s])) w->line(l, false);
        } else {
            mAppendStringToByteArray({tLine.sMessages[s]}, buffer);
        }
    }
}

void clsOculon::mStreamLineBlock(const tSourceLine& tLine) {
    trapErrors("sFillMessages", [&] {
        const std::string& sName = mtStreamedReport->sInternalName ? *mtStreamedReport->sInternalName : msInternalName;
        if (!msReportName) msReportName = sName;
        else if (*msReportName != sName) mbReportNameChanged = true;
        ReportBuffer buffer;
        buffer.iOffset = mtStreamedReport->headLength;
        // Past this length no text fits any more (the shortest is longer
        // than what is left): the block is only noted as cut.
        if (buffer.iOffset + msReportBlocks.size() > MoreRoom) {
            mbReportCut = true;
            return;
        }
        buffer.sText = std::move(msReportBlocks);
        buffer.bCut = mbReportCut;
        mFormatLineBlock(tLine, sName, buffer);
        msReportBlocks = std::move(buffer.sText);
        mbReportCut = buffer.bCut;
    });
}

std::optional<std::string> clsOculon::streamedReport() {
    return trapErrors("sFillMessages", [&]() -> std::optional<std::string> {
        if (!mtStreamedReport) return std::nullopt;
        ReportBuffer buffer;
        std::string sWork;
        mFormatMessageBanner(sWork, buffer, nullptr);
        mFormatModuleMessages(sWork, buffer, nullptr);
        const bool bSameName = !msReportName || (!mbReportNameChanged && *msReportName == msInternalName);
        const bool bSameHead = buffer.sText.size() == mtStreamedReport->headLength;
        // Blocks that all fitted fit after any head that leaves room for them.
        const bool bWhole = !mbReportCut && buffer.sText.size() + msReportBlocks.size() <= ReportLimit;
        if (!bSameName || (!bSameHead && !bWhole)) return std::nullopt;
        std::string r = std::move(buffer.sText);
        r += msReportBlocks;
        if (buffer.bCut || mbReportCut) endWithMore(r);
        return r;
    });
}

clsOculon::StreamedReport clsOculon::streamedReportLayout() {
    ReportBuffer buffer;
    std::string sWork;
    mFormatMessageBanner(sWork, buffer, nullptr);
    mFormatModuleMessages(sWork, buffer, nullptr);
    return StreamedReport{buffer.sText.size(), msInternalName};
}

std::string clsOculon::mFillMessages(platform::Printer* printer) {
    return trapErrors("sFillMessages", [&]() -> std::string {
        ReportBuffer buffer;
        // Room for about twice the source, the most a report usually needs,
        // and never more than its limit.
        if (!printer) buffer.sText.reserve(std::min(ReportLimit + 16, 2 * mpSource->sText.size() + 1024));
        std::optional<PrintWriter> writer;
        if (printer) {
            writer.emplace(*printer);
            buffer.writer = &*writer;
        }
        std::string sWork;
        mFormatMessageBanner(sWork, buffer, printer);
        mFormatModuleMessages(sWork, buffer, printer);
        mFormatLineBlocks(buffer, printer);
        if (writer) {
            writer->finish();
            return "";
        }
        if (buffer.bCut) endWithMore(buffer.sText);
        return std::move(buffer.sText);
    });
}

std::string clsOculon::sFillMessages() { return mFillMessages(nullptr); }

std::string clsOculon::sFillMessages(const std::string& vPrintOnly) {
    if (!mPrinter) {
        trapErrors("sFillMessages", [] { throw platform::RuntimeError(482, "Printer error"); });
        return "";
    }
    return sFillMessages(vPrintOnly, *mPrinter);
}

std::string clsOculon::sFillMessages(const std::string&, platform::Printer& printer) { return mFillMessages(&printer); }

// Counts the pieces of a text. Unlike the text library's function of the
// same name a piece is cut at nL characters, never at a blank. The count
// ends early only when no further CR LF is found; a piece of one character
// (nL = 1) also leaves the position at 2, which is no end.
long clsOculon::MLCount(const std::string& cStrng, long nL) {
    return trapErrors("MLCount", [&]() -> long {
        const std::int64_t iLen = static_cast<std::int64_t>(cStrng.size());
        std::int64_t p = 1;
        long n = 0;
        while (p <= iLen) {
            if (nL > 0) {
                std::string s = textlib::Mid(cStrng, p, nL);
                std::int64_t iCrLf = textlib::InStr(1, s, CrLf);
                if (iCrLf > 0) p += (iCrLf - 1) + 2;
                else p += static_cast<std::int64_t>(s.size());
            } else {
                p = textlib::InStr(p, cStrng, CrLf) + 2;
                if (p == 2) return n + 1;
            }
            ++n;
        }
        return n;
    });
}

}  // namespace scan
