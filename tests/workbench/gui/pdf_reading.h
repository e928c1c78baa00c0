#pragma once
// Reading back a PDF file that a print wrote: its page count from the file's own page objects,
// and the text of each page as the poppler tools extract it.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace testing_gui {

inline std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every page object, and only those, is "/Type /Page" not followed by "s".
inline int PdfPageCount(const std::string& file) {
  const std::string bytes = ReadBytes(file);
  const std::string key = "/Type /Page";
  int pages = 0;
  for (std::size_t at = bytes.find(key); at != std::string::npos; at = bytes.find(key, at + 1))
    if (at + key.size() >= bytes.size() || bytes[at + key.size()] != 's') ++pages;
  return pages;
}

// The lines of text of each page, blank lines dropped; none when pdftotext is not installed.
inline std::optional<std::vector<std::vector<std::string>>> PdfPageLines(const std::string& file) {
  if (std::system("pdftotext -v > /dev/null 2>&1") != 0) return std::nullopt;
  const std::string command = "pdftotext -layout '" + file + "' -";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  if (::pclose(pipe) != 0) return std::nullopt;
  // Pages end with a form feed.
  std::vector<std::vector<std::string>> pages(1);
  std::string line;
  const auto end_line = [&] {
    if (line.find_first_not_of(' ') != std::string::npos) pages.back().push_back(line);
    line.clear();
  };
  for (const char c : text) {
    if (c == '\n') {
      end_line();
    } else if (c == '\f') {
      end_line();
      pages.emplace_back();
    } else {
      line += c;
    }
  }
  end_line();
  if (pages.back().empty()) pages.pop_back();
  return pages;
}

}  // namespace testing_gui
