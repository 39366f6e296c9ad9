#include "scanner/frmSiftTst.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"
#include "textbox/SourceTextView.h"
#include "scan/Trap.h"
#include "scan/ScanPool.h"
#include "scanner/ElidedLabel.h"
#include "scanner/ScannerLayout.h"

using scanner::TwipRect;
using scanner::TwipsPerPixel;

namespace {

int toPixels(int twips) { return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel)); }

// Places a control at a rectangle given in twips; both edges are rounded, so
// controls that touch in twips touch on the screen.
void place(QWidget* w, const TwipRect& r) {
    const int left = toPixels(r.left);
    const int top = toPixels(r.top);
    w->setGeometry(left, top, toPixels(r.right()) - left, toPixels(r.bottom()) - top);
}

int ceilPixels(int twips) { return (twips + TwipsPerPixel - 1) / TwipsPerPixel; }

}  // namespace

// The engine moves the progress bar while it cuts a file's lines. A
// progress bar repaints itself at once on every step it shows, and on a
// display server each such repaint waits for the server; even a step it does
// not show costs more than cutting a line. So the bar takes a step at most
// every RepaintInterval: a big file still shows its progress while it loads,
// and a scan of many small files no longer spends its time on the bar.
class frmSiftTst::BarProgress : public scan::ProgressIndicator {
public:
    static constexpr std::chrono::milliseconds RepaintInterval{50};

    explicit BarProgress(QProgressBar* bar) : bar_(bar) {}
    void setValue(int value) override {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastRepaint_ < RepaintInterval) return;
        lastRepaint_ = now;
        bar_->setValue(std::clamp(value, 0, 100));
    }
    // A new file starts the bar again; it is drawn with the next window events.
    void restart() {
        bar_->setUpdatesEnabled(false);
        bar_->setValue(1);
        bar_->setUpdatesEnabled(true);
        bar_->update();
    }
    void setVisible(bool visible) override { bar_->setVisible(visible); }

private:
    QProgressBar* bar_;
    std::chrono::steady_clock::time_point lastRepaint_;
};

frmSiftTst::frmSiftTst(std::unique_ptr<scan::clsOculon> engine, QWidget* parent)
    : QMainWindow(parent), engine_(std::move(engine)) {
    setObjectName("frmSiftTst");
    setWindowTitle("Probex Zelk");
    setWindowIcon(platform::programIcon("sifton"));
    // The controls' places are measured for an 8-point sans-serif face;
    // larger type would not fit the labels and buttons.
    QFont face("Arial", 8);
    face.setStyleHint(QFont::SansSerif);
    setFont(face);
    helpFile_ = QCoreApplication::applicationDirPath().toStdString() + "/QVX.hlp";
    scan::setCheckLevel(1);
    if (!engine_) engine_ = std::make_unique<scan::clsOculon>();
    endProgram_ = [] { QCoreApplication::exit(0); };
    printJobFactory_ = [](const std::string& name) { return platform::startPrintJob(name); };

    buildControls();
    buildMenus();
    progress_ = std::make_unique<BarProgress>(barLoadingStatus_);

    const int menuHeight = menuBar()->sizeHint().height();
    resize(toPixels(scanner::initial::ClientWidth), toPixels(scanner::initial::ClientHeight) + menuHeight);
    CenterForm(*this);
}

frmSiftTst::~frmSiftTst() = default;

