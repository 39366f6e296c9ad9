#include "editor/ui/frmEdit32.h"

#include <QAction>
#include <QCloseEvent>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <optional>

#include "editor/BlockCommands.h"
#include "editor/ui/frmFind.h"
#include "editor/ui/frmReplace.h"
#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "platform/TextCodec.h"
#include "indent/Indent.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtPrinter.h"
#include "textbox/SourceTextView.h"
#include "textlib/TextLib.h"

namespace editor::ui {

namespace {

// The menu tree, in order. depth 0 is a menu of the menu bar, depth 1 an item
// of it and depth 2 an item of a submenu; an entry followed by deeper ones
// is the submenu that holds them. A caption of "-" is a separator. Items
// without a command are shown greyed.
struct MenuEntry {
    int depth;
    const char* name;
    const char* caption;
    const char* shortcut;
    bool enabled;
};

constexpr MenuEntry MenuTree[] = {
    {0, "mnuFile", "&File", "", true},
    {1, "mnuFileOpen", "&File Open", "", true},
    {2, "mnuFileBas", ".&BAS Files", "", true},
    {2, "mnuFilePrg", ".&PRG Files", "", true},
    {2, "mnuFileFRM", ".&FRM Files", "", true},
    {2, "mnuVbp", "&.VBP", "", true},
    {2, "mnuMakFiles", ".&MAK Files", "", true},
    {2, "mnuClsFiles", ".&CLS Files", "", true},
    {2, "mnuTextFiles", ".&Txt Files", "", true},
    {2, "mnuLogFiles", ".&Log Files", "", true},
    {2, "mnuFillAll", "&All Files", "", true},
    {1, "mnuOpenModule", "&Module Open", "", true},
    {2, "mnuBasFiles", ".&BAS Files", "", true},
    {2, "mnuFrmFilesn", ".&FRM Files", "", true},
    {2, "mnuCls", ".&CLS Files", "", true},
    {2, "mnuPrgFiles", ".&PRG Files", "", true},
    {1, "mnuFileClose", "&Close", "", true},
    {1, "mnuFileSave", "&Save", "", true},
    {1, "mnuSaveAs", "Save &As", "", true},
    {1, "mnuPrint", "&Print Selected Text", "Ctrl+P", true},
    {1, "mnuSep4", "-", "", true},
    {1, "mnuFileExit", "E&xit", "Ctrl+E", true},
    {0, "mnuEdit", "&Edit", "", true},
    {1, "mnuCut", "Cu&t", "Ctrl+X", true},
    {1, "mnuCopy", "&Copy", "Ctrl+C", true},
    {1, "mnuConcatenate", "C&oncatenate", "Ctrl+O", true},
    {1, "mnuClear", "C&lear", "", true},
    {1, "mnuPaste", "&Paste", "Ctrl+V", true},
    {1, "mnuSep5", "-", "", true},
    {1, "mnuDeleteText", "&Delete All Text", "Ctrl+D", true},
    {1, "mnjSelectAll", "&Select All", "Ctrl+A", true},
    {1, "mnuSelectCut", "S&elect && Cut", "Ctrl+K", false},
    {1, "mnuSep1", "-", "", true},
    {1, "mnuFind", "&Find", "F2", true},
    {1, "mnuFindNext", "Find &Next", "F3", true},
    {1, "mnusep3", "-", "", true},
    {1, "mnuReplace", "Replace", "Ctrl+R", true},
    {0, "mnuOptions", "&Options", "", true},
    {1, "mnuComment", "&Comment", "F4", true},
    {1, "mnuUncomment", "&Uncomment", "Shift+F4", true},
    {1, "mnuSep2", "-", "", true},
    {1, "mnuIndent", "&Indent Selected Text", "F5", true},
    {1, "mnuConvert", "&Convert Selected xBase Text", "F6", true},
    {1, "mnuFindDiff", "Find &Difference", "F7", false},
    {1, "menuFontSizeToggle", "Font Size &Toggle", "", false},
    {0, "mnuWindows", "&Window", "", false},
    {1, "mnuTile", "&Tile", "", false},
    {1, "mnuCascade", "&Cascade", "", false},
    {0, "mnuHelp", "&Help", "", false},
    {1, "mnuHelponHelp", "&Help", "", false},
    {1, "mnuAbout", "&About Ix Orvane", "", false},
};

// The open commands: the item and the filter of its dialog.
struct OpenItem {
    const char* name;
    const char* filter;
};

constexpr OpenItem WholeFileOpens[] = {
    {"mnuFileBas", "Program (*.bas)|*.bas"},      {"mnuFilePrg", "Program (*.prg)|*.prg"},
    {"mnuFileFRM", "Forms (*.frm)|*.frm"},        {"mnuVbp", "Program (*.VBP)|*.VBP"},
    {"mnuMakFiles", "Program (*.mak)|*.mak"},     {"mnuClsFiles", "Class (*.cls)|*.cls"},
    {"mnuTextFiles", "Text Files (*.txt)|*.txt"}, {"mnuLogFiles", "Log (Error) Files (*.Log)|*.Log"},
    {"mnuFillAll", "All Files (*.*)|*.*"},
};

constexpr OpenItem EntityOpens[] = {
    {"mnuBasFiles", "Program (*.bas)|*.bas"},
    {"mnuFrmFilesn", "Forms (*.frm)|*.frm"},
    {"mnuCls", "Class (*.cls)|*.cls"},
    {"mnuPrgFiles", "Program (*.prg)|*.prg"},
};

constexpr int TwipsPerInch = 1440;
constexpr int KeyEnter = 13;
constexpr int KeyF1 = 0x70;

// The small picture of the procedure band: a page of code.
QPixmap bandPicture() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 16, 21);
    p.setPen(QPen(QColor(0, 90, 170), 1));
    const int indents[] = {0, 3, 3, 6, 3, 0};
    for (int i = 0; i < 6; ++i) p.drawLine(7 + indents[i], 5 + 3 * i, 17, 5 + 3 * i);
    return pixmap;
}

