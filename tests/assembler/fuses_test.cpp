// The fuse keyword tables and ApplyFuseKeyword.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "assembler/devices.h"
#include "assembler/fuses.h"
#include "assembler/run.h"

namespace tarn {
namespace {

TEST(FuseTables, RowCountsAndUniqueNames) {
  std::map<int, int> rows;
  std::set<std::pair<int, std::string>> names;
  int last_table = 1;
  for (const FuseKeywordRow& row : kFuseKeywords) {
    ++rows[row.table];
    EXPECT_GE(row.table, last_table) << row.name << ": tables in order";
    last_table = row.table;
    EXPECT_TRUE(names.insert({row.table, row.name}).second)
        << row.name << " twice in " << int{row.table};
    EXPECT_NE(row.mask, 0) << row.name;
  }
  EXPECT_EQ(rows[1], 39);
  EXPECT_EQ(rows[2], 39);
  EXPECT_EQ(rows[3], 40);
  EXPECT_EQ(rows[4], 41);
}

struct FuseFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};
  void Device(const char* name, bool old_revision = false) {
    ASSERT_EQ(SelectDevice(run, name), 0);
    if (old_revision) {
      ASSERT_EQ(SelectDevice(run, "OLDREV"), 0);
    }
  }
  int Warnings() const { return run.messages.counts.warnings; }
};

TEST_F(FuseFixture, TableInUseByClassAndRevision) {
  Device("QV18AC");
  EXPECT_EQ(FuseTableInUse(run), 2);
  Device("QV28AC", true);
  EXPECT_EQ(FuseTableInUse(run), 1);
  run.device = DeviceState{};
  Device("QV52BD");
  EXPECT_EQ(FuseTableInUse(run), 4);
  Device("QV48BD", true);
  EXPECT_EQ(FuseTableInUse(run), 3);
}

TEST_F(FuseFixture, OscxtAfterOschsOnTable1IsAlreadyChosen) {
  Device("QV18AC", true);
  ASSERT_EQ(FuseTableInUse(run), 1);
  EXPECT_EQ(ApplyFuseKeyword(run, "OSCHS"), kFuseApplied);
  EXPECT_EQ(run.device.fuse, 0x0FFA);
  EXPECT_EQ(ApplyFuseKeyword(run, "OSCXT"), kFuseAlreadyChosen);
  EXPECT_EQ(run.device.fuse, 0x0FFA);
}

struct KeywordCase {
  const char* device;
  bool old_revision;
  const char* keyword;
  int result;
  uint16_t fuse;  // the words afterwards, from the defaults 0x0FFB and the device's FUSEX
  uint16_t fusex;
};

const KeywordCase kKeywords[] = {
    // device    old    keyword        result               FUSE    FUSEX
    {"QV18AC", true, "OSCLP", kFuseApplied, 0x0FF8, 0x0BFF},
    {"QV18AC", true, "wdt_on", kFuseApplied, 0x0FFF, 0x0BFF},         // OR row
    {"QV18AC", true, "WDT_OFF", kFuseAlreadyChosen, 0x0FFB, 0x0BFF},  // bit 2 is clear
    {"QV18AC", true, "OSC31KHZ", kFuseApplied, 0x0F7B, 0x0BFF},
    {"QV18AC", true, "PAGES1", kFuseApplied, 0x0FFB, 0x0BFC},
    {"QV18AC", true, "BANKS2", kFuseApplied, 0x0FFB, 0x0BF7},
    {"QV18AC", true, "OSCLP1", kFuseNotFound, 0x0FFB, 0x0BFF},  // table 2 only
    {"QV20AC", false, "OSCLP1", kFuseApplied, 0x0FD8, 0x0BFF},
    {"QV20AC", false, "OSCHS", kFuseApplied, 0x0FFA, 0x0BFF},
    {"QV20AC", false, "BOR26", kFuseApplied, 0x0FFB, 0x0BDF},
    {"QV20AC", false, "OSC2MHZ", kFuseNotFound, 0x0FFB, 0x0BFF},  // table 1 only
    {"QV48BD", true, "WDRT60", kFuseApplied, 0x0FFB, 0x08FF},
    {"QV48BD", true, "SLEEPCLK", kFuseApplied, 0x0FFB, 0x07FF},
    {"QV48BD", true, "BOR42", kFuseApplied, 0x0FFB, 0x0FFC},
    {"QV48BD", true, "PAGES1", kFuseNotFound, 0x0FFB, 0x0FFF},
    {"QV52BD", false, "XTLBUF_EN", kFuseApplied, 0x0FFB, 0x0FFF},  // OR: bit 4 is set
    {"QV52BD", false, "XTLBUFD", kFuseApplied, 0x0FEB, 0x0FFF},
    {"QV52BD", false, "WDRT006", kFuseApplied, 0x0FFB, 0x0FFE},
    {"QV52BD", false, "SLEEPCLK", kFuseApplied, 0x0FFB, 0x0BFF},
    {"QV52BD", false, "IFBD", kFuseApplied, 0x0FBB, 0x0FFF},
    {"QV52BD", false, "NOSUCH", kFuseNotFound, 0x0FFB, 0x0FFF},
};

