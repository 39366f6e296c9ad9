// The scanner window.
#include <QApplication>
#include <QMainWindow>
#include "Commands.h"

int runScannerWindow(int argc, char** argv, const std::optional<std::string>&) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Probex Zelk");
    w.show();
    return app.exec();
}
