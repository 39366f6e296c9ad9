#include "platform/qt/QtPrinter.h"

#include <cmath>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "platform/RuntimeError.h"
#include "platform/qt/QtDesktop.h"

namespace platform {
namespace {

constexpr double TwipsPerInch = 1440.0;
// A line width unit is one dot of a 300 dpi printer: 1 gives a hairline on
// paper, 4 a rule of about one point.
constexpr double LineUnitsPerInch = 300.0;
constexpr long PrinterErrorNumber = 482;

[[noreturn]] void printerError() { throw RuntimeError(PrinterErrorNumber, "Printer error"); }

// Printed text is source text: bytes by Windows-1252.
QString qtText(const std::string& text) { return toQt(text); }

}  // namespace

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

QtPrinter::~QtPrinter() {
    if (painter_.isActive()) painter_.end();
}

int QtPrinter::printableWidth() const {
    return static_cast<int>(std::lround(printer_->pageRect(QPrinter::Inch).width() * TwipsPerInch));
}

int QtPrinter::printableHeight() const {
    return static_cast<int>(std::lround(printer_->pageRect(QPrinter::Inch).height() * TwipsPerInch));
}

void QtPrinter::setFontName(const std::string& name) {
    fontName_ = name;
    metrics_.reset();
}

void QtPrinter::setFontSize(double points) {
    fontSize_ = points;
    metrics_.reset();
}

void QtPrinter::setBold(bool bold) {
    bold_ = bold;
    metrics_.reset();
}

QFont QtPrinter::font() const {
    QFont f(qtText(fontName_));
    f.setStyleHint(fontName_ == "Courier New" ? QFont::TypeWriter : QFont::SansSerif);
    f.setPointSizeF(fontSize_ > 0 ? fontSize_ : 1);
    f.setBold(bold_);
    // Widths must add up: a text measured piece by piece is as wide as in one go.
    f.setKerning(false);
    return f;
}

const QFontMetricsF& QtPrinter::metrics() {
    if (!metrics_) metrics_.emplace(font(), printer_.get());
    return *metrics_;
}

double QtPrinter::toDevice(int twips) const { return twips * printer_->resolution() / TwipsPerInch; }

int QtPrinter::toTwips(double deviceUnits) const {
    return static_cast<int>(std::lround(deviceUnits * TwipsPerInch / printer_->resolution()));
}

int QtPrinter::textWidth(const std::string& text) { return toTwips(metrics().horizontalAdvance(qtText(text))); }

int QtPrinter::textHeight(const std::string&) { return toTwips(metrics().height()); }

void QtPrinter::begin() {
    if (started_ && painter_.isActive()) return;
    if (ended_ || !painter_.begin(printer_.get())) printerError();
    started_ = true;
    painter_.setRenderHint(QPainter::Antialiasing);
}

void QtPrinter::printText(const std::string& text) {
    begin();
    painter_.setFont(font());
    painter_.setPen(QPen(Qt::black));
    // The current position is the top left corner of the text.
    painter_.drawText(QPointF(toDevice(x_), toDevice(y_) + metrics().ascent()), qtText(text));
    x_ += textWidth(text);
}

void QtPrinter::drawLine(int x1, int y1, int x2, int y2) {
    begin();
    const double width = lineWidth_ * printer_->resolution() / LineUnitsPerInch;
    painter_.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
    painter_.drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
}

void QtPrinter::newPage() {
    begin();
    if (!printer_->newPage()) printerError();
    x_ = 0;
    y_ = 0;
}

void QtPrinter::endDocument() {
    if (painter_.isActive() && !painter_.end()) printerError();
    ended_ = true;
}

std::string QtPrinter::outputFileName() const { return printer_->outputFileName().toStdString(); }

PrintJob startPrintJob(const std::string& documentName, const std::optional<std::string>& pdfPath) {
    PrintJob job;
    QString pdf = pdfPath ? QString::fromStdString(*pdfPath) : QString();
    const QPrinterInfo device = QPrinterInfo::defaultPrinter();
    if (!pdfPath && device.isNull()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir().mkpath(folder))
            folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
        QString name = QString::fromStdString(documentName).replace('/', '-').trimmed();
        if (name.isEmpty()) name = QStringLiteral("Report");
        name += QDateTime::currentDateTime().toString(QStringLiteral(" yyyy-MM-dd hh.mm.ss")) + ".pdf";
        pdf = QDir(folder).filePath(name);
    }

    std::unique_ptr<QPrinter> printer;
    if (!pdf.isEmpty()) {
        const QFileInfo target(pdf);
        const bool writable =
            target.exists() ? target.isWritable()
                            : QFileInfo(target.absolutePath()).isDir() && QFileInfo(target.absolutePath()).isWritable();
        if (!writable) raise(err::PathFileAccess);
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(target.absoluteFilePath());
        // A PDF page has no hardware margins; give it those of a desk printer.
        printer->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
        job.pdfPath = target.absoluteFilePath().toStdString();
    } else {
        printer = std::make_unique<QPrinter>(device, QPrinter::HighResolution);
    }
    printer->setDocName(QString::fromStdString(documentName));
    job.printer = std::make_unique<QtPrinter>(std::move(printer));
    return job;
}

std::string pdfReportMessage(const std::string& path) { return "The report was saved as a PDF file:\n" + path; }

}  // namespace platform
