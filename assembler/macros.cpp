#include "assembler/macros.h"

#include <cstdio>

#include "assembler/expression.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/text.h"

namespace tarn {
namespace {

bool IsWordStart(unsigned char c) {
  CharClass cls = ClassOf(c);
  return cls == kClassWord || cls == kClassDigit;
}

bool IsLineEnd(char c) { return c == '\0' || c == '\n' || c == '\r' || c == '\f'; }

// The 1-based position of `word` among `names`, compared as the lexer keeps names; 0 if absent.
int IndexOfName(const std::vector<std::string>& names, std::string_view word) {
  std::string_view key = word.substr(0, kNameLimit);
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualsNoCase(names[i], key)) return static_cast<int>(i) + 1;
  }
  return 0;
}

// A definition line with parameter names as "\n" (at-names as "@\n") and LOCAL names as "`n".
// Strings and comments stay as written; words are scanned as the lexer reads them.
std::string SubstituteNames(std::string_view line, const std::vector<std::string>& parameters,
                            const std::vector<std::string>& locals) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == ';') {
      out.append(line.substr(i));
      break;
    }
    CharClass cls = ClassOf(c);
    if (cls == kClassQuote) {
      size_t end = i + 1;
      while (end < line.size() && line[end] != line[i] && !IsLineEnd(line[end])) ++end;
      if (end < line.size() && line[end] == line[i]) ++end;
      out.append(line.substr(i, end - i));
      i = end;
      continue;
    }
    if (!IsWordStart(c)) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    size_t end = i;
    while (end < line.size()) {
      CharClass k = ClassOf(static_cast<unsigned char>(line[end]));
      if (k != kClassWord && k != kClassDigit && k != kClassQuote) break;
      ++end;
    }
    std::string_view word = line.substr(i, end - i);
    i = end;
    if (cls == kClassWord) {
      if (word[0] == '@' && word.size() >= 2) {
        if (int n = IndexOfName(parameters, word.substr(1))) {
          out += "@\\";
          out += std::to_string(n);
          continue;
        }
      }
      if (int n = IndexOfName(parameters, word)) {
        out += '\\';
        out += std::to_string(n);
        continue;
      }
      if (int n = IndexOfName(locals, word)) {
        out += '`';
        out += std::to_string(n - 1);
        continue;
      }
    }
    out.append(word);
  }
  return out;
}

// Names separated by commas after MACRO or LOCAL; error 14 names any other token.
int ReadNameList(TarnRun& run, std::vector<std::string>* names, Token t) {
  while (t != Token::kEndOfLine) {
    if (t != Token::kName) {
      SetMessageArgument(run, run.lexer.text);
      return ReportMessage(run, kError, kMsgBadArgument);
    }
    names->emplace_back(run.lexer.text);
    t = NextToken(run);
    if (t == Token::kComma) {
      t = NextToken(run);
    } else if (t != Token::kEndOfLine) {
      SetMessageArgument(run, run.lexer.text);
      return ReportMessage(run, kError, kMsgBadArgument);
    }
  }
  return 0;
}

// True when the current line's first keyword is ENDM (a label may stand before it).
bool IsEndmLine(TarnRun& run, Token first) {
  if (first != Token::kName) return false;
  if (EqualsNoCase(run.lexer.text, "ENDM")) return true;
  if (LookupKeyword(run)) return false;
  return NextWordIs(run, "ENDM");
}

const std::string* Argument(const Expansion& e, int n) {
  if (n < 1 || static_cast<size_t>(n) > e.arguments.size()) return nullptr;
  return &e.arguments[static_cast<size_t>(n) - 1];
}

// Appends the text that replaces one word of a body line.
void AppendSubstitutedWord(TarnRun& run, const Expansion& e, std::string_view word,
                           std::string& out) {
  std::string_view at = word[0] == '@' ? "@" : "";
  std::string_view rest = word.substr(at.size());
  if (rest.size() < 2 || rest[0] != '\\') {
    out.append(word);
    return;
  }
  std::string_view tail = rest.substr(1);
  const std::string* arg = nullptr;
  if (tail == "%") {
    if (e.rept.active && !e.rept.levels.empty())
      arg = Argument(e, e.rept.levels.back().iteration + 1);
  } else {
    int n = 0;
    for (char c : tail) {
      if (c < '0' || c > '9' || n > 1000) {
        out.append(word);
        return;
      }
      n = n * 10 + (c - '0');
    }
    if (n == 0) {
      out.append(at);
      out += FormatInRadix(static_cast<int>(e.arguments.size()), run.options.radix);
      return;
    }
    arg = Argument(e, n);
  }
  if (!arg) {
    out.append(word);
    return;
  }
  out.append(at);
  out += *arg;
}