// The editor's font: Fixedsys at 9 points, or the platform's fixed-pitch
// font at that size where Fixedsys is missing.
QFont editorFont() {
    QFont font("Fixedsys", 9);
    font.setStyleHint(QFont::TypeWriter);
    if (QFontInfo(font).family().compare("Fixedsys", Qt::CaseInsensitive) != 0 || !QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}

// The Visual Basic key code of a key (what the key preview hands on).
int keyCodeOf(const QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return KeyEnter;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return KeyF1 + (key - Qt::Key_F1);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key == Qt::Key_Escape) return 27;
    if (key == Qt::Key_Space) return 32;
    if (key == Qt::Key_Backspace) return 8;
    if (key == Qt::Key_Tab) return 9;
    return key & 0xFFFF;
}

}  // namespace

EditorLayout editorLayout(int outerWidth, int outerHeight) {
    const int width = std::max(0, outerWidth - 90);
    return EditorLayout{{0, 600, width, std::max(0, outerHeight - 1260)}, {0, 0, width, 615}};
}

// The editing area as the search routines see it.
class frmEdit32::EditorSearchTarget : public SearchTarget {
public:
    explicit EditorSearchTarget(frmEdit32& w) : w_(w) {}
    std::string text() const override { return w_.editorText(); }
    std::int64_t selStart() const override { return w_.selStart(); }
    void select(std::int64_t start, std::int64_t length) override { w_.setSelection(start, length); }
    void setText(const std::string& text) override { w_.setEditorText(text); }
    void replaceAt(const std::vector<std::int64_t>& starts, std::int64_t length,
                   const std::string& replacement) override {
        w_.replaceAt(starts, length, replacement);
    }

private:
    frmEdit32& w_;
};

