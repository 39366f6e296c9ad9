#pragma once
// A printer page in twips, measured from the top left corner of the printable
// area. The report printer and the scan report's printout draw through it.
#include <string>

namespace platform {

class Printer {
public:
    virtual ~Printer() = default;

    virtual int printableWidth() const = 0;   // twips
    virtual int printableHeight() const = 0;  // twips

    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual std::string fontName() const = 0;
    virtual double fontSize() const = 0;
    virtual bool bold() const = 0;

    // Measurements in the current font, twips.
    virtual int textWidth(const std::string& text) = 0;
    virtual int textHeight(const std::string& text) = 0;

    virtual void setCurrentX(int x) = 0;
    virtual void setCurrentY(int y) = 0;
    virtual int currentX() const = 0;
    virtual int currentY() const = 0;

    // Draws the text with its top left corner at the current position, then
    // moves the current x past it (the current y stays).
    virtual void printText(const std::string& text) = 0;

    virtual void setLineWidth(int deviceUnits) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;

    virtual void newPage() = 0;
    // Ends the job and releases it to the printer (or closes the PDF file).
    virtual void endDocument() = 0;
};

}  // namespace platform
