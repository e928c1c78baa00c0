// The directives that set the run's settings: device and fuses, the ID words, the listing
// options (LIST and its parameters, TITLE, SUBTITL, SPAC, EXPAND) and the radix.

#include <cstdlib>
#include <string>

#include "assembler/devices.h"
#include "assembler/directive_support.h"
#include "assembler/fuses.h"
#include "assembler/image.h"
#include "assembler/keywords.h"
#include "assembler/lexer.h"
#include "assembler/listing.h"
#include "assembler/messages.h"
#include "assembler/named_values.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "assembler/statements.h"
#include "assembler/text.h"

namespace tarn {
namespace {

constexpr NamedValue kErrorFileModes[] = {{"NONE", 0}, {"0", 0}, {"NOHAU", 1}, {"1", 1}};
constexpr NamedValue kSwitches[] = {{"ON", 1}, {"OFF", 0}};

// PAGESn on the 2,048-word devices: the highest program address, where the reset word goes.
constexpr NamedValue kPagesLimits[] = {
    {"PAGES1", 511}, {"PAGES2", 1023}, {"PAGES4", 2047}, {"PAGES8", 2047}};

// The text of a parameter value token: a word as written, a number with its suffix.
std::string ValueText(const TarnRun& run) {
  return std::string(run.lexer.kind == Token::kNumber ? run.lexer.raw_word : run.lexer.text);
}

// One letter=value item of LIST, with the current token on the letter. 0 or -1.
int ListParameter(TarnRun& run, char letter) {
  Token t = NextToken(run);
  if (t == Token::kAssign) {
    t = NextToken(run);
  } else {
    ReportMessage(run, kComment, kMsgExpectedEqualSign);
  }
  bool negative = false;
  if (t == Token::kMinus) {
    negative = true;
    t = NextToken(run);
  }
  std::string value = negative ? "-" : "";
  value += ValueText(run);
  if (t == Token::kEndOfLine || t == Token::kComma) value.clear();
  Options& o = run.options;
  switch (letter) {
    case 'P':
      if (SelectDevice(run, value) != 0) return ReportMessage(run, kError, kMsgUnknownDevice);
      break;
    case 'R': {
      int radix = LookupNamedValue(kRadixNames, value);
      if (radix < 0) return ReportMessage(run, kError, kMsgBadRadix);
      o.radix = radix;
      break;
    }
    case 'F': {
      int format = LookupNamedValue(kFormatNames, value);
      if (format < 0) return ReportMessage(run, kError, kMsgUnknownOutputFormat);
      o.output_format = format;
      break;
    }
    case 'L': {
      int mode = LookupNamedValue(kListingModeNames, value);
      if (mode < 0) return ReportMessage(run, kError, kMsgUnknownListingParameter);
      o.listing_mode = mode;
      break;
    }
    case 'E': {
      int mode = LookupNamedValue(kErrorFileModes, value);
      if (mode < 0) return ReportMessage(run, kError, kMsgUnknownListingParameter);
      o.nohau = mode == 1;
      break;
    }
    case 'Q':
      if (value.empty() || QuietMessage(run, value) != 0)
        return ReportMessage(run, kError, kMsgUnknownListingParameter);
      break;
    case 'W': {
      if (value.size() != 1 || value[0] < '0' || value[0] > '2')
        return ReportMessage(run, kError, kMsgUnknownListingParameter);
      o.warning_level = value[0] - '0';
      break;
    }
    case 'X': {
      int on = LookupNamedValue(kSwitches, value);
      if (on < 0) return ReportMessage(run, kError, kMsgUnknownListingParameter);
      run.pass_state.list_expansions = on == 1;
      break;
    }
    case 'N':
      if (o.listing_mode != kListNoPage)
        SetPageLength(run, static_cast<int>(std::strtol(value.c_str(), nullptr, 10)));
      break;
    case 'C':
      run.pass_state.list_columns = static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
      break;
    case 'D': break;
    default: return ReportMessage(run, kError, kMsgBadInstruction);
  }
  // The value was read; the token after it must end the item.
  if (t != Token::kEndOfLine && t != Token::kComma) NextToken(run);
  return 0;
}

}  // namespace

// DEVICE / PROCESSOR / FUSES: device names and fuse keywords, separated by commas or "=".
int DoDevice(TarnRun& run, uint32_t, StatementResult& result) {
  for (;;) {
    Token t = NextToken(run);
    if (t == Token::kEndOfLine) break;
    if (t == Token::kComma || t == Token::kAssign) continue;
    std::string word = ValueText(run);
    if (FindDeviceName(word) != kDeviceUnknown) {
      SelectDevice(run, word);
      continue;
    }
    int pages_limit = LookupNamedValue(kPagesLimits, word);
    if (pages_limit >= 0 && run.device.program_size == 2048)
      run.device.highest_address = static_cast<unsigned>(pages_limit);
    if (ApplyFuseKeyword(run, word) == kFuseNotFound) {
      SetMessageArgument(run, word);
      return ReportMessage(run, kCheckError, kMsgBadArgument);
    }
    if (run.options.kestrian && word.size() >= 3 && EqualsNoCase(word.substr(0, 3), "OSC") &&
        run.pass_state.oscillator_keyword.empty()) {
      run.pass_state.oscillator_keyword = word;
    }
  }
  // The oscillator keyword is the one pass 1 found anywhere in the source.
  if (run.pass == 2 && run.options.kestrian && run.pass_state.oscillator_keyword.empty()) {
    ReportMessage(run, kWarning, kMsgNoOscillator);
  }
  result.words = {run.device.fuse, run.device.fusex};
  return 0;
}

// ID "text": at most 8 characters, each as two words 0x0FF0 + nibble, high nibble first.
int DoId(TarnRun& run, uint32_t, StatementResult&) {
  std::string text;
  if (!ReadNameOrString(run, &text) || text.size() > 8)
    return ReportMessage(run, kError, kMsgBadString);
  auto id_word = [&](size_t i) -> uint16_t& { return run.image.words[kIdWordsAddress + i]; };
  for (size_t i = 0; i < kIdWordCount; ++i) id_word(i) = kBlankWord;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned c = static_cast<unsigned char>(text[i]);
    id_word(2 * i) = static_cast<uint16_t>(0x0FF0 + (c >> 4));
    id_word(2 * i + 1) = static_cast<uint16_t>(0x0FF0 + (c & 0x0F));
  }
  run.image.id_text = text;
  return 0;
}

