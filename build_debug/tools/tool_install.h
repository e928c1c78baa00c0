#pragma once
// What the BASIC compiler bridge and the simulator bridge share: file and folder checks, the
// release dates of the files the IDE carries, and installing a dated file (a help file, a
// manual) from the IDE's resources.
//
// A file's date is its modification time, compared in whole seconds.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace workbench {
class MessageStrings;
}

namespace build_debug {

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates the folder with every missing parent; true when it exists afterwards.
[[nodiscard]] bool ForceFolders(const std::string& path);

// The name after the last "/".
std::string FileNameOf(std::string_view path);
// The path with its extension (from the last "." of the name on) replaced by ext, or ext
// appended when the name has none.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// The text in double quotes as the process runner splits it back into exactly that text.
std::string QuotedArgument(std::string_view text);

// A date-time value as the release dates are given: days since 30 December 1899, the fraction
// the time of day, in local time. Whole seconds (rounded).
std::time_t LocalTimeFromDays(double days);
// "2005-10-17 01:42:02": a date as the install questions show it.
std::string DateTimeText(std::time_t when);

std::optional<std::time_t> FileDate(const std::string& path);
// Opens the file for reading and writing and sets its modification time.
[[nodiscard]] bool SetFileDate(const std::string& path, std::time_t when);

// The IDE carries the resource: a tool that is not carried has nothing to install, and its
// start-up asks and says nothing.
bool Carried(const std::string& type, const std::string& name);

// A file the IDE carries with its release date, and the boxes of its install.
struct DatedFile {
  std::string resource_type;
  std::string resource_name;
  std::string file_name;
  std::time_t date;
  std::string folder_title;  // names the folder in "Couldn't create %s directory"
  int update_text_id;        // "... was created %s^^Update to version created %s?"
  int update_caption_id;
  int missing_text_id;  // "... is not on disk.^^The help file created on %s ..."
  int missing_caption_id;
  int date_failed_text_id;
  int date_failed_caption_id;
};

// Writes the file into folder (created when missing) when it is missing, or older than its
// release date and the user agrees; a file written gets the release date. False only when
// the folder can neither be found nor created. A file the IDE does not carry is left as it
// is, without a box; the result then says whether the folder exists.
bool InstallDatedFile(const workbench::MessageStrings& boxes, const std::string& folder,
                      const DatedFile& file);

}  // namespace build_debug
