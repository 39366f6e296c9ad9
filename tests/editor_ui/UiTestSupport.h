#pragma once
// Helpers for the tests of the editor's windows: finding controls by name,
// answering modal dialogs, and sample files in a temporary folder.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

#include "editor/ui/frmEdit32.h"

namespace uitest {

template <class T>
T* child(QObject* root, const char* name) {
    T* found = root->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// The menu item (not a submenu) of that name.
inline QAction* item(QObject* root, const char* name) {
    for (QAction* a : root->findChildren<QAction*>(name))
        if (!a->menu()) return a;
    ADD_FAILURE() << "no menu item named " << name;
    return nullptr;
}

// Runs `answer` on the next modal dialog as soon as it is shown. The dialog
// is shown with exec() by the code under test, so the answer runs inside its
// event loop; if no dialog comes up the answer never runs.
inline void onNextDialog(std::function<void(QDialog*)> answer) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Lets queued events (the first activation, pending repaints) run.
inline void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace uitest
