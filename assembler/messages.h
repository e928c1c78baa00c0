#pragma once
// The numbered messages of `tarn`: one fixed table, one reporting routine that filters by
// level and quiet value, formats the line the IDE parses, and counts what was shown.

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "assembler/output_file.h"

namespace tarn {

struct TarnRun;

enum MessageLevel : int { kComment = 0, kWarning = 1, kError = 2, kCheckError = 3 };

// The message codes by name: each is its row's code in kMessageTable.
enum MessageCode : int {
  kMsgBadInstruction = 1,
  kMsgSymbolRedefined = 2,
  kMsgSymbolUndefined = 3,
  kMsgReservedWord = 4,
  kMsgMissingOperands = 5,
  kMsgTooManyOperands = 6,
  kMsgMissingFileRegister = 7,
  kMsgMissingLiteral = 8,
  kMsgMissingLabel = 9,
  kMsgMissingRightParenthesis = 10,
  kMsgMissingExpression = 11,
  kMsgMacroRedefined = 12,
  kMsgBadExpression = 13,
  kMsgBadArgument = 14,
  kMsgBadMacroExpression = 15,
  kMsgMacroArgumentsMismatch = 16,
  kMsgUnmatchedMacro = 17,
  kMsgBadIfElseEndif = 18,
  kMsgUnmatchedElse = 19,
  kMsgUnmatchedEndif = 20,
  kMsgFileNestingTooDeep = 21,
  kMsgIfNestingTooDeep = 22,
  kMsgInvalidDigit = 23,
  kMsgValueOutOfRange = 24,
  kMsgBadRadix = 25,
  kMsgUnknownDevice = 26,
  kMsgUnknownOutputFormat = 27,
  kMsgUnknownListingParameter = 28,
  kMsgBadString = 29,
  kMsgOverwritingLocation = 30,
  kMsgExpectedEqualSign = 31,
  kMsgUnexpectedEof = 32,
  kMsgAssumedHexadecimal = 33,
  kMsgTokenTooLong = 34,
  kMsgIllegalCharacter = 35,
  kMsgFileRegisterTruncated = 36,
  kMsgLiteralTruncatedTo8Bits = 37,
  kMsgMissingBankBits = 38,
  kMsgNoDestinationBit = 39,
  kMsgBadDestinationBit = 40,
  kMsgBitNumberOutOfRange = 41,
  kMsgNotInSelectedPage = 42,
  kMsgAddressBeyondMemory = 43,
  kMsgNotInLowerHalfOfPage = 44,
  kMsgLabelNotInColumnOne = 45,
  kMsgUnknownDirective = 46,
  kMsgReptCountTooLarge = 47,
  kMsgNotInCurrentBank = 48,
  kMsgModeValueTruncated = 49,
  kMsgExpectedFrBit = 50,
  kMsgObsoleteKeyword = 51,
  kMsgResetNotInPageZero = 52,
  kMsgNonBitfieldOperator = 53,
  kMsgDeviceOverridden = 54,
  kMsgUserError = 55,
  kMsgLineTooLong = 56,
  kMsgLocalSymbolTooLong = 57,
  kMsgDivisionByZero = 58,
  kMsgLiteralTruncatedTo12Bits = 59,
  kMsgCannotOpenFile = 60,
  kMsgCannotOpenInclude = 61,
  kMsgIncludePathTooLong = 62,
  kMsgWatchMissingParameters = 63,
  kMsgBadIrcCal = 64,
  kMsgNoIrcCal = 65,
  kMsgNoFreq = 66,
  kMsgTooManyIncludeFiles = 67,
  kMsgListingLineTruncated = 68,
  kMsgNoOscillator = 69,
  kMsgBadWatchType = 70,
  kMsgNoDevice = 71,
  kMsgExpectedComma = 72,
  kMsgMultiWordAfterSkip = 73,
  kMsgMacroExpansionTooLong = 74,
  kMsgConstantWithoutHash = 75,
  kMsgUserWarning = 76,
};

struct MessageRow {
  const char* text;  // may hold one "%s", filled from the message argument
  unsigned short code;
  bool has_argument;
};

inline constexpr int kMessageCount = 76;
extern const MessageRow kMessageTable[kMessageCount];

// The row of a code, or nullptr.
const MessageRow* FindMessage(int code);

struct MessageCounts {
  int comments = 0;
  int warnings = 0;
  int errors = 0;
  int shown = 0;
};

struct MessageState {
  // The text that fills a row's "%s"; set before raising a message that has an argument.
  // It holds the whole text: names and file names may be of any length.
  std::string argument;

  MessageCounts counts;        // this pass
  MessageCounts pass1_counts;  // saved at the end of pass 1
  // Calls at level 2 or more, before any filtering, and the last such code: the evaluator
  // clears both for each expression and fails it when a call came in between.
  int error_calls = 0;
  int last_error_code = 0;

  std::array<unsigned char, kMessageCount + 1> quiet{};  // by code; 2 silences levels 0 and 1

  // The ".err" file (or "cmperr.log"), open from the start of pass 1.
  OutputFile error_file;
  std::string error_file_name;
  bool error_file_created = false;
  size_t error_file_size = 0;  // the bytes it held when it was closed
};

void SetMessageArgument(TarnRun& run, std::string_view text);

// Returns -1 always: callers return it as their own failure value.
int ReportMessage(TarnRun& run, int level, int code);
// Reports (unless level is negative) and marks the code on the current source line for the
// listing. Returns 0 for code 76 (a user warning must not fail its statement), else -1.
int MarkMessage(TarnRun& run, int level, int code);
int ReportInPass2(TarnRun& run, int level, int code);
// For the end-of-pass-1 defaults: reported as if at line 1.
int ReportAtLineOne(TarnRun& run, int level, int code);
// Reports (creating the error file first when need be) and ends the run with exit code 1.
[[noreturn]] void FatalStop(TarnRun& run, int level, int code);
// Ends the run with exit code 1 after a limit of RunLimits: `text` goes to the console and
// the error file.
[[noreturn]] void StopAtLimit(TarnRun& run, const std::string& text);

// /Q n (n >= 0 quiets row n) and /Q -n (shows it again); -1 when no row has that code.
int QuietMessage(TarnRun& run, const std::string& text);
void ListMessageNumbers(TarnRun& run);
// Returns 0 when no message was shown in either pass, else 1.
int PrintSummary(TarnRun& run, double seconds);

// The counters start at 0 in each pass; the pass-1 values are kept for the summary.
void ResetMessageCounts(TarnRun& run);
void SavePass1Counts(TarnRun& run);

const char* LevelWord(int level);
// The row's text with "%s" replaced by the argument.
std::string FormatMessageText(const MessageRow& row, std::string_view argument);

// The error file: "cmperr.log" with /E NOHAU, else the output base plus ".err".
int CreateErrorFile(TarnRun& run);
void CloseErrorFile(TarnRun& run);
// A line of the error file, when one is open.
void WriteErrorLine(TarnRun& run, std::string_view line);
// Deletes the error file when it holds fewer than 4 bytes; -1 when it cannot be opened.
int TrimErrorFile(TarnRun& run);

}  // namespace tarn
