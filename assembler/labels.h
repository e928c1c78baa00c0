#pragma once
// Labels and the names that statements define: how the first word of a line becomes a label,
// the column rule, and definitions that both passes meet.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

struct TarnRun;

// Joined local labels are kept on this many characters.
inline constexpr size_t kLocalLabelLimit = 130;

// Makes the current token (the first word of a line, not a keyword) the statement's label:
//   "`n" inside a macro expansion   the expansion's LOCAL name n
//   name ":"                        the colon is dropped (names of two or more characters)
//   ":" name                        joined to the last global label; error 57 past 130 characters
// Any other label on a line of a file becomes the last global label. A name that exists
// already (and is not a SET variable) is error 2. Returns 0, or -1 when the statement fails.
int TakeLabel(TarnRun& run);

// Where a statement's label may stand.
enum class ColumnRule {
  kColumnOne,    // directives: column 1 only
  kLabelAlone,   // a label alone: local labels anywhere while /D LBL_START_ANY (or outside
                 // the IDE's mode)
  kInstruction,  // as a label alone, and anywhere on lines of a macro expansion
};

// Defines the statement's label, if it has one, as ADDR with the location counter; error 45
// (and -1) when it does not stand where `rule` allows.
int DefineStatementLabel(TarnRun& run, ColumnRule rule);

// True when defining `name` on this line would define it a second time: it exists, is not a
// SET variable, and (in pass 2) was not defined by this very line in pass 1.
bool IsRedefinition(TarnRun& run, std::string_view name);

// Defines `name`, or in pass 2 gives the symbol that pass 1 defined on this line its value
// again; records pass-1 definitions for that check.
void DefineName(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind);

}  // namespace tarn
