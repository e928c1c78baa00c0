#include "assembler/ieee695_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "assembler/devices.h"
#include "assembler/image.h"
#include "assembler/listing.h"
#include "assembler/messages.h"
#include "assembler/output_file.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/version.h"

namespace tarn {
namespace {

// Record codes of the standard; the two-byte ones are an assignment code and its letter.
enum RecordCode : int {
  kMB = 0xE0,     // module begin: processor, module name
  kME = 0xE1,     // module end
  kSB = 0xE5,     // section begin
  kST = 0xE6,     // section type
  kAD = 0xEC,     // address descriptor
  kLD = 0xED,     // load data
  kNN = 0xF0,     // name
  kBB = 0xF8,     // block begin
  kBE = 0xF9,     // block end
  kASF = 0xE2C6,  // AS-F
  kASG = 0xE2C7,  // AS-G: start address
  kASL = 0xE2CC,  // AS-L: section base
  kASN = 0xE2CE,  // AS-N: value of a name
  kASP = 0xE2D0,  // AS-P: load address
  kASS = 0xE2D3,  // AS-S: section size
  kASW = 0xE2D7,  // AS-W: part offset
  kATN = 0xF1CE,  // ATN: attribute of a name
};

// Debug block types.
enum BlockType : int {
  kBlockModule = 1,
  kBlockGlobals = 3,
  kBlockSourceFile = 5,
  kBlockCompiler = 10,
};

// The parts, by their index in the header.
enum Part : int {
  kPartAdExtension = 0,
  kPartEnvironment = 1,
  kPartSections = 2,
  kPartExternals = 3,  // none: its offset stays 0
  kPartDebug = 4,
  kPartData = 5,
  kPartTrailer = 6,
  kPartModuleEnd = 7,
  kPartCount = 8,
};

constexpr int kFirstNameIndex = 33;
constexpr int kDataSection = 1;
constexpr int kCodeSection = 2;

// The load data: program memory of the largest device, the ID words and the configuration block.
constexpr int kLoadedWords = kConfigurationAddress + kConfigurationWords;  // 4,120
constexpr int kWordsPerLoad = 63;
// The load is fixed, so whether it fits the image (16,448 words) is settled at compile time and
// "This code appears to exceed the size of the device!" can never be due.
static_assert(kLoadedWords <= 16448 && kLoadedWords <= kImageWords);

// A part offset in the header is a fixed 2-byte number; a module that outgrows it gets the
// 4-byte form for all eight, so no offset is ever cut short.
constexpr long kNarrowOffsetLimit = 0xFFFF;

// The bytes of a record, field by field.
class RecordBytes {
 public:
  void Code(int64_t code) {
    if ((code >> 8) & 0xFF) Byte(code >> 8);
    Byte(code);
  }
  void Byte(int64_t value) { bytes_ += static_cast<char>(value & 0xFF); }
  void Letter(char c) { Byte(std::toupper(static_cast<unsigned char>(c)) + 0x80); }
  void Number(int64_t value) {
    uint64_t u = Unsigned(value);
    if (u <= 127) return Byte(static_cast<int64_t>(u));
    int k = 0;
    for (uint64_t rest = u; rest != 0; rest >>= 8) ++k;
    Fixed(value, k);
  }
  void Fixed(int64_t value, int k) {
    uint64_t u = Unsigned(value);
    Byte(0x80 + k);
    for (int i = k - 1; i >= 0; --i) Byte(static_cast<int64_t>(u >> (8 * i)));
  }
  void Name(std::string_view text) {
    // Two length bytes are the most the form has.
    text = text.substr(0, 0xFFFF);
    int64_t n = static_cast<int64_t>(text.size());
    if (n < 127) {
      Byte(n);
    } else if (n <= 254) {
      Byte(0xDE);
      Byte(n);
    } else {
      Byte(0xDF);
      Byte(n >> 8);
      Byte(n);
    }
    bytes_.append(text);
  }
  std::string& bytes() { return bytes_; }

