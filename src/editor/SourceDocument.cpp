#include "editor/SourceDocument.h"
