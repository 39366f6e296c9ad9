#pragma once
// The output formats of a command-line scan. Each turns the records of one
// file, as they come, into its piece of the output; the pieces of all files, in order,
// between the format's opening and closing text, make the whole output.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lint/Findings.h"

namespace lint {

enum class Format { Report, Gcc, Json, Sarif };

// "report", "gcc", "json", "sarif".
std::optional<Format> parseFormat(const std::string& name);

// What the closing text of a format counts.
struct Totals {
    long files = 0;       // files scanned
    long unreadable = 0;  // inputs that could not be read
    Counts counts;        // findings reported
};

// Where a file's piece of the output goes, as it is made.
using PieceOut = std::function<void(std::string_view text)>;

// The piece of one file, made as the file's findings come, so that no piece
// need be held whole.
class FilePiece {
public:
    virtual ~FilePiece() = default;
    // The file's next findings (the suppressed ones marked), in filing order;
    // a line's findings come one after another. Their texts are valid during
    // the call only.
    virtual void findings(const std::vector<Finding>& batch) = 0;
    // The end of the file: `result` holds its path, internal name, line
    // count and notes (its findings came before), `counts` the findings
    // reported, `report` the engine's report text (used by the report format
    // only).
    virtual void finish(const FileResult& result, const Counts& counts, std::string report) = 0;
};

class FormatWriter {
public:
    virtual ~FormatWriter() = default;
    virtual std::string opening() const { return ""; }
    // The piece of the file `path`, written to `out` as it is made. Called
    // from several workers at once.
    virtual std::unique_ptr<FilePiece> file(const std::string& path, PieceOut out) const = 0;
    // Written between two non-empty pieces.
    virtual std::string separator() const { return ""; }
    virtual std::string closing(const Totals& totals) const {
        (void)totals;
        return "";
    }
};

std::unique_ptr<FormatWriter> makeWriter(Format format);

// A JSON string literal of 8-bit text read as Windows-1252, quotes included.
std::string jsonString(std::string_view text);
// The same for a file name: as it is when it is UTF-8, as the system reads
// it; otherwise read as Windows-1252.
std::string jsonPath(const std::string& path);

// The program's version, as the machine formats name it ("5.0").
const char* toolVersion();

}  // namespace lint
