// Window enumeration and the rules that pick SciTE's director window.
#include "director/win32/discovery.h"

#include <algorithm>
#include <climits>

#include "director/win32/bindings.h"
#include "platform/text.h"

namespace director {

std::vector<EnumWnd> sEnumWnd;
WString classfilter;
WString titlefilter;
bool debug = false;

namespace {

// Compares as UTF-8 bytes, so that unpaired surrogates count as U+FFFD on both sides.
[[nodiscard]] bool sameText(WStringView text, WStringView filter) {
  return platform::toUtf8(text) == platform::toUtf8(filter);
}

[[nodiscard]] bool filterSet(const WString& filter) noexcept {
  return !filter.empty() && filter.front() != 0;
}

// Keeps what precedes the first NUL of a buffer the system filled.
[[nodiscard]] WString untilNul(const std::vector<WCHAR>& buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), WCHAR{0});
  return WString(buffer.begin(), end);
}

[[nodiscard]] std::pair<DWORD, DWORD> threadAndProcess(HWND window) {
  DWORD processId = 0;
  const DWORD threadId = user32::GetWindowThreadProcessId(window, &processId);
  return {threadId, processId};
}

[[nodiscard]] WString titleOf(HWND window) {
  // A length near INT_MAX would overflow the count with its terminator.
  const int length = std::clamp(user32::GetWindowTextLengthW(window), 0, INT_MAX - 1);
  std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1, WCHAR{0});
  user32::GetWindowTextW(window, buffer.data(), length + 1);
  return untilNul(buffer);
}

[[nodiscard]] WString classOf(HWND window) {
  std::vector<WCHAR> buffer(kClassNameCapacity, WCHAR{0});
  user32::GetClassNameW(window, buffer.data(), kClassNameCapacity);
  return untilNul(buffer);
}

}  // namespace

BOOL CALLBACK my_WndEnumProc(HWND window, LPARAM /*unused*/) {
  if (user32::GetParent(window) != nullptr) {
    return TRUE;
  }
  // The title is read before the class, so only windows that pass it cost a class look-up.
  WString title = titleOf(window);
  if (filterSet(titlefilter) && !sameText(title, titlefilter)) {
    return TRUE;
  }
  WString className = classOf(window);
  if (filterSet(classfilter) && !sameText(className, classfilter)) {
    return TRUE;
  }
  const auto [threadId, processId] = threadAndProcess(window);
  sEnumWnd.push_back(EnumWnd{window, std::move(className), std::move(title),
                             static_cast<std::int64_t>(processId),
                             static_cast<std::int64_t>(static_cast<std::int32_t>(threadId))});
  return TRUE;
}

std::size_t GetEnumWindows(std::string_view className, std::string_view title) {
  titlefilter = platform::toUtf16(title);
  classfilter = platform::toUtf16(className);
  sEnumWnd.clear();
  user32::EnumWindows(my_WndEnumProc, 0);
  return sEnumWnd.size();
}

HWND pickDirectorWindow(const std::function<std::vector<DirectorCandidate>()>& candidates) {
  const HWND foreground = user32::GetForegroundWindow();
  const WString mainClass = platform::toUtf16(kSciTEWindowClass);
  const HWND mainWindow = user32::FindWindowW(mainClass.c_str(), nullptr);
  if (!debug && foreground != mainWindow) {
    return nullptr;
  }
  const auto sciteProcess = static_cast<std::int64_t>(threadAndProcess(mainWindow).second);
  const std::vector<DirectorCandidate> found = candidates();
  if (found.size() == 1) {
    return found.front().hwnd;
  }
  for (const DirectorCandidate& candidate : found) {
    if (candidate.pid == sciteProcess) {
      return candidate.hwnd;
    }
  }
  return nullptr;
}

HWND GetHwndDirectorExtension() {
  return pickDirectorWindow([] {
    GetEnumWindows(kDirectorWindowClass);
    std::vector<DirectorCandidate> found;
    found.reserve(sEnumWnd.size());
    for (const EnumWnd& window : sEnumWnd) {
      found.push_back({window.hwnd, window.pid});
    }
    return found;
  });
}

HWND MyFindWindow(std::string_view className, std::string_view windowName) {
  const WString wideClass = platform::toUtf16(className);
  const WString wideName = platform::toUtf16(windowName);
  return user32::FindWindowW(className.empty() ? nullptr : wideClass.c_str(),
                             windowName.empty() ? nullptr : wideName.c_str());
}

std::pair<std::int64_t, std::int64_t> GetIDByWindow(HWND window) {
  const auto [threadId, processId] = threadAndProcess(window);
  return {static_cast<std::int64_t>(processId),
          static_cast<std::int64_t>(static_cast<std::int32_t>(threadId))};
}

}  // namespace director