void frmSiftTst::buildControls() {
    client_ = new QWidget(this);
    client_->setObjectName("client");
    setCentralWidget(client_);
    client_->setMinimumSize(ceilPixels(scanner::MinOuterWidth - scanner::FrameWidth),
                            ceilPixels(scanner::MinOuterHeight - scanner::FrameHeight));

    rtbViewer_ = new textbox::SourceTextView(client_);
    rtbViewer_->setObjectName("rtbViewer");
    rtbViewer_->setAccessibleName("Scan report");
    // Read-only, but the reader may still select text to search for it.
    rtbViewer_->setReadOnly(true);
    QFont courier("Courier New", 9);
    courier.setStyleHint(QFont::TypeWriter);
    rtbViewer_->setFont(courier);
    // Tab stops every 720 twips, as the report's columns expect.
    rtbViewer_->setTabStopDistance(720.0 / TwipsPerPixel);
    place(rtbViewer_, scanner::initial::rtbViewer);

    lblStatus_ = new QLabel("Scan Results", client_);
    lblStatus_->setObjectName("lblStatus");
    place(lblStatus_, scanner::initial::lblStatus);
    // Wide and high enough for its longer caption in the window's face.
    const QFontMetrics metrics(lblStatus_->font());
    lblStatus_->resize(std::max(lblStatus_->width(), metrics.horizontalAdvance("Scan Results") + 2),
                       std::max(lblStatus_->height(), metrics.height()));

    lblCurrentFile_ = new scanner::ElidedLabel(client_);
    lblCurrentFile_->setObjectName("lblCurrentFile");
    place(lblCurrentFile_, scanner::initial::lblCurrentFile);
    lblCurrentFile_->hide();

    barLoadingStatus_ = new QProgressBar(client_);
    barLoadingStatus_->setObjectName("barLoadingStatus");
    barLoadingStatus_->setRange(0, 100);
    barLoadingStatus_->setTextVisible(false);
    place(barLoadingStatus_, scanner::initial::barLoadingStatus);
    barLoadingStatus_->hide();

    auto button = [this](const char* name, const char* caption, const TwipRect& r) {
        auto* b = new QPushButton(caption, client_);
        b->setObjectName(name);
        place(b, r);
        return b;
    };
    cmdPrint_ = button("cmdPrint", "&Print", scanner::initial::cmdPrint);
    cmdPrint_->setToolTip("Print the scan result");
    cmdPrint_->setEnabled(false);
    cmdSelectFiles_ = button("cmdSelectFiles", "&Select Files", scanner::initial::cmdSelectFiles);
    cmdSelectFiles_->setToolTip("Select files to be scanned");
    cmdExit_ = button("cmdExit", "&Close", scanner::initial::cmdExit);
    cmdExit_->setToolTip("Exit");

    // Out of sight, beyond the client area, and never moved by the layout.
    cmdRecheck_ = button("cmdRecheck", "&ReTest", scanner::initial::cmdRecheck);
    cmdRecheck_->hide();
    cmdRecheck_->setEnabled(false);  // there is nothing to test again before a scan
    cmdFixErrors_ = button("cmdFixErrors", "Fix &Errors", scanner::initial::cmdFixErrors);
    cmdFixErrors_->hide();
    cmdFixErrors_->setEnabled(false);
    lstFileNames_ = new QListWidget(client_);
    lstFileNames_->setObjectName("lstFileNames");
    place(lstFileNames_, scanner::initial::lstFileNames);
    lstFileNames_->hide();

    connect(cmdSelectFiles_, &QPushButton::clicked, this, [this] { mnuOpen_Click(); });
    client_->installEventFilter(this);  // the layout, now that every control exists

    connect(cmdRecheck_, &QPushButton::clicked, this, [this] { cmdRecheck_Click(); });
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdFixErrors_, &QPushButton::clicked, this, [this] { cmdFixErrors_Click(); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    connect(lstFileNames_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { lstFileNames_DblClick(item); });

    // A hidden button's access key would be dead; these keep Alt+R and Alt+E
    // working while the button is enabled.
    auto* retest = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_R), this);
    connect(retest, &QShortcut::activated, this, [this] {
        if (cmdRecheck_->isEnabled()) cmdRecheck_->click();
    });
    auto* fix = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_E), this);
    connect(fix, &QShortcut::activated, this, [this] {
        if (cmdFixErrors_->isEnabled()) cmdFixErrors_->click();
    });
}

