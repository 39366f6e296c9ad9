#pragma once
// The entity split of a text held in memory: where the declarations section
// and each procedure begin and end, by the same line rules the editor's
// entity list and entity reading use (EntityRules.h). For clients that show
// a file's structure without opening it in the editor (the language server's
// outline).
#include <string>
#include <string_view>
#include <vector>

namespace editor {

struct EntitySpan {
    std::string name;    // "(declarations)" or the procedure's name
    long firstLine = 0;  // 0-based line of the entity's first line
    long lastLine = 0;   // 0-based line of its last line (its end line, or the line before the next heading)
};

// The entities of `text` (lines end at LF, a CR before it is dropped) as the
// editor lists them for a file named `fileName`, in file order. A declarations
// section that the editor shows empty (its first line is a heading) is left
// out, and so is a form file's description block, which belongs to no entity.
//   entitySpans("Option Explicit\r\nSub A()\r\nEnd Sub\r\n", "m.bas")
//     == {{"(declarations)", 0, 0}, {"A", 1, 2}}
std::vector<EntitySpan> entitySpans(std::string_view text, const std::string& fileName);

}  // namespace editor
