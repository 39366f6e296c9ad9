// The scanner window: the Qt desktop services, the scan engine and frmSiftTst.
#include <QApplication>
#include <memory>

#include "Commands.h"
#include "platform/qt/QtDesktop.h"
#include "scan/clsOculon.h"
#include "scanner/frmSiftTst.h"

int runScannerWindow(int argc, char** argv, const std::optional<std::string>& userDefs) {
    QApplication app(argc, argv);
    // Task switchers that go by the menu entry take its name and icon from here.
    QApplication::setDesktopFileName("sifton");
    // Installed first, so that the engine's start-up already reports through them.
    platform::installQtServices(nullptr);
    auto engine = userDefs ? std::make_unique<scan::clsOculon>(*userDefs) : std::make_unique<scan::clsOculon>();
    frmSiftTst window(std::move(engine));
    platform::setQtDialogParent(&window);
    window.show();
    return QApplication::exec();
}
