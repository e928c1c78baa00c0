#pragma once
// Writing a file whole without ever leaving it half written: the bytes go to a new file in
// the same folder, which is renamed over the old one only once it holds all of them. A full
// disk or a crash mid-write leaves the old file as it was.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace workbench {

// Writes all bytes to an open file descriptor; false on any failure. Tests put a failing one
// in place of the real one.
using FileBytesWriter = std::function<bool(int fd, std::string_view bytes)>;

bool WriteAllBytes(int fd, std::string_view bytes);

// The FNV-1a 64-bit check of bytes: what marks a save's own temporaries, and a backup's name
// where the whole name does not fit.
std::uint64_t CheckOfBytes(std::string_view bytes);

// The permissions a new file is created with (less the umask): a plain file, or a program.
constexpr unsigned kPlainFileMode = 0666;
constexpr unsigned kProgramFileMode = 0777;

// Replaces (or creates) file_name with bytes. A new file gets create_mode; a file that existed
// keeps its permissions, owner and group, and a program may be run by whoever may read it.
// Through a symbolic link the file it names is replaced and the link stays. A file with other
// hard links, or one whose owner the saver cannot give to a new file, is written over in place
// once a full copy of its old bytes is on disk. On failure the old file keeps its bytes, no
// temporary file stays behind and reason says why; a whole temporary that a killed save left
// in the folder is removed.
[[nodiscard]] bool ReplaceFileContents(const std::string& file_name, std::string_view bytes,
                                       std::string& reason,
                                       const FileBytesWriter& writer = WriteAllBytes,
                                       unsigned create_mode = kPlainFileMode);

}  // namespace workbench
