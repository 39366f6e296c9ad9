// The scanner window: a check level chosen during a scan, and its labels.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>

#include "platform/Recording.h"
#include "scanner/ElidedLabel.h"
#include "scanner/frmSiftTst.h"

namespace {

struct ScannerDetails : ::testing::Test {
    platform::RecordingDesktop desk;
    QTemporaryDir dir;
    frmSiftTst window{std::make_unique<scan::clsOculon>(dir.filePath("none").toStdString())};
};

TEST_F(ScannerDetails, ALevelChosenDuringAScanAppliesToTheFilesStillToCome) {
    const std::string file = dir.filePath("a.bas").toStdString();  // a line too long: a warning
    std::ofstream(file, std::ios::binary) << "Attribute VB_Name = \"modA\"\r\n'" << std::string(170, '-') << "\r\n";
    std::vector<bool> levelsOn;  // events run before every file
    desk.pump.onPump = [&] {
        levelsOn.push_back(window.findChild<QMenu*>("mnuOption")->isEnabled());
        if (levelsOn.size() == 2) window.findChild<QAction*>("mnuWarnings")->trigger();
    };
    window.setPumpInterval(std::chrono::milliseconds(0));
    desk.dialogs.chooseNextMany({file, file});
    window.findChild<QPushButton*>("cmdSelectFiles")->click();
    EXPECT_EQ(levelsOn, std::vector<bool>(2, true));
    const std::string& report = window.reportText();
    const auto second = report.find("Kestrin Oculon", 1);
    EXPECT_EQ(report.substr(0, second).find("Warning Count"), std::string::npos);
    EXPECT_NE(report.find("Warning Count", second), std::string::npos);
}

TEST_F(ScannerDetails, LabelsShowTheWholeStatusAndTheNameOfALongPath) {
    auto* status = window.findChild<QLabel*>("lblStatus");
    EXPECT_GE(status->width(), status->fontMetrics().horizontalAdvance("Scan Results"));
    auto* file = dynamic_cast<scanner::ElidedLabel*>(window.findChild<QLabel*>("lblCurrentFile"));
    ASSERT_NE(file, nullptr);
    file->setText("/home/user/" + QString(60, 'x') + "/forms/frmCustomerOrders.frm");
    const QString shown = file->shownText();
    EXPECT_TRUE(shown.startsWith("/home/") && shown.endsWith("/frmCustomerOrders.frm") && shown.contains(u'…'));
    EXPECT_LE(file->fontMetrics().horizontalAdvance(shown), file->contentsRect().width());
}

}  // namespace
