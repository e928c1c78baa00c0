#pragma once
// Runs a source through the line reader the way the passes do: INCLUDE, MACRO, ENDM, EXITM,
// REPT and ENDR are obeyed, labels are defined (LOCAL and local labels resolved), and every
// other statement is recorded with its file, line and evaluated operands.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/expression.h"
#include "assembler/keywords.h"
#include "assembler/lexer.h"
#include "assembler/macros.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/symbols.h"
#include "assembler/text.h"
#include "test_support.h"

namespace tarn::harness {

namespace fs = std::filesystem;

using tarn_test::TempFolder;

class SourceHarness {
 public:
  std::ostringstream console;
  TarnRun run{console};
  std::vector<std::string> records;  // of the last pass

  // The source's folder is the working folder; output files go into `output_folder`.
  void SetSource(const fs::path& source, const fs::path& output_folder) {
    // A run reads each file once: a new source starts a new registry.
    run.sources.files.clear();
    run.sources.file_numbers.clear();
    run.source_name = source.filename().string();
    run.source_path = fs::absolute(source).string();
    run.working_folder = fs::absolute(source).parent_path().string() + "/";
    run.output_base = (output_folder / source.stem()).string();
  }

  // Runs pass 1 and pass 2; the records are pass 2's. False when a pass ended the run.
  bool Assemble() {
    for (int pass : {1, 2}) {
      if (!RunPass(pass)) return false;
    }
    return true;
  }

  // One pass; the exit code of a pass that ended the run is kept in `exit_code`.
  bool RunPass(int pass) {
    run.pass = pass;
    ResetMessageCounts(run);
    records.clear();
    location_ = 0;
    try {
      if (!OpenMainSource(run)) return false;
      while (ReadLine(run) == 0) {
        if (!Statement()) break;
      }
    } catch (const TarnExit& exit) {
      exit_code = exit.code;
      return false;
    }
    return true;
  }

  int Errors() const { return run.messages.counts.errors; }
  int Warnings() const { return run.messages.counts.warnings; }
  bool Printed(const std::string& text) const {
    return console.str().find(text) != std::string::npos;
  }

  int exit_code = 0;
  std::vector<int> failed_lines;  // listing lines of calls that failed in pass 1

 private:
  int location_ = 0;

  bool IsDirective(uint32_t id) const { return run.keyword.directive && run.keyword.id == id; }

  // false at END.
  bool Statement() {
    Token t = NextToken(run);
    if (t != Token::kName) return true;
    std::string label;
    // "name MACRO" names a macro even when pass 1 has already defined it.
    LexerPosition saved = run.lexer;
    bool defines_macro = NextToken(run) == Token::kName && EqualsNoCase(run.lexer.text, "MACRO");
    ReturnTo(run.lexer, saved);
    bool keyword = !defines_macro && LookupKeyword(run);
    if (!keyword) {
      label = run.lexer.text;
      t = NextToken(run);
      keyword = t == Token::kName && LookupKeyword(run);
    }
    if (ReptSkipping(run) && !IsDirective(kDirRept) && !IsDirective(kDirEndr)) return true;
    if (!label.empty() && !IsDirective(kDirMacro)) DefineLabel(label);
    if (!keyword) return true;
    if (run.keyword.macro) {
      if (ExpandMacroCall(run, *run.keyword.macro) < 0 && run.pass == 1)
        failed_lines.push_back(ListingLineNumber(run));
      return true;
    }
    if (!run.keyword.directive) {
      Emit();
      return true;
    }
    switch (run.keyword.id) {
      case kDirInclude:
        NextToken(run);
        IncludeFile(run, run.lexer.text);
        break;
      case kDirMacro:
        if (run.pass == 1) {
          DefineMacro(run, label);
        } else {
          // Pass 2 lists the definition; the table is pass 1's.
          while (ReadLine(run) == 0) {
            if (NextToken(run) == Token::kName && EqualsNoCase(run.lexer.text, "ENDM")) break;
          }
        }
        break;
      case kDirEndm:
      case kDirExitm:
        if (EndMacroExpansion(run) < 0) ReportMessage(run, kError, 17);
        break;
      case kDirRept:
        NextToken(run);
        EvalExpression(run);
        BeginRept(run, PopInt(run));
        break;
      case kDirEndr: EndRept(run); break;
      case kDirEnd: return false;
      default: break;
    }
    return true;
  }

  void DefineLabel(std::string name) {
    if (name[0] == '`' && InMacroExpansion(run)) {
      name = LocalSymbolName(run, name);
    } else if (name[0] == ':') {
      name = run.sources.last_global_label + name;
    } else if (!InMacroExpansion(run)) {
      run.sources.last_global_label = name;
    }
    if (run.pass == 1) {
      if (FindSymbol(run, name)) records.push_back("REDEFINED " + name);
      DefineSymbolBit(run, name, location_, 0, kSymAddr);
      return;
    }
    const SymbolNode* node = FindSymbol(run, name);
    if (!node || node->value != location_) records.push_back("MISMATCH " + name);
    records.push_back(name + ":");
  }

  void Emit() {
    std::string text = CurrentFileName(run) + "(" + std::to_string(CurrentLineNumber(run)) + ") " +
                       UpperCase(run.lexer.text);
    Token t = NextToken(run);
    const char* separator = " ";
    while (t != Token::kEndOfLine) {
      EvalExpression(run);
      text += separator;
      text += std::to_string(PopInt(run));
      separator = ",";
      t = run.lexer.kind;
      if (t == Token::kComma) {
        t = NextToken(run);
      } else if (t != Token::kEndOfLine) {
        text += " ?";
        break;
      }
    }
    records.push_back(text);
    ++location_;
  }
};

}  // namespace tarn::harness
