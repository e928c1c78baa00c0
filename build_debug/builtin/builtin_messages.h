#pragma once
// The built-in assembler's messages, exactly as the user sees them as the image's ErrorText.
// The spelling ("preceeded") is the system's own and is kept.

namespace build_debug::builtin_messages {

// Lexer.
inline constexpr char kConstantBits[] = "Constant exceeds 32 bits";
inline constexpr char kConstantDigits[] = "Constant exceeds 64 digits";
inline constexpr char kTerminatingQuote[] = "Expected a terminating quote";
inline constexpr char kEmptyString[] = "Empty string";
inline constexpr char kSymbolLength[] = "Symbol exceeds 32 characters";
inline constexpr char kUnrecognized[] = "Unrecognized character";

// Expressions.
inline constexpr char kBackslashOutside[] = "\"\\\" only allowed in MACRO definition";
inline constexpr char kExpectedOperator[] = "Expected a binary operator or \")\"";
inline constexpr char kExpectedOperand[] =
    "Expected a constant, variable, unary operator, or \"(\"";
inline constexpr char kTooComplex[] = "Expression is too complex";
inline constexpr char kArgumentIndex[] = "Macro argument index is out of range";
inline constexpr char kArgumentUnresolvable[] = "Macro argument is not resolvable";
inline constexpr char kUndefinedSymbol[] = "Undefined symbol";

// Symbols and statements.
inline constexpr char kSymbolTableFull[] = "Symbol table full";
inline constexpr char kExpectedDevice[] = "Expected a DEVICE directive";
inline constexpr char kExpectedLabel[] = "Expected a label";
inline constexpr char kExpectedStatement[] = "Expected a label, directive, or instruction";
inline constexpr char kExpectedComma[] = "Expected \",\"";
inline constexpr char kExpectedCommaOrEnd[] = "Expected \",\" or end-of-line";
inline constexpr char kExpectedEnd[] = "Expected end-of-line";
inline constexpr char kLabelDefined[] = "Label is already defined";
inline constexpr char kVariableNeedsEquals[] = "Variable must be followed by \"=\"";
inline constexpr char kNoLabelAllowed[] = "This directive cannot be preceeded by a symbol";
inline constexpr char kNothingToAssemble[] = "Nothing to assemble";

// Directives.
inline constexpr char kFrequencyRange[] = "Clock frequency must be from 400_000 to 110_000_000";
inline constexpr char kExpectedDeviceId[] =
    "Expected a device identifier (QV18, QV28, QV48, or QV52)";
inline constexpr char kExpectedDeviceParameter[] = "Expected a DEVICE parameter";
inline constexpr char kOneDeviceId[] = "Only one device identifier is allowed";
inline constexpr char kRedundantParameter[] = "Redundant DEVICE parameter";
inline constexpr char kMacroCount[] = "Expected a value from 0 to 64 or end-of-line";
inline constexpr char kWatchWidth[] = "Expected a value from 1 to 32";
inline constexpr char kWatchFormat[] = "Expected UDEC, SDEC, UHEX, SHEX, UBIN, SBIN, FSTR, or ZSTR";
inline constexpr char kWatchLimit[] = "Limit of 32 WATCHs exceeded";
inline constexpr char kElseWithoutIf[] = "ELSE/ENDIF must be preceeded by IF";
inline constexpr char kEndmWithoutMacro[] = "EXITM/ENDM must be preceeded by MACRO";
inline constexpr char kEquNeedsLabel[] = "EQU must be preceded by a label";
inline constexpr char kEqualsNeedsVariable[] = "\"=\" must be preceeded by a variable";
inline constexpr char kEndrWithoutRept[] = "ENDR must be preceeded by REPT";
inline constexpr char kErrorControl[] = "Error message contains control characters";
inline constexpr char kErrorLength[] = "Error message exceeds 64 characters";
inline constexpr char kOpenIf[] = "ENDIF required to end IF block";
inline constexpr char kOpenMacro[] = "ENDM required to end MACRO definition";
inline constexpr char kOpenRept[] = "ENDR required to end REPT block";
inline constexpr char kLocationUsed[] = "Location already contains data";
inline constexpr char kListTooLarge[] = "List is too large";
inline constexpr char kReptNesting[] = "Limit of 32 nested REPTs exceeded";
inline constexpr char kReptLoops[] = "Limit of 100,000 total REPT loops exceeded";
inline constexpr char kMacroNeedsLabel[] = "MACRO must be preceded by a label";
inline constexpr char kMacroStack[] = "Macro stack overflow";
// Guards against a macro that calls others in a tree so wide the run would never end.
inline constexpr char kMacroCalls[] = "Limit of 1,000,000 total macro calls exceeded";
// The assembler reads the legacy editor's buffer, which holds at most 1,000,000 characters.
inline constexpr char kSourceTooLarge[] =
    "Source exceeds the built-in assembler's limit of 1,000,000 characters: assemble it with "
    "TARN (\"Use TARN\" in the configuration)";
inline constexpr char kOneBreak[] = "Only one BREAK is allowed";
inline constexpr char kResetPage[] = "RESET address must be on first page";
inline constexpr char kReptCount[] = "REPT count must be greater than 0";
inline constexpr char kIdCharacter[] = "ID must be a string of up to 8 characters";
inline constexpr char kIdLength[] = "ID cannot exceed 8 characters";

// Instructions.
inline constexpr char kCallHalfPage[] = "CALL must be to first half of page";
inline constexpr char kPortRange[] = "Port is out of range";
inline constexpr char kExpectedW[] = "Expected \"W\"";
inline constexpr char kExpectedWdt[] = "Expected \"WDT\"";
inline constexpr char kExpectedIncDec[] = "Expected \"++\" or \"--\"";

}  // namespace build_debug::builtin_messages
