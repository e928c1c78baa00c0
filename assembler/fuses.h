#pragma once
// The fuse keywords of DEVICE and FUSES: four tables, one per device class and silicon
// revision, each row setting a field of the FUSE or FUSEX word.
//
// Invariants: kFuseKeywords holds the rows of tables 1 to 4 in table order (39, 39, 40 and 41
// rows); a name appears at most once per table.

#include <cstdint>
#include <span>
#include <string_view>

namespace tarn {

struct TarnRun;

enum FuseWordSelect : uint16_t { kFuseWord = 0, kFuseXWord = 1 };
enum FuseOperation : uint8_t { kFuseAnd = 0, kFuseOr = 1 };

struct FuseKeywordRow {
  const char* name;
  uint16_t word;  // FuseWordSelect
  uint16_t value;
  uint16_t mask;  // the field the row chooses
  uint8_t table;  // 1 to 4
  uint8_t operation;
  uint32_t obsolete = 0;  // 1: warning 51, then applied like any other row
};

extern const std::span<const FuseKeywordRow> kFuseKeywords;

// The table that the current device searches: class 1 gives 2 (new revision) or 1, class 2
// gives 4 or 3.
int FuseTableInUse(const TarnRun& run);

// The result of ApplyFuseKeyword.
enum FuseResult : int {
  kFuseNotFound = 0,
  kFuseApplied = 1,
  kFuseAlreadyChosen = 2,  // an AND row whose field no longer has all its bits set
};

// Applies a fuse keyword (any case) of the table in use to the FUSE or FUSEX word; in the
// IDE's mode IFBD and FEEDBACKOFF always search table 4. An obsolete keyword reports warning 51
// (marked on the line in pass 1, reported in pass 2) and is applied all the same.
int ApplyFuseKeyword(TarnRun& run, std::string_view keyword);

}  // namespace tarn
