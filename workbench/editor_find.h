#pragma once
// EditorFinder: find and replace in a source editor, as the find and replace dialogs and Find
// Next ask for it. Every search starts at the caret, never at the text's start or end; a
// search that fails offers to go on from the other end.

#include <cstdint>
#include <string>

namespace scrivlet {
class TScrivlet;
}

namespace workbench {

class Localizer;
class MessageStrings;

struct FindOptions {
  std::string text;
  bool down = true;
  bool match_case = false;
  bool whole_word = false;
};

// What the search does with the find dialog after its question. While the question is up the
// dialog stays where the user put it: the box is modal over it.
class FindDialogPlace {
 public:
  virtual ~FindDialogPlace() = default;
  virtual void Close() = 0;
};

// Replace All on a large text hears how far it has come, and may stop it.
class ReplaceProgress {
 public:
  virtual ~ReplaceProgress() = default;
  // `done` of `total` characters searched; false cancels, and the text stays as it was.
  virtual bool Step(std::int32_t done, std::int32_t total) = 0;
};

class EditorFinder {
 public:
  EditorFinder(const Localizer& texts, const MessageStrings& messages)
      : texts_(texts), messages_(messages) {}

  // The find dialog's Find Next. Not found: asks whether to go on from the top (searching
  // down) or the bottom; Yes goes there and searches again, No closes the dialog. A text
  // that is nowhere is told once the search has come round. False for an empty text.
  bool FindDialogFind(scrivlet::TScrivlet& editor, const FindOptions& find,
                      FindDialogPlace& dialog);
  // The replace dialog's Find Next and the Edit menu's Find Next: not found is told.
  bool FindNext(scrivlet::TScrivlet& editor, const FindOptions& find);
  // Replaces the hit that is selected and finds the next one; without a hit selected it only
  // finds one, so nothing is ever put where the find text is not.
  bool Replace(scrivlet::TScrivlet& editor, const FindOptions& find, const std::string& replace);
  // Replaces every hit from the text's start, each search going on behind the text put in,
  // and tells how many. The caret goes back to its line and column. The number replaced;
  // -1, told nothing, when `progress` cancelled.
  int ReplaceAll(scrivlet::TScrivlet& editor, const FindOptions& find, const std::string& replace,
                 ReplaceProgress* progress = nullptr);

 private:
  static bool Search(scrivlet::TScrivlet& editor, const FindOptions& find);
  static bool SelectionIsHit(scrivlet::TScrivlet& editor, const FindOptions& find);
  void TellNotFound(const FindOptions& find) const;

  const Localizer& texts_;
  const MessageStrings& messages_;
};

}  // namespace workbench