TEST_F(FuseFixture, KeywordsOfEachTable) {
  for (const KeywordCase& c : kKeywords) {
    SCOPED_TRACE(std::string(c.device) + " " + c.keyword);
    run.device = DeviceState{};
    Device(c.device, c.old_revision);
    EXPECT_EQ(ApplyFuseKeyword(run, c.keyword), c.result);
    EXPECT_EQ(run.device.fuse, c.fuse);
    EXPECT_EQ(run.device.fusex, c.fusex);
  }
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(FuseFixture, ObsoleteKeywordIsReportedAndApplied) {
  Device("QV18AC");
  run.pass = 2;
  EXPECT_EQ(ApplyFuseKeyword(run, "Stackx_Optionx"), kFuseApplied);
  EXPECT_EQ(run.device.fusex, 0x0B7F);
  EXPECT_EQ(Warnings(), 1);
  EXPECT_NE(
      console.str().find("Warning 51, Pass 2: Obsolete keyword: <Stackx_Optionx> for this device"),
      std::string::npos)
      << console.str();
}

TEST_F(FuseFixture, ObsoleteKeywordInPass1GoesThroughTheLineMark) {
  Device("QV52BD");
  run.pass = 1;
  EXPECT_EQ(ApplyFuseKeyword(run, "TURBO"), kFuseApplied);
  EXPECT_EQ(run.device.fuse, 0x07FB);
  EXPECT_NE(console.str().find("Warning 51, Pass 1: Obsolete keyword: <TURBO>"), std::string::npos);
}

TEST_F(FuseFixture, IfbdAndFeedbackoffSearchTable4InTheIdeMode) {
  Device("QV18AC");
  EXPECT_EQ(ApplyFuseKeyword(run, "IFBD"), kFuseNotFound);
  run.options.kestrian = true;
  EXPECT_EQ(ApplyFuseKeyword(run, "ifbd"), kFuseApplied);
  EXPECT_EQ(run.device.fuse, 0x0FBB);
  EXPECT_EQ(ApplyFuseKeyword(run, "FEEDBACKOFF"), kFuseAlreadyChosen);  // same field as IFBD
  EXPECT_EQ(Warnings(), 1);  // obsolete, reported before the field is looked at
  EXPECT_EQ(ApplyFuseKeyword(run, "OSCLP"), kFuseNotFound);  // every other word: table 2
}

TEST_F(FuseFixture, ObsoleteOschsOnTable4) {
  Device("QV48BD");
  EXPECT_EQ(ApplyFuseKeyword(run, "OSCHS"), kFuseApplied);
  EXPECT_EQ(run.device.fuse, 0x0FF8);
  EXPECT_EQ(Warnings(), 1);
}

}  // namespace
}  // namespace tarn
