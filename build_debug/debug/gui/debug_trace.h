#pragma once
// The debug-output channel: the trace lines the debug windows write when they are shown or
// activated. Off unless enabled, e.g. QT_LOGGING_RULES="qvkey.debugoutput.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(qvDebugOutput)
