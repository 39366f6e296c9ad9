// Whole level-3 reports of a realistic form, class and module.
#include "RuleTestSupport.h"
