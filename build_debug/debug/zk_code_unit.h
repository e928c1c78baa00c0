#pragma once
// What the list window (TZK_CodeFRM) shows and does with the listing that tarn wrote, without
// a display: the break and next-run lines through the listing map, clicks that move the
// breakpoint or the PC, and the lines that Go to Code, Go to Reset and Jump to Main bring into
// view. Listing lines here count from 0, as the window's paragraphs do; the map counts from 1.

#include <optional>
#include <string>
#include <vector>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/tools/tarn_bridge.h"

namespace workbench {
class MessageStrings;
}

namespace build_debug {

// Toolbar modes: all hidden, all shown, the viewer's (Go to Code, Go to Reset, Jump to Main).
enum ListToolbarMode { kToolbarHidden = 0, kToolbarAll = 1, kToolbarView = 2 };

// When the break and next-run marks fall on one line, the next-run colour starts this many
// characters into it.
constexpr int kSharedMarkColumn = 24;

class ListWindow {
 public:
  ListWindow(DebugProtocol& debug, const TarnUnit& tarn, const workbench::MessageStrings& messages)
      : debug_(debug), tarn_(tarn), messages_(messages) {}

  // "<output folder>" + the source's name with ".lst".
  std::string ListFileName(const std::string& source) const;
  // A new listing in the window: no marks.
  void ListingLoaded() {
    break_line_ = -1;
    next_run_line_ = -1;
  }

  // The marks from the live state: the break address's line and the line of the PC (PC + 1
  // after a stop in sleep).
  void UpdateMarks();
  int BreakLine() const { return break_line_; }
  int NextRunLine() const { return next_run_line_; }
  // The listing line of a program address; -1 when the map has none.
  int LineOfAddress(int address) const;
  // The first program address of a listing line; -1 when none.
  int AddressOfLine(int line) const;

  // A click on a line while the chip is stopped with fresh data: with exactly Alt and the left
  // button the PC goes there, else the breakpoint toggles (never onto a NOP: box 5000).
  void Click(int line, bool alt_left);
  void DoubleClick(int line);

  // The lines to centre; nothing when there is none (Jump to Main says so with box 5001).
  std::optional<int> CodeLine() const;
  std::optional<int> ResetLine(const std::vector<std::string>& listing) const;
  std::optional<int> MainLine(const std::vector<std::string>& listing) const;

  // The debugger's listing is in the window.
  bool HoldsDebugListing() const { return debug_listing_; }
  void SetHoldsDebugListing(bool holds) { debug_listing_ = holds; }

 private:
  bool CanChange() const;

  DebugProtocol& debug_;
  const TarnUnit& tarn_;
  const workbench::MessageStrings& messages_;
  int break_line_ = -1;
  int next_run_line_ = -1;
  bool debug_listing_ = false;
};

}  // namespace build_debug
