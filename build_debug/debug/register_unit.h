#pragma once
// What the register window (TRegisterForm) shows and does, without a display: the names and
// places of the chip's registers, the style of each value cell against the snapshots and FSR,
// the bit rows, the program panel around the PC, and the clicks and keys that change the chip
// through the debug state.
//
// Style numbers index the window's colour pairs: 1 the value changed since the last stop,
// 2 the register lies outside the bank that FSR selects, 4 FSR points to it (drawn with a
// frame), 8 the in-place editor's cursor while it blinks on.

#include <cstdint>
#include <string>
#include <vector>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/debug/debug_state.h"
#include "build_debug/image/object_image.h"

namespace build_debug {

enum CellStyle : int {
  kStyleChanged = 1,
  kStyleOtherBank = 2,
  kStyleFsrTarget = 4,
  kStyleCursor = 8,
};

constexpr int kPanelLines = 17;
constexpr int kPanelPage = 16;       // the panel scroll bar's large change
constexpr int kPanelWheelSteps = 5;  // per notch of the mouse wheel
constexpr int kRegisterNameLength = 6;
inline constexpr char kMReadOnlyHint[] = "M is read-only during debug on QV48/52";
constexpr int kHintMilliseconds = 4000;

// The chip as the register window lays it out. device_code is 2, 3 or 5 (18-pin, 28-pin and
// 4,096-word parts), banks the number of RAM banks of a 2,048-word part.
struct RegisterLayout {
  bool device4k = false;
  int device_code = 2;
  int banks = 1;

  // The label of global register 0x00-0x0F.
  std::string GlobalName(int reg, bool rtw) const;
  // Bank column headers, left to right.
  std::vector<std::string> BankHeaders() const;
  int BankColumns() const { return device4k ? 15 : banks; }
  // The register shown in a bank column at row 0-F.
  int BankRegister(int column, int row) const;
  // Every register the window can edit, in the order of the screen: the globals, the bank
  // columns top to bottom, M, W.
  std::vector<int> EditOrder() const;
  // Whether the register lies outside the bank that FSR selects.
  bool OutsideFsrBank(int reg, std::int32_t fsr) const;
  // The register that FSR points to.
  int FsrTarget(std::int32_t fsr) const;
  // The FSR bank header: "x " + the bank bits in hex + " ".
  std::string FsrBankHeader(std::int32_t fsr) const;
};

// The style of a value cell (slots as in DebugState: 256 M, 257 W). `current` is the snapshot
// of the last stop; on a session's first refresh it equals the live state, so nothing is marked.
int ValueStyle(const RegisterLayout& layout, const DebugState& live, const DebugState& current,
               int slot);

// The slots shown with a bit row: 0, STATUS, 5 to 15 and W.
const std::vector<int>& BitRowSlots();
// Bit cells of a slot, bit 7 first: whether each bit is set and whether it changed.
struct BitCell {
  bool set = false;
  bool changed = false;
};
std::vector<BitCell> BitRow(const DebugState& live, const DebugState& before, int slot);

enum class PanelMark { Plain, Break, Run };
struct PanelLine {
  int address = 0;
  std::string text;
  PanelMark mark = PanelMark::Plain;
};
// The 17 lines of the program panel from the state's panel position.
std::vector<PanelLine> ProgramPanel(const ObjectImage& image, const DebugState& live,
                                    int program_words);
// The panel position that keeps `position` inside the program memory.
int ClampPanelPosition(int position, int program_words);

// Hex text of a cell's value: two digits.
std::string HexByte(std::int32_t value);

// The clicks and keys of the register window. They act only while the chip is stopped in its
// monitor with fresh data; each change goes to the chip through the debug protocol.
class RegisterControl {
 public:
  explicit RegisterControl(DebugProtocol& debug) : debug_(debug) {}

  RegisterLayout Layout(int device_code, int banks) const;
  bool CanChange() const;

  // A bit cell of a bit row.
  void ToggleBit(int slot, int bit);
  void ToggleTO();
  void TogglePD();
  void PanelClick(int address) {
    if (CanChange()) debug_.ToggleBreakpoint(address);
  }
  void PanelDoubleClick(int address) {
    if (CanChange()) debug_.SetProgramCounter(address);
  }

  // The in-place editor. `order` is the layout's edit order; the hint is asked for when M is
  // chosen on a 4,096-word part.
  struct Editor {
    bool active = false;
    int slot = -1;
    int nibbles = 0;  // typed into this cell so far
    std::int32_t value = 0;
    bool typed = false;  // a digit was typed since the edit began
  };
  // Starts editing a slot; true when the M hint is to be shown.
  bool StartEdit(int slot);
  // A hex digit 0-15 typed; M cannot be typed on the 4,096-word parts.
  void TypeDigit(int digit, const std::vector<int>& order);
  // Enter: writes even an unchanged value.
  void Commit();
  void Cancel() { editor_ = {}; }
  // Ends the edit, writing when a digit was typed (focus lost, window deactivated).
  void EndEdit();
  // Moves by `delta` places in the order (wrapping), ending the current edit.
  void Move(int delta, const std::vector<int>& order);
  const Editor& Editing() const { return editor_; }

 private:
  void Write(int slot, std::int32_t value);

  DebugProtocol& debug_;
  Editor editor_;
};

}  // namespace build_debug