frmEdit32::frmEdit32(const std::string& commandLine, QWidget* parent)
    : QMainWindow(parent), searchTarget_(std::make_unique<EditorSearchTarget>(*this)) {
    setObjectName("frmEdit32");
    setWindowTitle("QVX");
    setWindowIcon(platform::programIcon("varnel"));
    buildControls();
    buildMenus();
    // Below this size the band and the editing area would no longer be usable.
    setMinimumSize(420, 220);
    resize(900, 640);
    fitIntoScreen();
    doc_ = std::make_unique<SourceDocument>(*this);
    Form_Load(commandLine);
}

frmEdit32::~frmEdit32() = default;

void frmEdit32::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    Picture1 = new QWidget(client);
    Picture1->setObjectName("Picture1");
    Picture1->setAutoFillBackground(true);

    Label1 = new QLabel("Procedure", Picture1);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 12, 62, 18);

    cbProc = new QComboBox(Picture1);
    cbProc->setObjectName("cbProc");
    cbProc->setEditable(true);
    cbProc->setInsertPolicy(QComboBox::NoInsert);
    // A name typed into the list's box chooses nothing, not even when the
    // box loses the focus: only choosing an entry of the list switches.
    QObject::disconnect(cbProc->lineEdit(), &QLineEdit::editingFinished, cbProc, nullptr);
    cbProc->setMaxVisibleItems(20);
    cbProc->setGeometry(74, 8, 300, 25);
    Label1->setBuddy(cbProc);

    Image1 = new QLabel(Picture1);
    Image1->setObjectName("Image1");
    Image1->setPixmap(bandPicture());
    Image1->setGeometry(384, 8, 24, 24);

    txtEdit = new textbox::SourceTextView(client);
    txtEdit->setObjectName("txtEdit");
    txtEdit->setAccessibleName("Procedure text");
    txtEdit->setCrLfLineEnds(true);
    txtEdit->setFont(editorFont());
    connect(txtEdit, &textbox::SourceTextView::textEdited, this,
            [this] { platform::guardEvent([this] { txtEdit_Change(); }); });
    connect(cbProc, &QComboBox::activated, this,
            [this](int index) { platform::guardEvent([this, index] { cbProc_Click(index); }); });
    connect(cbProc, &QComboBox::editTextChanged, this, [this] { platform::guardEvent([this] { cbProc_Change(); }); });

    // The window sees every key before its controls.
    txtEdit->installEventFilter(this);
    cbProc->installEventFilter(this);
    cbProc->lineEdit()->installEventFilter(this);
}

void frmEdit32::buildMenus() {
    QMenu* menus[2] = {nullptr, nullptr};
    const int count = static_cast<int>(std::size(MenuTree));
    for (int i = 0; i < count; ++i) {
        const MenuEntry& e = MenuTree[i];
        const bool hasItems = i + 1 < count && MenuTree[i + 1].depth > e.depth;
        QAction* a = nullptr;
        if (hasItems) {
            QMenu* m = e.depth == 0 ? menuBar()->addMenu(e.caption) : menus[0]->addMenu(e.caption);
            m->setObjectName(e.name);
            menus[e.depth] = m;
            a = m->menuAction();
        } else if (std::string(e.caption) == "-") {
            a = menus[e.depth - 1]->addSeparator();
        } else {
            a = menus[e.depth - 1]->addAction(e.caption);
            if (*e.shortcut) a->setShortcut(QKeySequence(e.shortcut));
        }
        a->setObjectName(e.name);
        a->setEnabled(e.enabled);
    }

    for (const OpenItem& item : WholeFileOpens) {
        const std::string filter = item.filter;
        connect(action(item.name), &QAction::triggered, this,
                [this, filter] { platform::guardEvent([&] { openWhole(filter); }); });
    }
    for (const OpenItem& item : EntityOpens) {
        const std::string filter = item.filter;
        connect(action(item.name), &QAction::triggered, this,
                [this, filter] { platform::guardEvent([&] { openEntities(filter); }); });
    }
    route("mnuFileClose", &frmEdit32::mnuFileClose_Click);
    route("mnuFileSave", &frmEdit32::mnuFileSave_Click);
    route("mnuSaveAs", &frmEdit32::mnuSaveAs_Click);
    route("mnuPrint", &frmEdit32::mnuPrint_Click);
    route("mnuFileExit", &frmEdit32::mnuFileExit_Click);
    route("mnuCut", &frmEdit32::mnuCut_Click);
    route("mnuCopy", &frmEdit32::mnuCopy_Click);
    route("mnuConcatenate", &frmEdit32::mnuConcatenate_Click);
    route("mnuClear", &frmEdit32::mnuClear_Click);
    route("mnuPaste", &frmEdit32::mnuPaste_Click);
    route("mnuDeleteText", &frmEdit32::mnuDeleteText_Click);
    route("mnjSelectAll", &frmEdit32::mnjSelectAll_Click);
    route("mnuFind", &frmEdit32::mnuFind_Click);
    route("mnuFindNext", &frmEdit32::mnuFindNext_Click);
    route("mnuReplace", &frmEdit32::mnuReplace_Click);
    route("mnuComment", &frmEdit32::mnuComment_Click);
    route("mnuUncomment", &frmEdit32::mnuUncomment_Click);
    route("mnuIndent", &frmEdit32::mnuIndent_Click);
    route("mnuConvert", &frmEdit32::mnuConvert_Click);
}

