#pragma once
// The IDE's built-in assembler: reads the image's NUL-terminated SourceText in two passes and
// fills the image: the WorkingImage (then copied whole to the ProgrammingImage), the listing in
// FileBuffer with its line tables, BreakAddress, the watches, ClockHz and Device4K.
//
// The first error ends the run: Failed stays 1, ErrorText names it and ErrorStart/ErrorEnd
// span the token where it was found. ErrorText may point into this object (the text of an
// ERROR directive), so it is valid while the assembler lives and until its next run.
//
// Everything the run keeps lives in this object; nothing else is allocated while it runs.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "build_debug/builtin/builtin_names.h"
#include "build_debug/builtin/builtin_symbols.h"
#include "build_debug/image/object_image.h"
#include "instruction_set/instruction_forms.h"

namespace build_debug {

inline constexpr int kBuiltinNameLength = 32;
inline constexpr int kReptNestingLimit = 32;
inline constexpr int kReptLoopLimit = 100'000;
inline constexpr int kMacroCallLimit = 1'000'000;
// Bytes of the macro call frames: a frame takes kMacroFrameBytes and 5 bytes per argument.
inline constexpr int kMacroFrameArea = 16'384;
inline constexpr int kMacroFrameBytes = 64;
inline constexpr int kErrorTextLength = 64;

// The fields of an instruction form's operand records as this assembler read them: registers,
// bits and literals fitted to their fields, addresses as written.
using FormFields = std::array<std::int32_t, 4>;

class BuiltinAssembler {
 public:
  explicit BuiltinAssembler(ObjectImage& image);
  BuiltinAssembler(const BuiltinAssembler&) = delete;
  BuiltinAssembler& operator=(const BuiltinAssembler&) = delete;

  // Assembles image.SourceText (the caller sets it first); the result is in the image.
  void BuiltinAssemble();

 private:
  // Thrown by Fail to leave the run from wherever the error was found.
  struct Stop {};

  // A local label's key is the prefix (a label name, or the 4 bytes of a macro call) + name.
  static constexpr int kKeyLength = 2 * kBuiltinNameLength;

  struct LexerState {
    std::int32_t pos = 0;
    bool in_string = false;  // between the quotes of a string, at its next character
    bool comma_due = false;  // a string's next character is due after a comma
  };

  struct Token {
    std::uint8_t kind = 0;
    std::int32_t value = 0;
    std::int32_t start = 0;
    std::int32_t end = 0;
    bool name = false;
    bool end_of_text = false;
    SymbolHandle symbol = kNoSymbol;
    int key_length = 0;
    char key[kKeyLength + 1] = {};
    std::string_view Key() const { return {key, static_cast<std::size_t>(key_length)}; }
  };

  struct Label {
    bool present = false;
    bool pending = false;  // not yet defined: defined by the statement
    int key_length = 0;
    char key[kKeyLength + 1] = {};
    std::int32_t start = 0;
    std::int32_t end = 0;
  };

  struct ReptFrame {
    std::int32_t iteration = 1;
    std::int32_t count = 0;
    std::int32_t body = 0;  // the line after REPT
  };

  struct MacroArgument {
    std::int32_t value = 0;
    bool unresolved = false;
  };

  struct MacroFrame {
    int first_argument = 0;
    int argument_count = 0;
    int bytes = 0;
    std::int32_t return_pos = 0;
    std::int32_t call_start = 0;  // the call's text, where an ERROR in the body points
    std::int32_t call_end = 0;
    int prefix_length = 0;
    char prefix[kBuiltinNameLength + 1] = {};
    std::int32_t if_depth = 0;  // restored by EXITM, which may leave from inside IF or REPT
    std::int32_t active_depth = 0;
    int rept_depth = 0;
  };

  // Run (builtin_assembler.cpp).
  void RunPass();
  void StartPass();
  void CheckEndOfText();
  void Line();
  void SkipDefinitionLine();
  void SkipInactiveLine();
  void Statement(const Token& first);
  void ReadLabel(const Token& first);
  // A label not yet in the table gets its kind and value from the statement.
  void DefineLabel(std::uint8_t kind, std::int32_t value, std::int32_t extra = 0);
  void DefinePendingLabel(std::int32_t location) { DefineLabel(kKindConstant, location); }
  void ExpectEndOfLine();
  bool MoreValues();
  void SkipRestOfLine();
  [[noreturn]] void Fail(const char* message);

  // Lexer (builtin_lexer.cpp).
  const Token& NextToken();
  void PushBack();
  void ScanToken();
  void ScanNumber(int radix_hint);
  void ScanName();
  void ScanOperator();
  void ScanStringCharacter();
  void LookUp();

  // Expressions (builtin_expression.cpp).
  std::int32_t Expression(bool strict);
  std::int32_t StrictValue() { return Expression(true); }
  std::int32_t PassAwareValue() { return Expression(pass_ == 1 ? false : true); }
  std::int32_t MacroArgumentValue(std::int32_t index, bool strict);

