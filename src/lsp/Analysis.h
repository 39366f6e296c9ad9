#pragma once
// What the server shows of one document: its findings and suppression notes
// as line spans, from the engine's finding records, and how they become the
// protocol's diagnostics.
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lsp/TextDocument.h"
#include "scan/MessageCatalogue.h"
#include "scan/clsOculon.h"

namespace lsp {

// What decides a document's findings.
struct Settings {
    int level = 1;
    std::set<scan::MessageId> ignored;
    std::optional<std::string> userDefs;  // the user definitions file; none: the one the program finds
};

// One diagnostic: a finding of the catalogue, or a note on a suppression comment.
struct Item {
    long firstLine = 0, lastLine = 0;             // 0-based lines of the statement
    const scan::CatalogueEntry* entry = nullptr;  // null for a note
    std::string message;                          // UTF-8
    std::string usage;                            // UTF-8; may be ""
};

// Checks texts with engines of its own (one per user definitions file); one
// per thread.
class Analyser {
public:
    // The unsuppressed findings and the notes of `text` (UTF-8) scanned as
    // the file `path` would be when saved.
    std::vector<Item> check(const std::string& path, const std::string& text, const Settings& settings);

private:
    std::map<std::string, scan::clsOculon> engines_;
};

// The protocol's Diagnostic objects of the items, positions in UTF-16.
nlohmann::json diagnosticsJson(const std::vector<Item>& items, const TextDocument& doc);

// "sifton": the source of every diagnostic.
inline constexpr const char* DiagnosticSource = "sifton";

}  // namespace lsp
