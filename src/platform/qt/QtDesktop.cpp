#include "platform/qt/QtDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

#include "platform/Services.h"
#include "platform/TextCodec.h"

namespace platform {
namespace {

QPointer<QWidget> dialogParent;

class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override {
        QMessageBox box(dialogParent);
        box.setWindowTitle(toQtDisplay(title));
        box.setText(toQtDisplay(text));
        switch (icon) {
            case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
            case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
            case Icon::Information: box.setIcon(QMessageBox::Information); break;
            case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        }
        switch (buttons) {
            case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
            case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
            case Buttons::YesNoCancel:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                break;
            case Buttons::YesNoDefaultNo:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                box.setDefaultButton(QMessageBox::No);
                box.setEscapeButton(QMessageBox::No);
                break;
        }
        switch (box.exec()) {
            case QMessageBox::Yes: return Answer::Yes;
            case QMessageBox::No: return Answer::No;
            case QMessageBox::Cancel: return Answer::Cancel;
            default: return defaultAnswer(buttons);
        }
    }
};

class QtClipboard : public Clipboard {
public:
    // Other programs on this system expect LF line ends; the programs' own text has CR LF.
    std::string text() const override { return toCrLfLineEnds(fromQt(QGuiApplication::clipboard()->text())); }
    void setText(const std::string& text) override { QGuiApplication::clipboard()->setText(toQt(toLfLineEnds(text))); }
    void clear() override { QGuiApplication::clipboard()->clear(); }
};

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

class QtFileDialogs : public FileDialogs {
public:
    std::optional<std::string> openFile(const std::string& title, const std::string& filter) override {
        QString f = QFileDialog::getOpenFileName(dialogParent, toQt(title), QString(), qtFilter(filter));
        if (f.isEmpty()) return std::nullopt;
        return localPath(f);
    }
    std::optional<std::vector<std::string>> openFiles(const std::string& title, const std::string& filter) override {
        QStringList files = QFileDialog::getOpenFileNames(dialogParent, toQt(title), QString(), qtFilter(filter));
        if (files.isEmpty()) return std::nullopt;
        std::vector<std::string> out;
        for (const auto& f : files) out.push_back(localPath(f));
        return out;
    }
    std::optional<std::string> saveFile(const std::string& title, const std::string& filter,
                                        const std::string& initialName) override {
        QString f = QFileDialog::getSaveFileName(dialogParent, toQt(title), QFile::decodeName(initialName.c_str()),
                                                 qtFilter(filter));
        if (f.isEmpty()) return std::nullopt;
        return localPath(f);
    }
};

class QtInputBox : public InputBox {
public:
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultText) override {
        bool ok = false;
        QString s =
            QInputDialog::getText(dialogParent, toQt(title), toQt(prompt), QLineEdit::Normal, toQt(defaultText), &ok);
        return ok ? fromQt(s) : std::string();
    }
};

class QtBusyPointer : public BusyPointer {
public:
    void begin() override {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++depth_;
    }
    void end() override {
        while (depth_ > 0) {
            QApplication::restoreOverrideCursor();
            --depth_;
        }
    }

private:
    int depth_ = 0;
};

class QtEventPump : public EventPump {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

}  // namespace

QString toQt(const std::string& bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) d[i] = QChar(charOfByte(static_cast<unsigned char>(bytes[i])));
    return out;
}

std::string fromQt(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const int b = byteOfChar(c.unicode());
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

QString toQtDisplay(const std::string& bytes) {
    const std::u16string s = displayText(bytes);
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::string fromQtDisplay(const QString& text) {
    return displayBytes(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

QString qtFilter(const std::string& filter) {
    QStringList parts = toQt(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(';', ' ');
        // Qt takes the patterns from the last parentheses of a description;
        // a description that shows its own ("VB Files (*.BAS;*.FRM)") keeps
        // its text and gets the blank-separated patterns Qt needs.
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf('(');
        if (open >= 0 && description.endsWith(')')) description = description.left(open).trimmed();
        out << description + " (" + pattern + ")";
    }
    return out.join(";;");
}

void installQtServices(QWidget* parent) {
    static QtMessageBoxes boxes;
    static QtClipboard clipboard;
    static QtFileDialogs dialogs;
    static QtInputBox input;
    static QtBusyPointer busy;
    static QtEventPump pump;
    dialogParent = parent;
    Services s;
    s.boxes = &boxes;
    s.clipboard = &clipboard;
    s.dialogs = &dialogs;
    s.input = &input;
    s.busy = &busy;
    s.pump = &pump;
    installServices(s);
}

void setQtDialogParent(QWidget* parent) { dialogParent = parent; }

QIcon programIcon(const QString& name) {
    QIcon icon;
    for (const QFileInfo& png : QDir(":/icons/" + name).entryInfoList({"*.png"})) {
        const int size = png.baseName().toInt();
        icon.addFile(png.filePath(), QSize(size, size));
    }
    return icon;
}

}  // namespace platform
