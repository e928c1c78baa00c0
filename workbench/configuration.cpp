#include "workbench/configuration.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <variant>

#include "platform/text.h"

namespace workbench {
namespace {

using C = ConfigurationControls;
using Member = std::variant<bool C::*, int C::*>;

struct SettingRow {
  const char* name;  // below "Configuration\"
  Member control;
};

// The settings of the controls, in the order OK writes them.
// clang-format off
const SettingRow kSettings[] = {
    {"CreateBackups",           &C::CreateBackupCB},
    {"UseNewEditor",            &C::UseNewEditorCB},
    {"Fontsize",                &C::FontsizeUpDown},
    {"Tabsize",                 &C::TabsizeUpDown},
    {"ColoredCode",             &C::ColorCodeCB},
    {"CodeColor",               &C::CodeColorPNL},
    {"BoldCode",                &C::CodeBoldCB},
    {"ColoredComments",         &C::ColorCommentsCB},
    {"CommentColor",            &C::CommentColorPNL},
    {"ErrorBgColor",            &C::ErrorBgColorPNL},
    {"WarnLoadingKnownTopFile", &C::WarnLoadingKnownTopFileCB},
    {"WarnUsingTopFile",        &C::WarnUsingTopFileCB},
    {"UseTarn",                 &C::UseTarnCB},
    {"TarnFilesToOutputDir",    &C::TarnOutputFilesCB},
    {"LocalLabelStartCol",      &C::LocalLabelStartColCB},
    {"JumpToAssemblyError",     &C::JumpToErrorCB},
    {"SmoothScroll",            &C::SmoothScrollCB},
    {"StricterAssemblyParsing", &C::StricterAssemblyParsingCB},
    {"UseTemplates",            &C::UseTemplatesCB},
    {"RestoreWorkspace",        &C::RestoreWorkspaceCB},
    {"QvBasicOutputFiles",      &C::QvBasicOutputFilesCB},
    {"DefaultEditorType",       &C::DefaultEditorTypeRDGRP},
    {"Language",                &C::LanguageRDGRP},
};
// clang-format on

const std::string kPrefix = "Configuration\\";
const std::string kCustomColorPrefix = "Configuration\\CustomColors\\Color";
constexpr Colour kCustomColorDefault = 0x808080;

char Letter(int index) { return static_cast<char>('A' + index); }

// A stored number as the control takes it: an up-down clamps to its range; a radio group
// whose index lies beyond its items selects the first.
int AsControlTakesIt(const std::string& name, int value) {
  if (name == "Fontsize") return std::clamp(value, kFontsizeMin, kFontsizeMax);
  if (name == "Tabsize") return std::clamp(value, kTabsizeMin, kTabsizeMax);
  if (name == "DefaultEditorType")
    return (value >= 0 && value < kDefaultEditorTypeItems) ? value : 0;
  if (name == "Language") return (value >= 0 && value < kLanguageItems) ? value : 0;
  return value;
}

}  // namespace

void KeptKeyLinkChoices::SetComPort(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  // Digits beyond what a port number can be are not a port; the name still shows them.
  if (!digits.empty() && digits.size() <= 9) port_number_ = std::stoi(digits);
  port_name_ = "COM" + digits;
}

std::array<std::string, kCustomColorCount> ConfigurationControls::DefaultCustomColors() {
  std::array<std::string, kCustomColorCount> lines;
  for (int i = 0; i < kCustomColorCount; ++i) lines[i] = CustomColorLine(i, kCustomColorDefault);
  return lines;
}

std::string CustomColorLine(int index, Colour colour) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(colour) & 0xFFFFFFu);
  return std::string("Color") + Letter(index) + "=" + hex;
}

Colour CustomColorValue(const std::string& line, Colour fallback) {
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos || line.size() - equals - 1 != 6) return fallback;
  Colour value = 0;
  for (std::size_t i = equals + 1; i < line.size(); ++i) {
    const int digit = platform::HexDigitValue(line[i]);
    if (digit < 0) return fallback;
    value = value * 16 + digit;
  }
  return value;
}

bool ReadKeyLinkSettings(const RegistrySettings& registry, KeyLinkChoices& link) {
  std::string port;
  const bool first_run = !registry.ReadRegString(kComPortSetting, port);
  // The empty value a first run without ports leaves names no port: the link keeps its own.
  if (!first_run && !port.empty()) link.SetComPort(port);
  std::int32_t mode = 0;
  if (registry.ReadRegInt(kIrcCalibrationSetting, mode)) {
    link.SetIrcCalMode(static_cast<std::uint8_t>(mode & 0xFF));
  }
  return first_run;
}

void ReadSettings(const RegistrySettings& registry, ConfigurationControls& controls,
                  bool wrenfield_mode) {
  for (const SettingRow& row : kSettings) {
    std::int32_t value = 0;
    if (!registry.ReadRegInt(kPrefix + row.name, value)) continue;
    if (const auto* flag = std::get_if<bool C::*>(&row.control)) {
      controls.*(*flag) = value != 0;
    } else {
      controls.*std::get<int C::*>(row.control) = AsControlTakesIt(row.name, value);
    }
  }
  if (wrenfield_mode) controls.UseTarnCB = false;

  controls.CustomColors = ConfigurationControls::DefaultCustomColors();
  for (int i = 0; i < kCustomColorCount; ++i) {
    std::string line;
    if (registry.ReadRegString(kCustomColorPrefix + Letter(i), line))
      controls.CustomColors[i] = line;
  }
}

