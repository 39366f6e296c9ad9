// Searching the scan report (cases/search.txt) and naming a file from its path.
#include <gtest/gtest.h>
#include <tuple>

#include "scanner/ReportSearch.h"
#include "support/Cases.h"

using scanner::ReportViewText;

TEST(FindInReport, IgnoresAsciiCaseMatchesInsideWordsAndStartsExactlyAtTheIndex) {
    for (const auto& r : cases::rows("scanner/cases/search.txt")) {
        if (r[0] == "FileNameOfPath") {
            EXPECT_EQ(scanner::FileNameOfPath(r[1]), r[2]) << r[1];
        } else {
            EXPECT_EQ(scanner::findInReport(r[0], r[1], std::stoll(r[2])), std::stoll(r[3])) << r[0] << " / " << r[1];
        }
    }
}

TEST(ReportViewText, CrLfBecomesOneLineFeedAndPositionsMapBothWays) {
    // report: a b CR LF c d CR LF CR LF e      view: a b LF c d LF LF e
    //         0 1 2  3  4 5 6  7  8  9  10           0 1 2  3 4 5  6  7
    ReportViewText v("ab\r\ncd\r\n\r\ne");
    EXPECT_EQ(v.viewText(), "ab\ncd\n\ne");
    EXPECT_EQ(v.report(), "ab\r\ncd\r\n\r\ne");
    // The LF of a pair maps onto the view's line feed too; 11 is the end.
    for (auto [report, view] : {std::pair{0, 0}, {2, 2}, {3, 2}, {4, 3}, {8, 6}, {10, 7}, {11, 8}})
        EXPECT_EQ(v.toView(report), view) << report;
    for (auto [view, report] : {std::pair{2, 2}, {3, 4}, {5, 6}, {6, 8}, {7, 10}, {8, 11}})
        EXPECT_EQ(v.toReport(view), report) << view;
    // Lone carriage returns and line feeds stay and empty stays empty.
    ReportViewText lone("a\rb\nc\r");
    EXPECT_EQ(lone.viewText(), "a\rb\nc\r");
    for (int i = 0; i <= 6; ++i) EXPECT_EQ(lone.toView(i) * 100 + lone.toReport(i), i * 101);
    ReportViewText empty("");
    EXPECT_EQ(std::tuple(empty.viewText(), empty.toView(0), empty.toReport(0)), std::tuple("", 0, 0));
}
