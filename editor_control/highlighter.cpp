#include "editor_control/highlighter.h"

#include "editor_control/scrivlet.h"

namespace scrivlet {

TScrivHighlighter::~TScrivHighlighter() {
  while (!controls_.empty()) controls_.back()->SetHighlighter(nullptr);
}

void TScrivHighlighter::BeforeKeywords(TScrivNavigator&, TScrivNavigator&, int32_t) {}
bool TScrivHighlighter::FindStart(TScrivNavigator&, TScrivNavigator&, int32_t) { return false; }
bool TScrivHighlighter::FindStop(TScrivNavigator&, TScrivNavigator&, int32_t) { return false; }
void TScrivHighlighter::Reserved(TScrivNavigator&, TScrivNavigator&) {}
bool TScrivHighlighter::BeforeSections(TScrivNavigator&, TScrivNavigator&, int32_t, int32_t) {
  return false;
}

}  // namespace scrivlet
