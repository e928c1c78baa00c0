// The directives that define the special symbols the IDE reads back (RESET, FREQ, BREAK,
// WATCH, IRC_CAL), the fuse words, and the user's own messages (ERROR).

#include <array>
#include <cstdio>
#include <string>

#include "assembler/directive_support.h"
#include "assembler/encoding.h"
#include "assembler/keywords.h"
#include "assembler/labels.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/statements.h"
#include "assembler/symbols.h"
#include "assembler/text.h"
#include "instruction_set/words.h"

namespace tarn {
namespace {

constexpr size_t kUserMessageLimit = 100;

constexpr std::array<const char*, 8> kWatchTypes = {"UDEC", "SDEC", "UHEX", "SHEX",
                                                    "UBIN", "SBIN", "FSTR", "ZSTR"};

struct IrcCalWord {
  const char* word;
  int mode;
};
constexpr IrcCalWord kIrcCalWords[] = {{"IRC_SLOW", 0}, {"IRC_4MHZ", 1}, {"IRC_FAST", 2}};

// Error 2 with the directive's name when the special symbol exists already.
int ReportSecondDefinition(TarnRun& run, const char* directive) {
  SetMessageArgument(run, directive);
  return ReportMessage(run, kError, kMsgSymbolRedefined);
}

// Outside the IDE's mode WATCH and IRC_CAL mean nothing: their label is all they define, and
// pass 2 says it ignores them.
int IgnoredOutsideIde(TarnRun& run, StatementResult& result) {
  if (DefineDirectiveLabel(run) < 0) return -1;
  if (run.pass == 2) {
    ReportMessage(run, kComment, kMsgUnknownDirective);
    result.line_class = kLinePlainNoMarker;
  }
  return 0;
}

// WATCH name[.bit], count, type
struct WatchLine {
  std::string name;    // the watched symbol
  std::string symbol;  // "__QV_WATCH:" + name (+ "." + bit)
  int bit = 0;
  int32_t count = 0;
  int type = 0;
};

int ReadWatchLine(TarnRun& run, WatchLine* w) {
  if (NextToken(run) != Token::kName) return ReportMessage(run, kError, kMsgWatchMissingParameters);
  w->name = run.lexer.text;
  w->symbol = "__QV_WATCH:" + w->name;
  Token t = NextToken(run);
  if (t == Token::kDot) {
    if (NextToken(run) != Token::kNumber)
      return ReportMessage(run, kError, kMsgWatchMissingParameters);
    w->symbol += '.';
    w->symbol += run.lexer.raw_word;
    w->bit = ConvertNumber(run);
    t = NextToken(run);
  }
  if (t != Token::kComma || NextToken(run) == Token::kEndOfLine)
    return ReportMessage(run, kError, kMsgWatchMissingParameters);
  EvalExpression(run);
  w->count = PopValue(run).value;
  if (run.lexer.kind != Token::kComma || NextToken(run) == Token::kEndOfLine)
    return ReportMessage(run, kError, kMsgWatchMissingParameters);
  std::string_view word = run.lexer.kind == Token::kName ? run.lexer.text : run.lexer.raw_word;
  for (size_t i = 0; i < kWatchTypes.size(); ++i) {
    if (EqualsNoCase(word, kWatchTypes[i])) {
      w->type = static_cast<int>(i);
      return 0;
    }
  }
  SetMessageArgument(run, word);
  return ReportMessage(run, kError, kMsgBadWatchType);
}

// The IDE's user messages: the string, then for each further token of the statement what it
// shows: a DATA or VAR symbol its value (hexadecimal under radix 16, with ".bit" when it
// carries one), a string its text, a name that pass 1 does not know yet a reminder of that.
std::string UserMessageText(TarnRun& run, std::string text) {
  for (Token t = NextToken(run); t != Token::kEndOfLine; t = NextToken(run)) {
    if (t == Token::kString) {
      text += run.lexer.text;
      continue;
    }
    if (t != Token::kName) continue;
    const SymbolNode* symbol = FindSymbol(run, run.lexer.text);
    if (!symbol) {
      if (run.pass == 1) {
        text += "<WARNING - \"";
        text += run.lexer.text;
        text += "\" not defined in pass 1>";
      }
      continue;
    }
    if (symbol->kind != kSymData && symbol->kind != kSymVar) continue;
    char value[40];
    if (run.options.radix == 16) {
      std::snprintf(value, sizeof value, "%X", static_cast<unsigned>(symbol->value));
    } else {
      std::snprintf(value, sizeof value, "%d", static_cast<int>(symbol->value));
    }
    text += value;
    if (symbol->has_bit) {
      text += '.';
      text += std::to_string(symbol->bit);
    }
  }
  return text;
}

}  // namespace

// RESET address: the reset vector (the highest program address) gets a JMP to the address in
// pass 2; __QV_RESET keeps where the statement stood.
int DoReset(TarnRun& run, uint32_t, StatementResult& result) {
  if (NextToken(run) == Token::kEndOfLine) return ReportMessage(run, kError, kMsgMissingExpression);
  if (IsRedefinition(run, "__QV_RESET")) return ReportSecondDefinition(run, "RESET");
  DefineName(run, "__QV_RESET", run.pass_state.location, 0, kSymResb);
  unsigned vector = run.device.highest_address;
  const StatementLabel& label = run.pass_state.label;
  if (label.present) DefineName(run, label.name, static_cast<int32_t>(vector), 0, kSymAddr);
  if (run.pass != 2) return 0;
  EvalExpression(run);
  int32_t target = PopValue(run).value;
  if (target > ::instruction_set::kJumpField) ReportMessage(run, kError, kMsgResetNotInPageZero);
  uint16_t word = ::instruction_set::JumpWord(target);
  // Like any other word: one already in use there is an overwrite.
  StoreStatementWords(run, static_cast<int>(vector), {word});
  result.address = static_cast<int>(vector);
  result.words = {word};
  return 0;
}

int DoFreq(TarnRun& run, uint32_t, StatementResult& result) {
  if (DefineDirectiveLabel(run) < 0) return -1;
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  if (o == Operand::kFailed) return MarkMessage(run, -1, run.messages.last_error_code);
  run.image.frequency = static_cast<uint32_t>(v.value);
  result.value = v.value;
  if (IsRedefinition(run, "__QV_FREQ")) return ReportSecondDefinition(run, "FREQ");
  DefineName(run, "__QV_FREQ", v.value, 0, kSymData);
  return 0;
}

int DoBreak(TarnRun& run, uint32_t, StatementResult& result) {
  if (DefineDirectiveLabel(run) < 0) return -1;
  uint16_t here = run.pass_state.location;
  result.value = here;
  if (IsRedefinition(run, "__QV_BREAK")) return ReportSecondDefinition(run, "BREAK");
  DefineName(run, "__QV_BREAK", here, 0, kSymAddr);
  run.image.break_address = here;
  return 0;
}

// Pass 1 checks the line and enters the watch symbol with value 0; pass 2 gives it the
// watched address (with the bit number above the register) and the count as its bit part.
int DoWatch(TarnRun& run, uint32_t, StatementResult& result) {
  if (!run.options.kestrian) return IgnoredOutsideIde(run, result);
  if (DefineDirectiveLabel(run) < 0) return -1;
  WatchLine w;
  if (ReadWatchLine(run, &w) < 0) return -1;
  uint8_t kind = static_cast<uint8_t>(kSymWatch + w.type);
  if (run.pass != 2) {
    if (SetSymbol(run, w.symbol, 0, kind) == 0) {
      SetMessageArgument(run, w.symbol);
      return ReportMessage(run, kError, kMsgSymbolRedefined);
    }
    return 0;
  }
  const SymbolNode* watched = FindSymbol(run, w.name);
  if (!watched) {
    SetMessageArgument(run, w.name);
    return ReportMessage(run, kError, kMsgSymbolUndefined);
  }
  int32_t address = watched->value + w.bit * 256;
  if (SetSymbolBit(run, w.symbol, address, static_cast<uint16_t>(w.count), kind) == 0) {
    SetMessageArgument(run, w.symbol);
    return ReportMessage(run, kError, kMsgSymbolUndefined);
  }
  result.value = address;
  result.bit = static_cast<uint16_t>(w.count);
  return 0;
}

int DoIrcCal(TarnRun& run, uint32_t, StatementResult& result) {
  if (!run.options.kestrian) return IgnoredOutsideIde(run, result);
  if (DefineDirectiveLabel(run) < 0) return -1;
  int mode = -1;
  if (NextToken(run) == Token::kName) {
    for (const IrcCalWord& w : kIrcCalWords) {
      if (EqualsNoCase(run.lexer.text, w.word)) mode = w.mode;
    }
  }
  if (mode < 0) return ReportMessage(run, kError, kMsgBadIrcCal);
  if (run.pass == 2) {
    if (const SymbolNode* symbol = FindSymbol(run, "__QV_IRC_CAL")) {
      result.value = symbol->value;
    } else {
      result.value = 1;
      MarkMessage(run, kWarning, kMsgNoIrcCal);
    }
    return 0;
  }
  if (SymbolNode* symbol = FindSymbol(run, "__QV_IRC_CAL")) {
    SetMessageArgument(run, "IRC_CAL");
    ReportMessage(run, kWarning, kMsgSymbolRedefined);
    symbol->value = mode;
  } else {
    DefineName(run, "__QV_IRC_CAL", mode, 0, kSymData);
  }
  run.image.irc_cal = static_cast<uint16_t>(mode);
  result.value = mode;
  return 0;
}

// ERROR [P<pass><level>] "text": the message appears in the pass it names (2 by default),
// as an error (E), a warning (W) or a comment (C).
int DoError(TarnRun& run, uint32_t, StatementResult&) {
  int pass = 2;
  char level = 'E';
  Token t = NextToken(run);
  if (t == Token::kName) {
    std::string_view w = run.lexer.text;
    if (w.size() != 3 || UpperChar(w[0]) != 'P')
      return ReportMessage(run, kError, kMsgBadInstruction);
    pass = w[1] - '0';
    level = UpperChar(w[2]);
    if ((pass != 1 && pass != 2) || (level != 'E' && level != 'W' && level != 'C')) {
      return ReportMessage(run, kError, kMsgBadInstruction);
    }
    t = NextToken(run);
  }
  if (t != Token::kString) return ReportMessage(run, kError, kMsgBadInstruction);
  if (pass != run.pass) return 0;
  std::string text(run.lexer.text);
  if (run.options.kestrian) text = UserMessageText(run, std::move(text));
  // The message argument holds 100 characters.
  if (text.size() > kUserMessageLimit) text.resize(kUserMessageLimit);
  SetMessageArgument(run, text);
  // A user's message never fails its statement: pass 1 goes on after it.
  switch (level) {
    case 'E': ReportMessage(run, kError, kMsgUserError); break;
    case 'C': ReportMessage(run, kComment, kMsgUserError); break;
    default:
      if (run.options.kestrian)
        MarkMessage(run, kWarning, kMsgUserWarning);
      else
        ReportMessage(run, kWarning, kMsgUserError);
      break;
  }
  return 0;
}

// __FUSE value / __FUSEX value: the whole word at once.
int DoFuseWord(TarnRun& run, uint32_t id, StatementResult& result) {
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  if (o == Operand::kFailed) return MarkMessage(run, -1, run.messages.last_error_code);
  uint16_t& word = id == kDirFuse ? run.device.fuse : run.device.fusex;
  word = static_cast<uint16_t>(v.value);
  result.value = v.value;
  return DefineDirectiveLabel(run);
}

}  // namespace tarn
