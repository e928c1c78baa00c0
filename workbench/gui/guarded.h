#pragma once
// The one way into the IDE from Qt's event loop. Every slot and event handler runs its body
// through RunGuarded: a silent abort ends the command quietly; any other exception is shown
// in a message box of the given service (its text, captioned with the application's name)
// instead of crossing the event loop.
//
//   connect(button, &QPushButton::clicked, this, gui::Guard(boxes, [this] { RunAssemble(); }));

#include <functional>
#include <type_traits>
#include <utility>

namespace platform {
class MessageBoxService;
}

namespace gui {

// True when the body ran to its end; false after a silent abort or a shown failure.
bool RunGuarded(platform::MessageBoxService& boxes, const std::function<void()>& body);

template <typename F>
auto Guard(platform::MessageBoxService& boxes, F body) {
  // A body that takes none of the signal's arguments is called without them.
  return [boxes = &boxes, body = std::move(body)](auto&&... args) mutable {
    RunGuarded(*boxes, [&] {
      if constexpr (std::is_invocable_v<F&, decltype(args)...>) {
        body(std::forward<decltype(args)>(args)...);
      } else {
        body();
      }
    });
  };
}

}  // namespace gui