QAction* frmEdit32::action(const char* name) {
    for (QAction* a : findChildren<QAction*>(name))
        if (!a->menu()) return a;
    return findChild<QAction*>(name);
}

// Connects a menu item to its handler; a run-time error that the handler
// does not trap is reported and the open document stays.
void frmEdit32::route(const char* name, void (frmEdit32::*handler)()) {
    connect(action(name), &QAction::triggered, this, [this, handler] {
        platform::guardEvent([this, handler] { (this->*handler)(); });
        platform::guardEvent([this] { recoveryTick(); });
    });
}

void frmEdit32::keepRecovery(const std::string& folder, std::chrono::milliseconds pause,
                             std::chrono::milliseconds longest) {
    recoveryFolder_ = folder;
    recovery_ = std::make_unique<RecoveryFile>(folder);
    schedule_.emplace(pause, longest);
    doc_->onOpened = [this](const std::string& file) {
        QMetaObject::invokeMethod(
            this, [this, file] { platform::guardEvent([&] { offerRecovery(file); }); }, Qt::QueuedConnection);
    };
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { platform::guardEvent([this] { recoveryTick(); }); });
    timer->start(std::clamp<std::chrono::milliseconds>(pause / 4, std::chrono::milliseconds(10),
                                                       std::chrono::milliseconds(250)));
}

void frmEdit32::recoveryTick() {
    if (!recovery_) return;
    if (const std::string why = recovery_->takeError(); !why.empty() && !recoveryFailureTold_) {
        recoveryFailureTold_ = true;
        platform::boxes().show("varnel cannot keep your unsaved changes in " + recoveryFolder_ + ": " + why,
                               ProgramTitle, platform::Icon::Exclamation, platform::Buttons::Ok);
    }
    if (!doc_->changed()) {
        recovery_->remove();
        return;
    }
    const auto now = RecoverySchedule::Clock::now();
    if (!schedule_->due(now)) return;
    schedule_->written();
    const platform::FileFacts& read = doc_->fileFacts();
    RecoveryRecord header{absolutePath(doc_->fileName()),
                          doc_->mode(),
                          doc_->entityMode() ? doc_->currentEntityName() : std::string(),
                          read.exists ? read.size : -1,
                          read.modified,
                          static_cast<std::int64_t>(std::time(nullptr)),
                          {}};
    // The snapshot shares the text's storage: nothing is copied here, and
    // the bytes are made and written on the recovery file's own thread.
    recovery_->write(std::move(header), [snapshot = txtEdit->snapshot()] { return snapshot.bytes(); });
}

