#include "build_debug/tools/cod_reader.h"

#include <gtest/gtest.h>

#include "cod_fixture.h"

namespace build_debug {
namespace {

class CodReaderTest : public ::testing::Test {
 protected:
  CodReaderTest() { boxes.AnswerWithFirstButton(); }  // the reader's boxes have only OK

  // Opens the file built from cod; false when it was refused.
  bool Open(const CodWriter& cod) {
    WriteBytes(file, cod.Build());
    try {
      code.Open(file);
      return true;
    } catch (const CodError&) {
      return false;
    }
  }

  workbench::TempFolder temp{"tarn bridge"};
  std::string file = temp.Path() + "prog.cod";
  platform::RecordingMessageBoxes boxes;
  TCode code{boxes};
};

TEST_F(CodReaderTest, ReadsImageSymbolsScopesLinesAndDirectives) {
  ASSERT_TRUE(Open(SmallProgram()));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(code.Version(), 6);
  EXPECT_EQ(code.Family(), 3);
  EXPECT_EQ(code.CodeSymbolType(), 156);
  EXPECT_EQ(code.Image()[0], 0x05);
  EXPECT_EQ(code.Image()[1], 0x0C);
  EXPECT_EQ(code.Image()[4112 * 2], 0xDB);

  ASSERT_NE(code.FindSymbol("count"), nullptr);
  EXPECT_EQ(code.FindSymbol("count")->Value, 0x09);
  EXPECT_EQ(code.FindSymbol("count", 0x15)->Value, 0x0B);  // the local hides the global
  EXPECT_EQ(code.FindSymbol("flags", 0x15)->Value, 0x08);
  EXPECT_EQ(code.FindSymbol("i", 0x1F)->Value, 0x0A);
  EXPECT_EQ(code.FindSymbol("i", 0x20), nullptr);
  EXPECT_EQ(code.FindSymbol("Count"), nullptr);
  EXPECT_EQ(code.FindSymbol("__RESET")->Type, 137);

  EXPECT_EQ(code.FileNames(),
            (std::vector<std::string>{"main.c", "util.h", "", "", "", "", "", ""}));
  const struct {
    std::uint32_t address;
    int line;
    const char* file;
  } lookups[] = {
      {0, 10, "main.c"},   {1, 11, "main.c"},
      {2, 12, "main.c"},    // a data line: the file of the code line before it
      {5, 12, "main.c"},    // nearer to 2 than to 0x10
      {0x0E, 5, "util.h"},  // nearer to 0x10
      {0x10, 5, "util.h"}, {0x500, 20, "main.c"},
  };
  for (const auto& l : lookups) {
    EXPECT_EQ(code.LineOfAddress(l.address), l.line) << l.address;
    EXPECT_EQ(code.FileOfAddress(l.address), l.file) << l.address;
  }

  ASSERT_EQ(code.Directives().size(), 4u);
  EXPECT_EQ(code.Directives()[1].Address, 1);
  EXPECT_EQ(code.Directives()[1].Command, 'w');
  EXPECT_EQ(code.Directives()[1].Text, "flags, 1, UBIN");
  EXPECT_EQ(code.Directives()[3].Address, 0x10);
  ASSERT_EQ(code.MemoryMap().size(), 128u);
  EXPECT_EQ(code.MemoryMap()[1].Start, 0xFFE);
}

TEST_F(CodReaderTest, LongTablesAndNestedScopes) {
  CodWriter cod;
  cod.long_symbols = {{"a_rather_long_global_name", 137, 0x12345}, {"g", 1, -2}};
  cod.long_locals = {{"__LOCAL", 0x100, 0x1FF},
                     {"zeta", 1, 1},
                     {"alpha", 1, 2},
                     {"__LOCAL", 0x180, 0x18F},
                     {"alpha", 1, 3}};
  cod.long_file_names = {"/a/very/long/folder/name/main.c", "second.c", "third.c"};
  cod.lines = {{2, 0x80, 7, 0x100}};
  ASSERT_TRUE(Open(cod));
  EXPECT_EQ(code.FindSymbol("a_rather_long_global_name")->Value, 0x12345);
  EXPECT_EQ(code.FindSymbol("g")->Value, -2);
  EXPECT_EQ(code.FindSymbol("alpha", 0x100)->Value, 2);
  EXPECT_EQ(code.FindSymbol("alpha", 0x185)->Value, 3);
  EXPECT_EQ(code.FindSymbol("zeta", 0x185)->Value, 1);
  ASSERT_EQ(code.RootScope().Inner.size(), 1u);
  const CodScope& scope = *code.RootScope().Inner[0];
  ASSERT_EQ(scope.Symbols.size(), 2u);
  EXPECT_EQ(scope.Symbols[0].Name, "alpha");  // in name order
  EXPECT_EQ(code.FileOfAddress(0x100), "third.c");
}

TEST_F(CodReaderTest, LineRecordsKeepTheLastOfARunAndTheLastPending) {
  CodWriter cod;
  cod.lines = {{0, 0x80, 1, 0},
               {0, 0x80, 2, 0},   // same address: the later one stays
               {0, 0x02, 3, 5},   // never kept
               {0, 0x80, 4, 6}};  // still pending at the end
  ASSERT_TRUE(Open(cod));
  ASSERT_EQ(code.LineRecords().size(), 2u);
  EXPECT_EQ(code.LineOfAddress(0), 2);
  EXPECT_EQ(code.LineOfAddress(6), 4);
  EXPECT_EQ(code.LineOfAddress(5), 4);
}

TEST_F(CodReaderTest, WithoutLineRecordsEveryLineIsUnknown) {
  ASSERT_TRUE(Open(CodWriter{}));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "No Source Line Information Available");
  EXPECT_EQ(code.LineOfAddress(0), -1);
  EXPECT_EQ(code.FileOfAddress(0), "");
  EXPECT_EQ(code.FindLineIndex(0, true), -1);
}

TEST_F(CodReaderTest, CompilerIds) {
  const struct {
    std::uint16_t version;
    const char* id;
    int family;
  } cases[] = {
      {5, "QVC", 3},    {6, "QVC", -1},   {6, "BCLQVCEDU", 3}, {6, "BCLMPC Tech", 2},
      {5, "BCLC38", 4}, {6, "BCLZ8C", 5}, {6, "BCLETPUC", 10}, {6, "bclqvc", -1},
  };
  for (const auto& c : cases) {
    CodWriter cod = SmallProgram();
    cod.version = c.version;
    cod.compiler_id = c.id;
    boxes.Clear();
    TCode fresh(boxes);
    WriteBytes(file, cod.Build());
    fresh.Open(file);
    EXPECT_EQ(fresh.Family(), c.family) << c.id;
    EXPECT_EQ(boxes.Boxes().size(), c.family == -1 ? 1u : 0u) << c.id;
  }
  // An unknown id is only shown, in a text of at most 52 characters.
  const struct {
    const char* id;
    const char* text;
  } unknown[] = {
      {"XYZ", "XYZ) is not a recognized Wrenfield compiler."},
      {"NOTACOMPILER", "NOTACOMPILER) is not a recognized Wrenfield compiler"},
  };
  for (const auto& u : unknown) {
    CodWriter cod = SmallProgram();
    cod.compiler_id = u.id;
    boxes.Clear();
    ASSERT_TRUE(Open(cod));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u.text);
  }
}

