#include "build_debug/image/disassembler.h"

#include <array>
#include <bit>
#include <cstdio>
#include <string_view>

#include "instruction_set/instruction_forms.h"
#include "instruction_set/mnemonic_rows.h"
#include "instruction_set/words.h"

namespace build_debug {
namespace {

namespace isa = instruction_set;

// A one-word row of the native syntax as the disassembler matches it: a word is the row's when
// its bits outside the operand field equal the template. Forms come before mnemonic rows, so
// that MOV M,#n names what MODE n also writes.
struct Decoding {
  std::uint16_t tmpl = 0;
  std::uint16_t field = 0;  // the operand's bits in the word
  const char* name = nullptr;
  const isa::InstructionForm* form = nullptr;  // null for a mnemonic row
  std::uint16_t id = 0;
};

consteval const char* NativeName(std::uint16_t id) {
  for (const isa::MnemonicRow& row : isa::kNativeRows)
    if (row.id == id && row.readers == isa::kBoth) return row.name;
  return nullptr;
}

// The rows that name a port by its own word (MOV !RA,W) are left to MOV !fr,W, which names the
// register as this device does.
consteval bool NamesPort(const isa::InstructionForm& form) {
  for (std::uint16_t kind : form.kinds)
    if (kind >= isa::OP_RA && kind <= isa::OP_RE) return true;
  return false;
}

// An address operand's mask takes any address; the word holds the part within the page.
consteval std::uint16_t FieldOf(const isa::InstructionForm& form) {
  std::uint16_t field = 0;
  for (std::uint16_t mask : form.masks) field |= mask;
  if (field != isa::kAddressMask) return field;
  return form.id == isa::kCALL ? isa::kCallField : isa::kJumpField;
}

consteval std::uint16_t FieldOf(const isa::MnemonicRow& row) {
  switch (row.format) {
    case isa::kFmtFr: return isa::kRegisterField;
    case isa::kFmtRetwList: return isa::kLiteralField;
    case isa::kFmtBankPageMode: return row.id == isa::kMODE ? isa::kModeField : isa::kSelectMask;
    default: return 0;
  }
}

constexpr int kMaxDecodings = 128;
struct Decodings {
  std::array<Decoding, kMaxDecodings> rows{};
  int count = 0;
};

consteval Decodings MakeDecodings() {
  Decodings d;
  for (const isa::InstructionForm& form : isa::kInstructionForms) {
    if (form.id == 0 || form.size != 1 || form.readers != isa::kBoth || NamesPort(form)) continue;
    const char* name = NativeName(form.id);
    if (!name) continue;
    d.rows[d.count++] = {form.words[0], FieldOf(form), name, &form, form.id};
  }
  for (const isa::MnemonicRow& row : isa::kNativeRows) {
    bool one_word = row.format == isa::kFmtNone || row.format == isa::kFmtFr ||
                    row.format == isa::kFmtRetwList || row.format == isa::kFmtBankPageMode;
    if (row.id == isa::kName || row.readers != isa::kBoth || !one_word) continue;
    d.rows[d.count++] = {row.tmpl, FieldOf(row), row.name, nullptr, row.id};
  }
  return d;
}
constexpr Decodings kDecodings = MakeDecodings();

// The row of a word: of those whose template it matches, the one with the narrowest field.
const Decoding* Decode(unsigned w) {
  const Decoding* best = nullptr;
  for (int i = 0; i < kDecodings.count; ++i) {
    const Decoding& d = kDecodings.rows[static_cast<std::size_t>(i)];
    if ((w & ~static_cast<unsigned>(d.field)) != d.tmpl) continue;
    if (!best || std::popcount(d.field) < std::popcount(best->field)) best = &d;
  }
  return best;
}

// The first register name of the instruction set for each register; bit names by bit of STATUS.
constexpr int kNamedRegisters = 10;
consteval std::array<const char*, kNamedRegisters> RegisterNames() {
  std::array<const char*, kNamedRegisters> names{};
  for (const isa::MnemonicRow& row : isa::kCompoundRows) {
    if (row.id != isa::kName || row.format != isa::kFmtNone || row.tmpl >= kNamedRegisters)
      continue;
    if (!names[row.tmpl]) names[row.tmpl] = row.name;
  }
  return names;
}
constexpr auto kRegisterNames = RegisterNames();

constexpr unsigned kStatus = isa::NameValue("STATUS");
consteval std::array<const char*, 8> StatusBitNames() {
  std::array<const char*, 8> names{};
  for (const isa::MnemonicRow& row : isa::kCompoundRows)
    if (row.format == isa::kFmtBitName && (row.tmpl & 0xFF) == kStatus)
      names[row.tmpl >> 8] = row.name;
  return names;
}
constexpr auto kStatusBitNames = StatusBitNames();

// Register 1 under its two names.
constexpr const char* kTimerName = "RTCC";
constexpr const char* kWorkingName = "WREG";

std::string Hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

class Disassembler {
 public:
  Disassembler(const ObjectImage& image, bool wreg) : wreg_(wreg), device4k_(image.Device4K != 0) {
    if (device4k_) {
      highest_named_ = 9;
    } else {
      // A QV28 has port RC beside RA and RB.
      highest_named_ = (image.WorkingImage[kFusexIndex] & kFusexQv28Bit) ? 7 : 6;
    }
  }