  // Directives (builtin_directives.cpp).
  void Directive(std::int32_t number, const Token& directive);
  void RequireNoLabel();
  void Device();
  void DeviceItem(const Token& item);
  void Id();
  void Reset();
  void Equals();
  void Equ();
  void Conditional(std::int32_t number);
  void Rept();
  void Endr();
  void MacroDefinition();
  void MacroReturn(bool restore_blocks);
  void Error(const Token& directive);
  void Watch();
  void MacroCall(const Token& name);
  void EnterMacro();

  // Instructions (builtin_encoding.cpp); an instruction symbol's value is its instruction id.
  void Instruction(std::int32_t id);
  void FormInstruction(std::uint16_t id);
  std::int32_t Register(std::int32_t value) const;
  std::int32_t BitOperand(std::int32_t value) const;
  std::int32_t ReadRegister() { return Register(PassAwareValue()); }
  std::int32_t ReadBit() { return BitOperand(PassAwareValue()); }
  void ExpectComma();
  bool Accept(std::uint8_t kind);
  bool AcceptOperator(std::uint8_t kind, std::int32_t number);
  std::int32_t ReadLiteral();
  void EmitForm(std::uint16_t id, const instruction_set::FormKinds& kinds,
                const FormFields& fields);
  void EmitJumpForm(std::uint16_t id, const instruction_set::FormKinds& kinds, FormFields fields,
                    bool comma);
  void MoveForm();
  void MoveToW();
  void MoveToM();
  void MoveToPort();
  void SecondOperandFr(std::uint16_t id, std::int32_t fr);
  void CompareForm(std::uint16_t id, bool jumps);
  void ArithmeticForm(std::uint16_t id);
  void WOrRegisterForm(std::uint16_t id);
  void BitPairForm(std::uint16_t id);
  void MoveSkipForm();
  void JumpOrCallForm(std::uint16_t id);

  // Emit and listing (builtin_listing.cpp).
  void Emit(std::int32_t word);
  void EmitAt(std::int32_t address, std::int32_t word);
  void ListLine();
  void NewListingLine();
  void Append(char c);
  void AppendHex(std::uint32_t value, int digits);
  void AppendWords(std::int32_t address, int first, int count);

  ObjectImage& image_;
  BuiltinSymbolTable symbols_;
  const char* source_ = "";

  int pass_ = 1;
  std::int32_t location_ = 0;
  std::int32_t mask_ = 0x7FF;
  bool device_seen_ = false;
  std::int32_t fuse_set_ = 0;
  std::int32_t fusex_set_ = 0;
  bool case_sensitive_ = false;
  bool noexpand_ = false;
  bool end_seen_ = false;

  // Lexer.
  LexerState lexer_;
  std::array<LexerState, 4> history_{};  // states before the last tokens, for PushBack
  int history_count_ = 0;
  int history_top_ = 0;
  Token token_;
  std::int32_t span_start_ = 0;  // what ErrorStart/ErrorEnd get when the run fails
  std::int32_t span_end_ = 0;
  std::int32_t expression_start_ = 0;  // the text of the last expression
  std::int32_t expression_end_ = 0;
  bool expression_undefined_ = false;  // it used a name undefined in pass 1
  int prefix_length_ = 0;
  char prefix_[kBuiltinNameLength + 1] = {};

  // Conditionals and REPT.
  std::int32_t if_depth_ = 0;
  std::int32_t active_depth_ = 0;
  std::array<ReptFrame, kReptNestingLimit> rept_{};
  int rept_depth_ = 0;
  std::int32_t rept_loops_ = 0;

  // Macros.
  int definition_depth_ = 0;
  std::vector<MacroFrame> frames_;
  std::vector<MacroArgument> arguments_;
  int frame_bytes_ = 0;
  std::array<std::uint8_t, 4> invocation_{};
  std::int32_t macro_calls_ = 0;
  bool call_pending_ = false;  // enter the body once the call line is listed
  std::int32_t call_body_ = 0;

  // The line in hand.
  std::int32_t line_start_ = 0;
  std::int32_t line_location_ = 0;
  int line_words_ = 0;
  bool line_ended_ = false;  // the statement consumed its end of line (and may have moved on)
  // Each word of the line with its address, for the listing; a line cannot fill more than the
  // program memory.
  std::array<std::int32_t, kProgramWords> line_word_address_{};
  std::array<std::uint16_t, kProgramWords> line_word_{};
  bool listed_value_ = false;
  std::int32_t line_value_ = 0;
  bool show_address_ = false;
  bool not_listed_ = false;
  bool in_expansion_ = false;
  bool noexpand_at_start_ = false;
  Label label_;

  std::array<char, kErrorTextLength + 1> error_text_{};
};

}  // namespace build_debug
