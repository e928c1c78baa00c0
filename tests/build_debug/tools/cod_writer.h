#pragma once
// Builds ".cod" files from tables, so that a test says what its file holds: block 0 the
// directory, then the image blocks, then one run of blocks per table, in the layouts the reader
// takes (little-endian, long-table values and directive addresses most significant byte first).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "build_debug/tools/cod_reader.h"

namespace build_debug {

struct CodWriter {
  struct Line {
    std::uint8_t file;
    std::uint8_t flags;
    std::uint16_t line;
    std::uint16_t address;
  };
  struct Symbol {
    std::string name;
    std::uint16_t type;
    std::int32_t value;
  };
  // "__LOCAL" opens a scope from start to end; any other name is a symbol of the scope.
  struct Local {
    std::string name;
    std::uint32_t start_or_type;
    std::int32_t end_or_value;
  };
  struct Directive {
    std::uint32_t address;
    char command;
    std::string text;
  };

  std::uint16_t version = 6;
  std::string compiler_id = "BCLQVC";
  std::map<std::size_t, std::uint16_t> words;  // by word index of the 64 KB image
  std::vector<std::pair<std::uint16_t, std::uint16_t>> memory_map;  // byte addresses
  std::vector<Line> lines;
  std::vector<Symbol> short_symbols;
  std::vector<Symbol> long_symbols;
  std::vector<Local> short_locals;
  std::vector<Local> long_locals;
  std::vector<std::string> short_file_names;
  std::vector<std::string> long_file_names;
  std::vector<Directive> directives;

  std::string Build() const {
    std::vector<std::string> blocks(1);  // block 0, the directory, is written last
    std::string dir(kCodBlockSize, '\0');
    auto put16 = [](std::string& b, std::size_t at, std::uint32_t v) {
      b[at] = static_cast<char>(v & 0xFF);
      b[at + 1] = static_cast<char>(v >> 8 & 0xFF);
    };
    auto put32 = [&](std::string& b, std::size_t at, std::uint32_t v) {
      put16(b, at, v & 0xFFFF);
      put16(b, at + 2, v >> 16);
    };
    auto big32 = [](std::uint32_t v) {
      std::string s(4, '\0');
      for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (24 - 8 * i) & 0xFF);
      return s;
    };
    auto name = [](const std::string& n, std::size_t size) {
      std::string s(size, '\0');
      s[0] = static_cast<char>(n.size());
      s.replace(1, n.size(), n);
      return s.substr(0, size);
    };
    // Packs fixed-size entries into blocks and records the table's first and last block.
    auto table = [&](std::size_t field, const std::vector<std::string>& entries,
                     std::size_t per_block) {
      if (entries.empty()) return;
      put16(dir, field, static_cast<std::uint32_t>(blocks.size()));
      for (std::size_t i = 0; i < entries.size(); i += per_block) {
        std::string block;
        for (std::size_t j = i; j < entries.size() && j < i + per_block; ++j) block += entries[j];
        block.resize(kCodBlockSize, '\0');
        blocks.push_back(block);
      }
      put16(dir, field + 2, static_cast<std::uint32_t>(blocks.size() - 1));
    };
    // Packs entries of their own length, a block holding what fits before its limit.
    auto stream = [&](std::size_t field, const std::vector<std::string>& entries,
                      std::size_t limit) {
      if (entries.empty()) return;
      put16(dir, field, static_cast<std::uint32_t>(blocks.size()));
      std::string block;
      for (const std::string& e : entries) {
        if (block.size() + e.size() > limit) {
          block.resize(kCodBlockSize, '\0');
          blocks.push_back(block);
          block.clear();
        }
        block += e;
      }
      block.resize(kCodBlockSize, '\0');
      blocks.push_back(block);
      put16(dir, field + 2, static_cast<std::uint32_t>(blocks.size() - 1));
    };

