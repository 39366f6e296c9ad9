// The scanner window's resize layout, in twips.
#include <gtest/gtest.h>

#include "scanner/ScannerLayout.h"

using scanner::layoutFor;
using scanner::TwipRect;

namespace {

void expectButtonRow(int w, int h) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    auto l = layoutFor(w, h);
    EXPECT_EQ(l.rtbViewer, (TwipRect{60, 510, w - 280, h - 1700}));
    EXPECT_EQ(l.barLoadingStatus, (TwipRect{60, 510 + (h - 1700) + 100, 3705, 225}));
    EXPECT_EQ(l.cmdExit.right(), w - 200);
    EXPECT_EQ(l.cmdSelectFiles.right(), l.cmdExit.left - 100);
    EXPECT_EQ(l.cmdPrint.right(), l.cmdSelectFiles.left - 100);
    for (const TwipRect* b : {&l.cmdPrint, &l.cmdSelectFiles, &l.cmdExit}) {
        EXPECT_EQ(b->top, l.barLoadingStatus.top);
        EXPECT_EQ(b->height, 315);
    }
    EXPECT_EQ(l.cmdPrint.width, 855);
    EXPECT_EQ(l.cmdSelectFiles.width, 1065);
    EXPECT_EQ(l.cmdExit.width, 855);
}

}  // namespace

TEST(ScannerLayout, InitialClientAreaGivesTheInitialView) {
    auto l = layoutFor(7335 + scanner::FrameWidth, 4395 + scanner::FrameHeight);
    EXPECT_EQ(l.rtbViewer, (TwipRect{60, 510, 7095, 3435}));
    EXPECT_EQ(l.barLoadingStatus.top, 4045);
    // 7375 - 1055, then 1165 and 955 further left.
    EXPECT_EQ(l.cmdExit, (TwipRect{6320, 4045, 855, 315}));
    EXPECT_EQ(l.cmdSelectFiles, (TwipRect{5155, 4045, 1065, 315}));
    EXPECT_EQ(l.cmdPrint, (TwipRect{4200, 4045, 855, 315}));
}

TEST(ScannerLayout, ButtonsStayRightAlignedAtEverySize) {
    expectButtonRow(7000, 2700);
    expectButtonRow(7375, 5135);
    expectButtonRow(9000, 6000);
    expectButtonRow(19200, 15360);
}

TEST(ScannerLayout, BelowTheMinimumKeepsTheMinimumLayout) {
    auto least = layoutFor(scanner::MinOuterWidth, scanner::MinOuterHeight);
    EXPECT_EQ(least.rtbViewer, (TwipRect{60, 510, 6720, 1000}));
    for (auto [w, h] : {std::pair{0, 0}, {279, 1699}, {-500, -500}, {6999, 2699}}) {
        auto l = layoutFor(w, h);
        EXPECT_EQ(l.rtbViewer, least.rtbViewer);
        EXPECT_EQ(l.cmdPrint, least.cmdPrint);
        EXPECT_EQ(l.cmdExit, least.cmdExit);
    }
    // Wider than tall and the reverse: each side clamps on its own.
    EXPECT_EQ(layoutFor(9000, 100).rtbViewer, (TwipRect{60, 510, 8720, 1000}));
    EXPECT_EQ(layoutFor(100, 9000).rtbViewer, (TwipRect{60, 510, 6720, 7300}));
}

TEST(ScannerLayout, AtTheMinimumTheButtonsClearTheProgressBar) {
    auto l = layoutFor(scanner::MinOuterWidth, scanner::MinOuterHeight);
    EXPECT_GT(l.cmdPrint.left, l.barLoadingStatus.right());
    // The labels above the view stay clear of it as well.
    EXPECT_LE(scanner::initial::lblCurrentFile.bottom(), l.rtbViewer.top);
}
