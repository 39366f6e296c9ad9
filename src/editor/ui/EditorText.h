#pragma once
// The editor text as the logic sees it (bytes, CR LF line ends) and as the Qt
// text widget holds it (one separator per line end). Bytes cross by
// Windows-1252 (platform/TextCodec.h), so every byte 0-255 survives; a CR that is not followed by LF is shown as
// the symbol U+240D, so that the widget does not turn it into a line break.
// Positions convert both ways: a line end is one widget position and two
// logic positions.
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace editor::ui {

// The widget text for a logic text. CR LF and a bare LF become "\n".
QString toWidgetText(const std::string& text);

// The logic text for the widget's raw text (QTextDocument::toRawText, with
// U+2029 between blocks; "\n" and U+2028 count as line ends too). Every line
// end becomes CR LF; a character that no byte holds becomes "?" (a save
// refuses such a text before it gets here).
std::string fromWidgetText(const QString& raw);

// Where the line ends of a widget text are, so that positions convert in
// logarithmic time: a big file converts many positions per command.
class LineEnds {
public:
    LineEnds() = default;
    explicit LineEnds(const QString& raw);

    // The logic position of widget position `pos` (clamped to the text).
    std::int64_t logicPosition(int pos) const;
    // The widget position of logic position `pos`. A position between the CR
    // and the LF of a line end moves to the start of that line end (roundUp
    // false) or past it (roundUp true); positions beyond the text give its end.
    int widgetPosition(std::int64_t pos, bool roundUp = false) const;

private:
    int size_ = 0;                     // widget characters
    std::vector<std::int64_t> logic_;  // logic position of each line end's CR
};

// The same for a single position of `raw`.
std::int64_t logicPosition(const QString& raw, int pos);
int widgetPosition(const QString& raw, std::int64_t pos, bool roundUp = false);

}  // namespace editor::ui
