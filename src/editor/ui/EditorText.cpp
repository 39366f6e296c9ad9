#include "editor/ui/EditorText.h"

#include <algorithm>

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

LineEnds::LineEnds(const QString& raw) : size_(static_cast<int>(raw.size())) {
    const QChar* chars = raw.constData();
    for (int i = 0; i < size_; ++i)
        if (isLineEnd(chars[i])) logic_.push_back(i + static_cast<std::int64_t>(logic_.size()));
}

std::int64_t LineEnds::logicPosition(int pos) const {
    pos = std::clamp(pos, 0, size_);
    // The line ends before widget position pos are those whose CR lies
    // before pos plus the line ends before them.
    std::size_t lo = 0, hi = logic_.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (logic_[mid] - static_cast<std::int64_t>(mid) < pos) lo = mid + 1;
        else hi = mid;
    }
    return pos + static_cast<std::int64_t>(lo);
}

int LineEnds::widgetPosition(std::int64_t pos, bool roundUp) const {
    if (pos <= 0) return 0;
    // Line ends wholly before pos each take two logic positions and one
    // widget position.
    const auto before = std::upper_bound(logic_.begin(), logic_.end(), pos - 2) - logic_.begin();
    const auto k = static_cast<std::int64_t>(before);
    if (before < static_cast<std::ptrdiff_t>(logic_.size()) && logic_[before] == pos - 1) {
        const auto at = static_cast<int>(logic_[before] - k);  // pos lies between its CR and LF
        return roundUp ? at + 1 : at;
    }
    return static_cast<int>(std::min<std::int64_t>(pos - k, size_));
}

std::int64_t logicPosition(const QString& raw, int pos) { return LineEnds(raw).logicPosition(pos); }

int widgetPosition(const QString& raw, std::int64_t pos, bool roundUp) {
    return LineEnds(raw).widgetPosition(pos, roundUp);
}

}  // namespace editor::ui
