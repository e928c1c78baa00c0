#pragma once
// Listing, deleting and copying files. Masks behave as on Windows: "*" any run of characters,
// "?" any one, names compared without regard to case, and a mask ending in ".*" also matches
// a name without extension (so "*.*" matches every name).

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "services/replace_file.h"

namespace workbench {

class FileStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool MatchesMask(std::string_view name, std::string_view mask);

// list := the names (without folder) of the files in folder that match mask, directories
// excluded, in the order the file system gives them; returns their count. A "/" is added to
// folder when it lacks one.
int ListFilesByMask(std::vector<std::string>& list, std::string_view folder, std::string_view mask);

// Deletes every matching file; returns the number of files that could not be deleted, or -1
// (deleting nothing) when mask is empty.
int DeleteFilesByMask(std::string_view folder, std::string_view mask);

// Copies the whole of source into dest (created or replaced whole, so that a failed copy
// leaves an old dest as it was). Throws FileStreamError when source cannot be read or dest
// cannot be written.
void CopyFileByStream(const std::string& source, const std::string& dest,
                      const FileBytesWriter& writer = WriteAllBytes);

// base + extension as it stands in its folder: a file named with an extension may carry it in
// either letter case ("prog.LST" for ".lst"). The exact spelling when that file exists, else
// the first file of the folder whose name differs only in the extension's letter case, else
// nothing.
std::optional<std::string> CompanionFile(const std::string& base, const std::string& extension);

// The file a print to PDF proposes for a source: its name with ".pdf" in its place, in the
// source's folder ("/w/blink.src" -> "/w/blink.pdf").
std::string PrintFileFor(const std::string& source);

// The backup a save makes of source: its whole name with extension added ("/w/prog.src" ->
// "/w/prog.src.bak"), so that two sources differing only in their extension never share one.
// A name too long for that is cut at a character and marked with a check of the whole name,
// keeping the source's extension ("<start>~<16 hex digits>.src.bak").
std::string BackupFileName(const std::string& source, std::string_view extension);

}  // namespace workbench
