#include "editor/ui/EditorText.h"

#include "platform/TextCodec.h"

namespace editor::ui {

namespace {

constexpr char16_t LoneCrSymbol = 0x240D;

bool isLineEnd(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x2029 || u == 0x2028 || u == u'\n';
}

}  // namespace

QString toWidgetText(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                out += QChar(u'\n');
                ++i;
            } else {
                out += QChar(LoneCrSymbol);
            }
        } else {
            out += QChar(platform::charOfByte(byte));
        }
    }
    return out;
}

std::string fromWidgetText(const QString& raw) {
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + 64);
    for (QChar c : raw) {
        const char16_t u = c.unicode();
        if (isLineEnd(c)) {
            out += "\r\n";
        } else if (u == LoneCrSymbol) {
            out += '\r';
        } else {
            const int byte = platform::byteOfChar(u);
            out += byte < 0 ? '?' : static_cast<char>(byte);
        }
    }
    return out;
}

std::int64_t logicPosition(const QString& raw, int pos) {
    if (pos < 0) pos = 0;
    if (pos > raw.size()) pos = static_cast<int>(raw.size());
    std::int64_t logic = pos;
    for (int i = 0; i < pos; ++i)
        if (isLineEnd(raw[i])) ++logic;
    return logic;
}

int widgetPosition(const QString& raw, std::int64_t pos, bool roundUp) {
    std::int64_t logic = 0;
    const int n = static_cast<int>(raw.size());
    for (int i = 0; i < n; ++i) {
        if (logic >= pos) return i;
        const int width = isLineEnd(raw[i]) ? 2 : 1;
        if (logic + width > pos) return roundUp ? i + 1 : i;
        logic += width;
    }
    return n;
}

}  // namespace editor::ui
