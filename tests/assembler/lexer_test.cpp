#include "assembler/lexer.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/instruction_tables.h"
#include "assembler/keywords.h"
#include "assembler/run.h"

namespace tarn {
namespace {

class LexerTest : public ::testing::Test {
 protected:
  std::ostringstream console;
  TarnRun run{console};

  void SetUp() override { run.pass = 2; }

  Token First(const std::string& line) {
    BeginLine(run, line);
    return NextToken(run);
  }

  std::vector<Token> Kinds(const std::string& line) {
    BeginLine(run, line);
    std::vector<Token> kinds;
    for (int guard = 0; guard < 100; ++guard) {
      Token t = NextToken(run);
      kinds.push_back(t);
      if (t == Token::kEndOfLine) break;
    }
    return kinds;
  }

  std::vector<std::string> Texts(const std::string& line) {
    BeginLine(run, line);
    std::vector<std::string> texts;
    while (NextToken(run) != Token::kEndOfLine) texts.emplace_back(run.lexer.text);
    return texts;
  }
};

struct NumberCase {
  const char* word;
  int default_radix;
  int radix;
  int32_t value;
  bool hex_assumed;  // warning 33 in pass 2
};

TEST_F(LexerTest, NumbersInEveryRadixAndSuffix) {
  const NumberCase cases[] = {
      {"1B", 16, 16, 27, true},
      {"1D", 16, 16, 0x1D, true},
      {"101B", 16, 2, 5, false},
      {"12D", 16, 10, 12, false},
      {"101B", 10, 2, 5, false},
      {"1b", 10, 2, 1, false},
      {"99d", 10, 10, 99, false},
      {"0FFh", 10, 16, 255, false},
      {"0FFX", 10, 16, 255, false},
      {"$FF", 10, 16, 255, false},
      {"H'FF'", 10, 16, 255, false},
      {"h'1F'", 10, 16, 31, false},
      {"X'1F'", 10, 16, 31, false},
      {"0XFF", 10, 16, 255, false},
      {"0xff", 2, 16, 255, false},
      {"B'0101'", 10, 2, 5, false},
      {"D'99'", 16, 10, 99, false},
      {"O'17'", 10, 8, 15, false},
      {"Q'17'", 10, 8, 15, false},
      {"17o", 10, 8, 15, false},
      {"%1010", 10, 2, 10, false},
      {"1_000", 10, 10, 1000, false},
      {"$1_F", 10, 16, 31, false},
      {"10", 8, 8, 8, false},
      {"101", 2, 2, 5, false},
      {"10", 16, 16, 16, false},
      {"0FFFFFFFFh", 10, 16, -1, false},
      {"100000001h", 10, 16, 1, false},
      {"4294967297", 10, 10, 1, false},
      // Longer than a name may be: read whole, suffix included.
      {"11110000111100001111000011110000B", 10, 2, static_cast<int32_t>(0xF0F0F0F0u), false},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.word);
    run.options.radix = c.default_radix;
    run.messages.counts = {};
    ASSERT_EQ(First(c.word), Token::kNumber);
    EXPECT_EQ(run.lexer.radix, c.radix);
    EXPECT_EQ(run.lexer.raw_word, c.word);
    EXPECT_EQ(run.lexer.hex_assumed, c.hex_assumed);
    EXPECT_EQ(run.messages.counts.warnings, c.hex_assumed ? 1 : 0);
    run.messages.error_calls = 0;
    EXPECT_EQ(ConvertNumber(run), c.value);
    EXPECT_EQ(run.messages.error_calls, 0);
  }
}

TEST_F(LexerTest, AssumedHexadecimalIsSilentInPassOne) {
  run.pass = 1;
  run.options.radix = 16;
  ASSERT_EQ(First("1B"), Token::kNumber);
  EXPECT_EQ(ConvertNumber(run), 27);
  EXPECT_EQ(run.messages.counts.warnings, 0);
}

TEST_F(LexerTest, InvalidDigitsReportMessage23) {
  const std::pair<const char*, int> cases[] = {
      {"12A", 10}, {"$FG", 10}, {"19O", 10}, {"102B", 10}, {"H'1G'", 10}, {"1'2", 10}, {"8", 8}};
  for (const auto& [word, radix] : cases) {
    SCOPED_TRACE(word);
    run.options.radix = radix;
    run.messages.error_calls = 0;
    ASSERT_EQ(First(word), Token::kNumber);
    EXPECT_EQ(ConvertNumber(run), -1);
    EXPECT_EQ(run.messages.error_calls, 1);
    EXPECT_EQ(run.messages.last_error_code, 23);
  }
  EXPECT_NE(console.str().find("Error 23, Pass 2: Invalid digit in numeric constant"),
            std::string::npos);
}

TEST_F(LexerTest, PercentAloneIsZeroOutsideRept) {
  ASSERT_EQ(First("%"), Token::kNumber);
  EXPECT_EQ(run.lexer.radix, 2);
  EXPECT_EQ(ConvertNumber(run), 0);
  run.macros.file_rept.active = true;
  EXPECT_EQ(First("%"), Token::kName);
}

struct WordCase {
  const char* word;
  Token kind;
  const char* text;
};

TEST_F(LexerTest, NamesAndAtNames) {
  const WordCase cases[] = {
      {"FF", Token::kName, "FF"},
      {"loop", Token::kName, "loop"},
      {"$", Token::kName, "$"},
      {"H", Token::kName, "H"},
      {"Hx'1'", Token::kName, "Hx'1'"},
      {"abc'def", Token::kName, "abc'def"},
      {":local", Token::kName, ":local"},
      {"\\1", Token::kName, "\\1"},
      {"`0", Token::kName, "`0"},
      {"_start", Token::kName, "_start"},
      {"@target", Token::kAtName, "target"},
      {"@", Token::kName, "@"},
      {"label:", Token::kName, "label:"},
  };
  for (const WordCase& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(First(c.word), c.kind);
    EXPECT_EQ(run.lexer.text, c.text);
  }
}

TEST_F(LexerTest, LongNamesAreKeptOnTheirFirst32Characters) {
  std::string name(40, 'q');
  name[35] = 'Z';
  ASSERT_EQ(First(name), Token::kName);
  EXPECT_EQ(run.lexer.text, std::string(32, 'q'));
  EXPECT_EQ(run.lexer.raw_word, name);
  ASSERT_EQ(First("@" + name), Token::kAtName);
  EXPECT_EQ(run.lexer.text, std::string(31, 'q'));
}

TEST_F(LexerTest, TokenOf120CharactersEndsTheRun) {
  ASSERT_EQ(First(std::string(119, 'a')), Token::kName);
  BeginLine(run, std::string(120, 'a'));
  try {
    NextToken(run);
    FAIL() << "no exit";
  } catch (const TarnExit& exit) {
    EXPECT_EQ(exit.code, 1);
  }
  EXPECT_NE(
      console.str().find("Error 34, Pass 2: Token length exceeds limit\n\nProgram Aborted.\n"),
      std::string::npos);
}

TEST_F(LexerTest, OperatorsOfOneAndTwoCharacters) {
  struct OperatorCase {
    const char* text;
    Token kind;
  };
  const OperatorCase cases[] = {
      {"!=", Token::kNotEqual},     {"&&", Token::kLogicalAnd},
      {"//", Token::kModulo},       {"<<", Token::kShiftLeft},
      {"<=", Token::kLessEqual},    {">>", Token::kShiftRight},
      {">=", Token::kGreaterEqual}, {"><", Token::kReverse},
      {"==", Token::kEqual},        {"??", Token::kDoubleQuestion},
      {"||", Token::kLogicalOr},    {"(", Token::kLeftParen},
      {")", Token::kRightParen},    {"[", Token::kLeftBracket},
      {"]", Token::kRightBracket},  {"+", Token::kPlus},
      {"-", Token::kMinus},         {"*", Token::kStar},
      {"/", Token::kSlash},         {"^", Token::kCaret},
      {"~", Token::kTilde},         {"#", Token::kHash},
      {".", Token::kDot},           {"?", Token::kQuestion},
      {"=", Token::kAssign},        {"<", Token::kLess},
      {">", Token::kGreater},       {"!", Token::kNot},
      {"&", Token::kAnd},           {"|", Token::kOr},
      {",", Token::kComma},
  };
  for (const OperatorCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(First(c.text), c.kind);
    EXPECT_EQ(run.lexer.text, c.text);
    EXPECT_EQ(NextToken(run), Token::kEndOfLine);
  }
}

TEST_F(LexerTest, TheCharacterThatEndsATokenIsReadAgain) {
  EXPECT_EQ(Kinds("abc+1"),
            (std::vector<Token>{Token::kName, Token::kPlus, Token::kNumber, Token::kEndOfLine}));
  EXPECT_EQ(Kinds("W,<>fr"),
            (std::vector<Token>{Token::kName, Token::kComma, Token::kLess, Token::kGreater,
                                Token::kName, Token::kEndOfLine}));
  EXPECT_EQ(Kinds("-(x)"), (std::vector<Token>{Token::kMinus, Token::kLeftParen, Token::kName,
                                               Token::kRightParen, Token::kEndOfLine}));
  EXPECT_EQ(Texts("RA.1-0.2"), (std::vector<std::string>{"RA", ".", "1", "-", "0", ".", "2"}));
  EXPECT_EQ(Texts("a\t<\t=b"), (std::vector<std::string>{"a", "<", "=", "b"}));
}

TEST_F(LexerTest, LineEndsAndComments) {
  EXPECT_EQ(Texts("nop ; comment, with words"), std::vector<std::string>{"nop"});
  EXPECT_EQ(Texts("a b\r\nc"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Texts("a\fb"), std::vector<std::string>{"a"});
  EXPECT_EQ(Texts(std::string("a\0b", 3)), std::vector<std::string>{"a"});
  EXPECT_EQ(Texts(""), std::vector<std::string>{});
  BeginLine(run, "x");
  NextToken(run);
  EXPECT_EQ(NextToken(run), Token::kEndOfLine);
  EXPECT_EQ(NextChar(run.lexer), 0);
  EXPECT_EQ(NextChar(run.lexer), 0);
}

TEST_F(LexerTest, Strings) {
  EXPECT_EQ(First("'A'"), Token::kString);
  EXPECT_EQ(run.lexer.text, "A");
  EXPECT_EQ(Kinds("MOV W,#';'"),
            (std::vector<Token>{Token::kName, Token::kName, Token::kComma, Token::kHash,
                                Token::kString, Token::kEndOfLine}));
  EXPECT_EQ(Texts("MOV W,#';' ; c"), (std::vector<std::string>{"MOV", "W", ",", "#", ";"}));
  EXPECT_EQ(Texts("\"it's\""), std::vector<std::string>{"it's"});
  EXPECT_EQ(Texts("\x1F"
                  "arg\x1F"),
            std::vector<std::string>{"arg"});
  EXPECT_EQ(Texts("''"), std::vector<std::string>{""});
  EXPECT_EQ(run.messages.error_calls, 0);
}

TEST_F(LexerTest, UnclosedAndOverlongStringsReportMessage29) {
  ASSERT_EQ(First("'abc"), Token::kString);
  EXPECT_EQ(run.lexer.text, "abc");
  EXPECT_EQ(run.messages.last_error_code, 29);
  EXPECT_EQ(NextToken(run), Token::kEndOfLine);

  run.messages.error_calls = 0;
  ASSERT_EQ(First("'" + std::string(150, 's') + "' x"), Token::kString);
  EXPECT_EQ(run.lexer.text, std::string(119, 's'));
  EXPECT_EQ(run.messages.error_calls, 1);
  EXPECT_EQ(NextToken(run), Token::kName);
  EXPECT_EQ(run.lexer.text, "x");
}

TEST_F(LexerTest, IllegalCharacterFailsTheStatementInBothPasses) {
  for (int pass : {1, 2}) {
    SCOPED_TRACE(pass);
    run.pass = pass;
    run.messages.error_calls = 0;
    run.messages.counts = {};
    EXPECT_EQ(Kinds("a { \x80"), (std::vector<Token>{Token::kName, Token::kIllegal, Token::kIllegal,
                                                     Token::kEndOfLine}));
    EXPECT_EQ(run.messages.error_calls, 1);
    EXPECT_EQ(run.messages.last_error_code, 35);
    EXPECT_EQ(run.messages.counts.warnings, pass == 2 ? 2 : 0);
  }
}

TEST_F(LexerTest, PreviousTokensAreKept) {
  BeginLine(run, "one two three");
  NextToken(run);
  NextToken(run);
  NextToken(run);
  EXPECT_EQ(run.lexer.text, "three");
  EXPECT_EQ(run.lexer.previous_text, "two");
  EXPECT_EQ(run.lexer.previous_text2, "one");
  EXPECT_EQ(run.lexer.previous_kind, Token::kName);
  EXPECT_EQ(run.lexer.start, 8u);
}

TEST(CharClasses, ByUnsignedByte) {
  EXPECT_EQ(ClassOf('a'), kClassWord);
  EXPECT_EQ(ClassOf('`'), kClassWord);
  EXPECT_EQ(ClassOf('\\'), kClassWord);
  EXPECT_EQ(ClassOf('7'), kClassDigit);
  EXPECT_EQ(ClassOf('~'), kClassOperator);
  EXPECT_EQ(ClassOf(0x1F), kClassQuote);
  EXPECT_EQ(ClassOf(','), kClassOther);
  EXPECT_EQ(ClassOf('{'), kClassOther);
  for (int c = 128; c < 256; ++c) EXPECT_EQ(ClassOf(static_cast<unsigned char>(c)), kClassOther);
}

TEST(CheckRange, HalfTheMaximumBelowZero) {
  struct Case {
    int32_t value, max;
    int result;
  };
  const Case cases[] = {{-128, 255, 0},
                        {-129, 255, 1},
                        {255, 255, 0},
                        {256, 255, 1},
                        {4095, 4095, 0},
                        {-2048, 4095, 0},
                        {-2049, 4095, 1},
                        {0, 0, 0},
                        {-1073741824, INT32_MAX, 0},
                        {INT32_MIN, INT32_MAX, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(CheckRange(c.value, c.max), c.result) << c.value << " " << c.max;
}

class KeywordTest : public LexerTest {
 protected:
  int Lookup(const std::string& word, int mode) {
    run.options.syntax_mode = mode;
    BeginLine(run, word);
    NextToken(run);
    return LookupKeyword(run);
  }
};

TEST_F(KeywordTest, MnemonicTablesBySyntaxMode) {
  struct Case {
    const char* word;
    int qv, kestrian, mchip, all, debugger;
  };
  const Case cases[] = {
      {"MOVLW", 0, 0, 1, 1, 1},    {"movlw", 0, 0, 1, 1, 1},  {"Movlw", 0, 0, 1, 1, 1},
      {"MOV", 1, 1, 1, 1, 1},      {"nop", 1, 1, 1, 1, 1},    {"RA", 0, 1, 0, 1, 1},
      {"JNZ", 0, 1, 0, 1, 1},      {"STATUS", 0, 1, 0, 1, 1}, {"DEBUG", 0, 0, 0, 0, 1},
      {"PUSH_DD0", 0, 0, 0, 0, 1}, {"RETURN", 0, 0, 1, 1, 1}, {"count", 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(Lookup(c.word, kModeQV), c.qv);
    EXPECT_EQ(Lookup(c.word, kModeKestrian), c.kestrian);
    EXPECT_EQ(Lookup(c.word, kModeMchip), c.mchip);
    EXPECT_EQ(Lookup(c.word, kModeAll), c.all);
    EXPECT_EQ(Lookup(c.word, kModeDebugger), c.debugger);
  }
}

TEST_F(KeywordTest, RowValuesAreCopied) {
  ASSERT_EQ(Lookup("movlw", kModeMchip), 1);
  EXPECT_FALSE(run.keyword.directive);
  EXPECT_EQ(run.keyword.id, 81u);
  EXPECT_EQ(run.keyword.format, 9);
  EXPECT_EQ(run.keyword.opcode_template, 0xC00);
  ASSERT_EQ(Lookup("z", kModeKestrian), 1);
  EXPECT_EQ(run.keyword.id, kName);
  EXPECT_EQ(run.keyword.operand_count, 1);
  EXPECT_EQ(run.keyword.format, kFmtBitName);
  EXPECT_EQ(run.keyword.opcode_template, 0x203);
}

TEST_F(KeywordTest, DirectivesInEveryMode) {
  struct Case {
    const char* word;
    uint32_t id;
  };
  const Case cases[] = {{"=", kDirSet},         {"set", kDirSet},        {"Processor", kDirDevice},
                        {"DEVICE", kDirDevice}, {"__fusex", kDirFusex},  {"noexpand", kDirNoexpand},
                        {"stitle", kDirTitle},  {"IRC_CAL", kDirIrcCal}, {"endr", kDirEndr}};
  for (const Case& c : cases) {
    for (int mode : {kModeQV, kModeKestrian, kModeDebugger}) {
      SCOPED_TRACE(c.word);
      ASSERT_EQ(Lookup(c.word, mode), 1);
      EXPECT_TRUE(run.keyword.directive);
      EXPECT_EQ(run.keyword.id, c.id);
    }
  }
  EXPECT_EQ(Lookup("PROCESSORS", kModeKestrian), 0);
  EXPECT_EQ(Lookup("LOCAL", kModeKestrian), 0);
}

TEST_F(KeywordTest, MacroNamesAfterTheTables) {
  MacroRecord& m = run.macros.macros["DELAY"];
  m.name = "Delay";
  ASSERT_EQ(Lookup("delay", kModeQV), 1);
  EXPECT_EQ(run.keyword.macro, &m);
  EXPECT_FALSE(run.keyword.directive);
  // A macro named like a mnemonic is never reached.
  run.macros.macros["MOV"].name = "MOV";
  ASSERT_EQ(Lookup("mov", kModeQV), 1);
  EXPECT_EQ(run.keyword.macro, nullptr);
  EXPECT_EQ(Lookup("other", kModeQV), 0);
  EXPECT_EQ(run.keyword.format, 0);
}

// Random bytes must never read outside the line or trip the sanitizers.
TEST_F(LexerTest, RandomLinesAreSafe) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 300);
  for (int pass : {1, 2}) {
    run.pass = pass;
    for (int i = 0; i < 2000; ++i) {
      std::string line(static_cast<size_t>(length(random)), ' ');
      for (char& c : line) c = static_cast<char>(byte(random));
      // Mostly words and operators, so that numbers, strings and pairs are exercised.
      if (i % 2 == 0) {
        static const char kAlphabet[] = "0123456789ABCDEFHXOQbdhxo$%@:_'\"\x1F.+-*/<>=!&|?#(), \t;";
        for (char& c : line)
          c = kAlphabet[static_cast<size_t>(byte(random)) % (sizeof(kAlphabet) - 1)];
      }
      BeginLine(run, line);
      try {
        for (int guard = 0; guard < 1000 && NextToken(run) != Token::kEndOfLine; ++guard) {
          if (run.lexer.kind == Token::kNumber) ConvertNumber(run);
          LookupKeyword(run);
        }
      } catch (const TarnExit&) {
        // a token of 120 characters
      }
      ASSERT_LE(run.lexer.position, line.size() + 1);
    }
  }
}

}  // namespace
}  // namespace tarn
