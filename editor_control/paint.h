#pragma once
// What the editor control paints where, free of any window system: TScrivPainter walks the
// display lines in an update band and tells a TScrivCanvas to fill, write and draw lines.
// The Qt shell's canvas draws with QPainter; tests record the calls or render offscreen.
// Colours are TColor values: 0x00BBGGRR, or a system colour id (0xFF000000 | index) that
// the canvas maps through its palette; -1 means "none".

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace scrivlet {

class TScrivlet;
struct TParagraph;
struct TLineGeometry;

struct TScrivRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool operator==(const TScrivRect&) const = default;
};

enum class TPenStyle { psSolid, psDot };

struct TScrivPen {
  int32_t Color = 0;
  int32_t Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
};

class TScrivCanvas {
 public:
  virtual ~TScrivCanvas() = default;
  // The font's ascent and descent: the painter places the baseline from them.
  virtual int32_t Ascent() = 0;
  virtual int32_t Descent() = 0;
  // A display line begins: what follows until EndLine stays inside `band`.
  virtual void BeginLine(const TScrivRect& /*band*/) {}
  virtual void EndLine() {}
  // The control's background: its picture tiled from (origin_x, origin_y) when it has one,
  // else the colour.
  virtual void FillBackground(const TScrivRect& r, int32_t color, int32_t origin_x,
                              int32_t origin_y) = 0;
  virtual void FillRect(const TScrivRect& r, int32_t color) = 0;
  // Bytes (Latin-1) in the font the style bits choose, on the baseline, byte i with its left
  // end at xs[i] (one x a byte). These are the layout's whole-pixel places, where the caret
  // and the mouse find the characters too; a font's own fractional spacing would drift off
  // them along a line and push a run's last letters out of its background.
  virtual void DrawText(std::span<const int32_t> xs, int32_t baseline, std::string_view bytes,
                        uint8_t style, int32_t color) = 0;
  virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TScrivPen& pen) = 0;
};

// The characters that stand for what does not print.
inline constexpr char kTabMark = static_cast<char>(187);     // »
inline constexpr char kSpaceMark = static_cast<char>(183);   // ·
inline constexpr char kReturnMark = static_cast<char>(182);  // ¶

class TScrivPainter {
 public:
  TScrivPainter(TScrivlet& memo, TScrivCanvas& canvas) : memo_(memo), canvas_(canvas) {}
  // Paints the rows of the client area that meet `update`. `focused`: the control has the
  // focus (with HideSelection the selection shows only then).
  void Paint(const TScrivRect& update, bool focused);
  // The zigzag of the special underline from x1 to x2 on the line whose top is `top`.
  void SpecialUnderline(int32_t x1, int32_t x2, int32_t top);
  int32_t Baseline(int32_t top);
  // Where the right line and the end-of-text mark stand (INT32_MIN: not drawn).
  int32_t RightLineX();
  int32_t EndOfTextY();
  // One display line at `top`; its x follows the control's left margin less HorzScroll.
  void PaintLine(int32_t para_index, int32_t line, int32_t top);
  // On paper: no background, no selection, no marks of what does not print, and the line's
  // band starts where the line does.
  bool Printing = false;

 private:
  struct Piece {
    int32_t From = -1, To = -1;  // positions in the paragraph
    uint8_t Style = 0;
    int32_t Text = 0;
    int32_t Back = -1;
    char Mark = 0;  // drawn in place of a tab or a shown space (0: the text, or nothing for a tab)
    bool Blank = false;  // a tab or a shown space: a piece of its own
    bool Empty() const { return From >= To; }
  };
  void DrawMark(int32_t x, int32_t top, char mark, uint8_t style, int32_t color);

  // The steps of PaintLine.
  struct Line;
  struct LineSelection;
  Line LineToPaint(const TParagraph& p, int32_t para_index, int32_t line, const TLineGeometry& g,
                   int32_t top);
  LineSelection SelectionOn(const Line& l);
  LineSelection BlockSelectionOn(const Line& l);
  LineSelection StreamSelectionOn(const Line& l);
  void SplitIntoPieces(const Line& l, const LineSelection& sel);
  void PlaceCharacters(const Line& l);  // xs_: the characters' x in the view
  int32_t LastInkOverhang(const Line& l);
  void PaintBackgrounds(const Line& l, const LineSelection& sel, int32_t overhang);
  bool ShowsReturnMark(const Line& l) const;
  bool ShowsSelectedBreak(const Line& l, const LineSelection& sel) const;
  void PaintSelectedBreak(const Line& l, const LineSelection& sel);
  void PaintTexts(const Line& l, const LineSelection& sel);

  TScrivlet& memo_;
  TScrivCanvas& canvas_;
  bool show_selection_ = true;
  // Per display line, kept between lines so that painting does not allocate.
  std::vector<Piece> pieces_;
  std::vector<int32_t> xs_;
};

// The caret the control draws itself: where, how wide and how tall.
TScrivRect CaretRect(TScrivlet& memo);

}  // namespace scrivlet
