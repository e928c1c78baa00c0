#include "workbench/start_up.h"

#include <algorithm>
#include <filesystem>

#include "platform/message_box.h"
#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/file_routines.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "workbench/command_line.h"

namespace workbench {
namespace {

bool Exists(const std::string& file) {
  std::error_code error;
  return !file.empty() && std::filesystem::is_regular_file(file, error);
}

}  // namespace

std::string DebugModeText() {
  return "DEBUG mode has been enabled.\r"
         "At numerous places in the program, dialog boxes will come up that\r"
         "say what the program is about to do internally.\r"
         "\r"
         "If the program crashes, tell Kestrian what the last message box said before the "
         "crash\r"
         "and what it said in the titlebar of the dialog.";
}

DebugSwitch ReadDebugSwitch(const std::vector<std::string>& parameters) {
  DebugSwitch result;
  if (parameters.size() != 1) return result;
  const std::string word = platform::UpperAscii(parameters[0]);
  result.on = word == "/DEBUG" || word == "/DEBUG_NO_FILELIST";
  result.hide_file_list = word == "/DEBUG_NO_FILELIST";
  return result;
}

void DebugBoxes::Report(const std::string& text, const std::string& caption) const {
  if (globals_.DebugMode) boxes_.Show({text, caption, platform::BoxButtons::Ok});
}

ScreenBounds FirstRunBounds(int screen_width, int screen_height, int least_width) {
  ScreenBounds bounds{screen_width / 4, screen_height / 8, screen_width / 2, screen_height * 3 / 4};
  if (bounds.width < least_width) {
    bounds.width = std::min(least_width, screen_width);
    bounds.left = (screen_width - bounds.width) / 2;
  }
  return bounds;
}

CommandLineActions::CommandLineActions(GlobalValues& globals, const Localizer& texts,
                                       const MessageStrings& messages,
                                       platform::MessageBoxService& boxes, SetComPort set_com_port)
    : globals_(globals),
      texts_(texts),
      messages_(messages),
      boxes_(boxes),
      set_com_port_(std::move(set_com_port)) {}

void CommandLineActions::Run(const std::vector<std::string>& parameters, T_ZKCmdLineParse& parser,
                             CommandLineRequests& requests) const {
  (void)parser.ParseCommandLine(parameters);
  ShowParseErrors(parser, boxes_);
  if (parser.Count() == 0) return;
  globals_.CommandLineFile.clear();
  bool hide_asked = false;
  for (int i = 0; i < parser.Count(); ++i) {
    const T_CLP entry = parser.GetEntry(i);
    switch (entry.Code) {
      case kCmdShowParsed: ShowParsedCommandLine(parser, boxes_); break;
      case kCmdComPort:
        requests.ComPort = entry.Value;
        set_com_port_(entry.Value);
        break;
      case kCmdHideGui: hide_asked = true; break;
      case kCmdWrenfield:
        globals_.WrenfieldMode = true;
        globals_.IdeOptions.UseTarn = false;
        break;
      case kCmdReadOnly: requests.ReadOnly = true; break;
      case kCmdLoadFile: LoadFile(entry.Value, requests); break;
      case kCmdDebugChip: requests.DebugRequested = true; break;
      case kCmdDebugAgainChip: requests.DebugAgainRequested = true; break;
      case kCmdProgramChip: requests.ProgramRequested = true; break;
      case kCmdVerifyChip: requests.VerifyRequested = true; break;
      default: break;
    }
  }
  // A hidden window closes itself only when a chip action ends; with nothing to do it would
  // stay hidden for ever, so it shows.
  const bool action =
      requests.DebugRequested || requests.DebugAgainRequested || requests.ProgramRequested;
  if (hide_asked && !action && !globals_.CommandLineFile.empty()) {
    boxes_.Show(
        {"Request to hide GUI ignored", "Command Line Parse Errors", platform::BoxButtons::Ok});
    hide_asked = false;
  }
  requests.HideWindow = hide_asked;
}

void CommandLineActions::LoadFile(std::string name, CommandLineRequests& requests) const {
  namespace ids = string_ids::EditorUnit;
  // Extensions are matched in either letter case, as the names were typed on the system the
  // sources came from.
  if (std::filesystem::path(name).extension().empty()) {
    const std::string extension =
        texts_.LU_GetString(globals_.WrenfieldMode ? ids::SCU_EXT_COD : ids::SCU_EXT_SRC);
    name = CompanionFile(name, extension).value_or(name + extension);
  }
  globals_.CommandLineFile = name;
  if (!Exists(name)) {
    (void)messages_.MsgBoxById1(ids::SCU_COMMAND_LINE_FILE_MISSING, ids::SCU_COMMAND_LINE_CAPTION,
                                name);
    globals_.CommandLineFile.clear();
  }
  if (!globals_.CommandLineFile.empty() && globals_.WrenfieldMode &&
      !CompanionFile(std::filesystem::path(name).replace_extension().string(), ".LST")) {
    (void)messages_.MsgBoxById(ids::SCU_COD_NEEDS_LST, ids::SCU_FILE_NOT_FOUND_CAPTION);
    globals_.CommandLineFile.clear();
  }
  if (globals_.CommandLineFile.empty()) {
    requests.ReadOnly = false;
    globals_.WrenfieldMode = false;
  }
}

}  // namespace workbench
