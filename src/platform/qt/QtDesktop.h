#pragma once
// The desktop services on Qt: message boxes, clipboard, file dialogs, input
// box, busy pointer and event pump. Source text crosses into Qt by
// Windows-1252 (platform/TextCodec.h), so every byte 0-255 survives a round
// trip; captions and box texts, which also carry file names, by displayText.
#include <QIcon>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "platform/Desktop.h"

namespace platform {

// Source text and back; a character that no byte holds becomes "?".
QString toQt(const std::string& bytes);
std::string fromQt(const QString& text);

// The characters of a Qt string, as long as the string lives.
inline std::u16string_view chars(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Captions, titles and box texts (file names decoded as the system does) and back.
QString toQtDisplay(const std::string& bytes);
std::string fromQtDisplay(const QString& text);

// Turns "description|pattern|description|pattern" into a Qt dialog filter;
// patterns separated by ";" become blank-separated.
QString qtFilter(const std::string& filter);

// Installs the Qt implementations as the program-wide services; dialogs and
// boxes are parented to `parent` (may be null).
void installQtServices(QWidget* parent);

// Re-parents the dialogs and boxes of the installed Qt services.
void setQtDialogParent(QWidget* parent);

// The icon of program `name` ("varnel", "sifton") at every size it was
// rendered for, from the resources :/icons/NAME/SIZE.png; null when the
// program's icons are not built in.
QIcon programIcon(const QString& name);

}  // namespace platform