void UndoExpansion(TarnRun& run) {
  run.macros.expansions.pop_back();
  std::string& label = run.sources.last_global_label;
  size_t mark = label.rfind('?');
  if (mark != std::string::npos) label.resize(mark);
}

// The arguments of a call, from the rest of the current line:
//   argument := "{" any* "}" | quote any* quote | "?" expression | [":"] any-but-comma*
class ArgumentReader {
 public:
  explicit ArgumentReader(TarnRun& run)
      : run_(run),
        line_(run.lexer.line),
        i_(run.lexer.line_ended ? line_.size() : run.lexer.position) {}

  // Returns 0, or the message that ended the list early.
  int ReadAll(std::vector<std::string>* arguments) {
    int result = 0;
    SkipBlanks();
    if (!AtEnd(i_)) result = ReadList(arguments);
    // The statement ends with its arguments.
    EndStatement(run_.lexer);
    return result;
  }

 private:
  int ReadList(std::vector<std::string>* arguments) {
    for (;;) {
      SkipBlanks();
      std::string arg = ReadOne();
      if (arg.size() > kMacroArgumentLength) {
        SetMessageArgument(run_, std::to_string(kMacroArgumentLength));
        return ReportMessage(run_, kError, kMsgMacroExpansionTooLong);
      }
      if (arguments->size() >= static_cast<size_t>(kMacroArgumentLimit))
        return ReportMessage(run_, kError, kMsgTooManyOperands);
      arguments->push_back(std::move(arg));
      if (i_ >= line_.size() || line_[i_] != ',') return 0;
      ++i_;
    }
  }

  std::string ReadOne() {
    char c = i_ < line_.size() ? line_[i_] : '\0';
    if (c == '{') return Braced();
    if (ClassOf(static_cast<unsigned char>(c)) == kClassQuote) return Quoted(c);
    if (c == '?') return Evaluated();
    return Plain(c == ':');
  }

  // {text}: the text without the braces; what follows up to the comma is dropped.
  std::string Braced() {
    std::string arg;
    ++i_;
    while (i_ < line_.size() && !IsLineEnd(line_[i_]) && line_[i_] != '}')
      arg.push_back(line_[i_++]);
    if (i_ < line_.size() && line_[i_] == '}') ++i_;
    SkipToComma();
    return arg;
  }

  // A string with its quotes.
  std::string Quoted(char quote) {
    std::string arg(1, line_[i_++]);
    while (i_ < line_.size() && !IsLineEnd(line_[i_]) && line_[i_] != quote)
      arg.push_back(line_[i_++]);
    if (i_ < line_.size() && line_[i_] == quote) arg.push_back(line_[i_++]);
    SkipToComma();
    return arg;
  }

  // ?expression: its value in the default radix, read by the lexer from after the "?".
  std::string Evaluated() {
    LexerState& lx = run_.lexer;
    ResumeAt(lx, i_ + 1);
    NextToken(run_);
    EvalExpression(run_);
    std::string arg = FormatInRadix(PopInt(run_), run_.options.radix);
    i_ = lx.kind == Token::kEndOfLine ? line_.size() : lx.start;
    SkipToComma();
    return arg;
  }

  // The text up to the comma without trailing blanks; a leading ":" is the global label.
  std::string Plain(bool global_label) {
    std::string arg;
    if (global_label) arg = run_.sources.last_global_label;
    while (!AtEnd(i_) && line_[i_] != ',') arg.push_back(line_[i_++]);
    while (!arg.empty() && (arg.back() == ' ' || arg.back() == '\t')) arg.pop_back();
    return arg;
  }