// Asks about each record that an ended window left for the file (newest
// first) until one is recovered: Yes recovers it, No deletes it, Cancel keeps
// it for another time.
void frmEdit32::offerRecovery(const std::string& name) {
    if (!recovery_ || offering_) return;
    offering_ = true;
    const std::string file = absolutePath(name);
    for (LeftOver& found : findLeftOvers(recoveryFolder_, file)) {
        const RecoveryRecord& r = found.record();
        const platform::FileFacts now = platform::realFileSystem().facts(file);
        const bool changedSince = !file.empty() && ((now.exists ? now.size : -1) != r.fileSize ||
                                                    (now.exists && now.modified != r.fileModified));
        const platform::Answer a = platform::boxes().show(recoveryQuestion(r, changedSince), ProgramTitle,
                                                          platform::Icon::Exclamation, platform::Buttons::YesNoCancel);
        if (a == platform::Answer::No) found.discard();
        if (a != platform::Answer::Yes) continue;
        if (doc_->recover(r.mode, r.entity, r.text)) {
            recovery_->adopt(std::move(found));
            schedule_->changed(RecoverySchedule::Clock::now());
            break;
        }
    }
    offering_ = false;
}

// --- Window events -----------------------------------------------------------

void frmEdit32::Form_Load(const std::string& commandLine) {
    doc_->setChanged(false);
    firstActivation_ = true;
    commandLineFile_ = textlib::Trim(commandLine).empty() ? std::string() : commandLine;
}

void frmEdit32::Form_Activate() {
    if (!firstActivation_) {
        doc_->checkDiskOnFocus();
        return;
    }
    firstActivation_ = false;
    if (commandLineFile_.empty()) offerRecovery("");
    if (!commandLineFile_.empty()) doc_->OpenSourceFile(commandLineFile_, Mode::WholeFile);
}

bool frmEdit32::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) platform::guardEvent([this] { Form_Activate(); });
    return QMainWindow::event(event);
}

// A window manager may never activate the window (a bare X server, the
// offscreen platform); the first showing then counts as its activation.
void frmEdit32::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstActivation_)
        QMetaObject::invokeMethod(
            this, [this] { fitIntoScreen(); }, Qt::QueuedConnection);
    if (firstActivation_)
        QMetaObject::invokeMethod(
            this, [this] { platform::guardEvent([this] { Form_Activate(); }); }, Qt::QueuedConnection);
}

// Keeps the window, frame included, inside the free area of its screen (the
// screen without its panels): never larger, and moved in where it sticks
// out, so that the close box and the scroll bars stay in reach.
void frmEdit32::fitIntoScreen() {
    const QScreen* s = screen();
    if (!s || isMaximized() || isFullScreen()) return;
    const QRect area = s->availableGeometry();
    const QRect outer = frameGeometry(), inner = geometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom());
    // Until the window manager has framed the window its frame is unknown:
    // allow for a title bar and borders.
    if (frame.isNull()) frame = QMargins(4, 32, 4, 4);
    resize(std::min(width(), area.width() - frame.left() - frame.right()),
           std::min(height(), area.height() - frame.top() - frame.bottom()));
    if (!isVisible()) return;
    const QSize size = frameGeometry().size();
    const QPoint at(std::clamp(outer.left(), area.left(), std::max(area.left(), area.right() + 1 - size.width())),
                    std::clamp(outer.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    if (at != outer.topLeft()) move(at);
}

void frmEdit32::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    platform::guardEvent([this] { Form_Resize(); });
}