  std::string Word(unsigned w, int address) const {
    // 0x001 would read as a write to register 1's direction, which no part has.
    if (w == 0x001) return "???";
    // SNB PC.0 at an odd address and SB PC.0 at an even one skip the next word in every case.
    constexpr unsigned kSkipOdd = isa::NativeTemplate("SKIP");
    constexpr unsigned kSkipEven = kSkipOdd | isa::kSkipEvenBit;
    if ((w == kSkipOdd && (address & 1)) || (w == kSkipEven && !(address & 1))) return "SKIP";
    const Decoding* d = Decode(w);
    if (!d) return "???";
    unsigned value = w & d->field;
    std::string operands;
    if (d->form) {
      operands = Operands(isa::OperandSyntax(*d->form), d->field, value);
    } else if (d->id == isa::kPAGE) {
      operands = Hex(value << isa::kPageShift, 3);
    } else if (d->id == isa::kBANK) {
      operands = Hex(value << isa::BankShift(isa::kBuiltinReader, device4k_), 2);
    } else if (d->field == isa::kRegisterField) {
      operands = Register(value);
    } else if (d->field != 0) {
      operands = Hex(value, 2);
    }
    if (operands.empty()) return d->name;
    std::string text = d->name;
    text.resize(6, ' ');
    return text + operands;
  }

 private:
  std::string Register(unsigned r) const {
    if (r == 1) return wreg_ ? kWorkingName : kTimerName;
    if (static_cast<int>(r) <= highest_named_) return kRegisterNames[r];
    return Hex(r, 2);
  }

  std::string Bit(unsigned field) const {
    unsigned reg = field & isa::kRegisterField;
    unsigned bit = field >> 5;
    if (reg == kStatus && kStatusBitNames[bit]) return kStatusBitNames[bit];
    return Register(reg) + "." + static_cast<char>('0' + bit);
  }

  // The syntax of a form with its placeholder replaced by the word's operand.
  std::string Operands(const std::string& syntax, unsigned field, unsigned value) const {
    static constexpr std::string_view kPlaceholders[] = {"#lit", "addr", "bit", "fr"};
    for (std::string_view placeholder : kPlaceholders) {
      std::size_t at = syntax.find(placeholder);
      if (at == std::string::npos) continue;
      std::string text;
      if (placeholder == "#lit") {
        text = '#';
        text += Hex(value, field == isa::kModeField ? 1 : 2);
      } else if (placeholder == "addr") {
        text = Hex(value, 3);
      } else if (placeholder == "bit") {
        text = Bit(value);
      } else {
        text = Register(value);
      }
      return syntax.substr(0, at) + text + syntax.substr(at + placeholder.size());
    }
    return syntax;
  }

  bool wreg_;
  bool device4k_;
  int highest_named_;
};

}  // namespace

std::string DisassembleWord(const ObjectImage& image, int address, bool wreg) {
  if (address < 0 || address >= kProgramWords) return "???";
  unsigned w = image.WorkingImage[address] & kInstructionBits;
  return Disassembler(image, wreg).Word(w, address);
}

}  // namespace build_debug