void frmSiftTst::buildMenus() {
    QMenu* mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuExit_ = mnuFile->addAction("E&xit");
    mnuExit_->setObjectName("mnuExit");
    connect(mnuExit_, &QAction::triggered, this, [this] { cmdExit_Click(); });

    mnuOption_ = menuBar()->addMenu("&CheckLevel");
    mnuOption_->setObjectName("mnuOption");
    levels_ = new QActionGroup(this);
    levels_->setExclusive(true);
    auto level = [&](const char* name, const char* caption, int value) {
        QAction* a = mnuOption_->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        levels_->addAction(a);
        connect(a, &QAction::triggered, this, [this, value] { mnuCheckLevel_Click(value); });
        return a;
    };
    mnuErrors_ = level("mnuErrors", "&Errors Only", 1);
    mnuWarnings_ = level("mnuWarnings", "Errors && &Warnings", 2);
    mnuSuggest_ = level("mnuSuggest", "&All Diagnostics", 3);
    mnuErrors_->setChecked(true);  // the level starts at 1

    QMenu* mnuSearch = menuBar()->addMenu("&Locate");
    mnuSearch->setObjectName("mnuSearch");
    mnuFind_ = mnuSearch->addAction("&Find...");
    mnuFind_->setObjectName("mnuFind");
    mnuFind_->setShortcut(QKeySequence(Qt::Key_F2));
    connect(mnuFind_, &QAction::triggered, this,
            [this] { scan::trapErrors("mnuFind_Click", [this] { mnuFind_Click(); }); });
    mnuFindNext_ = mnuSearch->addAction("Find &Next");
    mnuFindNext_->setObjectName("mnuFindNext");
    mnuFindNext_->setShortcut(QKeySequence(Qt::Key_F3));
    connect(mnuFindNext_, &QAction::triggered, this,
            [this] { scan::trapErrors("mnuFindNext_Click", [this] { mnuFindNext_Click(); }); });
}

void frmSiftTst::CenterForm(QWidget& form) {
    QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize outer = form.frameGeometry().size();
    form.move(area.x() + area.width() / 2 - outer.width() / 2, area.y() + area.height() / 2 - outer.height() / 2);
}

bool frmSiftTst::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        scan::trapErrors("Form_Resize", [this] { Form_Resize(); });
    return QMainWindow::eventFilter(watched, event);
}

// The view takes the room the window has; the progress bar and the button
// row follow its bottom edge, the buttons right-aligned.
void frmSiftTst::Form_Resize() {
    const int outerWidth = client_->width() * TwipsPerPixel + scanner::FrameWidth;
    const int outerHeight = client_->height() * TwipsPerPixel + scanner::FrameHeight;
    const scanner::ScannerLayout l = scanner::layoutFor(outerWidth, outerHeight);
    place(rtbViewer_, l.rtbViewer);
    place(barLoadingStatus_, l.barLoadingStatus);
    place(cmdExit_, l.cmdExit);
    place(cmdSelectFiles_, l.cmdSelectFiles);
    place(cmdPrint_, l.cmdPrint);
}

// ---------------------------------------------------------------------------
// Selecting files and scanning them

void frmSiftTst::mnuOpen_Click() {
    if (scanning_ || ending_) return;
    scan::trapErrors("mnuOpen_Click", [this] {
        fileList_.clear();
        const auto chosen =
            platform::dialogs().openFiles("Select Files To Scan", "VB Files (*.BAS;*.FRM;*.CLS)|*.BAS;*.FRM;*.CLS");
        if (chosen) {
            for (const std::string& path : *chosen) fileList_.push_back(clsFilelist{path});
        }
        if (fileList_.empty()) return;
        RunScan();
    });
}

void frmSiftTst::cmdRecheck_Click() {
    if (scanning_ || ending_) return;
    scan::trapErrors("cmdRecheck_Click", [this] { RunScan(); });
}

// Runs the engine over the file list in order and shows the reports one
// after another. Window events run between the files, so the window repaints
// and "&Close" works; nothing can start a second scan meanwhile. Whatever
// happens, the window leaves the busy state at the end.
void frmSiftTst::RunScan() {
    std::string report;
    BeginBusy();
    scanning_ = true;
    try {
        scanFiles(report);
    } catch (...) {
        finishScan(report);
        throw;
    }
    finishScan(report);
}

