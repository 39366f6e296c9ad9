#include "scanner/ScannerLayout.h"

#include <algorithm>

namespace scanner {

ScannerLayout layoutFor(int outerWidth, int outerHeight) {
    const int w = std::max(outerWidth, MinOuterWidth);
    const int h = std::max(outerHeight, MinOuterHeight);
    ScannerLayout l;
    l.rtbViewer = initial::rtbViewer;
    l.rtbViewer.width = w - 280;
    l.rtbViewer.height = h - 1700;

    l.barLoadingStatus = initial::barLoadingStatus;
    l.barLoadingStatus.top = l.rtbViewer.top + l.rtbViewer.height + 100;

    l.cmdExit = initial::cmdExit;
    l.cmdExit.top = l.barLoadingStatus.top;
    l.cmdExit.left = w - (l.cmdExit.width + 200);

    l.cmdSelectFiles = initial::cmdSelectFiles;
    l.cmdSelectFiles.top = l.cmdExit.top;
    l.cmdSelectFiles.left = l.cmdExit.left - (l.cmdSelectFiles.width + 100);

    l.cmdPrint = initial::cmdPrint;
    l.cmdPrint.top = l.cmdSelectFiles.top;
    l.cmdPrint.left = l.cmdSelectFiles.left - (l.cmdPrint.width + 100);
    return l;
}

}  // namespace scanner
