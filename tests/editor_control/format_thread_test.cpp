// Background formatting: slices run from a scheduler the test drives by hand, against a
// clock that moves only when read, so every run is the same and nothing waits.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;

// Every reading moves the clock on by `step` milliseconds: work takes time.
class SteppingClock : public TTickClock {
 public:
  int64_t now = 1000;
  int64_t step = 1;
  int64_t Milliseconds() override {
    now += step;
    return now;
  }
};

class ManualScheduler : public TSliceScheduler {
 public:
  std::function<void()> pending;
  int requests = 0;
  int cancels = 0;
  void RequestSlice(std::function<void()> slice) override {
    pending = std::move(slice);
    ++requests;
  }
  void Cancel() override {
    pending = nullptr;
    ++cancels;
  }
  // Runs the requested slice, as the event loop would; false when none was requested.
  bool RunOne() {
    if (!pending) return false;
    auto slice = std::move(pending);
    pending = nullptr;
    slice();
    return true;
  }
  int RunAll() {
    int n = 0;
    while (RunOne()) ++n;
    return n;
  }
};

std::string ManyParagraphs(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "word word word" + std::string(i + 1 < n ? "\r\n" : "");
  return text;
}

class FormatThreadTest : public ::testing::Test {
 protected:
  FixedWidthMeasurer measurer{7, 12};
  SteppingClock clock;
  ManualScheduler scheduler;
  std::unique_ptr<TScrivlet> s;
  void SetUp() override {
    s = std::make_unique<TScrivlet>(TScrivletServices{&clock, &scheduler, nullptr});
    s->SetMeasurer(&measurer);
    s->SetBounds(8 + 70 + 8, 60);  // "word word " and "word": two lines a paragraph
    s->CreateHandle();
  }
};

TEST_F(FormatThreadTest, ALongTextIsLaidOutInSlicesWithinTheBudget) {
  Load(*s, ManyParagraphs(1000));
  ASSERT_TRUE(scheduler.pending) << "the load asked for a slice";
  EXPECT_EQ(s->LineCount(), 1000) << "nothing laid out yet";

  const int64_t before = clock.now;
  ASSERT_TRUE(scheduler.RunOne());
  const int64_t spent = clock.now - before;
  const int32_t done = s->Table.FirstToFormat;
  EXPECT_GT(done, 0);
  EXPECT_LT(done, 1000) << "one slice does not do it all";
  // The budget is checked between paragraphs: a slice overruns it by one paragraph at most.
  EXPECT_LE(spent, kFormatSliceMs + 4);
  EXPECT_EQ(s->LineCount(), 1000 + done) << "the line count grows as the slices go";
  ASSERT_TRUE(scheduler.pending) << "work is left, so the next slice is asked for";

  scheduler.RunAll();
  EXPECT_EQ(s->LineCount(), 2000);
  EXPECT_EQ(s->Table.LastToFormat, -1);
  EXPECT_EQ(s->Table.FirstToFormat, 1000);
  s->SelfTest();
}

TEST_F(FormatThreadTest, ProgressFiresAtItsPaceAndOnceAtTheEnd) {
  std::vector<int64_t> fired;
  s->ProgressInterval = 40;
  s->OnProgress = [&](TParagraphsList&) { fired.push_back(clock.now); };
  Load(*s, ManyParagraphs(1000));
  fired.clear();
  scheduler.RunAll();
  ASSERT_GE(fired.size(), 2u);
  for (size_t k = 1; k + 1 < fired.size(); ++k) EXPECT_GT(fired[k] - fired[k - 1], 40) << k;
  EXPECT_EQ(s->Table.LastToFormat, -1) << "the last call comes when the backlog is done";
}

TEST_F(FormatThreadTest, TheTextCanBeEditedBetweenSlicesAndEndsLaidOutAsAFreshOne) {
  Load(*s, ManyParagraphs(400));
  scheduler.RunOne();
  s->SetSelStart(s->Table.Items(300).StartOffset);
  s->InsertTextBuf("x\r\nmore words here ");
  s->SetSelStart(3);
  s->InsertTextBuf("yy yy yy yy yy");
  scheduler.RunAll();
  s->SelfTest();
  TScrivlet fresh;
  testing::LayOutAtOnce(fresh, measurer, 8 + 70 + 8, 60);
  Load(fresh, s->Text());
  EXPECT_EQ(s->LineCount(), fresh.LineCount());
  for (int32_t i = 0; i < s->ParagraphCount(); ++i)
    ASSERT_EQ(s->Table.Items(i).FirstLine, fresh.Table.Items(i).FirstLine) << i;
}

TEST_F(FormatThreadTest, NothingRunsWhileUpdatesAreLockedAndTheUpdateEndResumes) {
  Load(*s, ManyParagraphs(200));
  s->BeginUpdate();
  EXPECT_FALSE(s->FormatStep());
  scheduler.RunOne();
  EXPECT_EQ(s->LineCount(), 200) << "a slice under an open update does nothing";
  EXPECT_FALSE(scheduler.pending);
  s->EndUpdate();
  ASSERT_TRUE(scheduler.pending);
  scheduler.RunAll();
  EXPECT_EQ(s->LineCount(), 400);
}