// The reports go into the report in the order of the list. A long list is
// scanned by a pool of engines on the other processors while the window
// waits for each file in turn; a short one by one engine on the window's own
// thread, which lets window events run while it cuts lines. Either way the
// window shows each file's name, lets events run, then shows the boxes the
// file's scan raised and appends its report.
void frmSiftTst::scanFiles(std::string& report) {
    setReport("");
    lblStatus_->setText("Scanning");
    lblCurrentFile_->show();
    barLoadingStatus_->show();
    std::vector<std::string> paths;
    for (const clsFilelist& entry : fileList_) paths.push_back(entry.gsFilename);
    if (paths.empty()) return;  // the engine that loaded last stays for Print
    const unsigned workers = paths.size() < LongList ? 0 : scan::ScanPool::workersFor(paths.size(), 0);
    pool_.reset();  // the last scan's pool goes first: pools come and go in turn
    pool_ = std::make_unique<scan::ScanPool>(*engine_, workers);
    lastScanned_.reset();
    std::vector<std::string> reports(paths.size());
    // Scans from file `first` on at the level chosen now.
    std::uint64_t levelChanges = 0;
    auto startAt = [&](std::size_t first) {
        levelChanges = scan::checkLevelChanges();
        const int level = scan::giCheckLevel;
        scan::ProgressIndicator* progress = workers ? nullptr : progress_.get();
        pool_->start(
            paths.size(),
            [&, level, progress](scan::clsOculon& engine, std::size_t i) {
                engine.Load(paths[i], progress, level);
                reports[i] = engine.sFillMessages();
            },
            first);
    };
    startAt(0);
    // However the scan ends, no step runs on once this routine's lists are gone.
    struct StopPool {
        scan::ScanPool& pool;
        ~StopPool() { pool.stop(); }
    } stopPool{*pool_};

    bool first = true;
    auto lastPump = std::chrono::steady_clock::now();
    // Pending events run before a file, after its name and the bar are set,
    // so that the window shows which file is being read. Small files go by
    // faster than anyone can read their names: events run before the first
    // file and then at most once per pump interval. A level chosen meanwhile
    // applies to the files not yet shown.
    auto pump = [&](std::size_t i) {
        if (first || std::chrono::steady_clock::now() - lastPump >= pumpInterval_) {
            first = false;
            platform::eventPump().processEvents();
            lastPump = std::chrono::steady_clock::now();
        }
        if (!ending_ && levelChanges != scan::checkLevelChanges()) startAt(i);
        return !ending_;
    };
    const auto wait = std::max(pumpInterval_, std::chrono::milliseconds(1));
    for (std::size_t i = 0; i < paths.size(); ++i) {
        lblCurrentFile_->setText(platform::toQtDisplay(paths[i]));  // a name as the system decodes it
        progress_->restart();
        if (!pump(i)) break;
        std::optional<std::vector<scan::RaisedBox>> boxes;
        while (!(boxes = pool_->take(i, wait)))
            if (!pump(i)) break;
        if (ending_ || !boxes) break;
        lastScanned_ = i;
        for (const scan::RaisedBox& box : *boxes) platform::boxes().show(box.text, box.title, box.icon, box.buttons);
        report += reports[i];
    }
}

scan::clsOculon& frmSiftTst::engine() { return pool_ && lastScanned_ ? pool_->engineOf(*lastScanned_) : *engine_; }

// Shows what was collected, also after a failure, and leaves the busy
// state; a program that is ending only gets its pointer back.
void frmSiftTst::finishScan(std::string& report) {
    scanning_ = false;
    if (ending_) {
        platform::busyPointer().end();
        return;
    }
    barLoadingStatus_->hide();
    lblStatus_->setText("Scan Results");
    setReport(std::move(report));
    lblCurrentFile_->hide();
    EndBusy();
}

// Hourglass; no printing, and nothing that starts a scan, while busy. The
// check level stays available: a level chosen during a scan applies to the
// files still to come.
void frmSiftTst::BeginBusy() {
    platform::busyPointer().begin();
    cmdPrint_->setEnabled(false);
    cmdSelectFiles_->setEnabled(false);
    cmdRecheck_->setEnabled(false);
}

void frmSiftTst::EndBusy() {
    platform::busyPointer().end();
    cmdRecheck_->setEnabled(true);
    cmdFixErrors_->setEnabled(true);
    cmdPrint_->setEnabled(true);
    cmdExit_->setEnabled(true);
    cmdSelectFiles_->setEnabled(true);
    cmdExit_->show();
    cmdExit_->setFocus();
}

