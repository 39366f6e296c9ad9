// Where bytes and names meet the window: source text by Windows-1252, a file
// name as the system decodes it, a typed character that no byte holds, and
// LF line ends on the system clipboard.
#include <QClipboard>

#include "UiTestSupport.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"

namespace {

using namespace uitest;

class Encoding : public EditorFixture {};

TEST_F(Encoding, ShowsWindows1252AndTheNameAndRefusesACharacterNoByteHolds) {
    const std::string name = dir.filePath("M\xC3\xB3" "dulo \xC3\xB1.bas").toStdString();
    const std::string bytes = "x = \"\x80 \x93q\x94 \x96\x81\"\r\n' \xE9t\xE9\r\n";
    std::ofstream(name, std::ios::binary) << bytes;
    start(name);
    auto* edit = control<QPlainTextEdit>("txtEdit");
    EXPECT_EQ(edit->toPlainText(), QString::fromUtf8("x = \"\u20AC \u201Cq\u201D \u2013\u0081\"\n' \u00E9t\u00E9\n"));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("QVX: " + textlib::UCase(name)));
    item("mnuFileSave")->trigger();
    EXPECT_EQ(cases::read(name), bytes + "\r\n");
    edit->moveCursor(QTextCursor::End);
    edit->insertPlainText(QString::fromUtf8("\u2192 \U0001F600"));
    item("mnuFileSave")->trigger();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(desktop.boxes.last(), {"The character U+2192 \"\xE2\x86\x92\" on line 3 has no byte in the Windows-1252 "
                                     "code page of source files, so nothing was saved. Replace it and save again.",
                                     "Varnel", Icon::Exclamation, Buttons::Ok});
    EXPECT_EQ(cases::read(name), bytes + "\r\n");
    // Pasted from another program through the system clipboard: refused the same way.
    item("mnuDeleteText")->trigger();
    platform::ScopedServices restore({});
    platform::installQtServices(window.get());
    platform::ScopedServices recordBoxes({.boxes = &desktop.boxes});
    QGuiApplication::clipboard()->setText(QString::fromUtf8("a\r\n\u00E9 \u2260 b"));
    item("mnuPaste")->trigger();
    item("mnuFileSave")->trigger();
    EXPECT_TRUE(desktop.boxes.last().text.starts_with("The character U+2260 \"\xE2\x89\xA0\" on line 2 "));
}

TEST(QtBoundary, SystemClipboardHasLf) {
    const platform::Services saved = platform::services();
    platform::installQtServices(nullptr);
    platform::clipboard().setText("a\r\nb\x80\r");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("a\nb\u20AC\r"));
    QGuiApplication::clipboard()->setText("x\ny\r\nz\n");
    EXPECT_EQ(platform::clipboard().text(), "x\r\ny\r\nz\r\n");
    platform::clipboard().clear();
    EXPECT_EQ(platform::clipboard().text(), "");
    platform::installServices(saved);
}

}  // namespace