TEST_F(FormatThreadTest, AnEditAfterTheBacklogIsDoneLaysOutOnlyWhatChanged) {
  Load(*s, ManyParagraphs(300));
  scheduler.RunAll();
  const int requests = scheduler.requests;
  s->SetBounds(8 + 70 + 8, 24);  // (same width: nothing to lay out again)
  s->SetSelStart(s->Table.Items(150).StartOffset);
  s->InsertTextBuf("z");  // below the window: goes to the backlog
  EXPECT_TRUE(scheduler.pending);
  EXPECT_GT(scheduler.requests, requests);
  EXPECT_EQ(s->Table.FirstToFormat, 150);
  EXPECT_EQ(s->Table.LastToFormat, 150);
  scheduler.RunAll();
  EXPECT_EQ(s->Table.LastToFormat, -1);
  s->SelfTest();
}

TEST_F(FormatThreadTest, ImmediateModeIsFinalRightAfterLoadingAndOnNeedWaits) {
  s->SetUpdateMode(TzkUpdateMode::umImmediate);
  Load(*s, ManyParagraphs(50));
  EXPECT_EQ(s->LineCount(), 100);
  EXPECT_FALSE(scheduler.pending);
  s->SetUpdateMode(TzkUpdateMode::umOnNeed);
  Load(*s, ManyParagraphs(50));
  EXPECT_EQ(s->LineCount(), 50);
  EXPECT_FALSE(scheduler.pending);
  EXPECT_EQ(s->GetLineText(41), "word") << "laid out up to the line asked for";
  EXPECT_LT(s->LineCount(), 100);
}

// Strings that run on over lines, ";" comments, MOV: what an unmatched quote turns around.
void AddRunOnRules(TScrivlet& m) {
  m.Keywords.AddKeyword("MOV", kWholeWord, kStyleBold, 1, 0, kNoColor, 0x0000FF);
  m.StartStopKeys.AddStartStopKey("\"", "\"", 0, 0, 3, 0, kNoColor, 0x800000, false);
  m.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, kNoColor, 0x808080, true);
}

// One letter per character: string, comment, keyword or plain.
std::string Colours(TScrivlet& m) {
  return testing::StyleLetters(m, [](const TStyleRun& r) {
    if (!(r.RunFlags & kRunHasAttributes)) return '.';
    return r.Foregnd == 0x800000   ? 's'
           : r.Foregnd == 0x808080 ? 'c'
           : r.Foregnd == 0x0000FF ? 'M'
                                   : '?';
  });
}

TEST_F(FormatThreadTest, AQuoteThatTurnsTheRestOfTheTextAroundIsRescannedInSlicesAndEndsAsAtOnce) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "MOV \"a\" b ; c\r\n";
  s->SetBounds(400, 60);
  AddRunOnRules(*s);
  Load(*s, text);
  scheduler.RunAll();
  TScrivlet ref;  // the same text and edits, laid out and highlighted at once
  testing::LayOutAtOnce(ref, measurer, 400, 60);
  AddRunOnRules(ref);
  Load(ref, text);
  ASSERT_EQ(Colours(*s), Colours(ref));
  const int32_t last_para = s->ParagraphCount() - 2;
  auto last_line = [&](TScrivlet& m) {
    return Colours(m).substr(Colours(m).rfind('|', Colours(m).size() - 2));
  };
  struct Step {
    int32_t at;
    const char* insert;  // nullptr: the character at `at` is deleted
    bool finish_first;   // the slices end before the step; else it lands amid the rescan
  };
  const Step steps[] = {{4, "\"", true},
                        {4, nullptr, true},
                        {4, "\"", false},
                        {16 * 100, "\"", false},
                        {4, nullptr, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.at) + (step.insert ? " typed" : " deleted"));
    if (step.finish_first)
      scheduler.RunAll();
    else
      scheduler.RunOne();
    for (TScrivlet* m : {s.get(), &ref}) {
      m->Select(step.insert ? step.at : step.at + 1, step.at);
      m->InsertTextBuf(step.insert ? step.insert : "");
    }
    if (step.finish_first) {
      // The keystroke rescans what the window shows; the rest of the text waits for the slices.
      EXPECT_TRUE(scheduler.pending);
      EXPECT_EQ(Colours(*s).substr(0, 60), Colours(ref).substr(0, 60))
          << "the window shows it right at once";
      EXPECT_NE(last_line(*s), last_line(ref))
          << "paragraph " << last_para << " was rescanned at once";
    }
  }
  scheduler.RunAll();
  EXPECT_EQ(Colours(*s), Colours(ref));
  EXPECT_NO_THROW(s->SelfTest());
  // The text as the steps left it, loaded afresh, has the same colours.
  TScrivlet fresh;
  testing::LayOutAtOnce(fresh, measurer, 400, 60);
  AddRunOnRules(fresh);
  Load(fresh, ref.Text());
  EXPECT_EQ(Colours(ref), Colours(fresh));
}

TEST_F(FormatThreadTest, DestroyingTheControlForgetsTheSliceItAskedFor) {
  Load(*s, ManyParagraphs(500));
  ASSERT_TRUE(scheduler.pending);
  s.reset();
  EXPECT_FALSE(scheduler.pending) << "no slice can reach the freed control";
  EXPECT_GE(scheduler.cancels, 1);
}

}  // namespace
}  // namespace scrivlet
