// The editor window.
#include <QApplication>
#include <QMainWindow>
#include "Commands.h"

int runEditorWindow(int argc, char** argv, const std::string&) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("QVX");
    w.resize(800, 600);
    w.show();
    return app.exec();
}