void ControlsToRecords(const ConfigurationControls& c, EditorOptions& editor, IdeOptions& ide,
                       bool wrenfield_mode) {
  editor.UseNewEditor = c.UseNewEditorCB;
  editor.Fontsize = c.FontsizeUpDown;
  editor.Tabsize = c.TabsizeUpDown;
  editor.ColoredCode = c.ColorCodeCB;
  editor.CodeColor = c.CodeColorPNL;
  editor.BoldCode = c.CodeBoldCB;
  editor.ColoredComments = c.ColorCommentsCB;
  editor.CommentColor = c.CommentColorPNL;
  editor.ErrorBgColor = c.ErrorBgColorPNL;

  ide.CreateBackups = c.CreateBackupCB;
  ide.UseTarn = c.UseTarnCB && !wrenfield_mode;
  ide.TarnFilesToOutputDir = c.TarnOutputFilesCB;
  ide.LocalLabelStartCol = c.LocalLabelStartColCB;
  ide.StricterAssemblyParsing = c.StricterAssemblyParsingCB;
  ide.JumpToAssemblyError = c.JumpToErrorCB;
  ide.SmoothScroll = c.SmoothScrollCB;
  ide.WarnLoadingKnownTopFile = c.WarnLoadingKnownTopFileCB;
  ide.WarnUsingTopFile = c.WarnUsingTopFileCB;
  ide.UseTemplates = c.UseTemplatesCB;
  ide.RestoreWorkspace = c.RestoreWorkspaceCB;
  ide.DefaultIsAssembly = (c.DefaultEditorTypeRDGRP ^ 1) & 1;
  ide.QvBasicOutputFiles = c.QvBasicOutputFilesCB;
}

void RecordsToControls(const EditorOptions& editor, const IdeOptions& ide,
                       ConfigurationControls& c) {
  c.UseNewEditorCB = editor.UseNewEditor;
  c.FontsizeUpDown = editor.Fontsize;
  c.TabsizeUpDown = editor.Tabsize;
  c.ColorCodeCB = editor.ColoredCode;
  c.CodeColorPNL = editor.CodeColor;
  c.CodeBoldCB = editor.BoldCode;
  c.ColorCommentsCB = editor.ColoredComments;
  c.CommentColorPNL = editor.CommentColor;
  c.ErrorBgColorPNL = editor.ErrorBgColor;

  c.CreateBackupCB = ide.CreateBackups;
  c.UseTarnCB = ide.UseTarn;
  c.TarnOutputFilesCB = ide.TarnFilesToOutputDir;
  c.LocalLabelStartColCB = ide.LocalLabelStartCol;
  c.StricterAssemblyParsingCB = ide.StricterAssemblyParsing;
  c.JumpToErrorCB = ide.JumpToAssemblyError;
  c.SmoothScrollCB = ide.SmoothScroll;
  c.WarnLoadingKnownTopFileCB = ide.WarnLoadingKnownTopFile;
  c.WarnUsingTopFileCB = ide.WarnUsingTopFile;
  c.UseTemplatesCB = ide.UseTemplates;
  c.RestoreWorkspaceCB = ide.RestoreWorkspace;
  c.DefaultEditorTypeRDGRP = ide.DefaultIsAssembly ? 0 : 1;
  c.QvBasicOutputFilesCB = ide.QvBasicOutputFiles;
}

bool SaveSettings(RegistrySettings& registry, KeyLinkChoices& link,
                  const ConfigurationControls& controls, EditorOptions& editor, IdeOptions& ide,
                  bool wrenfield_mode) {
  auto burst = registry.Burst();
  bool ok = true;
  link.SetIrcCalMode(static_cast<std::uint8_t>(controls.IrcRDGRP));
  // Without a chosen item (the stored port is not attached now) the link keeps its port:
  // handing it the bare "COM" would leave no port to open for the rest of the run.
  if (!controls.PortRDGRP.empty()) link.SetComPort(controls.PortRDGRP);
  const std::string port = link.GetComPortName();
  if (!controls.PortRDGRP.empty() && port != "COM") {
    ok &= registry.WriteRegString(kComPortSetting, port);
  } else if (!registry.RegKeyExists(kComPortSetting)) {
    ok &= registry.WriteRegString(kComPortSetting, "");
  }
  ok &= registry.WriteRegInt(kIrcCalibrationSetting, controls.IrcRDGRP);

  ControlsToRecords(controls, editor, ide, wrenfield_mode);

  for (const SettingRow& row : kSettings) {
    if (wrenfield_mode && std::string_view(row.name) == "UseTarn") continue;  // forced, not chosen
    std::int32_t value;
    if (const auto* flag = std::get_if<bool C::*>(&row.control)) {
      value = (controls.*(*flag)) ? 1 : 0;
    } else {
      value = controls.*std::get<int C::*>(row.control);
    }
    ok &= registry.WriteRegInt(kPrefix + row.name, value);
  }
  for (int i = 0; i < kCustomColorCount; ++i) {
    ok &= registry.WriteRegString(kCustomColorPrefix + Letter(i), controls.CustomColors[i]);
  }
  return burst.End() && ok;
}

int FindPortItem(const std::vector<std::string>& items, const std::string& port_name) {
  auto normalized = [](const std::string& s) {
    std::string out;
    for (char c : s) {
      if (c == '&') continue;
      out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
  };
  const std::string wanted = normalized(port_name);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (normalized(items[i]) == wanted) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace workbench
