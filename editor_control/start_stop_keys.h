#pragma once
// TStartStopKeyList: the sections (comments, strings...) that run from a start key to a
// stop key, kept in a TDynArray2 of StartStopInfo records.
//
// invariant: StartText/StopText are the keys as given, upper-cased unless the entry matches
//   case; FirstSameStart names the first earlier entry with the same Options byte and the
//   same prepared start key (-1 when none); MaxStartLength/MaxStopLength bound the keys,
//   MaxStopLength at least 2 once a pair that ends at the line end was added.

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "editor_control/dyn_array2.h"
#include "editor_control/keyword_attributes.h"
#include "editor_control/upper_case.h"
#include "editor_control/value_stream.h"

namespace scrivlet {

inline constexpr uint8_t kEndsAtLineEnd = 1 << 0;

struct StartStopInfo {
  TKeywordAttributes Attributes;
  std::string StartText;  // prepared for matching
  std::string StopText;
  uint16_t StartLength = 0;
  uint16_t StopLength = 0;  // 0 allowed
  std::string StartKey;     // as given
  std::string StopKey;
  int32_t Data1 = 0, Data2 = 0, Data3 = 0;  // stored and streamed, never interpreted
  int16_t FirstSameStart = -1;
  uint8_t Flags = 0;
  // Computed by the section scanner before its first use of the list.
  bool StartNeedsSepAfter = false;
  bool StartNeedsSepBefore = false;
  bool StopNeedsSepAfter = false;
  bool StopNeedsSepBefore = false;

  bool EndsAtLineEnd() const { return (Flags & kEndsAtLineEnd) != 0; }
};

class TStartStopKeyList : public TDynArray2<StartStopInfo, 512> {
 public:
  TStartStopKeyList() { SetCapacity(2); }
  ~TStartStopKeyList() { Clear(); }

  int32_t AddStartStopKey(const std::string& start_key, const std::string& stop_key,
                          uint8_t options, uint8_t style, int32_t context, int16_t cursor,
                          int32_t backgnd, int32_t foregnd, bool ends_at_line_end);
  void Clear();

  TzkUpperCase UpperCaseType() const { return upper_case_type_; }
  void SetUpperCaseType(TzkUpperCase t);
  TUpperCaseProc UserUpperCaseProc = nullptr;

  // Computes the separator flags of every whole-word pair from its keys' first and last
  // characters (the other pairs get none); the section scanner calls it before its first
  // use after a change.
  void Prepare(const std::bitset<256>& separators);

  // Text form: "START|STOP=Options,Style,Context,Cursor,Backgnd,Foregnd,Flags,Data1,Data2,".
  void LoadFromList(const std::vector<std::string>* lines);
  void SaveToList(std::vector<std::string>& lines) const;

  // Stream property "Keys", written only when Count() > 0.
  bool StoreKeys() const { return Count() > 0; }
  void WriteKeys(TStreamList& out) const;
  void ReadKeys(const TStreamList& in);

  uint16_t MaxStartLength = 0;
  uint16_t MaxStopLength = 0;
  bool Prepared = false;

 private:
  std::string Prepare(const std::string& key, uint8_t options) const;
  TzkUpperCase upper_case_type_ = TzkUpperCase::zkuAscii;
};

}  // namespace scrivlet
