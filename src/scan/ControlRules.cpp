// Control rules: control names against their class, and access keys on the
// captions of command buttons and menu items.
#include "scan/clsOculon.h"

namespace scan {

std::string clsOculon::msControlPrefixFor(const std::string&) { return "???"; }

void clsOculon::mControlRules(tSourceLine&) {}

void clsOculon::mCritiqueControl(long&, const std::string&) {}

void clsOculon::mCritiqueControlProperty(long, const std::string&, const std::string&, const std::string&) {}

}  // namespace scan
