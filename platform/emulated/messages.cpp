// Message queues: backends post input for the display window, the display pumps it with
// PeekMessageA and hands each message to its window's procedure with DispatchMessageA.
#include "platform/emulated/platform_state.h"

namespace {

using emulated::detail::QueuedMessage;
using emulated::detail::state;
using emulated::detail::Window;

bool in_range(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

// The oldest message in the window's queue within the range, or end.
std::deque<QueuedMessage>::iterator first_match(Window& window, UINT first, UINT last) {
  for (auto it = window.queue.begin(); it != window.queue.end(); ++it) {
    if (in_range(it->message.message, first, last)) return it;
  }
  return window.queue.end();
}

// The character a key makes with no modifier held, or 0 for a key that makes none.
WPARAM key_character(WPARAM key) {
  constexpr WPARAM VK_BACK = 0x08;
  constexpr WPARAM VK_TAB = 0x09;
  if (key >= 'A' && key <= 'Z') return key - 'A' + 'a';
  if (key >= '0' && key <= '9') return key;
  if (key == VK_SPACE || key == VK_RETURN || key == VK_ESCAPE || key == VK_BACK || key == VK_TAB) {
    return key;
  }
  return 0;
}

MSG make_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  MSG made = {};
  made.hwnd = window;
  made.message = message;
  made.wParam = wparam;
  made.lParam = lparam;
  return made;
}

}  // namespace

namespace emulated {

void post_message(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND handle = display_window_handle();
  Window* window = detail::find_window(handle);
  if (window == nullptr) return;
  window->queue.push_back(
      {make_message(handle, message, wparam, lparam), detail::state().next_back_order++});
}

LRESULT send_message(UINT message, WPARAM wparam, LPARAM lparam) {
  detail::record(Step::send_message, {message, static_cast<std::int64_t>(wparam)});
  const HWND handle = display_window_handle();
  Window* window = detail::find_window(handle);
  if (window == nullptr) return 0;
  return window->procedure(handle, message, wparam, lparam);
}

}  // namespace emulated

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max, UINT remove) {
  emulated::detail::backend().poll_events();
  if (msg == nullptr) return FALSE;

  Window* source = nullptr;
  std::deque<QueuedMessage>::iterator found;
  if (window != nullptr) {
    source = emulated::detail::find_window(window);
    if (source == nullptr) return FALSE;
    found = first_match(*source, filter_min, filter_max);
    if (found == source->queue.end()) return FALSE;
  } else {
    // Any window: the oldest matching message of all queues.
    for (Window& candidate : state().windows) {
      if (!candidate.alive) continue;
      const auto match = first_match(candidate, filter_min, filter_max);
      if (match == candidate.queue.end()) continue;
      if (source == nullptr || match->order < found->order) {
        source = &candidate;
        found = match;
      }
    }
    if (source == nullptr) return FALSE;
  }

  *msg = found->message;
  if ((remove & PM_REMOVE) != 0) source->queue.erase(found);
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
  if (msg == nullptr) return FALSE;
  if (msg->message == WM_KEYUP) return TRUE;
  if (msg->message != WM_KEYDOWN) return FALSE;
  const WPARAM character = key_character(msg->wParam & 0xFF);
  Window* window = emulated::detail::find_window(msg->hwnd);
  if (character != 0 && window != nullptr) {
    // The character is the next message the window gets.
    window->queue.push_front(
        {make_message(msg->hwnd, WM_CHAR, character, msg->lParam), state().next_front_order--});
  }
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg == nullptr) return 0;
  emulated::detail::record(emulated::Step::dispatch_message,
                           {msg->message, static_cast<std::int64_t>(msg->wParam)});
  Window* window = emulated::detail::find_window(msg->hwnd);
  if (window == nullptr) return 0;
  return window->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
