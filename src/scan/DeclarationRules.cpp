// Declaration rules: variable declarations, member lines of the form
// "name As type", constants, and the check of a name against its type.
#include "scan/clsOculon.h"

namespace scan {

std::string clsOculon::msTypePrefixFor(const std::string&) { return "UDT"; }

void clsOculon::mCheckTypeAgainstName(const std::string&, const std::string&, tSourceLine&,
                                      const std::optional<std::string>&, bool) {}

void clsOculon::mVariableRules(tSourceLine&) {}

void clsOculon::mTypeRules(tSourceLine&) {}

void clsOculon::mConstantRules(tSourceLine&) {}

}  // namespace scan
