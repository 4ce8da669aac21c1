// The director client's one WM_COPYDATA sender, with SendMessageTimeoutW from the companion's own
// binding group.
#include "companion/win32/director_scite.h"

#include <vector>

#include "companion/win32/bindings.h"
#include "director/replies.h"
#include "director/win32/bindings.h"
#include "director/win32/channel.h"
#include "director/win32/discovery.h"
#include "platform/text.h"

namespace companion {

namespace {

constexpr auto kAnswerLimitMs = static_cast<UINT>(director::kAnswerLimit.count());

// The user strip's own window, among the children of SciTE's main window.
constexpr std::string_view kUserStripTitle = "UserStrip";

[[nodiscard]] bool sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              DWORD_PTR& result) {
  return user32::SendMessageTimeoutW(window, message, wParam, lParam,
                                     SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerLimitMs, &result) != 0;
}

// The main window of the SciTE whose director window is `sciteDirector`: the one made by the
// same thread, as several SciTEs may run at once.
[[nodiscard]] HWND mainWindowOf(HWND sciteDirector) {
  const DWORD thread = user32::GetWindowThreadProcessId(sciteDirector, nullptr);
  const WString mainClass = platform::toUtf16(director::kSciTEWindowClass);
  HWND window = nullptr;
  while ((window = user32::FindWindowExW(nullptr, window, mainClass.c_str(), nullptr)) != nullptr) {
    if (thread != 0 && user32::GetWindowThreadProcessId(window, nullptr) == thread) {
      return window;
    }
  }
  return nullptr;
}

// The class's exact name: FindWindowExW matches it regardless of case, the rules do not.
[[nodiscard]] bool classIs(HWND window, const WString& wanted) {
  std::vector<WCHAR> name(director::kClassNameCapacity, WCHAR{0});
  const int length =
      director::user32::GetClassNameW(window, name.data(), director::kClassNameCapacity);
  return length > 0 && WStringView(name.data(), static_cast<std::size_t>(length)) == wanted;
}

}  // namespace

HWND findSciteDirector() {
  return director::pickDirectorWindow([] {
    const WString wanted = platform::toUtf16(director::kDirectorWindowClass);
    std::vector<director::DirectorCandidate> found;
    HWND window = nullptr;
    while ((window = user32::FindWindowExW(nullptr, window, wanted.c_str(), nullptr)) != nullptr) {
      // Parentless, as the rules have it: an owned window's owner counts as its parent.
      if (director::user32::GetParent(window) == nullptr && classIs(window, wanted)) {
        DWORD process = 0;
        (void)user32::GetWindowThreadProcessId(window, &process);
        found.push_back({window, static_cast<std::int64_t>(process)});
      }
    }
    return found;
  });
}

// SciTE numbers each of the strip's controls by its place in the strip's definition.
void stripCaretToEnd(HWND sciteDirector, int control) {
  const HWND main = sciteDirector != nullptr ? mainWindowOf(sciteDirector) : nullptr;
  const WString stripTitle = platform::toUtf16(kUserStripTitle);
  const HWND strip =
      main != nullptr ? user32::FindWindowExW(main, nullptr, nullptr, stripTitle.c_str()) : nullptr;
  const HWND field = strip != nullptr ? user32::GetDlgItem(strip, control) : nullptr;
  DWORD_PTR length = 0;
  // The selection's ends are 16-bit: a longer text keeps the caret where SciTE left it.
  if (field == nullptr || !sendWithin(field, WM_GETTEXTLENGTH, 0, 0, length) || length > 0x7FFF) {
    return;
  }
  // The selection's start in the low word, its end in the high one: both at the text's end.
  const auto selection = static_cast<LPARAM>(length | (length << 16));
  DWORD_PTR ignored = 0;
  (void)sendWithin(field, CB_SETEDITSEL, 0, selection, ignored);
}

std::optional<Answer> WindowScite::send(std::string_view command, bool expectReply) const {
  if (!inReach()) {
    return std::nullopt;
  }
  trace_(expectReply ? "ask" : "send");
  const auto reply =
      director::exchangeFrame(window_, command, [](HWND window, WPARAM receiver, LPARAM frame) {
        // SciTE answers inside this call, on our receiver window, which this thread serves
        // meanwhile (SMTO_NORMAL); a SciTE that stopped answering fails it at once
        // (SMTO_ABORTIFHUNG).
        DWORD_PTR result = 0;
        return sendWithin(window, WM_COPYDATA, receiver, frame, result);
      });
  trace_(expectReply ? "answered" : "sent");
  if (!reply) {
    return std::nullopt;
  }
  return Answer{.text = director::replyValue(*reply)};
}

}  // namespace companion
