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

namespace detail {

// A body that takes the signal's arguments gets them; one that takes none is called without.
// Two overloads rather than one `if constexpr`: clang 14 checks the discarded branch when it
// sits in a lambda inside a generic lambda.
template <typename F, typename... Args>
requires std::is_invocable_v<F&, Args...>
void CallGuarded(platform::MessageBoxService& boxes, F& body, Args&&... args) {
  RunGuarded(boxes, [&] { body(std::forward<Args>(args)...); });
}

template <typename F, typename... Args>
void CallGuarded(platform::MessageBoxService& boxes, F& body, Args&&...) {
  RunGuarded(boxes, [&] { body(); });
}

}  // namespace detail

template <typename F>
auto Guard(platform::MessageBoxService& boxes, F body) {
  return [boxes = &boxes, body = std::move(body)](auto&&... args) mutable {
    detail::CallGuarded(*boxes, body, std::forward<decltype(args)>(args)...);
  };
}

}  // namespace gui
