#include "assembler/instruction_tables.h"

#include "assembler/options.h"
#include "assembler/text.h"

namespace tarn {

const MnemonicTable kNativeMnemonics = {kNativeRows, 1, 5};
const MnemonicTable kCompoundMnemonics = {kCompoundRows, 1, 6};
const MnemonicTable kMchipMnemonics = {kMchipRows, 1, 6};
const MnemonicTable kDebuggerMnemonics = {kDebuggerRows, 4, 8};

const MnemonicRow* FindInTable(const MnemonicTable& table, std::string_view word) {
  if (!InLengthRange(table, word)) return nullptr;
  for (const MnemonicRow& row : table.rows) {
    if (EqualsNoCase(row.name, word)) return &row;
  }
  return nullptr;
}

std::array<const MnemonicTable*, 4> SearchedTables(int syntax_mode) {
  bool compound =
      syntax_mode == kModeKestrian || syntax_mode == kModeAll || syntax_mode == kModeDebugger;
  bool mchip = syntax_mode == kModeMchip || syntax_mode == kModeAll || syntax_mode == kModeDebugger;
  bool debugger = syntax_mode == kModeDebugger;
  return {&kNativeMnemonics, compound ? &kCompoundMnemonics : nullptr,
          mchip ? &kMchipMnemonics : nullptr, debugger ? &kDebuggerMnemonics : nullptr};
}

const MnemonicRow* FindMnemonic(std::string_view word, int syntax_mode) {
  for (const MnemonicTable* table : SearchedTables(syntax_mode)) {
    if (!table) continue;
    if (const MnemonicRow* row = FindInTable(*table, word)) return row;
  }
  return nullptr;
}

}  // namespace tarn
