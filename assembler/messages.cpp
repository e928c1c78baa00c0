#include "assembler/messages.h"

#include <cstdlib>

#include "assembler/listing.h"
#include "assembler/run.h"
#include "assembler/sources.h"

namespace tarn {

// Texts exactly as printed; the IDE matches some of them.
const MessageRow kMessageTable[kMessageCount] = {
    {"Bad instruction statement", kMsgBadInstruction, false},
    {"Redefinition of symbol <%s>", kMsgSymbolRedefined, true},
    {"Symbol <%s> is not defined", kMsgSymbolUndefined, true},
    {"'%s' is a reserved word", kMsgReservedWord, true},
    {"Missing operand(s)", kMsgMissingOperands, false},
    {"Too many operands", kMsgTooManyOperands, false},
    {"Missing file register", kMsgMissingFileRegister, false},
    {"Missing literal", kMsgMissingLiteral, false},
    {"Missing Label", kMsgMissingLabel, false},
    {"Missing right parenthesis", kMsgMissingRightParenthesis, false},
    {"Missing expression", kMsgMissingExpression, false},
    {"Redefinition of MACRO label <%s>", kMsgMacroRedefined, true},
    {"Bad expression", kMsgBadExpression, false},
    {"Bad argument <%s>", kMsgBadArgument, true},
    {"Bad MACRO expression", kMsgBadMacroExpression, false},
    {"Macro arguments do not match", kMsgMacroArgumentsMismatch, false},
    {"Unmatched MACRO", kMsgUnmatchedMacro, false},
    {"Bad IF-ELSE-ENDIF statement", kMsgBadIfElseEndif, false},
    {"Unmatched ELSE", kMsgUnmatchedElse, false},
    {"Unmatched ENDIF", kMsgUnmatchedEndif, false},
    {"File nesting error - Exceeded 10 levels", kMsgFileNestingTooDeep, false},
    {"If.else.endif nesting error - too deep", kMsgIfNestingTooDeep, false},
    {"Invalid digit in numeric constant", kMsgInvalidDigit, false},
    {"Value is out of range", kMsgValueOutOfRange, false},
    {"Bad radix value", kMsgBadRadix, false},
    {"Unknown microcontroller type", kMsgUnknownDevice, false},
    {"Unknown output format", kMsgUnknownOutputFormat, false},
    {"Unknown listing parameter", kMsgUnknownListingParameter, false},
    {"Bad string syntax", kMsgBadString, false},
    {"Overwriting same program counter location", kMsgOverwritingLocation, false},
    {"Expected an '=' sign", kMsgExpectedEqualSign, false},
    {"Unexpected EOF", kMsgUnexpectedEof, false},
    {"Assume value is in HEXADECIMAL", kMsgAssumedHexadecimal, false},
    {"Token length exceeds limit", kMsgTokenTooLong, false},
    {"Illegal character - Ignored", kMsgIllegalCharacter, false},
    {"File register truncated to 5 bits", kMsgFileRegisterTruncated, false},
    {"Literal truncated to 8 bits", kMsgLiteralTruncatedTo8Bits, false},
    {"Missing RAM Bank bits", kMsgMissingBankBits, false},
    {"No destination bit", kMsgNoDestinationBit, false},
    {"Destination bit can only be 0 or 1", kMsgBadDestinationBit, false},
    {"Bit number out of range", kMsgBitNumberOutOfRange, false},
    {"Destination address not in selected page", kMsgNotInSelectedPage, false},
    {"Address exceeds memory limit", kMsgAddressBeyondMemory, false},
    {"Address %s is not within lower half of memory page", kMsgNotInLowerHalfOfPage, true},
    {"Label must begin at column 1", kMsgLabelNotInColumnOne, false},
    {"Ignoring unknown directive", kMsgUnknownDirective, false},
    {"REPT count exceed limit", kMsgReptCountTooLarge, false},
    {"File register not in current bank", kMsgNotInCurrentBank, false},
    {"MODE register value truncated to 4-bits", kMsgModeValueTruncated, false},
    {"Expected a fr.bit operand", kMsgExpectedFrBit, false},
    {"Obsolete keyword: <%s> for this device", kMsgObsoleteKeyword, true},
    {"Reset address not in page 0", kMsgResetNotInPageZero, false},
    {"Applied non bitfield operator to a bitfield value", kMsgNonBitfieldOperator, false},
    {"Overriding earlier target device declaration", kMsgDeviceOverridden, false},
    {"ERROR \"%s\"", kMsgUserError, true},
    {"Source line is too long.  Max length = %s characters", kMsgLineTooLong, true},
    {"Local symbol \"%s\" expands to more than 130 characters", kMsgLocalSymbolTooLong, true},
    {"Division by zero", kMsgDivisionByZero, false},
    {"Literal truncated to 12 bits", kMsgLiteralTruncatedTo12Bits, false},
    {"Couldn't open file: %s", kMsgCannotOpenFile, true},
    {"Couldn't open include file: %s", kMsgCannotOpenInclude, true},
    {"Include path and file exceeds 64 characters", kMsgIncludePathTooLong, false},
    {"WATCH is missing parameters", kMsgWatchMissingParameters, false},
    {"IRC_CAL has invalid or missing parameters", kMsgBadIrcCal, false},
    {"No IRC_CAL directive. Default IRC_SLOW being used", kMsgNoIrcCal, false},
    {"No FREQ directive. Default 50 MHz being used", kMsgNoFreq, false},
    {"Total number of INCLUDE files exceeded 31", kMsgTooManyIncludeFiles, false},
    {"Tab expanded list file line too long - truncating", kMsgListingLineTruncated, false},
    {"No OSCxxx directive - using default OSCRC", kMsgNoOscillator, false},
    {"Invalid watch type specified - \"%s\"", kMsgBadWatchType, true},
    {"No chip type specified - using default QV18", kMsgNoDevice, false},
    {"Expected a comma between parameters", kMsgExpectedComma, false},
    {"Multi-byte instruction following skip instruction", kMsgMultiWordAfterSkip, false},
    {"Macro expansion exceeded %s characters", kMsgMacroExpansionTooLong, true},
    {"Numeric constant without # in front", kMsgConstantWithoutHash, true},
    {"USER WARNING: \"%s\"", kMsgUserWarning, true},
};

const MessageRow* FindMessage(int code) {
  for (const MessageRow& row : kMessageTable) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

const char* LevelWord(int level) {
  switch (level) {
    case kComment: return "Comment";
    case kWarning: return "Warning";
    case kError:
    case kCheckError: return "Error";
    default: return "Unknown";
  }
}

std::string FormatMessageText(const MessageRow& row, std::string_view argument) {
  std::string text = row.text;
  if (!row.has_argument) return text;
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

namespace {

[[noreturn]] void EndRun(TarnRun& run) {
  CloseErrorFile(run);
  CloseSources(run);
  FreeMacroStorage(run);
  CloseListing(run);
  throw TarnExit{1};
}

// Stops the run once the shown messages pass the run's limits.
void CheckShownLimits(TarnRun& run) {
  const MessageState& m = run.messages;
  int errors = m.counts.errors + m.pass1_counts.errors;
  int shown = m.counts.shown + m.pass1_counts.shown;
  if (errors >= run.limits.shown_errors) {
    StopAtLimit(run, "Assembly stopped after " + std::to_string(errors) + " errors");
  }
  if (shown >= run.limits.shown_messages) {
    StopAtLimit(run, "Assembly stopped after " + std::to_string(shown) + " messages");
  }
}

}  // namespace

void SetMessageArgument(TarnRun& run, std::string_view text) { run.messages.argument = text; }

int ReportMessage(TarnRun& run, int level, int code) {
  MessageState& m = run.messages;
  int l = level & 0xFF;
  if (l >= kError) {
    ++m.error_calls;
    m.last_error_code = code;
  }
  const MessageRow* row = FindMessage(code);
  if (!row) {
    Print(run, "\n!!! Unknown error code %d, halting\n", code);
    // Counted as shown too: otherwise the run would say "No errors detected" and write output.
    ++m.counts.errors;
    ++m.counts.shown;
    CheckShownLimits(run);
    return -1;
  }
  if (l < run.options.warning_level || l < m.quiet[row->code]) return -1;

  if (l == kComment)
    ++m.counts.comments;
  else if (l == kWarning)
    ++m.counts.warnings;
  else if (l == kError || l == kCheckError)
    ++m.counts.errors;

  std::string text = FormatMessageText(*row, m.argument);
  if (run.pass == 0) {
    Print(run, "\n%s: %s\n", LevelWord(l), text.c_str());
    return -1;
  }
  std::string line = CurrentFileName(run) + "(" + std::to_string(CurrentLineNumber(run)) +
                     ") Line " + std::to_string(ListingLineNumber(run)) + ", " + LevelWord(l) +
                     " " + std::to_string(code) + ", Pass " + std::to_string(run.pass) + ": " +
                     text;
  if (run.options.listing_mode != kListNone && run.listing.file.IsOpen()) {
    DeferLine(run, ListingLineNumber(run), "****** " + line);
  }
  Print(run, "%s\n", line.c_str());
  if (run.options.nohau) {
    // Only the file's copy: the console keeps the parentheses.
    size_t open = line.find('(');
    if (open != std::string::npos) line[open] = '#';
    size_t close = line.find(')');
    if (close != std::string::npos) line[close] = '#';
  }
  WriteErrorLine(run, line);
  ++m.counts.shown;
  CheckShownLimits(run);
  return -1;
}

int MarkMessage(TarnRun& run, int level, int code) {
  if (level >= 0) ReportMessage(run, level, code);
  MarkSourceLine(run, code);
  return code == kMsgUserWarning ? 0 : -1;
}

int ReportInPass2(TarnRun& run, int level, int code) {
  if (run.pass == 1) return -1;
  return ReportMessage(run, level, code);
}

int ReportAtLineOne(TarnRun& run, int level, int code) {
  int& line = CurrentLineNumber(run);
  int saved_line = line;
  int& listing_line = ListingLineNumber(run);
  int saved_listing_line = listing_line;
  line = 1;
  listing_line = 1;
  ReportMessage(run, level, code);
  line = saved_line;
  listing_line = saved_listing_line;
  return -1;
}

void StopAtLimit(TarnRun& run, const std::string& text) {
  Print(run, "\n%s\n", text.c_str());
  WriteErrorLine(run, text);
  EndRun(run);
}

void FatalStop(TarnRun& run, int level, int code) {
  if (code != -1) {
    if (run.messages.error_file.IsOpen() || CreateErrorFile(run) == 0)
      ReportMessage(run, level, code);
  }
  EndRun(run);
}

int QuietMessage(TarnRun& run, const std::string& text) {
  long n = std::strtol(text.c_str(), nullptr, 10);
  // A number far out of range (strtol gives its limits) is no message, and its negation
  // would overflow.
  if (n < -kMessageCount || n > kMessageCount) return -1;
  long code = n < 0 ? -n : n;
  if (code < 1 || code > kMessageCount || !FindMessage(static_cast<int>(code))) return -1;
  run.messages.quiet[code] = n >= 0 ? 2 : 0;
  return 0;
}

void ListMessageNumbers(TarnRun& run) {
  Print(run, "\n\nError message numbers for /Q and LIST Q=\nErr Message\n--- -------\n");
  for (const MessageRow& row : kMessageTable) {
    Print(run, "%3d ", row.code);
    Print(run, "%s\n", FormatMessageText(row, "--text--").c_str());
  }
}

void ResetMessageCounts(TarnRun& run) { run.messages.counts = MessageCounts{}; }

void SavePass1Counts(TarnRun& run) { run.messages.pass1_counts = run.messages.counts; }

int PrintSummary(TarnRun& run, double seconds) {
  MessageState& m = run.messages;
  Print(run, "\n%d lines compiled in %.2f seconds", run.sources.lines_read_pass1, seconds);
  Print(run, "\n%d symbols", run.symbols.Count());
  m.counts.shown += m.pass1_counts.shown;
  m.counts.warnings += m.pass1_counts.warnings;
  m.counts.errors += m.pass1_counts.errors;
  m.pass1_counts = MessageCounts{};
  if (m.counts.shown < 1) {
    Print(run, "\nNo errors detected by the assembler.\n");
    return 0;
  }
  Print(run, "\n   %d warnings", m.counts.warnings);
  Print(run, "\n   %d severe errors\n", m.counts.errors);
  return 1;
}

int CreateErrorFile(TarnRun& run) {
  MessageState& m = run.messages;
  std::string name;
  if (run.options.nohau) {
    name = run.InWorkingFolder("cmperr.log");
  } else {
    if (run.output_base.size() >= 767) {
      Print(run, "Length of error file path and name exceeds %d characters\n", 771);
      return -1;
    }
    name = run.OutputName(".err");
  }
  if (!m.error_file.Create(run.files, name)) {
    Print(run, "\nCannot create error file '%s'", name.c_str());
    m.error_file_created = false;
    return -1;
  }
  m.error_file_name = name;
  m.error_file_created = true;
  return 0;
}

void CloseErrorFile(TarnRun& run) {
  MessageState& m = run.messages;
  if (!m.error_file.IsOpen()) return;
  m.error_file_size = m.error_file.Size();
  // Every message reached the console too; a lost write of the file removes it.
  static_cast<void>(m.error_file.Close());
}

void WriteErrorLine(TarnRun& run, std::string_view line) {
  OutputFile& file = run.messages.error_file;
  if (!file.IsOpen()) return;
  file.Put(line);
  file.Put('\n');
}

int TrimErrorFile(TarnRun& run) {
  MessageState& m = run.messages;
  CloseErrorFile(run);
  if (!m.error_file_created) return -1;
  if (m.error_file_size < 4) run.files.Remove(m.error_file_name);
  return 0;
}

}  // namespace tarn
