#pragma once
// The settings that a confirmed configuration writes, each by its full name, and the names a
// settings file holds.

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace workbench_test {

inline std::set<std::string> SettingsWrittenOnOk() {
  std::set<std::string> names = {"Configuration\\ComPort",
                                 "Configuration\\IRCcalibration",
                                 "Configuration\\CreateBackups",
                                 "Configuration\\UseNewEditor",
                                 "Configuration\\Fontsize",
                                 "Configuration\\Tabsize",
                                 "Configuration\\ColoredCode",
                                 "Configuration\\CodeColor",
                                 "Configuration\\BoldCode",
                                 "Configuration\\ColoredComments",
                                 "Configuration\\CommentColor",
                                 "Configuration\\ErrorBgColor",
                                 "Configuration\\WarnLoadingKnownTopFile",
                                 "Configuration\\WarnUsingTopFile",
                                 "Configuration\\UseTarn",
                                 "Configuration\\TarnFilesToOutputDir",
                                 "Configuration\\LocalLabelStartCol",
                                 "Configuration\\JumpToAssemblyError",
                                 "Configuration\\SmoothScroll",
                                 "Configuration\\StricterAssemblyParsing",
                                 "Configuration\\UseTemplates",
                                 "Configuration\\RestoreWorkspace",
                                 "Configuration\\QvBasicOutputFiles",
                                 "Configuration\\DefaultEditorType",
                                 "Configuration\\Language"};
  for (char letter = 'A'; letter <= 'P'; ++letter) {
    names.insert(std::string("Configuration\\CustomColors\\Color") + letter);
  }
  return names;
}

// The names of every value the store holds, as its file lists them.
inline std::set<std::string> StoredSettingNames(const std::filesystem::path& file) {
  std::set<std::string> names;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > 1 && line[0] == '"') names.insert(line.substr(1, line.find('"', 1) - 1));
  }
  return names;
}

}  // namespace workbench_test
