// Procedure rules: procedure heads and their parameters, and the checks on
// ordinary statement lines.
#include "scan/clsOculon.h"

namespace scan {

void clsOculon::mParmRules(tSourceLine&) {}

void clsOculon::mAssignmentAndCallRules(tSourceLine&) {}

}  // namespace scan
