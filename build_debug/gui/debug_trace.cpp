#include "build_debug/gui/debug_trace.h"

Q_LOGGING_CATEGORY(qvDebugOutput, "qvkey.debugoutput", QtInfoMsg)