 private:
  // Negative numbers are written as their 32-bit two's complement.
  static uint64_t Unsigned(int64_t value) {
    return value < 0 ? static_cast<uint32_t>(value) : static_cast<uint64_t>(value);
  }
  std::string bytes_;
};

struct ModuleTime {
  int year, month, day, hour, minute, second;
};

ModuleTime TimeNow(const Ieee695State& state) {
  std::tm t{};
  if (state.clock) {
    t = state.clock();
  } else {
    std::time_t now = std::time(nullptr);
    localtime_r(&now, &t);
  }
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

// One sweep over the module, counting or writing; a sweep starts from a clear state.
struct ModuleWriter {
  ModuleWriter(TarnRun& r, OutputFile& f, ModuleTime t) : run(r), file(f), time(t) {}

  TarnRun& run;
  OutputFile& file;
  ModuleTime time;
  bool count_only = true;
  bool wide_offsets = false;
  std::array<long, kPartCount> header{};  // the offsets the header carries
  std::array<long, kPartCount> found{};   // where this sweep found the parts
  long offset = 0;
  int next_index = kFirstNameIndex;
  std::vector<int> open_blocks;  // the name indexes of the open file blocks, innermost last

  void Start() {
    offset = 0;
    next_index = kFirstNameIndex;
    found.fill(0);
    open_blocks.clear();
  }
  void StartPart(int part) { found[static_cast<size_t>(part)] = offset; }
  int NewIndex() { return next_index++; }

  void Put(const std::string& bytes) {
    offset += static_cast<long>(bytes.size());
    if (count_only) return;
    file.Put(bytes);
  }
  void Emit(std::string_view letters, std::initializer_list<RecordField> fields) {
    Put(EncodeRecord(letters, fields));
  }
};

void WriteHeader(ModuleWriter& w) {
  const TarnRun& run = w.run;
  int device = std::clamp(run.device.index, 0, kDeviceCount - 1);
  w.Emit("CII", {kMB, kDevices[device].name, run.source_name});
  w.Emit("CnnA", {kAD, 8, 2, "L"});  // 8 bits a unit, 2 units an address, low byte first
  for (int part = 0; part < kPartCount; ++part) {
    w.Emit(w.wide_offsets ? "CnP" : "CnO", {kASW, part, w.header[static_cast<size_t>(part)]});
  }
}

void WriteAdExtension(ModuleWriter& w) {
  w.StartPart(kPartAdExtension);
  int index = w.NewIndex();
  w.Emit("CnI", {kNN, index, "AD Info"});
  w.Emit("Cnnnxx", {kATN, index, 0, 37, 4, 1});
  w.Emit("Cnnnx", {kATN, index, 0, 38, 1});
  // 1 would announce names that differ by case; tarn's names never do (/I changes nothing).
  w.Emit("Cnnnx", {kATN, index, 0, 39, 2});
}

// 0: no messages, 1: warnings only, 3: errors.
int MessageClass(const TarnRun& run) {
  const MessageCounts& c = run.messages.counts;
  return c.errors > 0 ? 3 : c.warnings > 0 ? 1 : 0;
}

void WriteEnvironment(ModuleWriter& w) {
  w.StartPart(kPartEnvironment);
  const ModuleTime& t = w.time;
  int index = w.NewIndex();
  w.Emit("CnI", {kNN, index, "TARN Env"});
  w.Emit("Cnnnxxxxxx", {kATN, index, 0, 50, t.year, t.month, t.day, t.hour, t.minute, t.second});
  w.Emit("CnnnI", {kATN, index, 0, 51, w.run.ieee695.command_line});
  w.Emit("Cnnnx", {kATN, index, 0, 52, MessageClass(w.run)});
  w.Emit("Cnnnx", {kATN, index, 0, 53, 2});
  w.Emit("Cnnnxxx", {kATN, index, 0, 54, 16, 1, 50});
}

void WriteSections(ModuleWriter& w) {
  w.StartPart(kPartSections);
  w.Emit("CnAAAI", {kST, kDataSection, "A", "S", "D", "DATA"});
  w.Emit("Cnn", {kASS, kDataSection, 0});
  w.Emit("CnP", {kASL, kDataSection, 0});
  w.Emit("CnAAAI", {kST, kCodeSection, "A", "S", "P", "CODE"});
  w.Emit("Cnn", {kASS, kCodeSection, w.run.device.program_size});
  w.Emit("CnP", {kASL, kCodeSection, 0});
  w.Emit("Cn", {kASF, -2});
}

// The file blocks: one for every time a file is entered, with the lines that have words.
void WriteLineBlocks(ModuleWriter& w) {
  const Ieee695State& state = w.run.ieee695;
  const ModuleTime& t = w.time;
  for (const Ieee695LineEvent& event : state.events) {
    switch (event.kind) {
      case kEnterFile: {
        const std::string& name = state.file_names[event.file];
        w.Emit("CnnInnnnnn", {kBB, kBlockSourceFile, 0, name, t.year, t.month, t.day, t.hour,
                              t.minute, t.second});
        int index = w.NewIndex();
        w.Emit("CnI", {kNN, index, "LineNumbers"});
        w.open_blocks.push_back(index);
        break;
      }
      case kLeaveFile:
        if (w.open_blocks.empty()) break;
        w.Emit("C", {kBE});
        w.open_blocks.pop_back();
        // The enclosing file's lines go on under its own name index.
        if (!w.open_blocks.empty()) w.Emit("CnI", {kNN, w.open_blocks.back(), "LineNumbers"});
        break;
      case kSourceLine: {
        if (w.open_blocks.empty()) break;
        size_t level = std::min<size_t>(event.level, w.open_blocks.size() - 1);
        int index = w.open_blocks[level];
        w.Emit("Cnnnxx", {kATN, index, 0, 7, event.line, 0});
        w.Emit("Cnn", {kASN, index, event.address});
        break;
      }
      default: break;
    }
  }
  // Normally only the main file's block is still open; a source that ends inside an include
  // file leaves more, and each gets its end.
  while (!w.open_blocks.empty()) {
    w.Emit("C", {kBE});
    w.open_blocks.pop_back();
  }
}

// The debugger's type of a symbol kind: 2 data, 15 an address, 0 anything else.
int SymbolType(uint8_t kind) {
  switch (kind) {
    case kSymData:
    case kSymVar:
    case kSymBdat:
    case kSymBvar:
    case kSymResb: return 2;
    case kSymAddr: return 15;
    default: return 0;
  }
}

void WriteDebugPart(ModuleWriter& w) {
  w.StartPart(kPartDebug);
  const TarnRun& run = w.run;
  const ModuleTime& t = w.time;
  for (int type : {kBlockModule, kBlockGlobals}) {
    w.Emit("CnOI", {kBB, type, 0, run.image.id_text});
    w.Emit("C", {kBE});
  }
  WriteLineBlocks(w);
  w.Emit("CnOIInInnnnnn", {kBB, kBlockCompiler, 0, run.source_name, "", 16, kVersionText, t.year,
                           t.month, t.day, t.hour, t.minute, t.second});
  run.symbols.Walk([&](const SymbolNode& symbol) {
    int index = w.NewIndex();
    w.Emit("CnI", {kNN, index, symbol.name});
    w.Emit("Cnnnxx", {kATN, index, SymbolType(symbol.kind), 19, 1, 0});
    w.Emit("Cnn", {kASN, index, (symbol.value & 0xFFF) + (symbol.bit & 7) * 4096});
  });
  w.Emit("C", {kBE});
}

void WriteDataPart(ModuleWriter& w) {
  w.StartPart(kPartData);
  w.Emit("Cn", {kSB, kCodeSection});
  w.Emit("Cnn", {kASP, kCodeSection, 0});
  const std::vector<uint16_t>& words = w.run.image.words;
  for (int first = 0; first < kLoadedWords; first += kWordsPerLoad) {
    int count = std::min(kWordsPerLoad, kLoadedWords - first);
    RecordBytes record;
    record.Code(kLD);
    record.Number(2 * count);
    for (int i = first; i < first + count; ++i) {
      uint16_t word = words[static_cast<size_t>(i)];
      record.Byte(word & 0xFF);
      record.Byte(word >> 8);
    }
    w.Put(record.bytes());
  }
}

void WriteTrailer(ModuleWriter& w) {
  w.StartPart(kPartTrailer);
  w.Emit("CCnC", {kASG, 0xBE, 0, 0xBF});  // the start address: (0)
  w.StartPart(kPartModuleEnd);
  w.Emit("C", {kME});
}

void Sweep(ModuleWriter& w) {
  w.Start();
  WriteHeader(w);
  WriteAdExtension(w);
  WriteEnvironment(w);
  WriteSections(w);
  WriteDebugPart(w);
  WriteDataPart(w);
  WriteTrailer(w);
}

int FileNameIndex(Ieee695State& state, const std::string& name) {
  auto known = std::find(state.file_names.begin(), state.file_names.end(), name);
  if (known != state.file_names.end()) return static_cast<int>(known - state.file_names.begin());
  state.file_names.push_back(name);
  return static_cast<int>(state.file_names.size()) - 1;
}

void PushEvent(Ieee695State& state, int32_t kind, int level, int file, int address = 0,
               int line = 0) {
  Ieee695LineEvent event;
  event.kind = kind;
  event.level = static_cast<uint8_t>(level);
  event.file = static_cast<uint8_t>(file);
  event.address = static_cast<uint16_t>(address);
  event.line = line;
  state.events.push_back(event);
}

}  // namespace

std::string EncodeRecord(std::string_view letters, std::initializer_list<RecordField> fields) {
  RecordBytes record;
  const RecordField* field = fields.begin();
  static const RecordField kMissing(0);
  for (char letter : letters) {
    const RecordField& f = field != fields.end() ? *field++ : kMissing;
    switch (letter) {
      case 'C':
      case 'T': record.Code(f.number); break;
      case 'D': record.Byte(f.number); break;
      case 'A':
        record.Letter(f.is_text ? (f.text.empty() ? ' ' : f.text[0]) : static_cast<char>(f.number));
        break;
      case 'n':
      case 'x': record.Number(f.number); break;
      case 'O': record.Fixed(f.number, 2); break;
      case 'P': record.Fixed(f.number, 4); break;
      case 'I': record.Name(f.text); break;
      default: break;
    }
  }
  return std::move(record.bytes());
}

void SaveCommandLine(TarnRun& run, std::string_view text) {
  run.ieee695.command_line = std::string(text);
}

void NoteLineEvent(Ieee695State& state, const std::string& main_source, int level,
                   const std::string& file, int line, int address, int line_class) {
  level = std::max(level, 0);
  // Most lines come from the file of the line before: its name needs no search.
  bool same_file = state.level == level && state.file >= 0 && state.file_names[state.file] == file;
  if (state.level < 0) FileNameIndex(state, main_source);
  int index = same_file ? state.file : FileNameIndex(state, file);
  if (level > state.level) {
    for (int l = state.level + 1; l <= level; ++l) PushEvent(state, kEnterFile, l, index);
  } else if (level < state.level) {
    for (int l = state.level; l > level; --l) PushEvent(state, kLeaveFile, l, state.file);
  } else if (index != state.file) {
    PushEvent(state, kLeaveFile, level, state.file);
    PushEvent(state, kEnterFile, level, index);
  }
  state.level = level;
  state.file = index;
  if (line_class == kLineCode || line_class == kLineResetVector) {
    PushEvent(state, kSourceLine, level, index, address, line);
  }
}

void NoteLine(TarnRun& run, int level, int address, int line_class) {
  NoteLineEvent(run.ieee695, run.source_name, level, CurrentFileName(run), CurrentLineNumber(run),
                address, line_class);
}

int WriteIeee695(TarnRun& run) {
  std::string name = run.OutputName(".qve");
  OutputFile file;
  if (!file.Create(run.files, name)) {
    Print(run, "\nCannot open IEEE-695 object file: %s", name.c_str());
    return -1;
  }
  ModuleWriter w(run, file, TimeNow(run.ieee695));
  Sweep(w);
  if (*std::max_element(w.found.begin(), w.found.end()) > kNarrowOffsetLimit) {
    w.wide_offsets = true;
    Sweep(w);
  }
  w.header = w.found;
  w.count_only = false;
  Sweep(w);
  // A full disk must not pass for a written module.
  if (!file.Close()) {
    Print(run, "\nCannot open IEEE-695 object file: %s", name.c_str());
    return -1;
  }
  return 0;
}

}  // namespace tarn
