// The scan report printed through the Qt printer into a PDF, read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "ScanTestSupport.h"
#include "platform/qt/QtPrinter.h"

using namespace scan;

namespace {

std::string run(const std::string& cmd) {
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

TEST(ScanPrintout, PdfHoldsTheReportWithoutSectionLines) {
    scantest::LevelGuard level(3);
    platform::RecordingDesktop desktop;
    const std::string pdf = std::string(VARNEL_BINARY_DIR) + "/scan-printout-test.pdf";
    std::filesystem::remove(pdf);
    clsOculon oculon = scantest::engine();
    oculon.Load(scantest::casePath("util.bas"));
    {
        platform::PrintJob job = platform::startPrintJob("Scan", pdf);
        EXPECT_EQ(oculon.sFillMessages("Print Only", *job.printer), "");
    }
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string text = run("pdftotext -layout " + pdf + " -");
    EXPECT_NE(text.find("Kestrin Oculon"), std::string::npos) << text;
    EXPECT_NE(text.find("Date: " + scantest::today()), std::string::npos);
    EXPECT_NE(text.find("UTIL.BAS"), std::string::npos);
    EXPECT_NE(text.find("Usage | Std:   {UTIL.BAS}{Tools}"), std::string::npos);
    EXPECT_NE(text.find("Src Line: ' xxxxxxxx"), std::string::npos);
    EXPECT_NE(text.find("Location: Tools.(declarations)"), std::string::npos);
    EXPECT_NE(text.find("Look at:   {Reduce line length to width of normal Code Window}"), std::string::npos);
    EXPECT_EQ(text.find("[Source Code Scan Results]"), std::string::npos);
    EXPECT_EQ(text.find("[Form/Module"), std::string::npos);
    EXPECT_EQ(text.find("*****"), std::string::npos);
    // Courier New (or its metric twin), regular and bold.
    const std::string fonts = run("pdffonts " + pdf);
    EXPECT_NE(fonts.find("Bold"), std::string::npos) << fonts;
    EXPECT_TRUE(fonts.find("Courier") != std::string::npos || fonts.find("LiberationMono") != std::string::npos)
        << fonts;
    std::filesystem::remove(pdf);
}

}  // namespace
