// The Qt printer on PDF files, and varnel --print read back with pdftotext.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "platform/qt/QtPrinter.h"
#include "reports/Reports.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / "varnel-reports-tests";
    fs::create_directories(dir);
    fs::remove(dir / name);
    return dir / name;
}

// A Letter page with quarter-inch margins: 8 x 10.5 inches printable.
std::unique_ptr<platform::QtPrinter> letterPdf(const fs::path& file) {
    auto q = std::make_unique<QPrinter>(QPrinter::HighResolution);
    q->setOutputFormat(QPrinter::PdfFormat);
    q->setOutputFileName(QString::fromStdString(file.string()));
    q->setPageSize(QPageSize(QPageSize::Letter));
    q->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    return std::make_unique<platform::QtPrinter>(std::move(q));
}

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    pclose(pipe);
    return out;
}

std::string today() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%m/%d/%Y", &tm);
    return buf;
}

}  // namespace

TEST(QtPrinter, MeasuresInTwips) {
    auto p = letterPdf(scratch("measure.pdf"));
    EXPECT_EQ(p->printableWidth(), 11520);
    EXPECT_EQ(p->printableHeight(), 15120);
    p->setFontName("Courier New");
    p->setFontSize(10);
    // Courier New is monospaced, 0.6 em wide: 10 characters of 10 pt = 1200 twips.
    EXPECT_NEAR(p->textWidth(std::string(10, 'M')), 1200, 3);
    EXPECT_EQ(p->textWidth("iiii"), p->textWidth("MMMM"));
    const int h = p->textHeight("M");
    EXPECT_GE(h, 200);
    EXPECT_LE(h, 260);
    p->setFontName("Arial");
    EXPECT_LT(p->textWidth("iiii"), p->textWidth("MMMM"));
    p->setFontSize(20);
    EXPECT_NEAR(p->textHeight("M"), 2 * h, 30);
}

TEST(QtPrinter, MeasuringAlonePrintsNothing) {
    const fs::path file = scratch("empty.pdf");
    auto p = letterPdf(file);
    p->textWidth("abc");
    p->endDocument();
    EXPECT_FALSE(p->hasOutput());
    EXPECT_FALSE(fs::exists(file));
}

TEST(QtPrinter, JobIntoAnUnwritableFolderFails) {
    try {
        platform::startPrintJob("Kestrin Editor", std::string("/nonexistent-folder/x/report.pdf"));
        FAIL() << "no error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::err::PathFileAccess);
    }
}

TEST(QtPrinter, JobIntoANamedPdf) {
    const fs::path file = scratch("job.pdf");
    auto job = platform::startPrintJob("Kestrin Editor", file.string());
    EXPECT_EQ(job.pdfPath, fs::absolute(file).string());
    reports::PrintEditorText(*job.printer, "one\r\ntwo");
    EXPECT_TRUE(job.printer->hasOutput());
    EXPECT_GT(fs::file_size(file), 500u);
}

// varnel --print FILE --pdf OUT: three pages read back with pdftotext -layout.
TEST(VarnelPrint, ThreePagesReadBack) {
    const fs::path varnel = fs::path(VARNEL_BINARY_DIR) / "app/varnel/varnel";
    if (!fs::exists(varnel)) GTEST_SKIP() << "varnel is not built";

    // The body lines per page of the PDF that varnel makes.
    int lastLine = 0;
    {
        auto job = platform::startPrintJob("Kestrin Editor", scratch("probe.pdf").string());
        reports::Reports r(*job.printer);
        r.OpenReport(120, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
        lastLine = r.state().lastLine;
    }
    ASSERT_GT(lastLine, 30);

    // Line 3 is 145 characters with its last blank among the first 119 at
    // 115, so it takes two body lines; 2 x LL + 4 lines fill three pages.
    const int count = 2 * lastLine + 4;
    const std::string longTail = std::string(100, 'a') + " " + std::string(30, 'b');
    const fs::path text = scratch("three.txt");
    {
        std::ofstream out(text, std::ios::binary);
        for (int i = 1; i <= count; ++i) {
            char num[16];
            std::snprintf(num, sizeof num, "%03d", i);
            out << "Body line " << num << (i == 3 ? " " + longTail : "") << "\n";
        }
    }
    const fs::path pdf = scratch("three.pdf");
    const std::string before = today();
    ASSERT_EQ(std::system(("'" + varnel.string() + "' --print '" + text.string() + "' --pdf '" + pdf.string() + "'")
                              .c_str()),
              0);
    const std::string after = today();
    const std::string layout = run("pdftotext -layout '" + pdf.string() + "' -");
    ASSERT_FALSE(layout.empty()) << "pdftotext gave nothing";

    std::vector<std::string> pages;
    std::stringstream all(layout);
    std::string page;
    while (std::getline(all, page, '\f'))
        if (!page.empty()) pages.push_back(page);
    ASSERT_EQ(pages.size(), 3u);

    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k + 1);
        const std::string& pg = pages[k];
        // pdftotext gives the blanks of "Page   1" back as it measures them.
        EXPECT_TRUE(std::regex_search(pg, std::regex("Kestrin Editor +Page +" + std::to_string(k + 1) + "\n")));
        EXPECT_NE(pg.find("Selected (All) Text"), std::string::npos);
        EXPECT_TRUE(std::regex_search(pg, std::regex("(" + before + "|" + after + ") +Kestrin Editor +[0-9][0-9]:[0-9][0-9]")));
    }
    auto has = [&](int page, int i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "Body line %03d", i);
        return pages[page - 1].find(buf) != std::string::npos;
    };
    // Page 1: line 1 to LL - 1 (line 3 took two); page 2: the next LL; page 3: the rest.
    EXPECT_NE(pages[0].find("Body line 003 " + std::string(100, 'a') + "\n" + std::string(30, 'b') + "\n"),
              std::string::npos);
    EXPECT_TRUE(has(1, 1) && has(1, lastLine - 1) && !has(1, lastLine));
    EXPECT_TRUE(has(2, lastLine) && has(2, 2 * lastLine - 1) && !has(2, 2 * lastLine));
    EXPECT_TRUE(has(3, 2 * lastLine) && has(3, count));
}
