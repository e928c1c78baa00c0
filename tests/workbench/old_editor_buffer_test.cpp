#include "workbench/old_editor_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace workbench {
namespace {

// Each step inserts `insert` at `at`, or deletes [at, stop): the text after it, read through
// the gap and in one piece, is `text`.
struct Step {
  int at;
  int stop;  // -1: insert
  const char* insert;
  const char* text;
};

TEST(LegacyTextBuffer, EditsAnywhereReadTheSameThroughTheGapAndInOnePiece) {
  const Step steps[] = {
      {0, -1, "hello", "hello"},
      {0, -1, ">", ">hello"},      // gap back to the start
      {6, -1, "!", ">hello!"},     // to the end
      {3, -1, "--", ">he--llo!"},  // into the middle
      {1, 3, "", ">--llo!"},       // delete before the gap
      {5, 7, "", ">--ll"},         // delete at the end
      {2, -1, "abcdefg", ">-abcdefg-ll"},
  };
  LegacyTextBuffer buffer(20);
  for (const Step& step : steps) {
    if (step.stop < 0) {
      int at = step.at;
      for (const char* c = step.insert; *c; ++c) ASSERT_TRUE(buffer.InsertAt(at++, *c));
    } else {
      buffer.DeleteRange(step.at, step.stop);
    }
    std::string read;
    for (int i = 0; i < buffer.Length(); ++i) read += buffer.At(i);
    EXPECT_EQ(read, step.text);
    EXPECT_EQ(buffer.Text(0, buffer.Length()), step.text);
    EXPECT_EQ(buffer.Text(1, buffer.Length() - 1),
              std::string(step.text).substr(1, std::string(step.text).size() - 2));
    EXPECT_EQ(std::string(buffer.Terminated()), step.text);
  }
}

TEST(LegacyTextBuffer, AFullBufferTakesNothingMoreAndStillEndsInANul) {
  LegacyTextBuffer buffer(3);
  EXPECT_TRUE(buffer.InsertAt(0, 'a'));
  EXPECT_TRUE(buffer.InsertAt(1, 'b'));
  EXPECT_TRUE(buffer.InsertAt(0, 'c'));
  EXPECT_FALSE(buffer.InsertAt(1, 'd'));
  EXPECT_EQ(buffer.Room(), 0);
  EXPECT_EQ(std::string(buffer.Terminated()), "cab");
  buffer.DeleteRange(0, 1);
  EXPECT_TRUE(buffer.InsertAt(2, 'e'));
  EXPECT_EQ(buffer.Text(0, 3), "abe");
}

TEST(LegacyTextBuffer, HoldsAMillionCharacters) {
  LegacyTextBuffer buffer;
  EXPECT_EQ(buffer.Capacity(), 1'000'000);
  for (int i = 0; i < kLegacyCapacity; ++i) ASSERT_TRUE(buffer.InsertAt(i, 'x'));
  EXPECT_FALSE(buffer.InsertAt(0, 'y'));
}

}  // namespace
}  // namespace workbench
