// The scanner window's resize layout, in twips.
#include <gtest/gtest.h>

#include "scanner/ScannerLayout.h"

using scanner::layoutFor;
using scanner::TwipRect;

// The first size is the initial window: a 7335 x 4395 client area.
TEST(ScannerLayout, ButtonsStayRightAlignedAtEverySize) {
    for (auto [w, h] : {std::pair{7335 + scanner::FrameWidth, 4395 + scanner::FrameHeight},
                        {7000, 2700},
                        {9000, 6000},
                        {19200, 15360}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        auto l = layoutFor(w, h);
        EXPECT_EQ(l.rtbViewer, (TwipRect{60, 510, w - 280, h - 1700}));
        EXPECT_EQ(l.barLoadingStatus, (TwipRect{60, 510 + (h - 1700) + 100, 3705, 225}));
        EXPECT_EQ(l.cmdExit, (TwipRect{w - 200 - 855, l.barLoadingStatus.top, 855, 315}));
        EXPECT_EQ(l.cmdSelectFiles, (TwipRect{l.cmdExit.left - 100 - 1065, l.barLoadingStatus.top, 1065, 315}));
        EXPECT_EQ(l.cmdPrint, (TwipRect{l.cmdSelectFiles.left - 100 - 855, l.barLoadingStatus.top, 855, 315}));
    }
    // Below the minimum keeps the minimum layout clear of the bar and labels.
    auto least = layoutFor(scanner::MinOuterWidth, scanner::MinOuterHeight);
    EXPECT_EQ(least.rtbViewer, (TwipRect{60, 510, 6720, 1000}));
    EXPECT_GT(least.cmdPrint.left, least.barLoadingStatus.right());
    EXPECT_LE(scanner::initial::lblCurrentFile.bottom(), least.rtbViewer.top);
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
