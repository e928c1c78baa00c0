#pragma once
// What the code window (TCodeForm) of the built-in assembler shows and does, without a
// display: the listing lines of the ObjectImage around the PC, which of them carry the PC and
// break marks, which changed since they were last drawn, and the clicks that move the
// breakpoint and the PC.

#include <string>
#include <vector>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/image/object_image.h"

namespace build_debug {

enum class CodeMark { Normal, Break, Pc };

class CodeView {
 public:
  CodeView(DebugProtocol& debug, const ObjectImage& image) : debug_(debug), image_(image) {}

  int LineCount() const;
  int FirstLine() const { return first_line_; }
  void SetFirstLine(int line);
  int LinesPerPage() const { return lines_per_page_; }
  void SetLinesPerPage(int lines);
  // The listing lines of the PC and of the break address; -1 when none.
  int PcLine() const;
  int BreakLine() const;
  CodeMark Mark(int line) const;
  // The first program address of a listing line; -1 when the line holds none.
  int LineAddress(int line) const;

  // Keeps the PC's line between a quarter of the page from the top and a quarter from the
  // bottom.
  void FollowPc();
  // The page positions (0 = the first visible line) whose text, PC mark or break mark changed
  // since they were last drawn, or all of them when `full`; they count as drawn from here on.
  std::vector<int> LinesToRedraw(bool full);

  // A click on a page position while the chip is stopped: the breakpoint; a double click: the
  // PC.
  void Click(int position);
  void DoubleClick(int position);
  // One step of the wheel: -1 up, +1 down.
  void Wheel(int steps) { SetFirstLine(first_line_ + steps); }

 private:
  bool CanChange() const;
  struct Drawn {
    int line = -1;
    CodeMark mark = CodeMark::Normal;
    std::string text;
    bool operator==(const Drawn&) const = default;
  };

  DebugProtocol& debug_;
  const ObjectImage& image_;
  int first_line_ = 0;
  int lines_per_page_ = 1;
  std::vector<Drawn> drawn_;
};

}  // namespace build_debug
