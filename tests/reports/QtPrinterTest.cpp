// The Qt printer on PDF files, and varnel --print read back with pdftotext.
#include <gtest/gtest.h>

#include <QtPrintSupport>
#include <filesystem>
#include <fstream>
#include <regex>

#include "platform/RuntimeError.h"
#include "platform/qt/QtPrinter.h"
#include "reports/Reports.h"
#include "support/Cases.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / "varnel-reports-tests";
    fs::create_directories(dir);
    fs::remove(dir / name);
    return dir / name;
}

}  // namespace

TEST(QtPrinter, MeasuresInTwipsAndFailsIntoAnUnwritableFolder) {
    // A Letter page with quarter-inch margins: 8 x 10.5 inches printable.
    auto q = std::make_unique<QPrinter>(QPrinter::HighResolution);
    q->setOutputFormat(QPrinter::PdfFormat);
    q->setOutputFileName(QString::fromStdString(scratch("measure.pdf").string()));
    q->setPageSize(QPageSize(QPageSize::Letter));
    q->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    platform::QtPrinter p(std::move(q));
    EXPECT_EQ(p.printableWidth(), 11520);
    EXPECT_EQ(p.printableHeight(), 15120);
    p.setFontName("Courier New");
    p.setFontSize(10);
    EXPECT_NEAR(p.textWidth(std::string(10, 'M')), 1200, 3);  // 0.6 em wide
    EXPECT_EQ(p.textWidth("iiii"), p.textWidth("MMMM"));
    const int h = p.textHeight("M");
    EXPECT_TRUE(h >= 200 && h <= 260) << h;
    p.setFontName("Arial");
    EXPECT_LT(p.textWidth("iiii"), p.textWidth("MMMM"));
    p.endDocument();
    EXPECT_FALSE(p.hasOutput());  // measuring alone prints nothing
    try {
        platform::startPrintJob("Kestrin Editor", std::string("/nonexistent-folder/x/report.pdf"));
        FAIL() << "no error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::err::PathFileAccess);
    }
}

// varnel --print FILE --pdf OUT, read back with pdftotext: the frame on
// every page, and a line too long for one body line wrapped at its blank.
TEST(VarnelPrint, PagesReadBack) {
    const fs::path varnel = fs::path(VARNEL_BINARY_DIR) / "app/varnel/varnel";
    if (!fs::exists(varnel)) GTEST_SKIP() << "varnel is not built";
    const fs::path text = scratch("pages.txt"), pdf = scratch("pages.pdf");
    std::ofstream(text, std::ios::binary) << "Body line 001\nBody line 002 " + std::string(100, 'a') + " " +
                                                 std::string(30, 'b') + "\n" + std::string(200, '\n') + "last\n";
    ASSERT_EQ(
        std::system(("'" + varnel.string() + "' --print '" + text.string() + "' --pdf '" + pdf.string() + "'").c_str()),
        0);
    std::vector<std::string> pages;
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf.string() + "' '" + pdf.string() + ".txt'").c_str()), 0);
    std::stringstream all(cases::read(pdf.string() + ".txt"));
    for (std::string page; std::getline(all, page, '\f');)
        if (!page.empty()) pages.push_back(page);
    ASSERT_GE(pages.size(), 3u);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        EXPECT_TRUE(std::regex_search(pages[k], std::regex("Kestrin Editor +Page +" + std::to_string(k + 1) + "\n")));
        EXPECT_NE(pages[k].find("Selected (All) Text"), std::string::npos);
        EXPECT_TRUE(
            std::regex_search(pages[k], std::regex("[0-9]{2}/[0-9]{2}/[0-9]{4} +Kestrin Editor +[0-9]{2}:[0-9]{2}")));
    }
    EXPECT_NE(pages[0].find("Body line 002 " + std::string(100, 'a') + "\n" + std::string(30, 'b') + "\n"),
              std::string::npos);
    EXPECT_NE(pages.back().find("last"), std::string::npos);
}
