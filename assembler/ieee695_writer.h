#pragma once
// The IEEE-695 (MUFOM) object module, base + ".qve": the program words, the line table of every
// source file and the symbols, for debuggers that read that standard.
//
// Pass 2 notes every line here; after a run without severe errors the module is written in two
// sweeps over the same records: the first only counts bytes to learn where each part starts,
// the second writes, with those offsets in the header. The offsets are written in a fixed-width
// form, so both sweeps produce records of the same sizes.
//
// Invariants: `events` are in pass-2 order, and every "leave" follows the "enter" it closes;
// `file_names` holds each name once (names compared exactly), the main source first; an event's
// `file` is an index into `file_names`.

#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tarn {

struct TarnRun;

enum Ieee695EventKind : int32_t { kEnterFile = 1, kLeaveFile = 2, kSourceLine = 3 };

struct Ieee695LineEvent {
  int32_t kind = kSourceLine;
  uint8_t level = 0;     // include level: 0 in the main source
  uint8_t file = 0;      // index into the file-name table
  uint16_t address = 0;  // source lines: the address of the line's first word
  int32_t line = 0;      // source lines: the line number within the file
};

struct Ieee695State {
  std::vector<Ieee695LineEvent> events;
  std::vector<std::string> file_names;
  std::string command_line;  // the joined arguments, for the environment part
  // Where the last noted line came from; -1 before the first line.
  int level = -1;
  int file = -1;
  // The local time the module carries (environment, line blocks, compiler block). Tests set a
  // fixed one; empty means the clock of the machine.
  std::function<std::tm()> clock;
};

// ---- Records

// One argument of a record template: a number, or a text for the letters A and I.
struct RecordField {
  template <typename Integer,
            typename = std::enable_if_t<std::is_integral_v<Integer> || std::is_enum_v<Integer>>>
  RecordField(Integer value)
      : number(static_cast<int64_t>(value)) {}  // implicit: fields read as lists
  RecordField(const char* value) : text(value), is_text(true) {}
  RecordField(std::string_view value) : text(value), is_text(true) {}
  RecordField(const std::string& value) : text(value), is_text(true) {}

  int64_t number = 0;
  std::string_view text;
  bool is_text = false;
};

// The bytes of one record: one template letter per field, each consuming one argument.
//   C, T  16-bit code: the high byte when it is not 0, then the low byte
//   D     one raw byte
//   A     a letter: upper-cased, + 0x80 ("A" gives 0xC1)
//   n, x  a number: 0-127 as one byte, else 0x80 + k and k bytes, most significant first, k
//         minimal; a negative number as its 32-bit two's complement in the same form
//   O, P  a number in the fixed form 0x82 and 2 bytes, or 0x84 and 4 bytes
//   I     a name: below 127 characters a length byte; 127-254 0xDE and a length byte;
//         longer 0xDF and two length bytes (high first); then the characters
std::string EncodeRecord(std::string_view letters, std::initializer_list<RecordField> fields);

// ---- Pass 2 and the run

// Keeps the joined command line for the environment part.
void SaveCommandLine(TarnRun& run, std::string_view text);

// Pass 2, for every line: the include level, the address of the line's first word and the line
// class; the current file and its line number come from the line reader.
void NoteLine(TarnRun& run, int level, int address, int line_class);
// The same with the file named; `main_source` enters the table on the first call. Code lines
// (class 1) and reset-vector lines (class 7) become source-line events.
void NoteLineEvent(Ieee695State& state, const std::string& main_source, int level,
                   const std::string& file, int line, int address, int line_class);

// Writes base + ".qve". 0, or -1 after "Cannot open IEEE-695 object file" when it cannot be opened.
int WriteIeee695(TarnRun& run);

}  // namespace tarn
