#include "editor/EntitySplit.h"

#include "editor/EntityRules.h"
#include "editor/SourceDocument.h"
#include "textlib/TextLib.h"

namespace editor {

namespace {

// The lines of a text as the file reader gives them: without LF and the CR
// before it; a text ending in a line end has no empty line after it.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

// The last line of the entity whose first line is `first`, as reading its
// text finds it: through its end line, or before the next heading.
long entityEnd(const std::vector<std::string_view>& lines, long first) {
    const long count = static_cast<long>(lines.size());
    for (long i = first + 1; i < count; ++i) {
        switch (classifyBodyLine(lines[static_cast<std::size_t>(i)])) {
            case BodyLine::Heading: return i - 1;
            case BodyLine::End: return i;
            case BodyLine::Text: break;
        }
    }
    return count - 1;
}

}  // namespace

std::vector<EntitySpan> entitySpans(std::string_view text, const std::string& fileName) {
    const std::vector<std::string_view> lines = splitLines(text);
    const long count = static_cast<long>(lines.size());
    std::vector<long> starts;
    std::vector<std::string> names;
    const std::string upperName = textlib::UCase(fileName);
    long next = 0;  // the next line the list builder reads
    bool declarations = false;
    if (upperName.find(".PRG") != std::string::npos || upperName.find(".BAS") != std::string::npos ||
        upperName.find(".CLS") != std::string::npos) {
        declarations = true;
    } else if (upperName.find(".FRM") != std::string::npos) {
        // The form description block, from its first "Begin" to the "End"
        // that closes it; a block that never closes leaves nothing after it.
        int depth = 0;
        while (next < count) {
            const std::string_view t = trimBlanks(lines[static_cast<std::size_t>(next++)]);
            if (t.substr(0, 5) == "Begin") ++depth;
            else if (t.substr(0, 3) == "End" && depth-- == 1) break;
        }
        declarations = true;
    }

    // The list builder: an entity runs until a heading (which starts the
    // next one) or an end line; the file's last line is never examined.
    const auto addEntity = [&](std::string name, long start) {
        names.push_back(std::move(name));
        starts.push_back(start);
        for (next = start + 1; next < count - 1; ++next) {
            switch (classifyListLine(lines[static_cast<std::size_t>(next)])) {
                case ListLine::Heading: return;
                case ListLine::End: ++next; return;
                case ListLine::Body: break;
            }
        }
        next = count;
    };
    if (declarations && next < count) addEntity(DeclarationsName, next);
    while (next < count - 1) {
        const std::string line(lines[static_cast<std::size_t>(next)]);
        if (auto name = headingName(line)) addEntity(*name, next);
        else ++next;
    }

    std::vector<EntitySpan> spans;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const long first = starts[i];
        if (names[i] == DeclarationsName && declarationsStartWithHeading(lines[static_cast<std::size_t>(first)]))
            continue;
        spans.push_back({names[i], first, entityEnd(lines, first)});
    }
    return spans;
}

}  // namespace editor
