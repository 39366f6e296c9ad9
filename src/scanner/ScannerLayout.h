#pragma once
// Where the scanner window's resizable controls go, in twips, for a given
// outer size of the window. The labels and the hidden controls never move.
namespace scanner {

constexpr int TwipsPerPixel = 15;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const TwipRect&) const = default;
};

struct ScannerLayout {
    TwipRect rtbViewer;
    TwipRect barLoadingStatus;
    TwipRect cmdPrint;
    TwipRect cmdSelectFiles;
    TwipRect cmdExit;
};

// The outer size counts the window's frame, title and menu bar as the
// layout's classic window had them: the client area plus these allowances.
// With them the initial 7335 x 4395 client area gives the view its initial
// 7095 x 3435.
constexpr int FrameWidth = 40;
constexpr int FrameHeight = 740;

// The smallest outer size the window takes: the view keeps at least 1000
// twips of height, and the button row stays clear of the progress bar (which
// shares its row while a file loads) so that "&Close" can be clicked then.
constexpr int MinOuterWidth = 7000;
constexpr int MinOuterHeight = 2700;

// The view fills the window but for 280 twips of width and 1700 of height;
// the progress bar sits 100 under it; the three buttons share its top, the
// last one 200 from the right edge and each 100 from the next. Sizes below
// the minimum are laid out as the minimum, so no control gets a negative size.
ScannerLayout layoutFor(int outerWidth, int outerHeight);

// The initial places of every control (left, top, width, height).
namespace initial {
constexpr TwipRect rtbViewer{60, 510, 7095, 3435};
constexpr TwipRect lblStatus{90, 270, 945, 195};
constexpr TwipRect lblCurrentFile{1200, 240, 5190, 255};
constexpr TwipRect barLoadingStatus{60, 4020, 3705, 225};
constexpr TwipRect cmdPrint{4080, 3990, 855, 315};
constexpr TwipRect cmdSelectFiles{5010, 3990, 1065, 315};
constexpr TwipRect cmdExit{6150, 3990, 855, 315};
constexpr TwipRect cmdRecheck{10830, 5010, 855, 315};
constexpr TwipRect cmdFixErrors{10620, 6090, 1095, 375};
constexpr TwipRect lstFileNames{8580, 6840, 3555, 1035};
constexpr int ClientWidth = 7335;
constexpr int ClientHeight = 4395;
}  // namespace initial

}  // namespace scanner
