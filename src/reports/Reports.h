#pragma once
// REPORTS: prints plain text as a paginated report. Every page has a header of
// two title lines with a rule under each, a body of monospaced lines wrapped
// to a fixed number of columns, and a footer line under a rule. One report is
// opened, filled and closed at a time:
//   reports::Reports r(printer);
//   r.OpenReport(120, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
//   r.PrintBlock(text);
//   r.CloseReport();
// All positions and sizes are twips from the top left of the printable area.
#include <ctime>
#include <functional>
#include <string>

#include "platform/Printer.h"

namespace reports {

// The nearest integer, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -0.5 -> 0.
int RoundHalfEven(double value);

// The body font size for a number of columns: 12 pt up to 80, 10 up to 96,
// 8 up to 120, 6 beyond.
double BodyFontSize(int columns);

// "Page   " (three spaces) and the number: PageLabel(12) == "Page   12".
std::string PageLabel(int page);

// The report's layout and progress, as OpenReport sets it up.
struct ReportState {
    int left = 0;    // L
    int right = 0;   // R
    int width = 0;   // W
    int height = 0;  // H
    std::string title1, title2, title3, title4;
    std::string dateText;    // "mm/dd/yyyy"
    std::string timeText;    // "hh:mm"
    int h12 = 0, band1 = 0;  // "M" in Arial 12; header line 1 band and footer band
    int h14 = 0, band2 = 0;  // "M" in Arial 14; header line 2 band
    int headerHeight = 0;    // HH
    int title1Width = 0, title2Width = 0, title4Width = 0, timeWidth = 0;
    int columns = 0;      // N
    double bodySize = 0;  // Courier New points
    int lineHeight = 0;   // LH
    int bodySpace = 0;    // S
    int lastLine = 0;     // LL: body lines per page
    int currentLine = 0;
    int pageNumber = 0;
    bool firstOutput = true;
    bool cancelled = false;
};

class Reports {
public:
    // `now` gives the local date and time that OpenReport stamps on the report.
    explicit Reports(platform::Printer& printer, std::function<std::tm()> now = {});

    // Starts a report of `columns` columns: T1 centred on header line 1, T2 on
    // header line 2, T3 at the left of header line 1, T4 centred in the footer.
    // Failures are ignored step by step.
    void OpenReport(int columns, const std::string& t1, const std::string& t2, const std::string& t3,
                    const std::string& t4);
    // Prints a text whose lines end with CR LF. A CR without LF does not
    // advance the line; an empty text prints nothing, not even a page.
    void PrintBlock(const std::string& text);
    // Ends the print job.
    void CloseReport();

    // One logical line, wrapped after the last blank among its first
    // columns - 1 characters (or cut there when it has none).
    void WrapText(const std::string& line, int indent, int columns);
    // One body line at the current line, `indent` blanks from the left edge;
    // the first one of a report prints the first page frame.
    void PrintText(const std::string& text, int indent);
    // Advances to the next body line, starting a page when the body is full.
    void MoveToNextLine();
    // Starts a new page (unless none was printed yet) and prints its frame.
    void EjectReportPage();
    // Prints the header and the footer of a page.
    void PrintHdrFooter();

    const ReportState& state() const { return st_; }

private:
    void setFont(const char* name, double size, bool bold);
    // Runs one step of a procedure that asks the user on failure; false when
    // the user chose Cancel (the report is cancelled and the procedure ends).
    template <class F>
    bool askingStep(const char* title, F&& step);

    platform::Printer& printer_;
    std::function<std::tm()> now_;
    ReportState st_;
};

// The editor's "Print Selected Text": the text as a 120-column report with the
// editor's titles, from open to close.
void PrintEditorText(platform::Printer& printer, const std::string& text, std::function<std::tm()> now = {});

}  // namespace reports