void frmEdit32::Form_Resize() {
    if (isMinimized()) return;
    const double dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const double dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96;
    auto twipsX = [&](int px) { return static_cast<int>(std::lround(px * TwipsPerInch / dpiX)); };
    auto twipsY = [&](int px) { return static_cast<int>(std::lround(px * TwipsPerInch / dpiY)); };
    auto pxX = [&](int tw) { return static_cast<int>(std::lround(tw * dpiX / TwipsPerInch)); };
    auto pxY = [&](int tw) { return static_cast<int>(std::lround(tw * dpiY / TwipsPerInch)); };

    // The outer size includes the frame, the title bar and the menu bar;
    // the controls are placed in the client area below the menu bar.
    const QRect outer = frameGeometry();
    const EditorLayout layout = editorLayout(twipsX(outer.width()), twipsY(outer.height()));
    auto place = [&](QWidget* w, const EditorLayout::Rect& r) {
        w->setGeometry(pxX(r.left), pxY(r.top), pxX(r.width), pxY(r.height));
    };
    place(txtEdit, layout.txtEdit);
    place(Picture1, layout.Picture1);
    Image1->move(std::max(cbProc->geometry().right() + 10, Picture1->width() - Image1->width() - 10),
                 (Picture1->height() - Image1->height()) / 2);
}

void frmEdit32::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    platform::guardEvent([&] { cancel = doc_->Form_QueryUnload(); });
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    // Saved, or the user chose to lose the changes.
    if (recovery_) recovery_->remove();
}

