#include "assembler/pass2.h"

#include "assembler/encoding.h"
#include "assembler/ieee695_writer.h"
#include "assembler/lexer.h"
#include "assembler/listing.h"
#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/statements.h"

namespace tarn {
namespace {

// Where the line came from, taken before its statement runs: an INCLUDE or the end of an
// expansion changes the source only for the lines after it. The source is copied: a statement
// may read further lines (a macro definition) before the line is listed. One ListedLine serves
// every line, so its text keeps its room.
void DescribeLine(TarnRun& run, ListedLine* line) {
  std::string source = std::move(line->source);
  *line = ListedLine{};
  line->source = std::move(source);
  line->source.assign(run.lexer.line);
  line->number = ListingLineNumber(run);
  line->file_line = CurrentLineNumber(run);
  line->file_index = CurrentFileNumber(run);
  if (InMacroExpansion(run)) {
    line->marker = kMarkerMacro;
  } else if (IncludeDepth(run) > 0) {
    line->marker = kMarkerInclude;
  }
}

// An instruction: its words go into the image at the location counter.
void Encode(TarnRun& run, const StatementResult& statement, ListedLine* line) {
  uint16_t address = run.pass_state.location;
  StatementWords words = EncodeStatement(run, statement.mnemonic, address);
  FollowPreviousSkip(run, words);
  StoreStatementWords(run, address, words.words);
  AdvanceLocation(run, static_cast<int>(words.words.size()));
  line->line_class = kLineCode;
  line->address = address;
  line->words = std::move(words.words);
}

// The address a debugger shows for the line: its first word, or the reset vector it writes.
int LineAddress(const ListedLine& line) {
  return line.line_class == kLineResetVector && !line.words.empty() ? line.words.front()
                                                                    : line.address;
}

void TakeListing(const StatementResult& statement, ListedLine* line) {
  line->line_class = statement.line_class;
  line->value = static_cast<uint32_t>(statement.value);
  line->bit_part = statement.bit;
  line->blank_lines = statement.blank_lines;
  if (statement.line_class == kLineFuses) {
    line->words = statement.words;
  } else if (statement.line_class == kLineResetVector) {
    line->words = {static_cast<uint16_t>(statement.address)};
    line->words.insert(line->words.end(), statement.words.begin(), statement.words.end());
  }
}

}  // namespace

void RunPass2(TarnRun& run) {
  run.pass = 2;
  if (!OpenMainSource(run)) {
    Print(run, "\nCannot open File: %s", run.source_name.c_str());
    throw TarnExit{1};
  }
  BeginPass(run);
  ListedLine line;
  for (;;) {
    if (ReadLine(run) < 0) {
      ReportMessage(run, kError, kMsgUnexpectedEof);
      throw TarnExit{1};
    }
    DescribeLine(run, &line);
    bool end = false;
    Token first = NextToken(run);
    if (first == Token::kName) {
      StatementResult statement = ProcessStatement(run);
      TakeListing(statement, &line);
      if (statement.instruction) Encode(run, statement, &line);
      end = statement.end;
    } else if (first == Token::kNumber || first == Token::kHash) {
      ReportMessage(run, kError, kMsgBadInstruction);
    }
    NoteLine(run, IncludeDepth(run), LineAddress(line), line.line_class);
    if (line.line_class == kLineCode) CountDownTracking(run);
    // NOEXPAND hides the lines of macro expansions; their messages are still listed.
    if (!run.pass_state.list_expansions && line.marker == kMarkerMacro)
      line.line_class = kLineNotListed;
    ListSourceLine(run, line);
    if (end) break;
  }
}

}  // namespace tarn
