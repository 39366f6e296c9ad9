#pragma once
// The printer of the programs: a QPrinter driven in twips (1/1440 inch) from
// the top left of its printable area. Fonts are measured at the printer's own
// resolution, so what the report measures is what lands on paper.
#include <memory>
#include <optional>
#include <string>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include "platform/Printer.h"

class QPrinter;

namespace platform {

class QtPrinter : public Printer {
public:
    // Takes over a configured printer (a device or a PDF file). The job starts
    // with the first thing drawn, so measuring alone prints nothing.
    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    // Ends a job that was started and not ended.
    ~QtPrinter() override;

    int printableWidth() const override;
    int printableHeight() const override;
    void setFontName(const std::string& name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    std::string fontName() const override { return fontName_; }
    double fontSize() const override { return fontSize_; }
    bool bold() const override { return bold_; }
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;
    void setCurrentX(int x) override { x_ = x; }
    void setCurrentY(int y) override { y_ = y; }
    int currentX() const override { return x_; }
    int currentY() const override { return y_; }
    void printText(const std::string& text) override;
    void setLineWidth(int deviceUnits) override { lineWidth_ = deviceUnits; }
    void drawLine(int x1, int y1, int x2, int y2) override;
    void newPage() override;
    void endDocument() override;

    // True once anything was drawn (a PDF file exists only then).
    bool hasOutput() const { return started_; }
    // The file the job writes, when it goes to a PDF; empty otherwise.
    std::string outputFileName() const;

private:
    void begin();
    QFont font() const;
    const QFontMetricsF& metrics();
    double toDevice(int twips) const;
    int toTwips(double deviceUnits) const;

    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    bool started_ = false;
    bool ended_ = false;
    std::string fontName_ = "Arial";
    double fontSize_ = 10;
    bool bold_ = false;
    std::optional<QFontMetricsF> metrics_;
    int x_ = 0, y_ = 0;
    int lineWidth_ = 1;
};

// A print job that has been set up but not started.
struct PrintJob {
    std::unique_ptr<QtPrinter> printer;
    // The PDF file the job writes; empty when it goes to a printer.
    std::string pdfPath;
};

// Sets up a print job without any dialog: into `pdfPath` when given, else on
// the system's default printer, else (no printer installed) into a new PDF
// file in the user's documents folder. `documentName` names the job (and the
// PDF file made up for it). Needs a QGuiApplication. Throws a RuntimeError
// when the PDF file cannot be written there.
PrintJob startPrintJob(const std::string& documentName, const std::optional<std::string>& pdfPath = std::nullopt);

// What a window tells the user when a report went to a PDF file.
std::string pdfReportMessage(const std::string& path);

}  // namespace platform
