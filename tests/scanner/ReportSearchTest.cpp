// Searching the scan report (cases/search.txt) and naming a file from its path.
#include <gtest/gtest.h>

#include "scanner/ReportSearch.h"
#include "support/Cases.h"

TEST(FindInReport, IgnoresCaseMatchesInsideWordsAndStartsExactlyAtTheIndex) {
    for (const auto& r : cases::rows("scanner/cases/search.txt")) {
        if (r[0] == "FileNameOfPath") {
            EXPECT_EQ(scanner::FileNameOfPath(r[1]), r[2]) << r[1];
        } else {
            EXPECT_EQ(scanner::findInReport(r[0], r[1], std::stoll(r[2])), std::stoll(r[3])) << r[0] << " / " << r[1];
        }
    }
}
