#pragma once
// TemplateUnit: the source templates new files start from, "Template.src" (assembly) and
// "Template.qvb" (BASIC) in the folder "Templates/" beside the program. Any other file in that
// folder is a misnamed template and is told in a box.

#include <string>
#include <string_view>

namespace workbench {

class MessageStrings;

class TemplateUnit {
 public:
  explicit TemplateUnit(const MessageStrings& messages) : messages_(messages) {}

  // Makes the folder (with missing parents) when absent and scans it; whether a template was
  // found (false also when the folder cannot be made).
  bool InitTemplates(const std::string& exe_folder);
  // Whether a template was found in folder (which ends with "/").
  bool ScanTemplates(const std::string& folder);
  // The template for ".src" or ".qvb" (without regard to case); empty when there is none.
  std::string TemplateFor(std::string_view ext) const;
  void DoneTemplates() {}

  const std::string& Folder() const { return folder_; }

 private:
  const MessageStrings& messages_;
  std::string folder_;
  std::string assembly_template_;
  std::string basic_template_;
};

}  // namespace workbench
