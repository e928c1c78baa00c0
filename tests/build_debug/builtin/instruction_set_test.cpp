// Every row of the instruction set through both assemblers and the disassembler: the built-in
// assembler gives tarn's words for every row both take and refuses the rows only tarn takes,
// and every one-word row disassembles to a text that assembles to the same word again.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "build_debug/image/disassembler.h"
#include "builtin_harness.h"
#include "instruction_set/words.h"
#include "instruction_set_cases.h"
#include "tarn_folder.h"

namespace build_debug {
namespace {

struct Device {
  const char* name;
  int device_class;
};
constexpr Device kDevices[] = {{"QV28", instruction_set::kClass2K},
                               {"QV48", instruction_set::kClass4K}};

// The start of every source: the device and the symbols the cases name.
std::string Header(const Device& device) {
  return std::string("        DEVICE  ") + device.name + "\n" + kCaseSymbols;
}

// The cases of one reader, in source order, with the address each starts at.
struct CaseSource {
  std::vector<RowCase> cases;
  std::vector<int> addresses;
  std::string text;
};

// The cases the built-in assembler takes on the device (builtin true), or those only tarn takes.
CaseSource SourceOf(const Device& device, bool builtin, bool one_word_only) {
  CaseSource source;
  source.text = Header(device);
  int address = 0;
  for (const RowCase& c : CasesOn(device.device_class)) {
    if (instruction_set::BuiltinTakes(c.readers, device.device_class) != builtin) continue;
    if (one_word_only && !c.one_word_form) continue;
    source.cases.push_back(c);
    source.addresses.push_back(address);
    source.text += "        ";
    source.text += c.statement;
    source.text += '\n';
    address += c.size;
  }
  source.text += "        END\n";
  return source;
}

// Words of tarn's object from an address.
std::vector<int> WordsAt(const std::vector<int>& object, int address, int count) {
  std::vector<int> words;
  for (int n = 0; n < count; ++n)
    words.push_back(object[static_cast<std::size_t>(address + n)] & kInstructionBits);
  return words;
}

TEST(InstructionSetTest, TheBuiltinAssemblerGivesTarnsWordsForEveryRowBothTake) {
  for (const Device& device : kDevices) {
    SCOPED_TRACE(device.name);
    CaseSource source = SourceOf(device, true, false);
    Assembly builtin(source.text);
    ASSERT_TRUE(builtin.ok()) << builtin.error() << " at " << builtin.token();
    TarnFolder folder;
    std::vector<int> tarn = folder.Assemble(source.text);
    ASSERT_GE(tarn.size(),
              static_cast<std::size_t>(source.addresses.back() + source.cases.back().size));
    for (std::size_t i = 0; i < source.cases.size(); ++i) {
      const RowCase& c = source.cases[i];
      std::vector<int> words = WordsAt(tarn, source.addresses[i], c.size);
      EXPECT_EQ(builtin.words(source.addresses[i], c.size), words)
          << c.statement << " (" << c.row << ")";
      EXPECT_TRUE(IsInUse(builtin->WorkingImage[source.addresses[i]])) << c.statement;
    }
  }
}

TEST(InstructionSetTest, TheBuiltinAssemblerRefusesTheRowsOnlyTarnTakes) {
  for (const Device& device : kDevices) {
    SCOPED_TRACE(device.name);
    CaseSource source = SourceOf(device, false, false);
    ASSERT_FALSE(source.cases.empty());
    TarnFolder folder;
    EXPECT_FALSE(folder.Assemble(source.text, {"/C", "DEBUGGER"}).empty());
    for (const RowCase& c : source.cases) {
      Assembly builtin(Header(device) + "        " + c.statement + "\n");
      // A word it does not know at the start of a line is a label to it.
      EXPECT_TRUE(!builtin.ok() || builtin.used_words().empty())
          << c.statement << " (" << c.row << ")";
    }
  }
}

// The disassembler writes numbers in hex without a radix mark: "#5A", "0A", "RA.1", "1F.7",
// and a jump's, a page's or a bank's whole operand ("JMP   1FF", "PAGE  E00"). The same text
// with each number marked as hex ("#05Ah") is a source line for the built-in assembler.
std::string AsSource(const std::string& text) {
  std::size_t space = text.find(' ');
  if (space == std::string::npos) return text;
  std::string mnemonic = text.substr(0, space);
  std::string operands = text.substr(text.find_first_not_of(' ', space));
  auto is_hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  bool whole_number = mnemonic == "RETW" || mnemonic == "CALL" || mnemonic == "JMP" ||
                      mnemonic == "PAGE" || mnemonic == "BANK";
  std::string out;
  for (std::size_t at = 0; at < operands.size();) {
    bool starts = at == 0 || !std::isalnum(static_cast<unsigned char>(operands[at - 1]));
    bool number = starts && (std::isdigit(static_cast<unsigned char>(operands[at])) ||
                             (at > 0 && operands[at - 1] == '#' && is_hex(operands[at])) ||
                             (whole_number && at == 0 && is_hex(operands[at])));
    if (!number) {
      out += operands[at++];
      continue;
    }
    std::size_t end = at;
    while (end < operands.size() && is_hex(operands[end])) ++end;
    if (end < operands.size() && std::isalpha(static_cast<unsigned char>(operands[end]))) {
      out += operands.substr(at, end - at);  // a name such as STATUS
    } else {
      out += '0';
      out.append(operands, at, end - at);
      out += 'h';
    }
    at = end;
  }
  std::string line = mnemonic;
  line += ' ';
  line += out;
  return line;
}

TEST(InstructionSetTest, EveryOneWordRowDisassemblesToWhatAssemblesToIt) {
  for (const Device& device : kDevices) {
    SCOPED_TRACE(device.name);
    CaseSource source = SourceOf(device, true, true);
    Assembly builtin(source.text);
    ASSERT_TRUE(builtin.ok()) << builtin.error() << " at " << builtin.token();
    std::string again = Header(device);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < source.cases.size(); ++i) {
      texts.push_back(DisassembleWord(builtin.image(), source.addresses[i], false));
      again += "        ";
      again += AsSource(texts.back());
      again += '\n';
    }
    Assembly reassembled(again);
    ASSERT_TRUE(reassembled.ok()) << reassembled.error() << " at " << reassembled.token();
    for (std::size_t i = 0; i < source.cases.size(); ++i) {
      EXPECT_EQ(reassembled.words(source.addresses[i], 1), builtin.words(source.addresses[i], 1))
          << source.cases[i].statement << " disassembles to " << texts[i];
    }
  }
}

// The words built outside the forms and the readers' ranges, as the instruction lists give them:
// JMP 0xA00 + address (9 bits), PAGE 0x010 + n, BANK 0x018 + n, RETW 0x800 + lit; tarn's ports
// 5 to 9, the built-in assembler's 5 to 0x0B; 32 registers a bank, 16 on the 4,096-word devices.
TEST(InstructionSetTest, WordBuildersAndReaderRangesHoldTheListsValues) {
  namespace isa = instruction_set;
  EXPECT_EQ(isa::JumpWord(0x183), 0xB83);
  EXPECT_EQ(isa::JumpWord(0x345), 0xB45);  // the page bits are PAGE's
  EXPECT_TRUE(isa::IsJumpWord(0xA00));
  EXPECT_TRUE(isa::IsJumpWord(0xBFF));
  EXPECT_FALSE(isa::IsJumpWord(0x900));  // CALL
  EXPECT_FALSE(isa::IsJumpWord(0xC00));
  EXPECT_EQ(isa::PageWord(0x345), 0x011);
  EXPECT_EQ(isa::PageWord(0xC00), 0x016);
  EXPECT_EQ(isa::PageNumberWord(7), 0x017);
  EXPECT_EQ(isa::BankWord(5), 0x01D);
  EXPECT_EQ(isa::RetwWord(0x1FF), 0x8FF);

  const int tarn_ports[] = {5, 9}, builtin_ports[] = {5, 0x0B};
  for (int reg = 0; reg < 32; ++reg) {
    EXPECT_EQ(isa::IsPort(isa::kTarnReader, reg), reg >= tarn_ports[0] && reg <= tarn_ports[1]);
    EXPECT_EQ(isa::IsPort(isa::kBuiltinReader, reg),
              reg >= builtin_ports[0] && reg <= builtin_ports[1]);
  }
  for (isa::Reader reader : {isa::kTarnReader, isa::kBuiltinReader}) {
    EXPECT_EQ(0x35 >> isa::BankShift(reader, false), 1);  // 32 registers a bank
    EXPECT_EQ(0x35 >> isa::BankShift(reader, true), 3);   // 16 registers a bank
  }
}

}  // namespace
}  // namespace build_debug
