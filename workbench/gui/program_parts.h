#pragma once
// The windows of build, program and debug, and their ties to the main window and the key: the
// forms the program makes above the workbench, and what binds them once every form exists
// (the key worker's reports, the run commands' windows, the debug windows' menu commands).
// The program runs with these; a test that wants the program's own ties makes them here too.

#include "workbench/gui/application.h"

namespace platform {
class EventPoster;
}

namespace gui {

ProgramParts BuildDebugParts(platform::EventPoster& events);

}  // namespace gui
