// The scripted window set: each user32 slot answers from the windows the test lists.
#include "fake_desktop.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "director/win32/channel.h"
#include "director/win32/discovery.h"

namespace director_test {

namespace {

FakeDesktop* active = nullptr;

int copyText(const WString& text, LPWSTR buffer, int capacity) {
  if (capacity <= 0) {
    return 0;
  }
  const auto count = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

HWND WINAPI fakeForeground() {
  return handle(FakeDesktop::current().foreground);
}

HWND WINAPI fakeFindWindow(LPCWSTR className, LPCWSTR windowName) {
  auto& desktop = FakeDesktop::current();
  desktop.findCalls.emplace_back(className != nullptr, windowName != nullptr);
  for (const FakeWindow& w : desktop.windows) {
    const bool classMatches = className == nullptr || w.className == className;
    const bool nameMatches = windowName == nullptr || w.title == windowName;
    if (w.parent == 0 && classMatches && nameMatches) {
      return handle(w.id);
    }
  }
  return nullptr;
}

DWORD WINAPI fakeThreadProcess(HWND window, LPDWORD processId) {
  const FakeWindow* w = FakeDesktop::current().find(window);
  if (w == nullptr) {
    return 0;  // the out value stays as the caller set it
  }
  if (processId != nullptr) {
    *processId = w->pid;
  }
  return w->tid;
}

BOOL WINAPI fakeEnumWindows(WNDENUMPROC callback, LPARAM lParam) {
  // A copy: the callback must not see a list that changes under it.
  const std::vector<FakeWindow> windows = FakeDesktop::current().windows;
  for (const FakeWindow& w : windows) {
    if (!callback(handle(w.id), lParam)) {
      break;
    }
  }
  return TRUE;
}

HWND WINAPI fakeGetParent(HWND window) {
  const FakeWindow* w = FakeDesktop::current().find(window);
  return w == nullptr ? nullptr : handle(w->parent);
}

int WINAPI fakeTitleLength(HWND window) {
  const FakeWindow* w = FakeDesktop::current().find(window);
  return w == nullptr ? 0 : static_cast<int>(w->title.size());
}

int WINAPI fakeTitle(HWND window, LPWSTR buffer, int capacity) {
  auto& desktop = FakeDesktop::current();
  desktop.titleCapacities.push_back(capacity);
  const FakeWindow* w = desktop.find(window);
  return copyText(w == nullptr ? WString() : w->title, buffer, capacity);
}

int WINAPI fakeClassName(HWND window, LPWSTR buffer, int capacity) {
  auto& desktop = FakeDesktop::current();
  desktop.classLookups.push_back(reinterpret_cast<std::uintptr_t>(window));
  const FakeWindow* w = desktop.find(window);
  return copyText(w == nullptr ? WString() : w->className, buffer, capacity);
}

void deliverReply(const FakeReply& reply) {
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = reply.cbData.value_or(static_cast<DWORD>(reply.bytes.size()));
  std::string bytes = reply.bytes;  // the handler gets its own copy, as across processes
  data.lpData = reply.nullData ? nullptr : bytes.data();
  director::replyHandler(reinterpret_cast<LPARAM>(&data));
}

LRESULT WINAPI fakeSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& desktop = FakeDesktop::current();
  if (message != WM_COPYDATA) {
    throw std::logic_error("the client sends nothing but WM_COPYDATA");
  }
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  SentFrame frame{window, std::string(static_cast<const char*>(data->lpData), data->cbData),
                  data->cbData, data->dwData, wParam};
  desktop.frames.push_back(frame);
  if (desktop.answer) {
    const std::string& bytes = frame.bytes;
    const auto second = bytes.find(':', 1);
    const std::string command = bytes.substr(second + 1, bytes.size() - second - 2);
    if (const auto reply = desktop.answer(command)) {
      deliverReply(*reply);
    }
  }
  return desktop.sendResult;
}

}  // namespace

FakeDesktop::FakeDesktop()
    : foreground_(fakeForeground),
      findWindow_(fakeFindWindow),
      threadProcess_(fakeThreadProcess),
      enumWindows_(fakeEnumWindows),
      getParent_(fakeGetParent),
      titleLength_(fakeTitleLength),
      title_(fakeTitle),
      className_(fakeClassName),
      sendMessage_(fakeSendMessage) {
  active = this;
}

FakeDesktop::~FakeDesktop() {
  active = nullptr;
}

FakeDesktop& FakeDesktop::current() {
  if (active == nullptr) {
    throw std::logic_error("no fake desktop installed");
  }
  return *active;
}

const FakeWindow* FakeDesktop::find(HWND window) const {
  const auto id = reinterpret_cast<std::uintptr_t>(window);
  const auto it = std::find_if(windows.begin(), windows.end(),
                               [id](const FakeWindow& w) { return id != 0 && w.id == id; });
  return it == windows.end() ? nullptr : &*it;
}

std::vector<std::string> FakeDesktop::commands() const {
  std::vector<std::string> texts;
  for (const SentFrame& frame : frames) {
    const auto second = frame.bytes.find(':', 1);
    texts.push_back(frame.bytes.substr(second + 1, frame.bytes.size() - second - 2));
  }
  return texts;
}

void FakeDesktop::addSciTE(std::uintptr_t mainId, std::uintptr_t directorId, DWORD pid) {
  windows.push_back({mainId, wide("SciTEWindow"), wide("file.txt - SciTE"), 0, pid, 7});
  windows.push_back({directorId, wide("DirectorExtension"), wide("DirectorExtension"), 0, pid, 7});
  foreground = mainId;
}

void bindPatternEngine() {
  static const bool bound = [] {
    platform::bindGroup(platform::pcreBindings());
    return true;
  }();
  (void)bound;
}

ClientStateGuard::ClientStateGuard()
    : recv_(director::hRecv),
      received_(director::received),
      pattern_(director::pattern),
      debug_(director::debug) {}

ClientStateGuard::~ClientStateGuard() {
  director::hRecv = recv_;
  director::received = received_;
  director::pattern = pattern_;
  director::debug = debug_;
  director::sEnumWnd.clear();
  director::classfilter.clear();
  director::titlefilter.clear();
}

}  // namespace director_test
