#pragma once
// TKeywordList: the single keywords the control highlights, as a list of strings with
// attributes.
//
// invariant (outside BeginUpdate/EndUpdate): for every entry KeyLength == Keyword.size()
//   and MatchKey is Keyword, upper-cased unless the entry matches case; MaxKeyLength is the
//   longest KeyLength; AllMatchCase says that every entry matches case.

#include <cstdint>
#include <string>
#include <vector>

#include "editor_control/errors.h"
#include "editor_control/keyword_attributes.h"
#include "editor_control/upper_case.h"
#include "editor_control/value_stream.h"

namespace scrivlet {

struct TKeyInfoLen {
  TKeywordAttributes Attributes;
  std::string Keyword;
  std::string MatchKey;
  int32_t KeyLength = 0;
  int32_t Data1 = 0, Data2 = 0, Data3 = 0;  // stored and streamed, never interpreted
};

class TKeywordList {
 public:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  const std::string& Strings(int32_t i) const { return Item(i).Keyword; }
  const TKeyInfoLen& Items(int32_t i) const { return Item(i); }

  void Clear();
  void Delete(int32_t i);
  void Insert(int32_t i, const std::string& s);
  int32_t Add(const std::string& s);
  void AddStrings(const std::vector<std::string>& strings);
  void BeginUpdate();
  void EndUpdate();

  int32_t AddKeyword(const std::string& keyword, uint8_t options, uint8_t style, int32_t context,
                     int16_t cursor, int32_t backgnd, int32_t foregnd);
  void SetKeywordAttributes(int32_t i, const TKeywordAttributes& a);
  TKeywordAttributes GetKeywordAttributes(int32_t i) const { return Item(i).Attributes; }
  void SetData(int32_t i, int32_t d1, int32_t d2, int32_t d3);

  TzkUpperCase UpperCaseType() const { return upper_case_type_; }
  void SetUpperCaseType(TzkUpperCase t);
  TUpperCaseProc UserUpperCaseProc = nullptr;

  void Assign(const TKeywordList& source);               // every entry whole
  void Assign(const std::vector<std::string>& strings);  // the strings through Insert

  // Text form: "KEY=Options,Style,Context,Cursor,Backgnd,Foregnd,Data1,Data2,".
  void LoadFromList(const std::vector<std::string>& lines);
  void SaveToList(std::vector<std::string>& lines) const;

  // Stream property "Strings", written only when Count() > 0.
  bool StoreStrings() const { return Count() > 0; }
  void WriteStrings(TStreamList& out) const;
  void ReadStrings(const TStreamList& in);

  bool AllMatchCase = true;
  bool Updating = false;
  int32_t MaxKeyLength = 0;
  uint32_t Revision = 0;  // grows with every change of the match forms

 private:
  const TKeyInfoLen& Item(int32_t i) const;
  TKeyInfoLen& Item(int32_t i);
  void SetUpdateState(bool updating);
  void Changed();
  void Recompute();

  std::vector<TKeyInfoLen> items_;
  TzkUpperCase upper_case_type_ = TzkUpperCase::zkuAscii;
  int update_count_ = 0;
};

// The text form's number reader: a signed 32-bit integer, or EConvertError.
int32_t StrToInt(const std::string& s);

}  // namespace scrivlet
