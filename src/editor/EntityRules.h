#pragma once
// The line rules that divide a source file into entities. Three recognizers
// of procedure headings exist, each with its own keyword table, and they
// differ on purpose in detail:
//   - headingName        : which line starts a new entry of the entity list;
//   - classifyListLine   : where the list builder stops scanning an entity's body;
//   - classifyBodyLine   : where reading an entity's text stops (the save skips
//                          the old entity by the same rule, so that it replaces
//                          exactly the lines that reading showed).
// "Blank" is the space character only; case is folded for ASCII letters only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class InputFile;
}

namespace editor {

// text without leading and trailing spaces.
std::string_view trimBlanks(std::string_view text);
// True when text begins with prefix, without regard to case.
bool startsWithText(std::string_view text, std::string_view prefix);
// True when text contains search, without regard to case.
bool containsText(std::string_view text, std::string_view search);

// The name of the entity that a line between entities starts, or nullopt.
// "Private Sub cmdOK_Click()" -> "cmdOK_Click"; "FUNCTION CalcTax(n)" ->
// "CalcTax"; "Public Property Get X" -> nullopt; "Private M As Long" -> "As".
std::optional<std::string> headingName(const std::string& line);

// How the list builder sees a line inside an entity's body.
enum class ListLine { Body, Heading, End };
ListLine classifyListLine(std::string_view line);

// How reading an entity's text sees a line after the entity's first line.
enum class BodyLine { Text, End, Heading };
BodyLine classifyBodyLine(std::string_view line);

// True when the first line of the declarations section is itself a procedure
// heading, so that the section is empty. A blank line never is.
bool declarationsStartWithHeading(std::string_view firstLine);

// Reads a line; raises "Input past end of file" when there is none.
void lineInput(platform::InputFile& in, std::string& line);

// Reads one entity from the current position of `in` as the editor shows it:
// its first line unexamined (for the declarations: none at all when that line
// is a heading), then every line through its end line, stopping before the
// next heading. Appends the lines, each with CR LF, to *text when text is
// given, and leaves `in` just after the entity's last line.
void readEntity(platform::InputFile& in, bool declarations, std::string* text);
// The same after the first line has been consumed.
void readEntityBody(platform::InputFile& in, std::string* text);

}  // namespace editor
