// Searching the scan report and naming a file from its path.
#include <gtest/gtest.h>

#include "scanner/ReportSearch.h"

using scanner::FileNameOfPath;
using scanner::findInReport;
using scanner::ReportViewText;

TEST(FindInReport, IgnoresCaseAndMatchesInsideWords) {
    EXPECT_EQ(findInReport("Module: frmMain", "FRMMAIN", 0), 8);
    EXPECT_EQ(findInReport("Module: frmMain", "main", 0), 11);
    EXPECT_EQ(findInReport("ab AB", "ab", 1), 3);
}

TEST(FindInReport, StartsExactlyAtTheGivenIndex) {
    //                      0123456789
    const std::string text = "xyzxyzxyz";
    EXPECT_EQ(findInReport(text, "xyz", 3), 3);
    EXPECT_EQ(findInReport(text, "xyz", 4), 6);
    EXPECT_EQ(findInReport(text, "xyz", 6), 6);
    EXPECT_EQ(findInReport(text, "xyz", 7), -1);
}

TEST(FindInReport, NothingToFind) {
    EXPECT_EQ(findInReport("", "a", 0), -1);
    EXPECT_EQ(findInReport("abc", "", 0), -1);
    EXPECT_EQ(findInReport("abc", "abcd", 0), -1);
    EXPECT_EQ(findInReport("abc", "c", 3), -1);
    EXPECT_EQ(findInReport("abc", "c", 100), -1);
    EXPECT_EQ(findInReport("abc", "a", -1), -1);
}

TEST(FindInReport, OnlyAsciiLettersFoldCase) {
    // 0xC9 and 0xE9 are the Latin-1 E acute in both cases: not folded.
    EXPECT_EQ(findInReport("caf\xC9", "caf\xE9", 0), -1);
    EXPECT_EQ(findInReport("caf\xE9", "CAF\xE9", 0), 0);
    EXPECT_EQ(findInReport("a[b", "A{B", 0), -1);
}

TEST(FileNameOfPath, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(FileNameOfPath("C:\\VB\\Proj\\frmMain.frm"), "frmMain.frm");
    EXPECT_EQ(FileNameOfPath("/home/ann/src/modMain.bas"), "modMain.bas");
    EXPECT_EQ(FileNameOfPath("C:clsItem.cls"), "clsItem.cls");
    EXPECT_EQ(FileNameOfPath("D:\\mixed/dirs\\x:y.bas"), "y.bas");
    EXPECT_EQ(FileNameOfPath("  C:\\VB\\my form.frm  "), "my form.frm");
}

TEST(FileNameOfPath, EmptyWithoutSeparatorOrName) {
    EXPECT_EQ(FileNameOfPath(""), "");
    EXPECT_EQ(FileNameOfPath("   "), "");
    EXPECT_EQ(FileNameOfPath("modMain.bas"), "");
    EXPECT_EQ(FileNameOfPath("C:\\VB\\"), "");
    EXPECT_EQ(FileNameOfPath("/"), "");
}

TEST(ReportViewText, CrLfBecomesOneLineFeed) {
    ReportViewText v("ab\r\ncd\r\n\r\ne");
    EXPECT_EQ(v.viewText(), "ab\ncd\n\ne");
    EXPECT_EQ(v.report(), "ab\r\ncd\r\n\r\ne");
}

TEST(ReportViewText, LoneCarriageReturnsAndLineFeedsStay) {
    ReportViewText v("a\rb\nc\r");
    EXPECT_EQ(v.viewText(), "a\rb\nc\r");
    for (int i = 0; i <= 6; ++i) {
        EXPECT_EQ(v.toView(i), i);
        EXPECT_EQ(v.toReport(i), i);
    }
}

TEST(ReportViewText, MapsPositionsBothWays) {
    // report: a b CR LF c d CR LF CR LF e      view: a b LF c d LF LF e
    //         0 1 2  3  4 5 6  7  8  9  10           0 1 2  3 4 5  6  7
    ReportViewText v("ab\r\ncd\r\n\r\ne");
    EXPECT_EQ(v.toView(0), 0);
    EXPECT_EQ(v.toView(2), 2);
    EXPECT_EQ(v.toView(3), 2);  // the LF of a pair is the view's line feed too
    EXPECT_EQ(v.toView(4), 3);
    EXPECT_EQ(v.toView(8), 6);
    EXPECT_EQ(v.toView(10), 7);
    EXPECT_EQ(v.toView(11), 8);  // the end
    EXPECT_EQ(v.toReport(2), 2);
    EXPECT_EQ(v.toReport(3), 4);
    EXPECT_EQ(v.toReport(5), 6);
    EXPECT_EQ(v.toReport(6), 8);
    EXPECT_EQ(v.toReport(7), 10);
    EXPECT_EQ(v.toReport(8), 11);
}

TEST(ReportViewText, Empty) {
    ReportViewText v("");
    EXPECT_EQ(v.viewText(), "");
    EXPECT_EQ(v.toView(0), 0);
    EXPECT_EQ(v.toReport(0), 0);
}
