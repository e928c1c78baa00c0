#pragma once
// The configuration values that the other units test, as the settings store loads them.
// Each field is added beside the unit that reads it.

namespace workbench {

struct EditorOptions {};

struct IdeOptions {};

}  // namespace workbench
