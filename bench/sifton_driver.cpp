// Drives the scanner window on a real display, for screenshots and for
// checking that a long scan keeps the window responsive. Not a test itself.
//
//   sifton_driver [--level 1|2|3] [--close-after-ms N] [--quit-after-ms N] [--report OUT] FILE...
//   sifton_driver --real-dialog [--level 1|2|3]
//
// Opens frmSiftTst as the program does, picks the check level from its menu,
// answers the file dialog with FILE... (or leaves the real one to the user
// with --real-dialog) and clicks "&Select Files". With
// --close-after-ms a timer started with the scan clicks "&Close"; it can only
// fire when the scan lets window events run. At the end it prints what it saw:
// files started, repaints of the progress bar and of the file label, the
// longest time without window events, and how long the program took to end
// after "&Close". --report writes the report the window shows into OUT.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/Recording.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"
#include "scanner/frmSiftTst.h"

namespace {

// The Qt event pump, timed.
class TimedPump : public platform::EventPump {
public:
    void processEvents() override {
        if (clock.isValid()) longestGap = std::max(longestGap, clock.restart());
        else clock.start();
        ++calls;
        QCoreApplication::processEvents();
    }
    QElapsedTimer clock;
    qint64 longestGap = 0;
    long calls = 0;
};

// The real files, counting the ones the engine opens.
struct CountedFiles : platform::FaultyFileSystem {
    CountedFiles() : FaultyFileSystem(platform::realFileSystem()) {}
    std::unique_ptr<platform::InputFile> openRead(const std::string& path) override {
        ++opened;
        return platform::realFileSystem().openRead(path);
    }
    long opened = 0;
};

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++counts[watched];
        return false;
    }
    std::map<QObject*, long> counts;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int level = 3;
    int closeAfter = -1;
    int quitAfter = -1;
    std::string reportFile;
    bool realDialog = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--level" && i + 1 < argc) level = std::atoi(argv[++i]);
        else if (a == "--close-after-ms" && i + 1 < argc) closeAfter = std::atoi(argv[++i]);
        else if (a == "--quit-after-ms" && i + 1 < argc) quitAfter = std::atoi(argv[++i]);
        else if (a == "--report" && i + 1 < argc) reportFile = argv[++i];
        else if (a == "--real-dialog") realDialog = true;
        else paths.push_back(a);
    }

    platform::installQtServices(nullptr);
    platform::RecordingFileDialogs dialogs;
    dialogs.chooseNextMany(paths);
    TimedPump pump;
    CountedFiles files;
    platform::Services s;
    if (!realDialog) s.dialogs = &dialogs;
    s.pump = &pump;
    s.files = &files;
    platform::installServices(s);

    PaintCounter paints;  // outlives the window it watches
    frmSiftTst window(std::make_unique<scan::clsOculon>());
    const long userDefsReads = files.opened;
    platform::setQtDialogParent(&window);
    auto* bar = window.findChild<QProgressBar*>("barLoadingStatus");
    auto* file = window.findChild<QLabel*>("lblCurrentFile");
    bar->installEventFilter(&paints);
    file->installEventFilter(&paints);
    QElapsedTimer sinceClose;
    window.setEndProgram([&] {
        sinceClose.start();
        QCoreApplication::exit(0);
    });
    window.show();

    QTimer::singleShot(400, &window, [&] {
        const char* name = level == 1 ? "mnuErrors" : level == 2 ? "mnuWarnings" : "mnuSuggest";
        window.findChild<QAction*>(name)->trigger();
        if (closeAfter >= 0) {
            QTimer::singleShot(closeAfter, &window, [&] {
                std::printf("close clicked while scanning: %s\n", window.isScanning() ? "yes" : "no");
                window.findChild<QPushButton*>("cmdExit")->click();
            });
        }
        QElapsedTimer scanClock;
        scanClock.start();
        window.findChild<QPushButton*>("cmdSelectFiles")->click();
        std::printf("scan returned after %lld ms\n", static_cast<long long>(scanClock.elapsed()));
    });
    if (quitAfter >= 0) QTimer::singleShot(quitAfter, &app, [] { QCoreApplication::exit(0); });

    const int rc = QApplication::exec();
    if (!reportFile.empty()) std::ofstream(reportFile, std::ios::binary) << window.reportText();
    std::printf("files read: %ld of %zu\n", files.opened - userDefsReads, paths.size());
    std::printf("progress bar repaints: %ld, file label repaints: %ld\n", paints.counts[bar], paints.counts[file]);
    std::printf("longest time without window events during the scan: %lld ms\n",
                static_cast<long long>(pump.longestGap));
    if (sinceClose.isValid())
        std::printf("event loop left %lld ms after Close\n", static_cast<long long>(sinceClose.elapsed()));
    std::fflush(stdout);
    return rc;
}
