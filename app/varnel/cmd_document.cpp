// TEAM NOTE FOR THE DOCUMENT DEVELOPER (delete this note when you replace the stub):
// your brief was sent without its rules section. READ /tmp/TEAM-RULES.md NOW and follow it
// (own build dir build-<name>, commit only your own paths, never mention the specification in code).
// --entities, --entity and --save-entity (the document logic).
#include <iostream>
#include "Commands.h"

int cmdEntities(const std::string&) { std::cerr << "varnel: --entities is not built yet\n"; return 1; }
int cmdEntity(const std::string&, const std::string&) { std::cerr << "varnel: --entity is not built yet\n"; return 1; }
int cmdSaveEntity(const std::string&, const std::string&, const std::optional<std::string>&) {
    std::cerr << "varnel: --save-entity is not built yet\n";
    return 1;
}
