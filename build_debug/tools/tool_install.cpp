#include "build_debug/tools/tool_install.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "platform/message_box.h"
#include "platform/resources.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"
#include "services/resource_files.h"

namespace build_debug {
namespace {

namespace fs = std::filesystem;

}  // namespace

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool FolderExists(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool ForceFolders(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  return FolderExists(path);
}

std::string FileNameOf(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    dot = path.size();
  return std::string(path.substr(0, dot)) + std::string(ext);
}

std::string QuotedArgument(std::string_view text) {
  // Backslashes are literal except in front of a double quote, where they escape in pairs.
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::time_t LocalTimeFromDays(double days) {
  using namespace std::chrono;
  double whole = std::floor(days);
  long long seconds = std::llround((days - whole) * 86400.0);
  year_month_day date{sys_days{1899y / December / 30} +
                      std::chrono::days{static_cast<long long>(whole)}};
  std::tm fields{};
  fields.tm_year = static_cast<int>(date.year()) - 1900;
  fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  fields.tm_sec = static_cast<int>(seconds);  // mktime carries seconds into hours
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

std::string DateTimeText(std::time_t when) {
  std::tm fields{};
  if (!::localtime_r(&when, &fields)) return std::string();
  char text[32];
  std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
  return std::string(text, length);
}

std::optional<std::time_t> FileDate(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return status.st_mtim.tv_sec;
}

bool SetFileDate(const std::string& path, std::time_t when) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
  bool ok = ::futimens(fd, times) == 0;
  return (::close(fd) == 0) && ok;
}

bool Carried(const std::string& type, const std::string& name) {
  return platform::FindTypedResource(type, name).has_value();
}

bool InstallDatedFile(const workbench::MessageStrings& boxes, const std::string& folder,
                      const DatedFile& file) {
  namespace tarn_ids = string_ids::TarnUnit;
  if (!Carried(file.resource_type, file.resource_name)) return FolderExists(folder);
  if (!FolderExists(folder) && !ForceFolders(folder)) {
    boxes.MsgBoxById2(tarn_ids::SCU_CREATE_DIR_FAILED, tarn_ids::SCU_CREATE_DIR_FAILED_CAPTION,
                      file.folder_title, folder);
    return false;
  }
  std::string path = folder + file.file_name;
  bool update = false;
  if (FileExists(path)) {
    std::optional<std::time_t> date = FileDate(path);
    if (date && *date < file.date) {
      update = boxes.YesNoBoxById2(file.update_text_id, file.update_caption_id, DateTimeText(*date),
                                   DateTimeText(file.date)) == platform::kAnswerYes;
    }
  } else {
    boxes.MsgBoxById1(file.missing_text_id, file.missing_caption_id, DateTimeText(file.date));
    update = true;
  }
  // Only a file just written gets the release date: dating a copy that could not be
  // replaced would make an old file pass for the new one from then on.
  if (update &&
      workbench::SaveResourceToFile(file.resource_type, file.resource_name, path,
                                    boxes.Service()) &&
      FileExists(path) && !SetFileDate(path, file.date)) {
    boxes.MsgBoxById(file.date_failed_text_id, file.date_failed_caption_id);
  }
  return true;
}

}  // namespace build_debug
