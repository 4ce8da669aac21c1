// Connections, events and the window procedure that runs a window's handlers for each message.
#include "windowhost/wEvent.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/winstr.h"
#include "windowhost/bindings.h"
#include "windowhost/wApp.h"
#include "windowhost/wWindow.h"

namespace windowhost {

namespace {

constexpr std::int64_t kUnlimitedLevels = std::numeric_limits<std::int64_t>::max();
constexpr std::string_view kErrorCaption = "Error: unhandled exception";
constexpr std::string_view kStandardErrorKind = "std::exception";
constexpr std::string_view kUnknownErrorKind = "unknown";

void countUp(std::int32_t msg) {
  ++CurrentApp()->mMessageCountTable[msg];
}

void countDown(std::int32_t msg) {
  auto& counts = CurrentApp()->mMessageCountTable;
  const auto it = counts.find(msg);
  if (it != counts.end() && --it->second <= 0) {
    counts.erase(it);
  }
}

std::shared_ptr<wConnection> addConnection(wConnectionTable& table, wConnection connection) {
  auto shared = std::make_shared<wConnection>(std::move(connection));
  table[shared->msg].push_back(shared);
  countUp(shared->msg);
  return shared;
}

template <typename Predicate>
void removeFrom(wConnectionTable& table, Predicate shouldRemove) {
  for (auto entry = table.begin(); entry != table.end();) {
    wConnectionList& list = entry->second;
    for (auto it = list.begin(); it != list.end();) {
      if (shouldRemove(**it)) {
        (*it)->removed = true;
        countDown((*it)->msg);
        it = list.erase(it);
      } else {
        ++it;
      }
    }
    entry = list.empty() ? table.erase(entry) : std::next(entry);
  }
}

template <typename Predicate>
void removeConnections(wWindow& window, Predicate shouldRemove) {
  removeFrom(window.mSystemConnectionTable, shouldRemove);
  removeFrom(window.mConnectionTable, shouldRemove);
}

// A walk goes over a copy, so that handlers may connect, disconnect or end the window meanwhile;
// the copy keeps each connection alive while it runs.
std::vector<std::shared_ptr<wConnection>> connectionsFor(const wConnectionTable& table,
                                                         std::int32_t msg) {
  const auto it = table.find(msg);
  if (it == table.end()) {
    return {};
  }
  return {it->second.begin(), it->second.end()};
}

[[nodiscard]] bool isCommandEvent(std::int32_t msg) noexcept {
  return msg >= kCommandEventFirst && msg <= kCommandEventLast;
}

[[nodiscard]] std::int64_t signedHalf(DWORD value, unsigned shift) noexcept {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((value >> shift) & 0xFFFF));
}

struct ErrorDescription {
  std::string message;
  std::string kind;
};

// Names the error being handled; call it only inside a catch block.
ErrorDescription describeCurrentError() {
  try {
    throw;
  } catch (const platform::Error& error) {
    return {error.message(), std::string(error.kind())};
  } catch (const std::exception& error) {
    return {error.what(), std::string(kStandardErrorKind)};
  } catch (...) {
    return {"unknown error", std::string(kUnknownErrorKind)};
  }
}

void showErrorBox(HWND owner, std::string_view message, std::string_view kind) {
  std::string text(message);
  text.append(" [").append(kind).append("]");
  user32::MessageBoxW(owner, platform::wideFromUtf8(text).c_str(),
                      platform::wideFromUtf8(kErrorCaption).c_str(), MB_ICONERROR);
}

// Runs the handlers of a window the host knows; empty when the message is left to DefWindowProcW.
std::optional<LRESULT> dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!wTheApp) {
    return std::nullopt;
  }
  const auto found = wTheApp->mWindowTable.find(hwnd);
  if (found == wTheApp->mWindowTable.end()) {
    return std::nullopt;
  }
  // Held here because the message may end the window's life (WM_NCDESTROY).
  const std::shared_ptr<wWindow> window = found->second;
  const auto id = static_cast<std::int32_t>(msg);
  LRESULT result = 0;
  if (wTheApp->mMessageCountTable.contains(id)) {
    const auto event = Event(*window, id, wParam, lParam, window->mHwnd, 0);
    const bool processed = processEvent(*window, *event);
    result = event->mResult;
    if (processed) {
      return result;
    }
  }
  if (window->mHookProc && window->mHookProc(*window, msg, wParam, lParam)) {
    return result;
  }
  return std::nullopt;
}

}  // namespace

std::shared_ptr<wConnection> connect(wWindow& window, std::int32_t msg, wEventHandler handler,
                                     std::int64_t userData) {
  return connect(window, msg, 0, std::move(handler), userData);
}

std::shared_ptr<wConnection> connect(const std::shared_ptr<wWindow>& window, std::int32_t msg,
                                     wEventHandler handler, std::int64_t userData) {
  return connect(*window, msg, 0, std::move(handler), userData);
}

std::shared_ptr<wConnection> connect(wWindow& window, std::int32_t msg, std::int64_t id,
                                     wEventHandler handler, std::int64_t userData) {
  wConnection connection;
  connection.msg = msg;
  connection.id = id;
  connection.handler = std::move(handler);
  connection.userData = userData;
  return addConnection(window.mConnectionTable, std::move(connection));
}

