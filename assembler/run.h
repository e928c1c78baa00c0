#pragma once
// One assembly run: everything `tarn` keeps from the command line to the exit code. A run is
// an object, so one process can assemble many sources (tests, fuzzers); nothing here is static.
//
// Each part of the assembler keeps its state in a struct of its own header; the run holds one
// of each. Code that ends the run early throws TarnExit, which only RunTarn catches.

#include <cstdio>
#include <iosfwd>
#include <string>

#include "assembler/banks.h"
#include "assembler/devices.h"
#include "assembler/encoding.h"
#include "assembler/expression.h"
#include "assembler/file_access.h"
#include "assembler/ieee695_writer.h"
#include "assembler/image.h"
#include "assembler/keywords.h"
#include "assembler/lexer.h"
#include "assembler/listing.h"
#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/operands.h"
#include "assembler/options.h"
#include "assembler/pass_state.h"
#include "assembler/sources.h"
#include "assembler/symbols.h"

namespace tarn {

// Thrown to end the run with an exit code; the routines that "end the program" unwind to
// RunTarn with it, and only main ends the process.
struct TarnExit {
  int code;
};

// How far one run may go before it stops: no input makes a run go on without end or write
// without bound. A test or a fuzzer may lower them on its own run.
struct RunLimits {
  // Errors shown in both passes; a source that fails on every line stops here.
  int shown_errors = 1000;
  // Messages of every level shown in both passes.
  int shown_messages = 10000;
  // Lines delivered in one pass, from files, macro expansions and REPT blocks together. Far
  // above any program a 4,096-word device can hold; nested REPT blocks and macros that call
  // themselves twice reach it instead of running for ages.
  int pass_lines = 1 << 22;
};

struct TarnRun {
  // A run on the machine's own files.
  explicit TarnRun(std::ostream& console) : out(console), files(system_files_) {}
  TarnRun(std::ostream& console, FileAccess& file_access) : out(console), files(file_access) {}
  TarnRun(const TarnRun&) = delete;
  TarnRun& operator=(const TarnRun&) = delete;

 private:
  SystemFileAccess system_files_;  // stateless; bound when no other file access is given

 public:
  std::ostream& out;  // the console
  FileAccess& files;  // every source read and every output written

  // 0 while the options are read and the run is set up; 1 and 2 during the passes.
  int pass = 0;

  RunLimits limits;
  Options options;
  MessageState messages;
  SourceState sources;
  SymbolTable symbols;
  DeviceState device;
  ProgramImage image;
  ListingState listing;
  LexerState lexer;
  KeywordState keyword;
  KeywordIndex keyword_index;
  MacroState macros;
  ExpressionState expression;
  InstructionState instruction;
  BankPageTracking tracking;
  PassState pass_state;
  EncodingState encoding;
  Ieee695State ieee695;

  // Names. The source name as the user gave it is what messages show; the absolute forms are
  // what the run opens, since every relative name is taken from the source's folder.
  std::string program_path;    // the first argument
  std::string program_folder;  // absolute, ends with "/"
  std::string command_text;    // all arguments joined, at most 1023 characters
  std::string source_name;     // as given, with ".asm" added when it had no extension
  std::string source_path;     // absolute
  std::string working_folder;  // the source's folder, absolute, ends with "/"
  std::string output_base;     // absolute; every output file is this plus its extension

  // A name as the source would open it: relative names are taken from the working folder.
  std::string InWorkingFolder(const std::string& name) const;
  std::string OutputName(const char* extension) const { return output_base + extension; }
};

// printf to the run's console.
void Print(TarnRun& run, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace tarn
