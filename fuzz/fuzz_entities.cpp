// The entity splitter on arbitrary bytes, as a .BAS, a .FRM and a .PRG file:
// builds the entity list, then reads every entity's text. Every entity must
// start at the beginning of a line, and its text must be a run of whole lines
// of the file, each ending in CR LF, exactly as they stand in the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "editor/SourceDocument.h"
#include "support/Recording.h"
#include "platform/Services.h"

namespace {

const char* const Names[] = {"/src/FUZZ.BAS", "/src/FUZZ.FRM", "/src/FUZZ.PRG"};

void checkEntities(const std::string& name, const std::string& bytes) {
    platform::RecordingDesktop desktop;
    fuzzsupport::InstalledFile file(name, bytes);

    editor::MemoryView view;
    editor::SourceDocument doc(view);
    doc.OpenSourceFile(name, editor::Mode::Entity);

    const auto lines = fuzzsupport::fileLines(bytes);
    FUZZ_CHECK(view.items.size() == doc.entityRecords().size(), "cbProc holds one item per entity");
    std::int64_t previousStart = 0;
    for (std::size_t i = 0; i < doc.entityRecords().size(); ++i) {
        auto record = editor::parseEntityRecord(doc.entityRecords()[i]);
        FUZZ_CHECK(record.has_value(), "entity record parses");
        // The declarations section shares its start with a procedure whose
        // heading is the file's first line (it is then empty, or holds that
        // procedure when the heading is an xBase one it does not recognise).
        FUZZ_CHECK(record->start > previousStart || (record->start == previousStart && i == 1),
                   "entities in file order");
        previousStart = record->start;

        // The line the entity starts at.
        std::size_t first = 0;
        while (first < lines.size() && lines[first].start < record->start) ++first;
        const bool atEnd = first == lines.size() && record->start == static_cast<std::int64_t>(bytes.size()) + 1;
        FUZZ_CHECK(atEnd || (first < lines.size() && lines[first].start == record->start),
                   "entity starts at the beginning of a line");

        std::string text;
        try {
            text = doc.GetEntityText(static_cast<int>(i));
        } catch (const platform::RuntimeError&) {
            // Only an entity recorded at the very end of the file (a form
            // description that never closes) has no line to read.
            FUZZ_CHECK(atEnd, "GetEntityText of a listed entity succeeds");
            continue;
        }
        // The text must be lines first, first+1, ... each with CR LF.
        std::size_t pos = 0;
        std::size_t k = first;
        while (pos < text.size()) {
            FUZZ_CHECK(k < lines.size(), "entity text does not run past the file");
            const std::string expected = lines[k].text + "\r\n";
            FUZZ_CHECK(text.compare(pos, expected.size(), expected) == 0, "entity text is whole lines of the file");
            pos += expected.size();
            ++k;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string name = Names[data[0] % 3];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    checkEntities(name, bytes);
    return 0;
}
