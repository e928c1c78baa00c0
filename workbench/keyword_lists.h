#pragma once
// T_MultiKeywordList: the keyword lists the source editors share. The index of a list is the
// file type of the editors that use it: 0 none, 1 assembly, 2 BASIC. Each editor takes a copy
// of the list of its type; the lists are filled once at start-up and never reloaded.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "editor_control/keyword_list.h"

namespace workbench {

class MessageStrings;

// Finds a text resource by name and type; the program's finder looks in what it carries.
using KeywordResourceFinder =
    std::function<std::optional<std::string_view>(std::string_view type, std::string_view name)>;

class T_MultiKeywordList {
 public:
  static constexpr int kMaxLists = 10;

  // Makes list 0, the empty list of editors that are neither assembly nor BASIC.
  explicit T_MultiKeywordList(KeywordResourceFinder find_resource = {});

  // The index of a new, empty list; -1 when ten lists exist.
  int NewList();
  // Each makes a new list and fills it with one keyword a line, matched without regard to
  // case. -1 when no list could be made or the source is missing (the new list then stays,
  // empty).
  int LoadListFromFile(const std::string& file_name);
  int LoadListFromResource(std::string_view res_name, std::string_view res_type);

  // Null when index is outside the lists made.
  scrivlet::TKeywordList* GetList(int index) const;
  int ListCount() const { return list_count_; }

 private:
  void AddLines(scrivlet::TKeywordList& list, std::string_view text);

  KeywordResourceFinder find_resource_;
  std::array<std::unique_ptr<scrivlet::TKeywordList>, kMaxLists> lists_;
  int list_count_ = 0;
};

// The start-up's loading: list 1 from the resource "QVKeywords" of type "txt", list 2 from the
// BASIC compiler's keyword file. A source that fails is told in a box and leaves an empty list
// at its index, so the lists keep their numbers. Without a BASIC compiler installed there is
// no keyword file to miss: list 2 stays empty without a box.
void LoadKeywordLists(T_MultiKeywordList& lists, const MessageStrings& messages,
                      const std::optional<std::string>& basic_keyword_file);

}  // namespace workbench
