// Saving an entity, unchanged, under the file's own name, on arbitrary bytes
// as a .BAS, a .FRM and a .PRG file. No line of the file may be lost or
// duplicated: the saved file holds the same lines as before (a save adds an
// empty line after the entity and writes the form description without its
// indentation, so lines are compared trimmed and empty ones are left out),
// the ".BAK" holds the old file, and a save that fails leaves the file as it was.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "FuzzSupport.h"
#include "editor/SourceDocument.h"
#include "support/Recording.h"
#include "platform/Services.h"

namespace {

const char* const Names[] = {"/src/FUZZ.BAS", "/src/FUZZ.FRM", "/src/FUZZ.PRG"};

std::map<std::string, int> lineCounts(const std::string& bytes) {
    std::map<std::string, int> counts;
    for (const auto& line : fuzzsupport::fileLines(bytes)) {
        const std::size_t b = line.text.find_first_not_of(' ');
        if (b == std::string::npos) continue;
        ++counts[line.text.substr(b, line.text.find_last_not_of(' ') - b + 1)];
    }
    return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string name = Names[data[0] % 3];
    const int entity = data[1] % 8;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

    platform::RecordingDesktop desktop;
    fuzzsupport::InstalledFile file(name, bytes);

    editor::MemoryView view;
    editor::SourceDocument doc(view);
    doc.OpenSourceFile(name, editor::Mode::Entity);
    if (entity >= static_cast<int>(doc.entityRecords().size())) return 0;
    if (entity > 0) doc.cbProc_Click(entity);
    desktop.boxes.clear();
    doc.txtEdit_Change();
    const bool saved = doc.mnuFileSave_Click();

    const std::string after = file.fs.get(name);
    if (!saved) {
        FUZZ_CHECK(after == bytes, "a failed save leaves the file");
        return 0;
    }
    FUZZ_CHECK(file.fs.get("/src/FUZZ.BAK") == bytes, "the backup holds the old file");
    FUZZ_CHECK(lineCounts(after) == lineCounts(bytes), "no line lost or duplicated");
    return 0;
}
