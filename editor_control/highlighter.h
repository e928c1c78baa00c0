#pragma once
// TScrivHighlighter: the hook component through which a program adds highlighting of its
// own. Each hook of the base class does nothing.

#include <cstdint>
#include <vector>

namespace scrivlet {

class TScrivlet;
class TScrivNavigator;

class TScrivHighlighter {
 public:
  TScrivHighlighter() = default;
  TScrivHighlighter(const TScrivHighlighter&) = delete;
  TScrivHighlighter& operator=(const TScrivHighlighter&) = delete;
  // Detaches itself from every control that uses it.
  virtual ~TScrivHighlighter();

  // Before each keyword scan of a range.
  virtual void BeforeKeywords(TScrivNavigator& start_pos, TScrivNavigator& stop_pos,
                              int32_t keyword_count);
  // The scanner found no start key; true: the hook found a section start itself.
  virtual bool FindStart(TScrivNavigator& start_pos, TScrivNavigator& stop_pos,
                         int32_t start_stop_count);
  // The scanner is not inside a section of the list.
  virtual bool FindStop(TScrivNavigator& start_pos, TScrivNavigator& stop_pos,
                        int32_t start_stop_count);
  // A slot of two arguments that the control never calls.
  virtual void Reserved(TScrivNavigator& start_pos, TScrivNavigator& stop_pos);
  // Before the edit primitive rescans the sections of an edited range; the result is unused.
  virtual bool BeforeSections(TScrivNavigator& start_pos, TScrivNavigator& stop_pos,
                              int32_t start_stop_count, int32_t keyword_count);

  const std::vector<TScrivlet*>& Controls() const { return controls_; }

 private:
  friend class TScrivlet;
  std::vector<TScrivlet*> controls_;
};

}  // namespace scrivlet
