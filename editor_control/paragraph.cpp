#include "editor_control/paragraph.h"

#include <cstring>

#include "editor_control/errors.h"

namespace scrivlet::para {

int32_t Length(const TParagraph& p) { return p.HasExtension() ? p.Ext->Length : p.Length; }

TParagraphExt& Extend(TParagraph& p) {
  if (p.HasExtension()) return *p.Ext;
  auto* ext = new TParagraphExt;
  ext->Length = p.Length;
  ext->FirstLineRecord = FirstLineRecord(p);
  ext->StartLevelAdjust = (p.LevelFlags & kLevelStartAdjust) ? 1 : 0;
  ext->StopLevelAdjust = (p.LevelFlags & kLevelStopAdjust) ? 1 : 0;
  p.Ext = ext;
  p.Flags |= pfHasExtension;
  p.Length = 0;
  p.LineWord = 0;
  return *ext;
}

void SetLength(TParagraph& p, int32_t n) {
  if (p.HasExtension()) {
    p.Ext->Length = n;
  } else if (n >= kShortLengthLimit) {
    // The short record's one line follows its length; the extension's first line must too,
    // or a long paragraph would keep a line that ends at the old short length.
    TParagraphExt& ext = Extend(p);
    ext.Length = n;
    ext.FirstLineRecord.End = ext.FirstLineRecord.TrailingStart = n;
  } else {
    p.Length = static_cast<uint16_t>(n);
  }
}

int32_t LineCount(const TParagraph& p) {
  return p.HasExtension() ? static_cast<int32_t>(p.Ext->MoreLines.size()) + 1 : 1;
}

void SetLineCount(TParagraph& p, int32_t n) {
  if (n < 1) n = 1;
  if (n == 1 && !p.HasExtension()) return;
  Extend(p).MoreLines.resize(static_cast<size_t>(n - 1));
}

TLineRecord FirstLineRecord(const TParagraph& p) {
  if (p.HasExtension()) return p.Ext->FirstLineRecord;
  TLineRecord r;
  r.Start = 0;
  r.End = p.Length;
  r.WordWidth = r.FullWidth = p.LineWord;
  r.Reserved = 0;
  r.TrailingStart = p.Length;
  r.StartStyle = 0;
  r.FirstRun = 0;
  return r;
}

void SetFirstLineRecord(TParagraph& p, const TLineRecord& r) {
  // The short record keeps only a width: it takes a line that it gives back unchanged.
  if (!p.HasExtension() && r.Start == 0 && r.End == p.Length && r.WordWidth >= 0 &&
      r.WordWidth <= 0xFFFF && r.FullWidth == r.WordWidth && r.Spaces == 0 && r.Reserved == 0 &&
      r.FirstRun == 0 && r.TrailingStart == p.Length && r.StartStyle == 0) {
    p.LineWord = static_cast<uint16_t>(r.WordWidth);
    return;
  }
  Extend(p).FirstLineRecord = r;
}

TLineRecord LineRecord(const TParagraph& p, int32_t line) {
  if (line < 0 || line >= LineCount(p)) throw ERangeError();
  return line == 0 ? FirstLineRecord(p) : p.Ext->MoreLines[static_cast<size_t>(line - 1)];
}

void SetLineRecord(TParagraph& p, int32_t line, const TLineRecord& r) {
  if (line < 0 || line >= LineCount(p)) throw ERangeError();
  if (line == 0) {
    SetFirstLineRecord(p, r);
  } else {
    p.Ext->MoreLines[static_cast<size_t>(line - 1)] = r;
  }
}

void ResetLines(TParagraph& p) {
  const uint8_t style = InlineStartStyle(p);
  if (p.HasExtension()) {
    p.Ext->MoreLines.clear();
    TLineRecord r;
    r.End = r.TrailingStart = p.Ext->Length;
    r.StartStyle = style;
    p.Ext->FirstLineRecord = r;
  } else {
    p.LineWord = 0;
  }
}

int32_t RunCount(const TParagraph& p) {
  return p.HasExtension() ? static_cast<int32_t>(p.Ext->Runs.size()) : 0;
}

const std::vector<TStyleRun>* Runs(const TParagraph& p) {
  return p.HasExtension() && !p.Ext->Runs.empty() ? &p.Ext->Runs : nullptr;
}

std::vector<TStyleRun>& MutableRuns(TParagraph& p) { return Extend(p).Runs; }

const TStyleRun& DefaultStyle() {
  static const TStyleRun kDefault{};
  return kDefault;
}

const TStyleRun& Style(const TParagraph& p) {
  return p.HasExtension() && p.Ext->ParStyle ? *p.Ext->ParStyle : DefaultStyle();
}

std::shared_ptr<const TStyleRun> StyleRecord(const TParagraph& p) {
  return p.HasExtension() ? p.Ext->ParStyle : nullptr;
}

void SetStyle(TParagraph& p, const std::shared_ptr<const TStyleRun>& style, bool share) {
  if (!style || (style->RunFlags & kRunHasAttributes) == 0) {
    if (p.HasExtension()) p.Ext->ParStyle.reset();
    return;
  }
  Extend(p).ParStyle = share ? style : std::make_shared<const TStyleRun>(*style);
}

uint8_t InlineStartStyle(const TParagraph& p) {
  return p.HasExtension() ? p.Ext->FirstLineRecord.StartStyle : 0;
}

void SetInlineStartStyle(TParagraph& p, uint8_t style) {
  if (style == 0 && !p.HasExtension()) return;
  Extend(p).FirstLineRecord.StartStyle = style;
}

bool ContextFlag(const TParagraph& p, int n) {
  if (n == 1) return (p.LevelFlags & kLevelContext1) != 0;
  if (n < 2 || n > 33 || !p.HasExtension()) return false;
  return (p.Ext->ContextBits >> (n - 2)) & 1u;
}

void SetContextFlag(TParagraph& p, int n, bool on) {
  if (n == 1) {
    p.LevelFlags = on ? (p.LevelFlags | kLevelContext1) : (p.LevelFlags & ~kLevelContext1);
    return;
  }
  if (n < 2 || n > 33) return;
  if (!on && !p.HasExtension()) return;
  const uint32_t bit = 1u << (n - 2);
  auto& ext = Extend(p);
  ext.ContextBits = on ? (ext.ContextBits | bit) : (ext.ContextBits & ~bit);
}

int32_t Level(const TParagraph& p) { return p.LevelFlags & kLevelMask; }

static int32_t Effective(const TParagraph& p, uint8_t bit, bool start) {
  const int32_t level = Level(p);
  if (level == 1) return 0;
  if ((p.LevelFlags & bit) == 0) return level;
  const int32_t adjust =
      p.HasExtension() ? (start ? p.Ext->StartLevelAdjust : p.Ext->StopLevelAdjust) : 1;
  return level - adjust;
}

int32_t EffectiveStartLevel(const TParagraph& p) { return Effective(p, kLevelStartAdjust, true); }
int32_t EffectiveStopLevel(const TParagraph& p) { return Effective(p, kLevelStopAdjust, false); }

static void SetAdjustment(TParagraph& p, int32_t a, uint8_t bit, bool start) {
  const int32_t level = Level(p);
  if (a < level) {
    p.LevelFlags |= bit;
    auto& ext = Extend(p);
    (start ? ext.StartLevelAdjust : ext.StopLevelAdjust) = static_cast<uint8_t>(level - a);
  } else {
    p.LevelFlags &= static_cast<uint8_t>(~bit);
    if (p.HasExtension()) (start ? p.Ext->StartLevelAdjust : p.Ext->StopLevelAdjust) = 0;
  }
}

void SetStartAdjustment(TParagraph& p, int32_t level) {
  SetAdjustment(p, level, kLevelStartAdjust, true);
}
void SetStopAdjustment(TParagraph& p, int32_t level) {
  SetAdjustment(p, level, kLevelStopAdjust, false);
}

int32_t ForeColor(const TParagraph& p) { return p.HasExtension() ? p.Ext->ParForeColor : -1; }
int32_t BackColor(const TParagraph& p) { return p.HasExtension() ? p.Ext->ParBackColor : -1; }

void TakeOwnership(TParagraph& p) {
  if (p.OwnsText()) return;
  const int32_t n = Length(p);
  char* copy = nullptr;
  if (n > 0) {
    copy = new char[static_cast<size_t>(n) + 1];
    std::memcpy(copy, p.Text, static_cast<size_t>(n));
    copy[n] = 0;
  }
  p.Text = copy;
  p.Flags |= pfOwnsText;
}

void SetOwnedText(TParagraph& p, char* text, int32_t n) {
  if (p.OwnsText()) delete[] p.Text;
  p.Text = n > 0 ? text : nullptr;
  if (n <= 0) delete[] text;
  p.Flags |= pfOwnsText;
  SetLength(p, n);
}

void Release(TParagraph& p) {
  if (p.OwnsText()) delete[] p.Text;
  p.Text = nullptr;
  p.Flags &= static_cast<uint8_t>(~pfOwnsText);
  delete p.Ext;
  p.Ext = nullptr;
  p.Flags &= static_cast<uint8_t>(~pfHasExtension);
}

}  // namespace scrivlet::para
