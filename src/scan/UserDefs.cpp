// The user definitions file: control styles and type prefixes that extend
// the built-in tables.
#include <memory>

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {

// The lines before a line starting ";VARIABLE_PREFIXES" are control styles,
// stored as entry_entry_...; the lines after it, up to one starting
// ";CONTROL_STYLES", are type prefixes, stored trimmed as _entry_entry_...
// Other lines starting ";" are comments. A file that cannot be read is no
// fault: the lists keep what was read (both "" when it cannot be opened).
void clsOculon::Class_Initialize(const std::string& userDefsPath) {
    msControlStyles.clear();
    msVariablePrefixes.clear();
    try {
        std::unique_ptr<platform::InputFile> file = platform::files().openRead(userDefsPath);
        std::string sLine;
        while (file->readLine(sLine)) {
            if (sLine.rfind(";VARIABLE_PREFIXES", 0) == 0) break;
            if (sLine.empty() || sLine[0] != ';') msControlStyles += sLine + "_";
        }
        msVariablePrefixes.assign(1, '_');
        while (file->readLine(sLine)) {
            if (sLine.rfind(";CONTROL_STYLES", 0) == 0) break;
            if (sLine.empty() || sLine[0] != ';') msVariablePrefixes += textlib::Trim(sLine) + "_";
        }
    } catch (const std::exception&) {
        // Not reported: the built-in tables apply.
    }
}

}  // namespace scan