std::shared_ptr<wConnection> connectNeat(wWindow& window, std::int32_t msg, wNeatHandler handler,
                                         std::int64_t userData) {
  wConnection connection;
  connection.msg = msg;
  connection.neatHandler = std::move(handler);
  connection.userData = userData;
  return addConnection(window.mConnectionTable, std::move(connection));
}

std::shared_ptr<wConnection> hardConnect(wWindow& window, std::int32_t msg, wEventHandler handler) {
  wConnection connection;
  connection.msg = msg;
  connection.handler = std::move(handler);
  connection.undeletable = true;
  return addConnection(window.mConnectionTable, std::move(connection));
}

std::shared_ptr<wConnection> systemConnect(wWindow& window, std::int32_t msg,
                                           wEventHandler handler) {
  wConnection connection;
  connection.msg = msg;
  connection.handler = std::move(handler);
  connection.undeletable = true;
  return addConnection(window.mSystemConnectionTable, std::move(connection));
}

void disconnect(wWindow& window, const std::shared_ptr<wConnection>& connection) {
  removeConnections(window, [&connection](const wConnection& candidate) {
    return &candidate == connection.get() && !candidate.undeletable;
  });
}

void disconnect(wWindow& window, std::int32_t msg) {
  removeConnections(window, [msg](const wConnection& candidate) {
    return candidate.msg == msg && !candidate.undeletable;
  });
}

void disconnectAll(wWindow& window) {
  removeConnections(window, [](const wConnection& candidate) { return !candidate.undeletable; });
}

void dropAllConnections(wWindow& window) {
  removeConnections(window, [](const wConnection&) { return true; });
}

std::int64_t defaultPropagationLevel(std::int32_t msg) {
  if (isCommandEvent(msg)) {
    return kUnlimitedLevels;
  }
  return wTheApp && wTheApp->mPropagationSet.contains(msg) ? kUnlimitedLevels : 0;
}

bool shouldPropagate(const wEvent& event) {
  return event.mPropagationLevel > 0;
}

std::shared_ptr<wEvent> Event(wWindow& window, std::int32_t msg, WPARAM wParam, LPARAM lParam,
                              HWND origin, std::int64_t userData) {
  std::shared_ptr<wEvent> event;
  if (isCommandEvent(msg)) {
    event = std::make_shared<wCommandEvent>();
    event->mId = static_cast<std::int64_t>(wParam & 0xFFFF);
  } else {
    event = std::make_shared<wEvent>();
  }
  event->mWindow = window.shared_from_this();
  event->mMsg = msg;
  event->mWparam = wParam;
  event->mLparam = lParam;
  event->mOrigin = origin;
  event->mUserData = userData;
  event->mPropagationLevel = defaultPropagationLevel(msg);
  user32::GetKeyboardState(event->mKeyStatus.data());
  const DWORD position = user32::GetMessagePos();
  event->mMousePos = {signedHalf(position, 0), signedHalf(position, 16)};
  event->mClientPos = {kDefault, kDefault};
  return event;
}

bool processEvent(wWindow& window, wEvent& event) {
  wDispatchState state{event.mId, event, false, window};
  for (const auto& connection : connectionsFor(window.mSystemConnectionTable, event.mMsg)) {
    if (!connection->removed) {
      callHandler(*connection, state);
    }
  }
  state.processed = false;

  std::shared_ptr<wWindow> current = window.shared_from_this();
  for (;;) {
    const auto connections = connectionsFor(current->mConnectionTable, event.mMsg);
    for (auto it = connections.rbegin(); it != connections.rend() && !state.processed; ++it) {
      if (!(*it)->removed) {
        event.mSkip = false;
        callHandler(**it, state);
      }
    }
    std::shared_ptr<wWindow> parent = current->mParent.lock();
    if (!parent || state.processed || !shouldPropagate(event)) {
      break;
    }
    --event.mPropagationLevel;
    current = std::move(parent);
  }
  return state.processed;
}

bool processMessage(wWindow& window, std::int32_t msg, WPARAM wParam, LPARAM lParam,
                    LRESULT& result, HWND origin) {
  if (!wTheApp || !wTheApp->mMessageCountTable.contains(msg)) {
    return false;
  }
  const auto event = Event(window, msg, wParam, lParam, origin, 0);
  const bool processed = processEvent(window, *event);
  result = event->mResult;
  return processed;
}

void callHandler(const wConnection& connection, wDispatchState& state) {
  if (connection.id != 0 && connection.id != state.id) {
    return;
  }
  try {
    if (connection.handler) {
      connection.handler(state.event);
      state.processed = !state.event.mSkip;
    } else if (connection.neatHandler) {
      connection.neatHandler();
      state.processed = true;
    }
  } catch (...) {
    const ErrorDescription error = describeCurrentError();
    errorHandler(state, error.message, error.kind);
    state.processed = false;
  }
}

void errorHandler(const wDispatchState& state, std::string_view message, std::string_view kind) {
  showErrorBox(state.self.mHwnd, message, kind);
}

LRESULT CALLBACK wWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // No error may unwind through the system's frames that called us; one that escapes the
  // handlers' own reporting (a hook, or no memory for the event) is shown the same way.
  try {
    if (const auto result = dispatch(hwnd, msg, wParam, lParam)) {
      return *result;
    }
  } catch (...) {
    try {
      const ErrorDescription error = describeCurrentError();
      showErrorBox(hwnd, error.message, error.kind);
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to report with
    }
  }
  return user32::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace windowhost