  bool AtEnd(size_t k) const { return k >= line_.size() || IsLineEnd(line_[k]) || line_[k] == ';'; }
  void SkipBlanks() {
    while (i_ < line_.size() && (line_[i_] == ' ' || line_[i_] == '\t')) ++i_;
  }
  void SkipToComma() {
    while (!AtEnd(i_) && line_[i_] != ',') ++i_;
  }

  TarnRun& run_;
  const std::string_view line_;
  size_t i_;
};

int ReadArguments(TarnRun& run, std::vector<std::string>* arguments) {
  return ArgumentReader(run).ReadAll(arguments);
}

const ReptState* InnermostActiveRept(const TarnRun& run) {
  const MacroState& m = run.macros;
  for (auto it = m.expansions.rbegin(); it != m.expansions.rend(); ++it) {
    if (it->rept.active) return &it->rept;
  }
  return m.file_rept.active ? &m.file_rept : nullptr;
}

bool HasSkippingLevel(const ReptState& rept) {
  if (!rept.active) return false;
  for (const ReptLevel& level : rept.levels) {
    if (level.count <= 0) return true;
  }
  return false;
}

}  // namespace

MacroRecord* FindMacro(TarnRun& run, std::string_view name) {
  auto it = run.macros.macros.find(name.substr(0, kNameLimit));
  return it == run.macros.macros.end() ? nullptr : &it->second;
}

int DefineMacro(TarnRun& run, std::string_view name) {
  MacroRecord macro;
  macro.name = std::string(name.substr(0, kNameLimit));
  std::vector<std::string> parameters;
  std::vector<std::string> locals;
  Token t = NextToken(run);
  if (t == Token::kNumber) {
    macro.declared_count = ConvertNumber(run);
  } else if (t == Token::kEndOfLine) {
    macro.declared_count = -1;
  } else {
    if (ReadNameList(run, &parameters, t) < 0) return -1;
    macro.declared_count = static_cast<int>(parameters.size());
  }
  for (;;) {
    if (ReadLine(run) < 0) return ReportMessage(run, kError, kMsgUnmatchedMacro);
    std::string line(run.lexer.line);
    Token first = NextToken(run);
    if (first == Token::kName && EqualsNoCase(run.lexer.text, "LOCAL")) {
      ReadNameList(run, &locals, NextToken(run));
      continue;
    }
    if (IsEndmLine(run, first)) {
      macro.body.push_back(line);
      break;
    }
    macro.body.push_back(SubstituteNames(line, parameters, locals));
  }
  macro.local_count = static_cast<int>(locals.size());
  std::string key = UpperCase(macro.name);
  run.macros.macros.insert_or_assign(std::move(key), std::move(macro));
  return 0;
}

int ExpandMacroCall(TarnRun& run, MacroRecord& macro) {
  MacroState& m = run.macros;
  // The arguments are the caller's: read before the expansion starts, a ":" argument takes
  // the caller's global label (not the expansion's, whose "?" the lexer cannot read back) and
  // a "?" argument's names are the caller's.
  std::vector<std::string> arguments;
  int read = ReadArguments(run, &arguments);
  // A macro that calls itself without end would only do so again in pass 2, and twice per
  // level it would never finish: the limit ends the run.
  if (m.expansions.size() >= static_cast<size_t>(kMacroDepthLimit))
    FatalStop(run, kError, kMsgBadMacroExpression);
  Expansion e;
  e.macro = &macro;
  e.local_base = m.local_total;
  e.arguments = std::move(arguments);
  m.local_total += macro.local_count;
  ++m.expansions_started;
  if (read < 0) return -1;
  // "?", the macro name's first five characters and the expansion's number.
  std::string& label = run.sources.last_global_label;
  label += '?';
  label.append(std::string_view(macro.name).substr(0, 5));
  AppendDecimal(label, m.expansions_started);
  m.expansions.push_back(std::move(e));
  Expansion& current = m.expansions.back();
  if (macro.declared_count != -1 &&
      static_cast<int>(current.arguments.size()) != macro.declared_count) {
    if (run.pass == 1) {
      UndoExpansion(run);
      return -1;
    }
    ReportMessage(run, kError, kMsgMacroArgumentsMismatch);
  }
  return 0;
}

