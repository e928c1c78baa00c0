#include "build_debug/debug/gui/debug_trace.h"

Q_LOGGING_CATEGORY(qvDebugOutput, "qvkey.debugoutput", QtInfoMsg)