// LIST letter=value {, letter=value}
int DoList(TarnRun& run, uint32_t, StatementResult&) {
  Token t = NextToken(run);
  while (t != Token::kEndOfLine) {
    if (t == Token::kComma) {
      t = NextToken(run);
      continue;
    }
    std::string word = ValueText(run);
    if (t != Token::kName || word.size() != 1)
      return ReportMessage(run, kError, kMsgBadInstruction);
    if (ListParameter(run, UpperChar(word[0])) < 0) return -1;
    t = run.lexer.kind;
  }
  return 0;
}

// RADIX = DEC | D | BIN | B | OCT | O | HEX | H
int DoRadix(TarnRun& run, uint32_t, StatementResult&) {
  Token t = NextToken(run);
  if (t == Token::kAssign) {
    t = NextToken(run);
  } else {
    ReportMessage(run, kComment, kMsgExpectedEqualSign);
  }
  int radix = t == Token::kEndOfLine ? -1 : LookupNamedValue(kRadixNames, ValueText(run));
  if (radix < 0) return ReportMessage(run, kError, kMsgBadRadix);
  run.options.radix = radix;
  return 0;
}

// TITLE and STITLE: the latest one is the title.
int DoTitle(TarnRun& run, uint32_t, StatementResult&) {
  std::string text;
  if (!ReadNameOrString(run, &text)) return ReportMessage(run, kError, kMsgBadString);
  run.listing.subtitle = text;
  return 0;
}

// SUBTITL: the first one stays.
int DoSubtitle(TarnRun& run, uint32_t, StatementResult&) {
  std::string text;
  if (!ReadNameOrString(run, &text)) return ReportMessage(run, kError, kMsgBadString);
  if (!run.pass_state.subtitle_given) run.listing.subtitle2 = text;
  run.pass_state.subtitle_given = true;
  return 0;
}

// SPAC [n]: n blank lines in the listing (one without n). A count beyond a few pages is a
// slip of the keyboard, not layout: it is held to kMaxSpacLines with a warning, so that a
// single line cannot write gigabytes of listing.
int DoSpac(TarnRun& run, uint32_t, StatementResult& result) {
  if (DefineDirectiveLabel(run) < 0) return -1;
  result.blank_lines = 1;
  if (NextToken(run) != Token::kEndOfLine) {
    int status = EvalExpression(run);
    int32_t n = PopValue(run).value;
    if (status != 0) return 0;
    if (n > kMaxSpacLines) {
      ReportInPass2(run, kWarning, kMsgValueOutOfRange);
      n = kMaxSpacLines;
    }
    result.blank_lines = n < 0 ? 0 : n;
  }
  return 0;
}

int DoExpand(TarnRun& run, uint32_t id, StatementResult&) {
  run.pass_state.list_expansions = id == kDirExpand;
  return 0;
}

}  // namespace tarn
