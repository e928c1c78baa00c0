#pragma once
// The paragraph record and its extension record.
//
// invariant: Text is nullptr exactly when the length is 0; otherwise Text[length] == 0 and
//            none of the first `length` bytes is 0 or CR;
//            HasExtension is set exactly when Ext != nullptr; without it Length < 0xFFFF
//            and the paragraph has one display line whose widths are LineWord;
//            with it Ext->Length is the length and Ext's line records run from 0 to it;
//            OwnsText: Text is a private allocation (new[]), else it points into a text block.

#include <cstdint>
#include <memory>
#include <vector>

#include "editor_control/style_run.h"

namespace scrivlet {

enum TParagraphFlag : uint8_t {
  pfHasExtension = 1 << 0,
  pfOwnsText = 1 << 1,
  pfFormatted = 1 << 2,
  pfKeysScanned = 1 << 3,
  pfKeywordsScanned = 1 << 4,
  pfCollapsed = 1 << 7,
};
inline constexpr uint8_t kScanFlags = pfKeysScanned | pfKeywordsScanned;

// LevelFlags: bits 0-4 the start/stop nesting level at the paragraph start.
inline constexpr uint8_t kLevelMask = 0x1F;
inline constexpr uint8_t kLevelContext1 = 1 << 5;
inline constexpr uint8_t kLevelStopAdjust = 1 << 6;
inline constexpr uint8_t kLevelStartAdjust = 1 << 7;

inline constexpr int32_t kShortLengthLimit = 0xFFFF;

struct TParagraphExt {
  int32_t ParForeColor = -1;  // -1 (and kNoColor): the control's font colour
  int32_t ParBackColor = -1;  // -1: none
  int32_t Length = 0;
  TLineRecord FirstLineRecord;
  std::shared_ptr<const TStyleRun> ParStyle;  // nullptr: the shared default style
  std::vector<TLineRecord> MoreLines;         // display lines after the first
  std::vector<TStyleRun> Runs;                // sorted by Offset
  uint32_t ContextBits = 0;                   // bit n-2 is context flag n (2..33)
  uint8_t StartLevelAdjust = 0;
  uint8_t StopLevelAdjust = 0;
};

// Trivially copyable on purpose: the table moves records by copying them, and it alone
// decides when the text and the extension are freed.
struct TParagraph {
  char* Text = nullptr;
  int32_t StartOffset = 0;
  int32_t FirstLine = 0;
  uint8_t Flags = 0;
  uint8_t LevelFlags = 0;
  uint16_t Length = 0;    // the short length, without extension
  uint16_t LineWord = 0;  // the one line's width, without extension
  TParagraphExt* Ext = nullptr;

  bool HasExtension() const { return (Flags & pfHasExtension) != 0; }
  bool OwnsText() const { return (Flags & pfOwnsText) != 0; }
};

// The paragraph accessors: each works with or without the extension.
namespace para {

int32_t Length(const TParagraph& p);
void SetLength(TParagraph& p, int32_t n);
TParagraphExt& Extend(TParagraph& p);  // creates the extension when missing

int32_t LineCount(const TParagraph& p);
void SetLineCount(TParagraph& p, int32_t n);
TLineRecord LineRecord(const TParagraph& p, int32_t line);  // ERangeError outside
void SetLineRecord(TParagraph& p, int32_t line, const TLineRecord& r);
TLineRecord FirstLineRecord(const TParagraph& p);
void SetFirstLineRecord(TParagraph& p, const TLineRecord& r);
// Back to one unformatted line covering the whole paragraph, start style kept.
void ResetLines(TParagraph& p);

int32_t RunCount(const TParagraph& p);
const std::vector<TStyleRun>* Runs(const TParagraph& p);  // nullptr when none
std::vector<TStyleRun>& MutableRuns(TParagraph& p);

const TStyleRun& DefaultStyle();
const TStyleRun& Style(const TParagraph& p);
// Shares the record when `share`, else keeps a private copy; the default releases the old one.
void SetStyle(TParagraph& p, const std::shared_ptr<const TStyleRun>& style, bool share);
std::shared_ptr<const TStyleRun> StyleRecord(const TParagraph& p);

uint8_t InlineStartStyle(const TParagraph& p);
void SetInlineStartStyle(TParagraph& p, uint8_t style);

bool ContextFlag(const TParagraph& p, int n);
void SetContextFlag(TParagraph& p, int n, bool on);

int32_t Level(const TParagraph& p);
int32_t EffectiveStartLevel(const TParagraph& p);
int32_t EffectiveStopLevel(const TParagraph& p);
void SetStartAdjustment(TParagraph& p, int32_t level);
void SetStopAdjustment(TParagraph& p, int32_t level);

int32_t ForeColor(const TParagraph& p);
int32_t BackColor(const TParagraph& p);

// Copies a borrowed text into a private allocation of length + 1 (nil when empty).
void TakeOwnership(TParagraph& p);
// Gives the paragraph a new private text (nullptr when n is 0); frees the old one if owned.
void SetOwnedText(TParagraph& p, char* text, int32_t n);
// Frees what the paragraph owns: its private text and its extension.
void Release(TParagraph& p);

}  // namespace para
}  // namespace scrivlet
