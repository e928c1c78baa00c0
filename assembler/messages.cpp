#include "assembler/messages.h"

#include <cstdlib>
#include <sys/stat.h>

#include "assembler/listing.h"
#include "assembler/run.h"
#include "assembler/sources.h"

namespace tarn {

// Texts exactly as printed; the IDE matches some of them.
const MessageRow kMessageTable[kMessageCount] = {
    {"Bad instruction statement", 1, false},
    {"Redefinition of symbol <%s>", 2, true},
    {"Symbol <%s> is not defined", 3, true},
    {"'%s' is a reserved word", 4, true},
    {"Missing operand(s)", 5, false},
    {"Too many operands", 6, false},
    {"Missing file register", 7, false},
    {"Missing literal", 8, false},
    {"Missing Label", 9, false},
    {"Missing right parenthesis", 10, false},
    {"Missing expression", 11, false},
    {"Redefinition of MACRO label <%s>", 12, true},
    {"Bad expression", 13, false},
    {"Bad argument <%s>", 14, true},
    {"Bad MACRO expression", 15, false},
    {"Macro arguments do not match", 16, false},
    {"Unmatched MACRO", 17, false},
    {"Bad IF-ELSE-ENDIF statement", 18, false},
    {"Unmatched ELSE", 19, false},
    {"Unmatched ENDIF", 20, false},
    {"File nesting error - Exceeded 10 levels", 21, false},
    {"If.else.endif nesting error - too deep", 22, false},
    {"Invalid digit in numeric constant", 23, false},
    {"Value is out of range", 24, false},
    {"Bad radix value", 25, false},
    {"Unknown microcontroller type", 26, false},
    {"Unknown output format", 27, false},
    {"Unknown listing parameter", 28, false},
    {"Bad string syntax", 29, false},
    {"Overwriting same program counter location", 30, false},
    {"Expected an '=' sign", 31, false},
    {"Unexpected EOF", 32, false},
    {"Assume value is in HEXADECIMAL", 33, false},
    {"Token length exceeds limit", 34, false},
    {"Illegal character - Ignored", 35, false},
    {"File register truncated to 5 bits", 36, false},
    {"Literal truncated to 8 bits", 37, false},
    {"Missing RAM Bank bits", 38, false},
    {"No destination bit", 39, false},
    {"Destination bit can only be 0 or 1", 40, false},
    {"Bit number out of range", 41, false},
    {"Destination address not in selected page", 42, false},
    {"Address exceeds memory limit", 43, false},
    {"Address %s is not within lower half of memory page", 44, true},
    {"Label must begin at column 1", 45, false},
    {"Ignoring unknown directive", 46, false},
    {"REPT count exceed limit", 47, false},
    {"File register not in current bank", 48, false},
    {"MODE register value truncated to 4-bits", 49, false},
    {"Expected a fr.bit operand", 50, false},
    {"Obsolete keyword: <%s> for this device", 51, true},
    {"Reset address not in page 0", 52, false},
    {"Applied non bitfield operator to a bitfield value", 53, false},
    {"Overriding earlier target device declaration", 54, false},
    {"ERROR \"%s\"", 55, true},
    {"Source line is too long.  Max length = %s characters", 56, true},
    {"Local symbol \"%s\" expands to more than 130 characters", 57, true},
    {"Division by zero", 58, false},
    {"Literal truncated to 12 bits", 59, false},
    {"Couldn't open file: %s", 60, true},
    {"Couldn't open include file: %s", 61, true},
    {"Include path and file exceeds 64 characters", 62, false},
    {"WATCH is missing parameters", 63, false},
    {"IRC_CAL has invalid or missing parameters", 64, false},
    {"No IRC_CAL directive. Default IRC_SLOW being used", 65, false},
    {"No FREQ directive. Default 50 MHz being used", 66, false},
    {"Total number of INCLUDE files exceeded 31", 67, false},
    {"Tab expanded list file line too long - truncating", 68, false},
    {"No OSCxxx directive - using default OSCRC", 69, false},
    {"Invalid watch type specified - \"%s\"", 70, true},
    {"No chip type specified - using default QV18", 71, false},
    {"Expected a comma between parameters", 72, false},
    {"Multi-byte instruction following skip instruction", 73, false},
    {"Macro expansion exceeded %s characters", 74, true},
    {"Numeric constant without # in front", 75, true},
    {"USER WARNING: \"%s\"", 76, true},
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

  if (l == kComment) ++m.counts.comments;
  else if (l == kWarning) ++m.counts.warnings;
  else if (l == kError || l == kCheckError) ++m.counts.errors;

  std::string text = FormatMessageText(*row, m.argument);
  if (run.pass == 0) {
    Print(run, "\n%s: %s\n", LevelWord(l), text.c_str());
    return -1;
  }
  std::string line = CurrentFileName(run) + "(" + std::to_string(CurrentLineNumber(run)) + ") Line " +
                     std::to_string(ListingLineNumber(run)) + ", " + LevelWord(l) + " " +
                     std::to_string(code) + ", Pass " + std::to_string(run.pass) + ": " + text;
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
  if (m.error_file) std::fprintf(m.error_file, "%s\n", line.c_str());
  ++m.counts.shown;
  CheckShownLimits(run);
  return -1;
}

int MarkMessage(TarnRun& run, int level, int code) {
  if (level >= 0) ReportMessage(run, level, code);
  MarkSourceLine(run, code);
  return code == 76 ? 0 : -1;
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
  if (run.messages.error_file) std::fprintf(run.messages.error_file, "%s\n", text.c_str());
  EndRun(run);
}

void FatalStop(TarnRun& run, int level, int code) {
  if (code != -1) {
    if (run.messages.error_file || CreateErrorFile(run) == 0) ReportMessage(run, level, code);
  }
  EndRun(run);
}

int QuietMessage(TarnRun& run, const std::string& text) {
  long n = std::strtol(text.c_str(), nullptr, 10);
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
  m.error_file = std::fopen(name.c_str(), "w+");
  if (!m.error_file) {
    Print(run, "\nCannot create error file '%s'", name.c_str());
    m.error_file_created = false;
    return -1;
  }
  m.error_file_name = name;
  m.error_file_created = true;
  return 0;
}

void CloseErrorFile(TarnRun& run) {
  if (run.messages.error_file) {
    std::fclose(run.messages.error_file);
    run.messages.error_file = nullptr;
  }
}

int TrimErrorFile(TarnRun& run) {
  MessageState& m = run.messages;
  CloseErrorFile(run);
  if (!m.error_file_created) return -1;
  struct stat st;
  if (stat(m.error_file_name.c_str(), &st) != 0) return -1;
  if (st.st_size < 4) std::remove(m.error_file_name.c_str());
  return 0;
}

}  // namespace tarn
