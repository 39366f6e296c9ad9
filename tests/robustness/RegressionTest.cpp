// Faults found by fuzzing and hostile input, each kept as the smallest input
// that showed it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RobustnessSupport.h"
#include "editor/SourceDocument.h"
#include "platform/Recording.h"

namespace {

using robustness::readBytes;
using robustness::ScratchDir;
using robustness::writeBytes;

// Two procedures of one name (the branches of a conditional compilation):
// saving the second must replace the second, not the first.
TEST(Regression, SavingTheSecondOfTwoSameNamedProceduresReplacesOnlyIt) {
    ScratchDir dir;
    platform::RecordingDesktop desktop;
    const std::string file =
        "Option Explicit\r\n"
        "#If Win32 Then\r\n"
        "Private Sub Beep(ByVal n As Long)\r\n"
        "    n = 1\r\n"
        "End Sub\r\n"
        "#Else\r\n"
        "Private Sub Beep(ByVal n As Integer)\r\n"
        "    n = 2\r\n"
        "End Sub\r\n"
        "#End If\r\n";
    writeBytes(dir.path("BEEP.BAS"), file);
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    ASSERT_TRUE(doc.OpenSourceFile(dir.path("BEEP.BAS"), editor::Mode::Entity));
    ASSERT_EQ(doc.entityNames(), (std::vector<std::string>{"(declarations)", "Beep", "Beep"}));
    doc.cbProc_Click(2);
    ASSERT_EQ(view.text, "Private Sub Beep(ByVal n As Integer)\r\n    n = 2\r\nEnd Sub\r\n");
    view.setEditorText("Private Sub Beep(ByVal n As Integer)\r\n    n = 3\r\nEnd Sub\r\n");
    doc.txtEdit_Change();
    ASSERT_TRUE(doc.mnuFileSave_Click());
    EXPECT_EQ(readBytes(dir.path("BEEP.BAS")),
              "Option Explicit\r\n"
              "#If Win32 Then\r\n"
              "Private Sub Beep(ByVal n As Long)\r\n"
              "    n = 1\r\n"
              "End Sub\r\n"
              "#Else\r\n"
              "Private Sub Beep(ByVal n As Integer)\r\n"
              "    n = 3\r\n"
              "End Sub\r\n"
              "\r\n"
              "#End If\r\n");
    EXPECT_EQ(readBytes(dir.path("BEEP.BAK")), file);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

}  // namespace
