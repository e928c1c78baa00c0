#include "assembler/options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "assembler/run.h"

namespace tarn {
namespace {

struct Parsed {
  OptionsResult result;
  Options options;
  std::string source;
  std::string console;
};

Parsed Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "/usr/bin/tarn");
  std::ostringstream console;
  TarnRun run(console);
  Parsed p;
  p.result = ReadOptions(run, args, &p.source);
  p.options = run.options;
  p.console = console.str();
  return p;
}

TEST(Options, DefaultsWhenOnlyASourceIsGiven) {
  Parsed p = Parse({"prog"});
  ASSERT_EQ(p.result, OptionsResult::kSource);
  EXPECT_EQ(p.source, "prog");
  EXPECT_EQ(p.options.syntax_mode, kModeKestrian);
  EXPECT_EQ(p.options.output_format, kInhx8m);
  EXPECT_EQ(p.options.radix, 10);
  EXPECT_EQ(p.options.listing_mode, kListNoPage);
  EXPECT_EQ(p.options.tab_width, 8);
  EXPECT_EQ(p.options.warning_level, 1);
  EXPECT_FALSE(p.options.kestrian);
  EXPECT_TRUE(p.options.local_label_column_one);
  EXPECT_TRUE(p.options.full_map_names);
  EXPECT_EQ(p.options.fill_word, 0x0FFFu);
}

TEST(Options, ThreeSpellingsOfAValueMeanTheSame) {
  for (auto args : std::vector<std::vector<std::string>>{
           {"/Fbin16", "x"}, {"/F=BIN16", "x"}, {"-f", "BIN16", "x"}, {"/f", "Bin16", "x"}}) {
    Parsed p = Parse(args);
    ASSERT_EQ(p.result, OptionsResult::kSource) << args[0];
    EXPECT_EQ(p.options.output_format, kBin16) << args[0];
    EXPECT_EQ(p.source, "x");
  }
}

// An option's value, and what it leaves behind when it is illegal.
struct ValueCase {
  std::vector<std::string> args;
  bool legal;
  int Options::*field;
  int expected;
};

TEST(Options, ValuesAndTheirIllegalForms) {
  const ValueCase cases[] = {
      {{"/T", "25", "x"}, false, &Options::tab_width, 20},
      {{"/T", "20", "x"}, true, &Options::tab_width, 20},
      {{"/T3", "x"}, true, &Options::tab_width, 3},
      {{"/T", "0", "x"}, false, &Options::tab_width, 8},  // would divide by zero later
      {{"/Tabc", "x"}, false, &Options::tab_width, 8},    // converts to 0
      {{"/W", "5", "x"}, false, &Options::warning_level, 1},
      {{"/W", "3", "x"}, false, &Options::warning_level, 1},
      {{"/W2", "x"}, true, &Options::warning_level, 2},
      {{"/W0", "x"}, true, &Options::warning_level, 0},
      {{"/C", "MCHIP", "x"}, true, &Options::syntax_mode, kModeMchip},
      {{"/C", "all", "x"}, true, &Options::syntax_mode, kModeAll},
      {{"/C", "QV", "x"}, true, &Options::syntax_mode, kModeQV},
      {{"/C", "DEBUGGER", "x"}, true, &Options::syntax_mode, kModeDebugger},
      {{"/C", "Z80", "x"}, false, &Options::syntax_mode, kModeKestrian},
      {{"/F", "INHX32", "x"}, true, &Options::output_format, kInhx32},
      {{"/F", "IEEE695", "x"}, true, &Options::output_format, kIeee695},
      {{"/F", "ELF", "x"}, false, &Options::output_format, kBin16},
      {{"/L", "0", "x"}, true, &Options::listing_mode, kListNone},
      {{"/L", "page", "x"}, true, &Options::listing_mode, kListPage},
      {{"/L", "2", "x"}, true, &Options::listing_mode, kListNoPage},
      {{"/L", "ALL", "x"}, false, &Options::listing_mode, kListNone},
      {{"/R", "HEX", "x"}, true, &Options::radix, 16},
      {{"/R", "o", "x"}, true, &Options::radix, 8},
      {{"/R", "B", "x"}, true, &Options::radix, 2},
      {{"/R", "D", "x"}, true, &Options::radix, 10},
      {{"/R", "SEX", "x"}, false, &Options::radix, 10},
      {{"/P", "QV52", "x"}, true, &Options::device, 4},
      {{"/P", "pins20", "x"}, true, &Options::device, 1},
      {{"/P", "QV99", "x"}, false, &Options::device, -1},
  };
  for (const ValueCase& c : cases) {
    Parsed p = Parse(c.args);
    std::string label = c.args[0] + " " + c.args[1];
    EXPECT_EQ(p.result, c.legal ? OptionsResult::kSource : OptionsResult::kUsage) << label;
    EXPECT_EQ(p.options.*c.field, c.expected) << label;
  }
}

