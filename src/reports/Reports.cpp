#include "reports/Reports.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "textlib/TextLib.h"

namespace reports {
namespace {

const char* const Arial = "Arial";
const char* const CourierNew = "Courier New";

// Room left between the last body line and the footer band.
constexpr int FooterGap = 100;

const char* const PrintingErrorPrompt =
    "Encountered Trappable Error while printing.\nError:\nClick Ok to continue or Cancel.";

std::tm localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

std::string twoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// Runs a step whose failure is ignored: the next step runs anyway.
template <class F>
void ignoringErrors(F&& step) {
    try {
        step();
    } catch (const platform::RuntimeError&) {}
}

}  // namespace

int RoundHalfEven(double value) {
    if (!std::isfinite(value) || value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        platform::raise(platform::err::Overflow);
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<int>(whole);
}

double BodyFontSize(int columns) {
    if (columns <= 80) return 12;
    if (columns <= 96) return 10;
    if (columns <= 120) return 8;
    return 6;
}

std::string PageLabel(int page) { return "Page   " + std::to_string(page); }

Reports::Reports(platform::Printer& printer, std::function<std::tm()> now)
    : printer_(printer), now_(now ? std::move(now) : std::function<std::tm()>(localNow)) {}

void Reports::setFont(const char* name, double size, bool bold) {
    printer_.setFontName(name);
    printer_.setFontSize(size);
    printer_.setBold(bold);
}

template <class F>
bool Reports::askingStep(const char* title, F&& step) {
    try {
        step();
        return true;
    } catch (const platform::RuntimeError&) {
        if (platform::boxes().show(PrintingErrorPrompt, title, platform::Icon::Stop, platform::Buttons::OkCancel) ==
            platform::Answer::Cancel) {
            st_.cancelled = true;
            return false;
        }
        return true;
    }
}

void Reports::OpenReport(int columns, const std::string& t1, const std::string& t2, const std::string& t3,
                         const std::string& t4) {
    st_ = ReportState{};
    auto& p = printer_;
    ignoringErrors([&] { st_.right = RoundHalfEven(p.printableWidth() - 3.0); });
    ignoringErrors([&] { st_.width = st_.right - st_.left + 1; });
    ignoringErrors([&] { st_.height = RoundHalfEven(p.printableHeight() - 3.0) + 1; });
    st_.title1 = t1;
    st_.title2 = t2;
    st_.title3 = t3;
    st_.title4 = t4;
    ignoringErrors([&] {
        const std::tm tm = now_();
        st_.dateText = twoDigits(tm.tm_mon + 1) + "/" + twoDigits(tm.tm_mday) + "/" + std::to_string(tm.tm_year + 1900);
        st_.timeText = twoDigits(tm.tm_hour) + ":" + twoDigits(tm.tm_min);
    });

    ignoringErrors([&] { p.setFontName(Arial); });
    ignoringErrors([&] { p.setFontSize(12); });
    ignoringErrors([&] { st_.h12 = p.textHeight("M"); });
    ignoringErrors([&] { st_.title1Width = p.textWidth(t1); });
    st_.band1 = 2 * st_.h12;

    ignoringErrors([&] { p.setFontName(Arial); });
    ignoringErrors([&] { p.setFontSize(14); });
    ignoringErrors([&] { st_.h14 = p.textHeight("M"); });
    ignoringErrors([&] { st_.title2Width = p.textWidth(t2); });
    st_.band2 = 2 * st_.h14;

    ignoringErrors([&] { p.setFontName(Arial); });
    ignoringErrors([&] { p.setFontSize(12); });
    ignoringErrors([&] { st_.title4Width = p.textWidth(t4); });
    ignoringErrors([&] { st_.timeWidth = p.textWidth(st_.timeText + " "); });

    st_.columns = columns;
    st_.bodySize = BodyFontSize(columns);
    ignoringErrors([&] { p.setFontName(CourierNew); });
    ignoringErrors([&] { p.setFontSize(st_.bodySize); });
    ignoringErrors([&] { st_.lineHeight = p.textHeight("M"); });

    st_.bodySpace = st_.height - st_.band1 - st_.band2 - st_.band1 - FooterGap;
    st_.headerHeight = st_.band1 + st_.band2;
    // A failed measurement leaves no line height: the division then fails
    // and, like every failure here, is skipped.
    ignoringErrors([&] {
        if (st_.lineHeight == 0) platform::raise(platform::err::Overflow);
        st_.lastLine = RoundHalfEven(static_cast<double>(st_.bodySpace) / st_.lineHeight - 1.0);
    });
    st_.currentLine = st_.lastLine + 1;
}

void Reports::PrintBlock(const std::string& text) {
    const char* const title = "PrintBlock Error";
    const std::size_t length = text.size();
    if (length < 1) return;
    std::size_t p = 0;  // 0-based position of the first character left
    for (;;) {
        const std::size_t cr = text.find('\r', p);
        if (cr == std::string::npos) break;
        const std::string line = text.substr(p, cr - p);
        if (!askingStep(title, [&] { WrapText(line, 1, st_.columns); })) return;
        p = cr + 1;
        if (p < length && text[p] == '\n') {
            ++p;
            if (!askingStep(title, [&] { MoveToNextLine(); })) return;
        }
        if (p >= length) return;
    }
    const std::string rest = text.substr(p);
    askingStep(title, [&] { WrapText(rest, 1, st_.columns); });
}

void Reports::CloseReport() {
    try {
        printer_.endDocument();
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError("CloseReport", "", e);
    }
}

void Reports::WrapText(const std::string& line, int indent, int columns) {
    try {
        // At least one character goes on each line, so that a report of one
        // column or less still comes to an end.
        const auto n = static_cast<std::size_t>(columns < 2 ? 2 : columns);
        if (line.size() < n) {
            PrintText(line, indent);
            return;
        }
        // A view of what is left, so that a long line is not copied once per
        // body line.
        std::string_view rest = line;
        for (;;) {
            if (rest.size() < n) {
                PrintText(std::string(rest), indent);
                return;
            }
            // Break after the last blank among the first n - 1 characters, or
            // cut there when there is none.
            std::size_t k = n - 1;
            const std::size_t blank = rest.rfind(' ', k - 1);
            if (blank != std::string_view::npos) k = blank + 1;
            PrintText(std::string(rest.substr(0, k)), indent);
            MoveToNextLine();
            rest.remove_prefix(k);
            while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        }
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError("WrapText", "", e);
    }
}

void Reports::PrintText(const std::string& text, int indent) {
    if (st_.cancelled) return;
    const char* const title = "PrintText Error";
    if (st_.firstOutput) {
        if (!askingStep(title, [&] { EjectReportPage(); })) return;
        // Cancel in the first frame's prompt ends the report before its first line.
        if (st_.cancelled) return;
        st_.firstOutput = false;
    }
    const std::function<void()> steps[] = {
        [&] { printer_.setFontName(CourierNew); },
        [&] { printer_.setFontSize(st_.bodySize); },
        [&] { printer_.setBold(true); },
        [&] {
            printer_.setCurrentX(
                printer_.textWidth(std::string(static_cast<std::size_t>(indent > 0 ? indent : 0), ' ')));
        },
        [&] { printer_.setCurrentY(st_.headerHeight + st_.currentLine * st_.lineHeight); },
        [&] { printer_.printText(text); },
    };
    for (const auto& step : steps)
        if (!askingStep(title, step)) return;
}

void Reports::MoveToNextLine() {
    if (st_.cancelled) return;
    try {
        if (st_.currentLine < st_.lastLine) ++st_.currentLine;
        else EjectReportPage();
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError("MoveToNextLine", "", e);
    }
}

void Reports::EjectReportPage() {
    try {
        if (st_.pageNumber > 0) printer_.newPage();
        PrintHdrFooter();
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError("EjectReportPage", "", e);
    }
}

void Reports::PrintHdrFooter() {
    auto& p = printer_;
    const int l = st_.left;
    const int r = st_.right;
    const int w = st_.width;
    const int h = st_.height;
    const int band1 = st_.band1;
    std::string label;
    const std::function<void()> steps[] = {
        [&] { ++st_.pageNumber; },
        // Header line 1, regular weight: T3 left, T1 centred, the page label right.
        [&] { setFont(Arial, 12, false); },
        [&] { p.setCurrentY(RoundHalfEven((band1 - st_.h12) / 2.0)); },
        [&] { p.setCurrentX(l + p.textWidth(" ")); },
        [&] { p.printText(st_.title3); },
        [&] { p.setCurrentX(RoundHalfEven((w - st_.title1Width) / 2.0)); },
        [&] { p.printText(st_.title1); },
        [&] { label = PageLabel(st_.pageNumber); },
        [&] { p.setCurrentX(w - p.textWidth(label + " ")); },
        [&] { p.printText(label); },
        [&] { p.setLineWidth(1); },
        [&] { p.drawLine(l, band1, r, band1); },
        // Header line 2: T2 centred, bold Arial 14, under a thick rule.
        [&] { setFont(Arial, 14, true); },
        [&] { p.setCurrentX(RoundHalfEven((w - st_.title2Width) / 2.0)); },
        [&] { p.setCurrentY(RoundHalfEven(band1 + (st_.band2 - st_.h14) / 2.0)); },
        [&] { p.printText(st_.title2); },
        [&] { p.setBold(false); },
        [&] { p.setLineWidth(4); },
        [&] { p.drawLine(l, st_.headerHeight, r, st_.headerHeight); },
        // Footer under a thin rule: the date left, T4 centred, the time right.
        [&] { setFont(Arial, 12, false); },
        [&] { p.setLineWidth(1); },
        [&] { p.drawLine(l, h - band1, r, h - band1); },
        [&] { p.setCurrentY(RoundHalfEven(h - band1 + st_.h12 / 2.0)); },
        [&] { p.setCurrentX(l + p.textWidth(" ")); },
        [&] { p.printText(st_.dateText); },
        [&] { p.setCurrentX(RoundHalfEven((w - st_.title4Width) / 2.0)); },
        [&] { p.printText(st_.title4); },
        [&] { p.setCurrentX(w - st_.timeWidth); },
        [&] { p.printText(st_.timeText); },
        [&] {
            st_.currentLine = 1;
            st_.firstOutput = false;
        },
    };
    for (const auto& step : steps)
        if (!askingStep("PrintHdrFooter Error", step)) return;
}

void PrintEditorText(platform::Printer& printer, const std::string& text, std::function<std::tm()> now) {
    Reports report(printer, std::move(now));
    report.OpenReport(120, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
    report.PrintBlock(text);
    report.CloseReport();
}

}  // namespace reports
