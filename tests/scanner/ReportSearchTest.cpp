// Searching the scan report and naming a file from its path.
#include <gtest/gtest.h>
#include <tuple>

#include "scanner/ReportSearch.h"

using scanner::ReportViewText;

TEST(FindInReport, IgnoresAsciiCaseMatchesInsideWordsAndStartsExactlyAtTheIndex) {
    // report, search text, start -> index or -1
    const std::vector<std::tuple<std::string, std::string, std::int64_t, std::int64_t>> cases = {
        {"Module: frmMain", "FRMMAIN", 0, 8}, {"Module: frmMain", "main", 0, 11}, {"ab AB", "ab", 1, 3},
        {"xyzxyzxyz", "xyz", 3, 3}, {"xyzxyzxyz", "xyz", 4, 6}, {"xyzxyzxyz", "xyz", 6, 6}, {"xyzxyzxyz", "xyz", 7, -1},
        // Nothing to find.
        {"", "a", 0, -1}, {"abc", "", 0, -1}, {"abc", "abcd", 0, -1}, {"abc", "c", 3, -1}, {"abc", "c", 100, -1},
        {"abc", "a", -1, -1},
        // 0xC9 and 0xE9 are the Latin-1 E acute in both cases: not folded.
        {"caf\xC9", "caf\xE9", 0, -1}, {"caf\xE9", "CAF\xE9", 0, 0}, {"a[b", "A{B", 0, -1}};
    for (const auto& [report, text, start, found] : cases)
        EXPECT_EQ(scanner::findInReport(report, text, start), found) << report << " / " << text << " from " << start;
}

TEST(FileNameOfPath, TakesThePartAfterTheLastSeparatorOrNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\VB\\Proj\\frmMain.frm", "frmMain.frm"}, {"/home/ann/src/modMain.bas", "modMain.bas"},
        {"C:clsItem.cls", "clsItem.cls"},             {"D:\\mixed/dirs\\x:y.bas", "y.bas"},
        {"  C:\\VB\\my form.frm  ", "my form.frm"},   {"", ""}, {"   ", ""}, {"modMain.bas", ""},
        {"C:\\VB\\", ""},                             {"/", ""}};
    for (const auto& [path, name] : cases) EXPECT_EQ(scanner::FileNameOfPath(path), name) << path;
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
}

TEST(ReportViewText, LoneCarriageReturnsAndLineFeedsStayAndEmptyStaysEmpty) {
    ReportViewText v("a\rb\nc\r");
    EXPECT_EQ(v.viewText(), "a\rb\nc\r");
    for (int i = 0; i <= 6; ++i) {
        EXPECT_EQ(v.toView(i), i);
        EXPECT_EQ(v.toReport(i), i);
    }
    ReportViewText empty("");
    EXPECT_EQ(empty.viewText(), "");
    EXPECT_EQ(empty.toView(0), 0);
    EXPECT_EQ(empty.toReport(0), 0);
}