int EndMacroExpansion(TarnRun& run) {
  if (run.macros.expansions.empty()) return -1;
  UndoExpansion(run);
  return 0;
}

bool InMacroExpansion(const TarnRun& run) { return !run.macros.expansions.empty(); }

std::string LocalSymbolName(const TarnRun& run, std::string_view word) {
  if (run.macros.expansions.empty() || word.size() < 2 || word[0] != '`') return std::string(word);
  int index = 0;
  for (char c : word.substr(1)) {
    if (c < '0' || c > '9' || index > 1000000) return std::string(word);
    index = index * 10 + (c - '0');
  }
  char name[32];
  std::snprintf(name, sizeof name, "??000%01X",
                static_cast<unsigned>(run.macros.expansions.back().local_base + index));
  return name;
}

// Body-line copier:
//   ";" ...            copied unchanged (unless it ends a word)
//   quote ... quote    copied unchanged (unless the quote ends a word)
//   word               \n, @\n, \0 and \% substituted
//   "?" word           the substituted word wrapped in two 0x1F marks
//   "??"               nothing;  "?("  kept
void CopyBodyLine(TarnRun& run, const Expansion& e, std::string_view stored, std::string* line) {
  std::string& out = *line;
  out.clear();
  size_t i = 0;
  bool wrap = false;
  bool after_word = false;
  while (i < stored.size()) {
    unsigned char c = static_cast<unsigned char>(stored[i]);
    if (after_word && (c == ';' || ClassOf(c) == kClassQuote)) {
      out.push_back(static_cast<char>(c));
      ++i;
      after_word = false;
      continue;
    }
    after_word = false;
    if (c == ';') {
      out.append(stored.substr(i));
      break;
    }
    if (ClassOf(c) == kClassQuote) {
      size_t end = i + 1;
      while (end < stored.size() && stored[end] != stored[i] && !IsLineEnd(stored[end])) ++end;
      if (end < stored.size() && stored[end] == stored[i]) ++end;
      out.append(stored.substr(i, end - i));
      i = end;
      continue;
    }
    if (IsWordStart(c)) {
      size_t end = i;
      while (end < stored.size() && IsWordStart(static_cast<unsigned char>(stored[end]))) ++end;
      std::string_view word = stored.substr(i, end - i);
      if (wrap) {
        out.push_back(kParameterMark);
        AppendSubstitutedWord(run, e, word, out);
        out.push_back(kParameterMark);
        wrap = false;
      } else {
        AppendSubstitutedWord(run, e, word, out);
      }
      i = end;
      after_word = true;
      continue;
    }
    if (c == '?') {
      if (i + 1 < stored.size() && stored[i + 1] == '?') {
        i += 2;
        continue;
      }
      ++i;
      while (i < stored.size() && !IsWordStart(static_cast<unsigned char>(stored[i])) &&
             stored[i] != '(' && !IsLineEnd(stored[i])) {
        ++i;
      }
      if (i < stored.size() && stored[i] == '(') {
        out += "?(";
        ++i;
      } else if (i < stored.size() && IsWordStart(static_cast<unsigned char>(stored[i]))) {
        wrap = true;
      }
      continue;
    }
    out.push_back(static_cast<char>(c));
    ++i;
  }
  if (out.size() > kLineLimit) {
    bool had_line_feed = !out.empty() && out.back() == '\n';
    out.resize(kLineLimit - 1);
    if (had_line_feed) out.push_back('\n');
    SetMessageArgument(run, std::to_string(kLineLimit + 1));
    ReportMessage(run, kError, kMsgMacroExpansionTooLong);
  }
}

bool NextExpansionLine(TarnRun& run, std::string* line) {
  MacroState& m = run.macros;
  while (!m.expansions.empty()) {
    Expansion& e = m.expansions.back();
    if (e.rept.active) {
      std::string stored;
      if (ReplayReptLine(run, e.rept, &stored)) {
        CopyBodyLine(run, e, stored, line);
        return true;
      }
    }
    if (e.next_line >= e.macro->body.size()) {
      // The ENDM was not obeyed (a false IF around it): the expansion ends with its body.
      UndoExpansion(run);
      continue;
    }
    std::string_view stored = e.macro->body[e.next_line++];
    if (e.rept.active) StoreReptLine(run, e.rept, stored);
    CopyBodyLine(run, e, stored, line);
    return true;
  }
  return false;
}

