#pragma once
// Writing a resource the program carries to a file, and reading a text resource into lines.
// Resources are found by type and name (platform::FindTypedResource).

#include <string>
#include <string_view>
#include <vector>

namespace platform {
class MessageBoxService;
}

namespace workbench {

// Writes the resource to file_name (created or replaced) and returns true only when the file
// now holds it. The new content goes to a temporary file beside the target that is renamed
// over it, so a failed write never leaves a broken file; type "EXE" gets the execute bits.
// A missing resource: box "Couldn't find resource called "<name>"", false. A file that cannot
// be written: box "<file name> is in use.  Unable to save to disk.", false. Both boxes have
// the caption "Resource Problems".
bool SaveResourceToFile(const std::string& type, const std::string& name,
                        const std::string& file_name, platform::MessageBoxService& boxes);

// The lines of a text as the class library's string lists take them (one definition, in
// localize.cpp, which splits the string tables the same way).
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace workbench