bool frmEdit32::eventFilter(QObject* watched, QEvent* event) {
    const bool inList = watched == cbProc || watched == cbProc->lineEdit();
    if (event->type() == QEvent::ShortcutOverride) {
        // Menu shortcuts come before the keys the controls would handle
        // themselves (Ctrl+C, Ctrl+V, ... of the text widgets).
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* a : findChildren<QAction*>()) {
            if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = keyCodeOf(key);
        platform::guardEvent([&] { Form_KeyDown(code, key->modifiers(), inList); });
        if (inList && code == KeyEnter) {
            // Enter in the list's text box only moves on to the editor; it
            // never chooses an entry by its typed name.
            platform::guardEvent([&] { doc_->cbProc_KeyPress(KeyEnter); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

std::string frmEdit32::helpFilePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("QVX.hlp").toLocal8Bit().toStdString();
}

void frmEdit32::Form_KeyDown(int keyCode, Qt::KeyboardModifiers, bool activeControlIsCombo) {
    doc_->Form_KeyDown(activeControlIsCombo, keyCode);
    if (keyCode == KeyF1) showHelp();
}

void frmEdit32::showHelp() {
    const std::string path = helpFilePath();
    const QString qpath = QString::fromLocal8Bit(path.c_str());
    if (QFileInfo(qpath).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(qpath))) return;
    platform::boxes().show("Can't open help file: " + path, ProgramTitle, platform::Icon::Exclamation,
                           platform::Buttons::Ok);
}

void frmEdit32::txtEdit_Change() {
    if (doc_) doc_->txtEdit_Change();
    if (schedule_) schedule_->changed(RecoverySchedule::Clock::now());
}

void frmEdit32::cbProc_Click(int index) { doc_->cbProc_Click(index); }

void frmEdit32::cbProc_Change() { doc_->cbProc_Change(); }

// --- DocumentView --------------------------------------------------------------

// The text as bytes is made once per change: Find Next and the block
// commands ask for it again and again on a big text.
std::string frmEdit32::editorText() {
    if (textRevision_ != txtEdit->buffer().revision()) {
        text_ = txtEdit->buffer().bytes();
        textRevision_ = txtEdit->buffer().revision();
    }
    return text_;
}

void frmEdit32::setEditorText(const std::string& text) { txtEdit->setBytes(text); }

void frmEdit32::deleteEditorText() {
    txtEdit->selectAll();
    txtEdit->replaceSelection(u"");
}

std::optional<platform::UnsavableChar> frmEdit32::unsavableCharacter() {
    return platform::firstUnsavableChar(txtEdit->buffer().text());
}

std::string frmEdit32::caption() { return platform::fromQtDisplay(windowTitle()); }

void frmEdit32::setCaption(const std::string& caption) { setWindowTitle(platform::toQtDisplay(caption)); }

void frmEdit32::setEntityList(const std::vector<std::string>& names) {
    QSignalBlocker block(cbProc);
    cbProc->clear();
    for (const auto& name : names) cbProc->addItem(platform::toQt(name));
    cbProc->setCurrentIndex(-1);
    cbProc->setEditText(QString());
}

void frmEdit32::selectEntity(int index) {
    QSignalBlocker block(cbProc);
    cbProc->setCurrentIndex(index);
    if (index < 0) cbProc->setEditText(QString());
}

void frmEdit32::setEntityListEnabled(bool enabled) { cbProc->setEnabled(enabled); }

void frmEdit32::focusEditor() { txtEdit->setFocus(); }

// --- Selection -------------------------------------------------------------------

std::int64_t frmEdit32::selStart() { return txtEdit->selectionStart(); }

std::int64_t frmEdit32::selLength() { return txtEdit->selectionEnd() - txtEdit->selectionStart(); }

std::string frmEdit32::selText() {
    return editorText().substr(static_cast<std::size_t>(selStart()), static_cast<std::size_t>(selLength()));
}

// A selection never ends between the CR and the LF of a line end: its start
// moves before them, its end past them.
void frmEdit32::setSelection(std::int64_t start, std::int64_t length) {
    start = std::max<std::int64_t>(start, 0);
    length = std::max<std::int64_t>(length, 0);
    txtEdit->setSelection(start, start + length);
    txtEdit->ensureCaretVisible();
}

void frmEdit32::replaceSelection(const std::string& text) {
    txtEdit->replaceSelection(platform::chars(platform::toQt(text)));
    txtEdit->ensureCaretVisible();
}

// Replace All: only the replaced characters change, in one edit that one
// Undo takes back. With nothing to replace the text counts as set all the
// same.
void frmEdit32::replaceAt(const std::vector<std::int64_t>& starts, std::int64_t length,
                          const std::string& replacement) {
    if (starts.empty()) {
        txtEdit_Change();
        return;
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    spans.reserve(starts.size());
    for (const std::int64_t start : starts) spans.emplace_back(start, start + length);
    txtEdit->replaceSpans(spans, platform::chars(platform::toQt(replacement)));
}

// --- File menu -------------------------------------------------------------------

void frmEdit32::openWhole(const std::string& filter) { doc_->openWithDialog(filter, Mode::WholeFile); }

void frmEdit32::openEntities(const std::string& filter) { doc_->openWithDialog(filter, Mode::Entity); }

void frmEdit32::mnuFileClose_Click() {
    doc_->mnuFileClose_Click();
    close();
}

void frmEdit32::mnuFileSave_Click() { doc_->mnuFileSave_Click(); }

void frmEdit32::mnuSaveAs_Click() { doc_->mnuSaveAs_Click(); }

void frmEdit32::mnuFileExit_Click() { close(); }

// --- Edit menu -------------------------------------------------------------------

// Cut and Copy put the selection on the clipboard even when it is empty.
void frmEdit32::mnuCut_Click() {
    mnuCopy_Click();
    replaceSelection("");
}

// The clipboard takes bytes, where "?" stands for a character that no byte
// holds. When it is the system's, the characters of the box go there instead,
// so that a copy to another program loses none of them.
void frmEdit32::mnuCopy_Click() {
    const std::string bytes = selText();
    platform::clipboard().setText(bytes);
    if (bytes.find('?') != std::string::npos &&
        QGuiApplication::clipboard()->text() == platform::toQt(platform::toLfLineEnds(bytes)))
        QGuiApplication::clipboard()->setText(txtEdit->selectedText());
    txtEdit->setFocus();
}

void frmEdit32::mnuPaste_Click() {
    try {
        const std::string bytes = platform::clipboard().text();
        // The clipboard gives "?" for a character that no byte holds. When it
        // is the system's, such a character comes in as itself, so that a save
        // names it instead of writing "?".
        QString system = QGuiApplication::clipboard()->text();
        if (bytes.find('?') != std::string::npos && platform::toCrLfLineEnds(platform::fromQt(system)) == bytes) {
            txtEdit->replaceSelection(platform::chars(system));
        } else {
            replaceSelection(bytes);
        }
    } catch (const platform::RuntimeError& e) {
        platform::ShowKestrinError(e);
    }
}

// Empties the clipboard; the editor text stays as it is.
void frmEdit32::mnuClear_Click() { platform::clipboard().clear(); }

void frmEdit32::mnuDeleteText_Click() {
    doc_->mnuDeleteText_Click();
    txtEdit->setFocus();
}

void frmEdit32::mnjSelectAll_Click() { setSelection(0, static_cast<std::int64_t>(editorText().size())); }

// Find: the dialog sets the search state, then one search step runs. Closing
// the dialog through its frame is no command: the state is as it was before.
void frmEdit32::mnuFind_Click() {
    SearchState& state = searchState();
    const SearchState before = state;
    frmFind dialog(state, this);
    dialog.setSearchText(selText());
    state.firstSearch = true;
    dialog.exec();
    if (dialog.command() == frmFind::Command::None) {
        state = before;
        return;
    }
    FindText(state, *searchTarget_, platform::boxes(), ProgramTitle);
}

void frmEdit32::mnuFindNext_Click() {
    SearchState& state = searchState();
    if (!state.searchText.empty()) FindText(state, *searchTarget_, platform::boxes(), ProgramTitle);
}

void frmEdit32::mnuReplace_Click() {
    SearchState& state = searchState();
    frmReplace dialog(state, this);
    dialog.exec();
    if (dialog.command() == frmReplace::Command::None) return;
    if (!state.searchText.empty()) ReplaceInText(state, *searchTarget_);
}

// --- Block commands ------------------------------------------------------------

namespace {

// The window as the block commands and the indenter see it: the editor text
// and its selection with CR LF line ends, the focus, and Edit > Paste.
class BlockTarget : public indent::IndentTarget {
public:
    explicit BlockTarget(frmEdit32& w) : w_(w) {}
    std::string selectedText() override { return w_.selText(); }
    std::string text() override { return w_.editorText(); }
    // Like a text box's selection start: moves the caret, selecting nothing.
    void setSelStart(std::int64_t start) override { w_.setSelection(start, 0); }
    void setSelLength(std::int64_t length) override { w_.setSelection(w_.selStart(), length); }
    void setFocus() override { w_.focusEditor(); }
    void paste() override { w_.mnuPaste_Click(); }

private:
    frmEdit32& w_;
};

}  // namespace

// Prints the selection (or the whole text) as a report. The job starts only
// when there is something to print; when it went to a PDF file the user is
// told where that file is, once the job has ended.
void frmEdit32::mnuPrint_Click() {
    BlockTarget target(*this);
    std::optional<platform::PrintJob> job;
    const bool printed = PrintSelectedText(target, [&]() -> platform::Printer& {
        job = platform::startPrintJob("Kestrin Editor");
        return *job->printer;
    });
    if (!printed || !job) return;
    const std::string pdf = job->pdfPath;
    const bool wrote = job->printer->hasOutput();
    job.reset();
    if (!pdf.empty() && wrote)
        platform::boxes().show(platform::pdfReportMessage(pdf), ProgramTitle, platform::Icon::Information,
                               platform::Buttons::Ok);
}

void frmEdit32::mnuConcatenate_Click() {
    BlockTarget target(*this);
    ConcatenateToClipboard(target);
    txtEdit->setFocus();
}

void frmEdit32::mnuComment_Click() {
    BlockTarget target(*this);
    CommentLines(target);
    txtEdit->setFocus();
}

void frmEdit32::mnuUncomment_Click() {
    BlockTarget target(*this);
    UncommentLines(target);
}

void frmEdit32::mnuIndent_Click() {
    BlockTarget target(*this);
    indent::Indent().E1QuickIndentProc(target);
}

void frmEdit32::mnuConvert_Click() {
    BlockTarget target(*this);
    ConvertXBaseProc(target);
    txtEdit->setFocus();
}

}  // namespace editor::ui