    put16(dir, kCodVersion, version);
    dir.replace(kCodCompilerId, 13, name(compiler_id, 13));
    std::map<std::size_t, std::string> image;
    for (const auto& [index, word] : words) {
      std::string& b = image[index / 256];
      b.resize(kCodBlockSize, '\0');
      put16(b, index % 256 * 2, word);
    }
    for (const auto& [entry, b] : image) {
      put16(dir, entry * 2, static_cast<std::uint32_t>(blocks.size()));
      blocks.push_back(b);
    }
    std::vector<std::string> e;
    for (const Symbol& s : short_symbols) {
      std::string entry = name(s.name, 16);
      entry[13] = static_cast<char>(s.type);
      put16(entry, 14, static_cast<std::uint32_t>(s.value));
      e.push_back(entry);
    }
    table(kCodShortSymbols, e, 32);
    e.clear();
    for (const Symbol& s : long_symbols) {
      std::string entry =
          name(s.name, s.name.size() + 1) + "  " + big32(static_cast<std::uint32_t>(s.value));
      put16(entry, s.name.size() + 1, s.type);
      e.push_back(entry);
    }
    stream(kCodLongSymbols, e, kCodBlockSize);
    e.clear();
    for (const Local& l : short_locals) {
      std::string entry = name(l.name, 16);
      if (l.name == "__LOCAL") {
        put32(entry, 8, l.start_or_type);
        put32(entry, 12, static_cast<std::uint32_t>(l.end_or_value));
      } else {
        entry[13] = static_cast<char>(l.start_or_type);
        put16(entry, 14, static_cast<std::uint32_t>(l.end_or_value));
      }
      e.push_back(entry);
    }
    table(kCodShortLocals, e, 32);
    e.clear();
    for (const Local& l : long_locals) {
      std::string entry = name(l.name, l.name.size() + 1);
      if (l.name == "__LOCAL") {
        entry += big32(l.start_or_type) + big32(static_cast<std::uint32_t>(l.end_or_value));
      } else {
        std::string type(2, '\0');
        put16(type, 0, l.start_or_type);
        entry += type + big32(static_cast<std::uint32_t>(l.end_or_value));
      }
      e.push_back(entry);
    }
    stream(kCodLongLocals, e, kCodBlockSize);
    e.clear();
    for (const std::string& n : short_file_names) e.push_back(name(n, 64));
    table(kCodShortFileNames, e, 8);
    e.clear();
    for (const std::string& n : long_file_names) e.push_back(name(n, 256));
    table(kCodLongFileNames, e, 2);
    e.clear();
    for (const Line& l : lines) {
      std::string entry(6, '\0');
      entry[0] = static_cast<char>(l.file);
      entry[1] = static_cast<char>(l.flags);
      put16(entry, 2, l.line);
      put16(entry, 4, l.address);
      e.push_back(entry);
    }
    table(kCodLines, e, kCodLinesPerBlock);
    e.clear();
    for (const auto& [start, end] : memory_map) {
      std::string entry(4, '\0');
      put16(entry, 0, start);
      put16(entry, 2, end);
      e.push_back(entry);
    }
    table(kCodMemoryMap, e, 128);
    e.clear();
    for (const Directive& d : directives) {
      e.push_back(big32(d.address) + d.command + name(d.text, d.text.size() + 1));
    }
    stream(kCodDirectives, e, 506);

    blocks[0] = dir;
    std::string file;
    for (const std::string& b : blocks) file += b;
    return file;
  }
};

// The smallest compiler output a window loads: one word at 0 (no reset jump, so no debug run
// takes it), the FUSE and FUSEX words, and one line of `c_file`.
inline std::string SmallCompilerOutput(const std::string& c_file) {
  CodWriter program;
  program.words = {{0, 0x0C05}, {4112, 0x0FDB}, {4113, 0x0BFF}};
  program.memory_map = {{0, 1}};
  program.short_file_names = {c_file};
  program.lines = {{0, 0x80, 1, 0}};
  return program.Build();
}

}  // namespace build_debug
