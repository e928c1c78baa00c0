#include "build_debug/debug/zk_code_unit.h"

#include <filesystem>

#include "instruction_set/mnemonic_rows.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"

namespace build_debug {

namespace {
constexpr int kNop = instruction_set::NativeTemplate("NOP");
}

std::string ListWindow::ListFileName(const std::string& source) const {
  return tarn_.TarnGetOutputDir() + std::filesystem::path(source).stem().string() + ".lst";
}

int ListWindow::LineOfAddress(int address) const {
  const int line = tarn_.MapListingLineAt(tarn_.FindMapByAddress(address));
  return line > 0 ? line - 1 : -1;
}

int ListWindow::AddressOfLine(int line) const {
  return tarn_.MapAddressAt(tarn_.FindMapByLine(line + 1));
}

void ListWindow::UpdateMarks() {
  const DebugState& live = debug_.Live();
  break_line_ = live.BreakAddress == AddressNone ? -1 : LineOfAddress(live.BreakAddress);
  next_run_line_ = LineOfAddress(live.PD ? live.PC + 1 : live.PC);
}

bool ListWindow::CanChange() const {
  return debug_.LastStatus() == kStatusStopped && debug_.FreshData();
}

void ListWindow::Click(int line, bool alt_left) {
  if (!CanChange()) return;
  const int address = AddressOfLine(line);
  if (address < 0) return;
  if (alt_left) {
    debug_.SetProgramCounter(address);
  } else if (line != break_line_ && tarn_.ImageWordAt(address) == kNop) {
    // The chip cannot stop on a NOP.
    std::ignore = messages_.MsgBoxById(string_ids::ZK_CodeUnit::SCU_BREAK_ON_NOP,
                                       string_ids::EditorUnit::SCU_NULL_STRING);
    return;
  } else {
    debug_.ToggleBreakpoint(address);
  }
  UpdateMarks();
}

void ListWindow::DoubleClick(int line) {
  if (!CanChange()) return;
  const int address = AddressOfLine(line);
  if (address < 0) return;
  debug_.SetProgramCounter(address);
  UpdateMarks();
}

std::optional<int> ListWindow::CodeLine() const {
  const int line = tarn_.MapListingLineAt(0);
  if (line <= 0) return std::nullopt;
  return line - 1;
}

std::optional<int> ListWindow::ResetLine(const std::vector<std::string>& listing) const {
  const int line = tarn_.ResetListingLine(listing);
  if (line <= 0) return std::nullopt;
  return line - 1;
}

std::optional<int> ListWindow::MainLine(const std::vector<std::string>& listing) const {
  const int line = tarn_.MainListingLine(listing);
  if (line > 0) return line - 1;
  std::ignore = messages_.MsgBoxById(string_ids::ZK_CodeUnit::SCU_NO_MAIN_LABEL,
                                     string_ids::ZK_CodeUnit::SCU_NO_MAIN_LABEL_CAPTION);
  return std::nullopt;
}

}  // namespace build_debug
