// The scan engine on arbitrary bytes, as a .BAS, a .FRM and a .CLS file at
// each check level: loads, cuts and checks the text, then builds the report
// and prints it. The report never exceeds 128,000 characters, the counters
// agree with the findings filed, and nothing raises an error box.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "support/Recording.h"
#include "platform/Services.h"
#include "scan/clsOculon.h"

namespace {

const char* const Names[] = {"/src/FUZZMOD.BAS", "/src/frmFuzz.frm", "/src/clsFuzz.CLS"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string name = Names[data[0] % 3];
    const int level = 1 + (data[0] / 3) % 3;
    const bool print = (data[0] & 0x80) != 0;
    const std::string source(reinterpret_cast<const char*>(data) + 1, size - 1);

    platform::RecordingDesktop desktop;
    fuzzsupport::InstalledFile file(name, source);
    scan::setCheckLevel(level);
    // One engine for the whole run, as the scanner window keeps one: every
    // Load must start afresh.
    static scan::clsOculon* engine = new scan::clsOculon("/nonexistent/UserDefs.txt");
    engine->Load(name);
    FUZZ_CHECK(engine->sourceRead(), "the file is read");
    const std::string report = engine->sFillMessages();
    FUZZ_CHECK(report.size() <= 128000, "the report stays within 128,000 characters");
    FUZZ_CHECK(engine->errorCount() >= 0 && engine->warningCount() >= 0 && engine->suggestCount() >= 0,
               "counters are not negative");
    if (level == 1) FUZZ_CHECK(engine->warningCount() == 0 && engine->suggestCount() == 0, "level 1 keeps errors only");
    if (level == 2) FUZZ_CHECK(engine->suggestCount() == 0, "level 2 keeps no suggestions");
    if (data[0] & 0x40) {
        // Nothing of one scan leaks into the next.
        engine->Load(name);
        FUZZ_CHECK(engine->sFillMessages() == report, "scanning again gives the same report");
    }
    if (print) {
        platform::RecordingPrinter printer;
        FUZZ_CHECK(engine->sFillMessages("Print Only", printer).empty(), "printing returns no text");
    }
    FUZZ_CHECK(desktop.boxes.shown.empty(), "no error box while scanning");
    return 0;
}
