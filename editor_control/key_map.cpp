// The editor control's key table, and its lookup.

#include "editor_control/key_map.h"

#include <algorithm>
#include <string_view>

#include "editor_control/input.h"

namespace scrivlet {
namespace {

constexpr uint8_t kModifierBits = ssShift | ssAlt | ssCtrl;

// The modifiers a row names: "Ctrl+Shift" both down; "Ctrl [Shift]" Ctrl down and Shift either
// way; "any" whatever is held; "" none. A word it does not know fails to compile.
consteval TKeyMods Mods(std::string_view text) {
  TKeyMods mods;
  while (!text.empty()) {
    const size_t end = text.find_first_of(" +");
    const std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (word.empty()) continue;
    const bool either = word.front() == '[';
    if (either && (word.size() < 2 || word.back() != ']')) throw "an unclosed [";
    const std::string_view name = either ? word.substr(1, word.size() - 2) : word;
    uint8_t bit = 0;
    if (name == "Shift")
      bit = ssShift;
    else if (name == "Ctrl")
      bit = ssCtrl;
    else if (name == "Alt")
      bit = ssAlt;
    else if (name == "any" && !either)
      bit = kModifierBits;
    else
      throw "not a modifier";
    if (either || name == "any")
      mods.Either |= bit;
    else
      mods.Held |= bit;
  }
  if (mods.Held & mods.Either) throw "a modifier both held and either way";
  return mods;
}

using enum TKeyCondition;
using enum TKeyCommand;

// clang-format off
constexpr TKeyBinding kKeyBindings[] = {
    // key          modifiers                   when           command
    // A display-only control: the keys move the view, the caret stays.
    {vk::kPrior,    Mods("[Shift] [Alt]"),      kDisplayOnly,  kViewPageUp},
    {vk::kPrior,    Mods("Ctrl [Shift] [Alt]"), kDisplayOnly,  kViewTextTop},
    {vk::kNext,     Mods("[Shift] [Alt]"),      kDisplayOnly,  kViewPageDown},
    {vk::kNext,     Mods("Ctrl [Shift] [Alt]"), kDisplayOnly,  kViewTextBottom},
    {vk::kEnd,      Mods("any"),                kDisplayOnly,  kViewRightEnd},
    {vk::kHome,     Mods("any"),                kDisplayOnly,  kViewLeftEnd},
    {vk::kLeft,     Mods("any"),                kDisplayOnly,  kViewLeft},
    {vk::kUp,       Mods("any"),                kDisplayOnly,  kViewLineUp},
    {vk::kRight,    Mods("any"),                kDisplayOnly,  kViewRight},
    {vk::kDown,     Mods("any"),                kDisplayOnly,  kViewLineDown},

    // Hot keys; the character a hot key types is swallowed.
    {'B',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kToggleBold},
    {'I',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kToggleItalic},
    {'U',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kToggleUnderline},
    {'H',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kToggleHighlight},
    {'F',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kToggleAltFont},
    {'T',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kInsertTab},
    {'P',           Mods("Ctrl [Shift]"),       kHotKeysOn,    kInsertPageBreak},
    {'Z',           Mods("Ctrl"),               kHotKeysOn,    kUndo},
    {'Z',           Mods("Ctrl+Shift"),         kHotKeysOn,    kRedo},

    // Ctrl+letters whose control character copies, runs the self-test, pastes and cuts: no
    // menu shortcut may take them from the control.
    {'C',           Mods("Ctrl [Shift]"),       kAlways,       kControlCharacter},
    {'E',           Mods("Ctrl [Shift]"),       kAlways,       kControlCharacter},
    {'V',           Mods("Ctrl [Shift]"),       kAlways,       kControlCharacter},
    {'X',           Mods("Ctrl [Shift]"),       kAlways,       kControlCharacter},

    // Editing and moving. Alt with the moves is for column blocks only; Alt+Tab is the system's.
    {vk::kBack,     Mods("[Shift] [Alt]"),      kEditing,      kDeleteBack},
    {vk::kBack,     Mods("Ctrl [Shift] [Alt]"), kEditing,      kDeleteWordBack},
    {vk::kTab,      Mods("[Shift] [Ctrl]"),     kEditing,      kCharacterFollows},
    {vk::kPrior,    Mods("[Shift]"),            kEditing,      kPageUp},
    {vk::kPrior,    Mods("Ctrl [Shift]"),       kEditing,      kCaretPageUp},
    {vk::kPrior,    Mods("Alt [Shift] [Ctrl]"), kEditing,      kIgnore},
    {vk::kNext,     Mods("[Shift]"),            kEditing,      kPageDown},
    {vk::kNext,     Mods("Ctrl [Shift]"),       kEditing,      kCaretPageDown},
    {vk::kNext,     Mods("Alt [Shift] [Ctrl]"), kEditing,      kIgnore},
    {vk::kHome,     Mods("[Shift]"),            kEditing,      kLineStart},
    {vk::kHome,     Mods("Ctrl [Shift]"),       kEditing,      kTextStart},
    {vk::kHome,     Mods("Alt [Shift] [Ctrl]"), kEditing,      kIgnore},
    {vk::kEnd,      Mods("[Shift]"),            kEditing,      kLineEnd},
    {vk::kEnd,      Mods("Ctrl [Shift]"),       kEditing,      kTextEnd},
    {vk::kEnd,      Mods("Alt [Shift] [Ctrl]"), kEditing,      kIgnore},
    {vk::kLeft,     Mods("[Shift]"),            kEditing,      kCharLeft},
    {vk::kLeft,     Mods("Ctrl [Shift]"),       kEditing,      kWordLeft},
    {vk::kLeft,     Mods("Alt [Shift] [Ctrl]"), kColumnBlock,  kBlockLeft},
    {vk::kRight,    Mods("[Shift]"),            kEditing,      kCharRight},
    {vk::kRight,    Mods("Ctrl [Shift]"),       kEditing,      kWordRight},
    {vk::kRight,    Mods("Alt [Shift] [Ctrl]"), kColumnBlock,  kBlockRight},
    {vk::kUp,       Mods("[Shift] [Ctrl]"),     kEditing,      kLineUp},
    {vk::kUp,       Mods("Alt [Shift] [Ctrl]"), kColumnBlock,  kBlockUp},
    {vk::kDown,     Mods("[Shift] [Ctrl]"),     kEditing,      kLineDown},
    {vk::kDown,     Mods("Alt [Shift] [Ctrl]"), kColumnBlock,  kBlockDown},
    {vk::kInsert,   Mods(""),                   kEditing,      kToggleOverwrite},
    {vk::kInsert,   Mods("Shift"),              kEditing,      kPaste},
    {vk::kInsert,   Mods("Ctrl [Shift]"),       kEditing,      kCopy},
    {vk::kInsert,   Mods("Alt [Shift] [Ctrl]"), kEditing,      kIgnore},
    {vk::kDelete,   Mods(""),                   kEditing,      kDeleteForward},
    {vk::kDelete,   Mods("Shift"),              kEditing,      kCutOrSelectBack},
    {vk::kDelete,   Mods("Ctrl [Shift]"),       kEditing,      kDeleteToLineEnd},
    {vk::kDelete,   Mods("Alt [Shift] [Ctrl]"), kEditing,      kDeleteForward},
};
// clang-format on

}  // namespace

bool TKeyMods::Match(uint8_t mods) const { return (mods & kModifierBits & ~Either) == Held; }

bool TKeyState::Meets(TKeyCondition when) const {
  switch (when) {
    case kAlways: return true;
    case kDisplayOnly: return DisplayOnly;
    case kEditing: return !DisplayOnly;
    case kHotKeysOn: return !DisplayOnly && HotKeysOn;
    case kColumnBlock: return !DisplayOnly && ColumnBlock;
  }
  return false;
}

std::span<const TKeyBinding> KeyBindings() { return kKeyBindings; }

const TKeyBinding* FindKeyBinding(uint16_t key, uint8_t mods, const TKeyState& state) {
  const auto* row = std::ranges::find_if(kKeyBindings, [&](const TKeyBinding& b) {
    return b.Key == key && b.Modifiers.Match(mods) && state.Meets(b.When);
  });
  return row == std::end(kKeyBindings) ? nullptr : row;
}

}  // namespace scrivlet
