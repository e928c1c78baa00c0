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
  virtual void BeforeKeywords(TScrivNavigator& startPos, TScrivNavigator& stopPos,
                              int32_t keywordCount);
  // The scanner found no start key; true: the hook found a section start itself.
  virtual bool FindStart(TScrivNavigator& startPos, TScrivNavigator& stopPos, int32_t startStopCount);
  // The scanner is not inside a section of the list.
  virtual bool FindStop(TScrivNavigator& startPos, TScrivNavigator& stopPos, int32_t startStopCount);
  // A slot of two arguments that the control never calls.
  virtual void Reserved(TScrivNavigator& startPos, TScrivNavigator& stopPos);
  // Before the edit primitive rescans the sections of an edited range; the result is unused.
  virtual bool BeforeSections(TScrivNavigator& startPos, TScrivNavigator& stopPos,
                              int32_t startStopCount, int32_t keywordCount);

  const std::vector<TScrivlet*>& Controls() const { return controls_; }

 private:
  friend class TScrivlet;
  std::vector<TScrivlet*> controls_;
};

}  // namespace scrivlet
