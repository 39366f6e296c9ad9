#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/QtDesktop.h"

using namespace platform;

TEST(QtDesktop, EveryByteSurvivesTheQtBoundary) {
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(fromQt(toQt(all)), all);
}

TEST(QtDesktop, FiltersBecomeQtFilters) {
    EXPECT_EQ(qtFilter("Basic Files|*.bas").toStdString(), "Basic Files (*.bas)");
    EXPECT_EQ(qtFilter("Forms|*.frm|All|*.*").toStdString(), "Forms (*.frm);;All (*.*)");
    EXPECT_EQ(qtFilter("Basic|*.bas;*.frm;*.cls").toStdString(), "Basic (*.bas *.frm *.cls)");
    EXPECT_EQ(qtFilter("VB Files (*.BAS;*.FRM)|*.BAS;*.FRM").toStdString(), "VB Files (*.BAS *.FRM)");
}