TEST_F(CodReaderTest, VersionFiveLocalNamesCompareOnTwelveCharacters) {
  CodWriter cod = SmallProgram();
  cod.version = 5;
  cod.compiler_id = "BCLC38";
  cod.short_locals = {{"__LOCAL", 0x10, 0x1F}, {"twelve_chars", 1, 0x0C}};
  ASSERT_TRUE(Open(cod));
  EXPECT_EQ(code.FindSymbol("twelve_chars_and_more", 0x10)->Value, 0x0C);
  EXPECT_EQ(code.FindSymbol("twelve_chars_and_more"), nullptr);  // not in the root scope
}

TEST_F(CodReaderTest, VersionFiveByteAddressesOfScopesAreHalved) {
  CodWriter cod = SmallProgram();
  cod.version = 5;
  cod.compiler_id = "QVC";
  cod.short_locals = {{"__LOCAL", 0x20, 0x3F}, {"i", 1, 0x0A}};
  ASSERT_TRUE(Open(cod));
  EXPECT_EQ(code.FindSymbol("i", 0x10)->Value, 0x0A);
  EXPECT_EQ(code.FindSymbol("i", 0x20), nullptr);
}

TEST_F(CodReaderTest, UnknownVersionsAreRefused) {
  for (std::uint16_t version : {std::uint16_t{0}, std::uint16_t{4}, std::uint16_t{7}}) {
    CodWriter cod = SmallProgram();
    cod.version = version;
    boxes.Clear();
    EXPECT_FALSE(Open(cod)) << version;
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              ".COD File Version Error: Unrecognized version of .COD file\r\r" + file);
  }
}

TEST_F(CodReaderTest, MissingFile) {
  EXPECT_THROW(code.Open(temp.Path() + "none.cod"), CodError);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            "I/O Error: Unable to open code file: " + temp.Path() + "none.cod ");
}

}  // namespace
}  // namespace build_debug