TEST(Options, FlagsAndIgnoredValues) {
  Parsed p = Parse({"/E", "KESTRIAN", "/O", "USE_OUTPUT_DIR", "/D", "LBL_START_ANY", "/S", "1",
                    "/X", "1", "/Z", "/I", "yes", "x"});
  ASSERT_EQ(p.result, OptionsResult::kSource);
  EXPECT_TRUE(p.options.kestrian);
  EXPECT_TRUE(p.options.use_output_dir);
  EXPECT_FALSE(p.options.local_label_column_one);
  EXPECT_TRUE(p.options.strict_statements);
  EXPECT_TRUE(p.options.irc_cal_zero);
  EXPECT_FALSE(p.options.full_map_names);

  Parsed q = Parse({"/D", "SOMEWHERE", "/O", "ELSEWHERE", "/S", "2", "/E", "NOHAU", "x"});
  ASSERT_EQ(q.result, OptionsResult::kSource);
  EXPECT_TRUE(q.options.local_label_column_one);
  EXPECT_FALSE(q.options.use_output_dir);
  EXPECT_FALSE(q.options.strict_statements);
  EXPECT_TRUE(q.options.nohau);

  // NONE, the default that the usage text names, is taken and turns nothing on.
  Parsed none = Parse({"/E", "NONE", "x"});
  ASSERT_EQ(none.result, OptionsResult::kSource);
  EXPECT_FALSE(none.options.kestrian);
  EXPECT_FALSE(none.options.nohau);
  EXPECT_EQ(Parse({"/e", "none", "x"}).result, OptionsResult::kSource);
  EXPECT_EQ(Parse({"/E", "NOTHING", "x"}).result, OptionsResult::kUsage);
}

TEST(Options, TheSourceMustBeTheOneLastArgument) {
  EXPECT_EQ(Parse({"prog.src", "/F", "BIN16"}).result, OptionsResult::kUsage);
  EXPECT_EQ(Parse({"/I", "prog.src"}).result, OptionsResult::kUsage);  // /I takes it as its value
  EXPECT_EQ(Parse({}).result, OptionsResult::kUsage);
  EXPECT_EQ(Parse({"a.src", "b.src"}).result, OptionsResult::kUsage);
  EXPECT_EQ(Parse({"/?"}).result, OptionsResult::kUsage);
  EXPECT_EQ(Parse({"-h", "x"}).result, OptionsResult::kUsage);
}

TEST(Options, AbsolutePathsAreSourcesNotOptions) {
  Parsed p = Parse({"/F", "BIN16", "/home/u/prog.src"});
  ASSERT_EQ(p.result, OptionsResult::kSource);
  EXPECT_EQ(p.source, "/home/u/prog.src");
  EXPECT_TRUE(IsOptionArgument("/F"));
  EXPECT_TRUE(IsOptionArgument("-x/y"));
  EXPECT_FALSE(IsOptionArgument("/tmp/p.asm"));
  EXPECT_FALSE(IsOptionArgument(""));
}

TEST(Options, VersionEndsTheRunWhateverFollows) {
  EXPECT_EQ(Parse({"/v", "0"}).result, OptionsResult::kVersion);
  EXPECT_EQ(Parse({"/V", "prog.src"}).result, OptionsResult::kVersion);  // the name is /V's value
  EXPECT_EQ(Parse({"/V1"}).result, OptionsResult::kVersion);
}

TEST(Options, IllegalOptionTexts) {
  EXPECT_EQ(Parse({"/K", "x"}).console, "\nIllegal option /K");
  EXPECT_EQ(Parse({"/F", "ELF", "x"}).console, "\nIllegal option /F ELF\n");
  EXPECT_EQ(Parse({"/t25", "x"}).console, "\nIllegal option /T 25\n");
  // A value-taking option with nothing after it.
  Parsed last = Parse({"x", "/F"});
  EXPECT_EQ(last.result, OptionsResult::kUsage);
  Parsed alone = Parse({"/F"});
  EXPECT_EQ(alone.result, OptionsResult::kUsage);
  EXPECT_EQ(alone.console, "\nIllegal option /F");
  // The next argument is itself an option: the value is empty.
  EXPECT_EQ(Parse({"/F", "-L", "NONE", "x"}).console, "\nIllegal option /F \n");
}

TEST(Options, QuietTakesKnownMessageNumbersOnly) {
  EXPECT_EQ(Parse({"/Q", "24", "x"}).result, OptionsResult::kSource);
  EXPECT_EQ(Parse({"/Q-24", "x"}).result, OptionsResult::kSource);
  EXPECT_EQ(Parse({"/Q", "77", "x"}).result, OptionsResult::kUsage);
  EXPECT_EQ(Parse({"/Q0", "x"}).result, OptionsResult::kUsage);
  EXPECT_TRUE(Parse({"/Q", "77", "x"}).options.quiet_given);
}

}  // namespace
}  // namespace tarn
