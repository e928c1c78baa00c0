#pragma once
// String-list views over a TScrivlet's text: `Paragraphs` (one entry per paragraph), `Lines`
// (one per display line), and TLinesList over one paragraph's display-line records. A text
// that ends with a break ends with an empty paragraph; the views do not count it.

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "editor_control/paragraph.h"
#include "editor_control/value_stream.h"

namespace scrivlet {

class TScrivlet;

class TScrivletStrings {
 public:
  explicit TScrivletStrings(TScrivlet& memo) : memo_(memo) {}
  virtual ~TScrivletStrings() = default;
  TScrivletStrings(const TScrivletStrings&) = delete;
  TScrivletStrings& operator=(const TScrivletStrings&) = delete;

  virtual int32_t Count() = 0;
  virtual std::string Get(int32_t i) = 0;
  virtual void Put(int32_t i, std::string_view s) = 0;
  // Returns the index of the added entry.
  virtual int32_t Add(std::string_view s) = 0;
  virtual void Insert(int32_t i, std::string_view s) = 0;
  virtual void Delete(int32_t i) = 0;

  // The wide-string forms convert (characters above 255 become '?') and delegate.
  std::u16string GetWide(int32_t i);
  void PutWide(int32_t i, std::u16string_view s) { Put(i, Narrow(s)); }
  void InsertWide(int32_t i, std::u16string_view s) { Insert(i, Narrow(s)); }

  // Another control's view: its text through a memory stream. A plain list: its lines,
  // each ended by CR LF.
  void Assign(TScrivletStrings& other);
  void Assign(const std::vector<std::string>& lines);
  void BeginUpdate();
  void EndUpdate();
  std::string GetText();  // the whole text with CR LF breaks
  void SetText(std::string_view text);
  void Clear();
  void LoadFromStream(std::istream& stream);
  void SaveToStream(std::ostream& stream);  // CR LF breaks whatever LineBreak says

  static std::string Narrow(std::u16string_view s);

 protected:
  TScrivlet& memo_;
};

class TScrivParaStrings : public TScrivletStrings {
 public:
  using TScrivletStrings::TScrivletStrings;
  int32_t Count() override;
  std::string Get(int32_t i) override;
  void Put(int32_t i, std::string_view s) override;
  int32_t Add(std::string_view s) override;
  void Insert(int32_t i, std::string_view s) override;
  void Delete(int32_t i) override;
};

class TScrivLinesStrings : public TScrivletStrings {
 public:
  using TScrivletStrings::TScrivletStrings;
  int32_t Count() override;
  std::string Get(int32_t i) override;
  void Put(int32_t i, std::string_view s) override;
  int32_t Add(std::string_view s) override;
  void Insert(int32_t i, std::string_view s) override;
  void Delete(int32_t i) override;

 private:
  // The absolute offsets of display line i's start and end (without its break).
  void LineRange(int32_t i, int32_t& start, int32_t& end);
};

// The display-line records of one paragraph.
class TLinesList {
 public:
  explicit TLinesList(TParagraph& p) : p_(p) {}
  int32_t Count() const { return para::LineCount(p_); }
  TLineRecord Get(int32_t i) const { return para::LineRecord(p_, i); }  // ERangeError outside
  void Put(int32_t i, const TLineRecord& r) { para::SetLineRecord(p_, i, r); }
  void SetCount(int32_t n) { para::SetLineCount(p_, n); }  // below 1 counts as 1

 private:
  TParagraph& p_;
};

// The form stream's "Strings" property: one entry per paragraph, empty ones included.
// A paragraph longer than one stream string goes in pieces, each but the last ended by
// the character 5.
bool StoreStrings(const TScrivlet& memo);
TStreamItem WriteStrings(TScrivlet& memo);
void ReadStrings(TScrivlet& memo, const TStreamItem& values);

}  // namespace scrivlet