ReptState& CurrentRept(TarnRun& run) {
  MacroState& m = run.macros;
  return m.expansions.empty() ? m.file_rept : m.expansions.back().rept;
}

bool ReptActive(const TarnRun& run) { return InnermostActiveRept(run) != nullptr; }

int ReptIteration(const TarnRun& run) {
  const ReptState* rept = InnermostActiveRept(run);
  if (!rept || rept->levels.empty()) return 1;
  return rept->levels.back().iteration + 1;
}

bool ReptSkipping(const TarnRun& run) {
  if (HasSkippingLevel(run.macros.file_rept)) return true;
  for (const Expansion& e : run.macros.expansions) {
    if (HasSkippingLevel(e.rept)) return true;
  }
  return false;
}

int BeginRept(TarnRun& run, int count) {
  ReptState& r = CurrentRept(run);
  int result = 0;
  if (count >= kReptCountLimit) {
    // The block is skipped, so that its ENDR still closes it.
    result = ReportMessage(run, kError, kMsgReptCountTooLarge);
    count = 0;
  }
  if (!r.active) {
    r = ReptState{};
    r.active = true;
    r.lines.emplace_back(run.lexer.line);
    r.replay = r.lines.size();
    r.levels.push_back({count, r.replay, 0});
    return result;
  }
  if (r.levels.size() >= kReptLevelLimit) {
    ++r.refused_levels;
    return ReportMessage(run, kError, kMsgReptCountTooLarge);
  }
  r.levels.push_back({count, r.replay, 0});
  return result;
}

int EndRept(TarnRun& run) {
  ReptState& r = CurrentRept(run);
  if (!r.active) return -1;
  if (r.refused_levels > 0) {
    --r.refused_levels;
    return 1;
  }
  ReptLevel& level = r.levels.back();
  ++level.iteration;
  if (level.iteration < level.count && !r.overflowed) {
    r.replay = level.first;
    return 0;
  }
  r.levels.pop_back();
  if (r.levels.empty()) r = ReptState{};
  return 1;
}

bool ReplayReptLine(TarnRun& run, ReptState& rept, std::string* line) {
  if (rept.replay < rept.lines.size()) {
    *line = rept.lines[rept.replay++];
    return true;
  }
  // Only the first run of a block reads on; a later run that finds no stored line has lost
  // its ENDR.
  for (const ReptLevel& level : rept.levels) {
    if (level.iteration >= 1) {
      Print(run, "\nFATAL Error executing REPT directive");
      throw TarnExit{1};
    }
  }
  return false;
}

void StoreReptLine(TarnRun& run, ReptState& rept, std::string_view line) {
  if (rept.overflowed) return;
  if (rept.lines.size() >= kReptLineLimit) {
    // The block runs once as read; it cannot be repeated.
    rept.overflowed = true;
    ReportMessage(run, kError, kMsgReptCountTooLarge);
    return;
  }
  rept.lines.emplace_back(line);
  rept.replay = rept.lines.size();
}

void ResetMacrosForPass(TarnRun& run) {
  MacroState& m = run.macros;
  m.expansions.clear();
  m.local_total = 0;
  m.expansions_started = 0;
  m.file_rept = ReptState{};
}

void FreeMacroStorage(TarnRun& run) {
  run.macros.expansions.clear();
  run.macros.macros.clear();
  run.macros.file_rept = ReptState{};
}

std::string FormatInRadix(int value, int radix) {
  char text[40];
  unsigned v = static_cast<unsigned>(value);
  switch (radix) {
    case 2: {
      std::string bits;
      do {
        bits.insert(bits.begin(), static_cast<char>('0' + (v & 1)));
        v >>= 1;
      } while (v != 0);
      return bits;
    }
    case 8: std::snprintf(text, sizeof text, "%o", v); break;
    case 16: std::snprintf(text, sizeof text, "%X", v); break;
    default: std::snprintf(text, sizeof text, "%d", value); break;
  }
  return text;
}

}  // namespace tarn