void frmSiftTst::setReport(std::string report) {
    report_ = std::move(report);
    rtbViewer_->setBytes(report_);
}

// ---------------------------------------------------------------------------
// Check level, printing, the other buttons

void frmSiftTst::mnuCheckLevel_Click(int level) {
    // The report on show stays as it is; the level applies to the next scan.
    scan::setCheckLevel(level);
}

// The engine prints the findings of the file it loaded last.
void frmSiftTst::cmdPrint_Click() {
    if (scanning_ || ending_) return;
    scan::trapErrors("cmdPrint_Click", [this] {
        BeginBusy();
        bool written = false;
        std::string pdfPath;
        try {
            platform::PrintJob job = printJobFactory_("Kestrin Oculon " + engine().fileName());
            engine().sFillMessages("Print Only", *job.printer);
            written = job.printer->hasOutput();
            pdfPath = job.pdfPath;
        } catch (...) {
            EndBusy();
            throw;
        }
        EndBusy();
        if (written && !pdfPath.empty())
            platform::boxes().show(platform::pdfReportMessage(pdfPath), "Probex Zelk", platform::Icon::Information,
                                   platform::Buttons::Ok);
    });
}

void frmSiftTst::cmdFixErrors_Click() {
    if (ending_) return;
    platform::boxes().show("It's not that easy!", "Snicker", platform::Icon::Exclamation, platform::Buttons::Ok);
}

// Ends the program at once: no prompt, and a running scan goes no further.
void frmSiftTst::cmdExit_Click() {
    if (ending_) return;
    ending_ = true;
    hide();
    if (endProgram_) endProgram_();
}

// Centred again when first shown: only then does the window know its frame.
void frmSiftTst::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        CenterForm(*this);
    }
}

void frmSiftTst::closeEvent(QCloseEvent* event) {
    event->accept();
    cmdExit_Click();
}

void frmSiftTst::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        scan::trapErrors("Form_KeyDown", [this] { showHelp(); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmSiftTst::showHelp() {
    const QString path = QString::fromStdString(helpFile_);
    if (QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
    platform::boxes().show("The help file was not found:\n" + helpFile_, "Probex Zelk", platform::Icon::Information,
                           platform::Buttons::Ok);
}

// ---------------------------------------------------------------------------
// Searching the report

std::int64_t frmSiftTst::selectionStart() const { return rtbViewer_->selectionStart(); }

void frmSiftTst::mnuFind_Click() {
    if (ending_) return;
    const std::int64_t from = rtbViewer_->selectionStart(), to = rtbViewer_->selectionEnd();
    if (to > from) searchText_ = report_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    searchText_ = platform::inputBox().ask("Find What?:", "Oculon Search", searchText_);
    if (searchText_.empty()) return;
    searchPosition_ = 0;
    FindInResults();
}

void frmSiftTst::mnuFindNext_Click() {
    if (ending_ || searchText_.empty()) return;
    searchPosition_ = selectionStart() + 1;
    FindInResults();
}

// Searching from the base position plus the length of the text: Find skips
// an occurrence at the very start, and Find Next one that overlaps the last.
void frmSiftTst::FindInResults() {
    rtbViewer_->setFocus();
    const auto length = static_cast<std::int64_t>(searchText_.size());
    const std::int64_t found = scanner::findInReport(report_, searchText_, searchPosition_ + length);
    searchPosition_ = found;
    if (found < 0) {
        platform::boxes().show("Selected text not found.", "Oculon No Find", platform::Icon::Information,
                               platform::Buttons::Ok);
        return;
    }
    rtbViewer_->setSelection(found, found + length);
    rtbViewer_->ensureCaretVisible();
}

void frmSiftTst::lstFileNames_DblClick(QListWidgetItem* item) {
    if (ending_ || !item) return;
    scan::trapErrors("lstFileNames_DblClick", [&] {
        const std::string name = scanner::FileNameOfPath(platform::fromQtDisplay(item->text()));
        if (name.empty()) return;
        const std::string kept = searchText_;
        searchText_ = name;
        searchPosition_ = 0;
        struct Restore {
            std::string& target;
            const std::string& kept;
            ~Restore() { target = kept; }
        } restore{searchText_, kept};
        FindInResults();
    });
}
