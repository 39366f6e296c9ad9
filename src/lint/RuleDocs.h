#pragma once
// What each rule of the catalogue is about, for people: what it checks, why a
// team would care, and a short example that files it beside the same code
// written so that it does not. One table feeds `sifton --explain RULE`, the
// rules of the SARIF output (full description and help), the manual page and
// the language server's hover text.
#include <span>
#include <string>
#include <string_view>

#include "scan/MessageCatalogue.h"

namespace lint {

struct RuleDoc {
    const char* id;      // "SF022", as scan::ruleId names the catalogue row
    const char* checks;  // what the rule checks, in one or two sentences
    const char* why;     // why a team would care
    const char* file;    // the file name the examples are scanned as ("modMain.bas")
    const char* fires;   // lines that file the finding ("\n" between lines)
    const char* passes;  // the same code written so that it does not
};

// Every entry, in catalogue order.
std::span<const RuleDoc> ruleDocs();

// The entry of a rule id, in any case ("sf004b"); null when there is none.
const RuleDoc* ruleDoc(std::string_view id);

// The catalogue row an entry documents.
const scan::CatalogueEntry& catalogueRow(const RuleDoc& doc);

// The entry as plain text: a head line (id, grade, text), what it checks, why,
// and the two examples indented by four blanks. Ends with a line end.
std::string explainText(const RuleDoc& doc);

// The same in Markdown, the examples as fenced code.
std::string explainMarkdown(const RuleDoc& doc);

// Every entry as a section of a manual page (roff), one tagged paragraph each.
std::string rulesManSection();

}  // namespace lint
