#pragma once
// frmSiftTst: the scanner's window and scan driver. The user picks source
// files; the window runs the scan engine over them one after another, shows
// the findings as one report, searches it and has it printed.
#include <QMainWindow>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/QtPrinter.h"
#include "scan/ScanPool.h"
#include "scan/clsOculon.h"
#include "scanner/ReportSearch.h"
#include "scanner/clsFilelist.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace textbox {
class SourceTextView;
}
class QProgressBar;
class QPushButton;

class frmSiftTst : public QMainWindow {
    Q_OBJECT

public:
    // Takes over the scan engine, which lives as long as the window.
    explicit frmSiftTst(std::unique_ptr<scan::clsOculon> engine, QWidget* parent = nullptr);
    ~frmSiftTst() override;

    // Centres a window on its screen.
    static void CenterForm(QWidget& form);

    // What "&Close" and "E&xit" run after hiding the window; by default it
    // ends the application's event loop.
    void setEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }
    // Sets up the print job of "&Print"; by default the default printer, or
    // a PDF file in the documents folder when there is none.
    void setPrintJobFactory(std::function<platform::PrintJob(const std::string&)> factory) {
        printJobFactory_ = std::move(factory);
    }

    // How often a scan lets window events run between files (20 ms by
    // default; 0 runs them before every file).
    void setPumpInterval(std::chrono::milliseconds interval) { pumpInterval_ = interval; }

    // State for tests and the program.
    const std::vector<clsFilelist>& fileList() const { return fileList_; }
    const std::string& reportText() const { return report_; }
    std::int64_t searchPosition() const { return searchPosition_; }
    const std::string& searchText() const { return searchText_; }
    bool isScanning() const { return scanning_; }
    bool isEnding() const { return ending_; }
    // The engine that scanned the last file of the last scan (it prints its
    // findings); before a scan, the window's own.
    scan::clsOculon& engine();

    // The help file F1 opens: the program's folder and "QVX.hlp".
    const std::string& helpFile() const { return helpFile_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void Form_Resize();

    void mnuOpen_Click();
    void cmdRecheck_Click();
    void RunScan();
    void scanFiles(std::string& report);
    void finishScan(std::string& report);
    void BeginBusy();
    void EndBusy();
    void cmdPrint_Click();
    void cmdFixErrors_Click();
    void cmdExit_Click();
    void mnuCheckLevel_Click(int level);
    void mnuFind_Click();
    void mnuFindNext_Click();
    void lstFileNames_DblClick(QListWidgetItem* item);
    void FindInResults();
    void showHelp();

    void setReport(std::string report);
    std::int64_t selectionStart() const;

    // Lists of this many files and more are scanned by a pool of workers.
    static constexpr std::size_t LongList = 8;

    std::unique_ptr<scan::clsOculon> engine_;  // what the pool's engines are copied from
    std::unique_ptr<scan::ScanPool> pool_;     // the last scan's engines
    std::optional<std::size_t> lastScanned_;   // the last file that scan showed
    std::vector<clsFilelist> fileList_;
    std::string report_;  // as the engine wrote it; the view holds it byte for byte
    std::int64_t searchPosition_ = 0;
    std::string searchText_;
    std::string helpFile_;
    bool scanning_ = false;
    bool ending_ = false;
    bool centred_ = false;
    std::chrono::milliseconds pumpInterval_{20};
    std::function<void()> endProgram_;
    std::function<platform::PrintJob(const std::string&)> printJobFactory_;

    QWidget* client_ = nullptr;
    textbox::SourceTextView* rtbViewer_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblCurrentFile_ = nullptr;
    QProgressBar* barLoadingStatus_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdSelectFiles_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QPushButton* cmdRecheck_ = nullptr;
    QPushButton* cmdFixErrors_ = nullptr;
    QListWidget* lstFileNames_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuErrors_ = nullptr;
    QAction* mnuWarnings_ = nullptr;
    QAction* mnuSuggest_ = nullptr;
    QAction* mnuFind_ = nullptr;
    QAction* mnuFindNext_ = nullptr;
    QMenu* mnuOption_ = nullptr;
    QActionGroup* levels_ = nullptr;

    class BarProgress;
    std::unique_ptr<BarProgress> progress_;
};
