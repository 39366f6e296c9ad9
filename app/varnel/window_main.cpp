// The editor window.
#include <QApplication>

#include "Commands.h"
#include "editor/ui/frmEdit32.h"
#include "platform/qt/QtDesktop.h"

int runEditorWindow(int argc, char** argv, const std::string& startFile) {
    QApplication app(argc, argv);
    // Task switchers that go by the menu entry take its name and icon from here.
    QApplication::setDesktopFileName("varnel");
    editor::ui::frmEdit32 window(startFile);
    if (const std::string folder = editor::recoveryFolder(); !folder.empty()) window.keepRecovery(folder);
    platform::installQtServices(&window);
    window.show();
    return QApplication::exec();
}
