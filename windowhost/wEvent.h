// Events, message connections and the dispatch that routes a host window's messages to them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <list>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "platform/win32/win32.h"

namespace windowhost {

class wWindow;

// A position or size coordinate that is not given.
inline constexpr std::int64_t kDefault = std::numeric_limits<std::int32_t>::min();

struct wPoint {
  std::int64_t x = 0;
  std::int64_t y = 0;
};

struct wSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The host's own notifications, above WM_APP.
inline constexpr std::int32_t kTopLevelDestroyedMessage = 0x8001;  // posted to the thread
inline constexpr std::int32_t kDestroyNotification = 0x8003;
inline constexpr std::int32_t kSizeNotification = 0x8005;
inline constexpr std::int32_t kCommandEventFirst = 0x8034;
inline constexpr std::int32_t kCommandEventLast = 0x80AE;

// What a handler receives. Kinds derive from it; a message that no kind claims gets this one.
struct wEvent {
  virtual ~wEvent() = default;

  std::shared_ptr<wWindow> mWindow;
  HWND mOrigin{};
  std::int32_t mMsg = 0;
  std::int64_t mId = 0;
  WPARAM mWparam = 0;
  LPARAM mLparam = 0;
  std::int64_t mUserData = 0;
  bool mSkip = false;
  std::int64_t mPropagationLevel = 0;
  LRESULT mResult = 0;
  std::array<BYTE, 256> mKeyStatus{};
  wPoint mMousePos;
  wPoint mClientPos;
};

// The host's command notifications: mId carries the command id from wParam.
struct wCommandEvent : wEvent {};

using wEventHandler = std::function<void(wEvent&)>;
using wNeatHandler = std::function<void()>;

struct wConnection {
  std::int32_t msg = 0;
  std::int64_t id = 0;  // 0 accepts every event
  wEventHandler handler;
  wNeatHandler neatHandler;
  std::int64_t userData = 0;
  bool undeletable = false;
  // Set when the connection leaves its table, so that a dispatch already walking a copy of the
  // list passes it by.
  bool removed = false;
};

using wConnectionList = std::list<std::shared_ptr<wConnection>>;
using wConnectionTable = std::unordered_map<std::int32_t, wConnectionList>;

// Shared by the handler calls of one processEvent.
struct wDispatchState {
  std::int64_t id = 0;
  wEvent& event;
  bool processed = false;
  wWindow& self;
};

// A user handler, appended to the window's mConnectionTable. Handlers run newest first.
std::shared_ptr<wConnection> connect(wWindow& window, std::int32_t msg, wEventHandler handler,
                                     std::int64_t userData = 0);
std::shared_ptr<wConnection> connect(const std::shared_ptr<wWindow>& window, std::int32_t msg,
                                     wEventHandler handler, std::int64_t userData = 0);
// Runs only for events whose mId equals `id`.
std::shared_ptr<wConnection> connect(wWindow& window, std::int32_t msg, std::int64_t id,
                                     wEventHandler handler, std::int64_t userData = 0);
// A handler that does not look at the event; it always counts as having processed it.
std::shared_ptr<wConnection> connectNeat(wWindow& window, std::int32_t msg, wNeatHandler handler,
                                         std::int64_t userData = 0);
// A window kind's fixed handler: a user connection that disconnect leaves in place.
std::shared_ptr<wConnection> hardConnect(wWindow& window, std::int32_t msg, wEventHandler handler);
// The host's own handler, in mSystemConnectionTable; these all run, oldest first.
std::shared_ptr<wConnection> systemConnect(wWindow& window, std::int32_t msg,
                                           wEventHandler handler);

// Removal leaves undeletable connections in place and keeps mMessageCountTable in step.
void disconnect(wWindow& window, const std::shared_ptr<wConnection>& connection);
void disconnect(wWindow& window, std::int32_t msg);
void disconnectAll(wWindow& window);
// Takes every connection out, undeletable ones too: the end of the window's life.
void dropAllConnections(wWindow& window);

[[nodiscard]] std::int64_t defaultPropagationLevel(std::int32_t msg);
[[nodiscard]] bool shouldPropagate(const wEvent& event);

// A new event of the kind for `msg`.
[[nodiscard]] std::shared_ptr<wEvent> Event(wWindow& window, std::int32_t msg, WPARAM wParam,
                                            LPARAM lParam, HWND origin, std::int64_t userData);

// Runs the window's system handlers, then the user handlers up the parent chain; true when a
// user handler processed the event. Handler errors never leave it.
bool processEvent(wWindow& window, wEvent& event);

// Raises one of the host's notifications; false without building anything when nobody
// anywhere is connected to `msg`.
bool processMessage(wWindow& window, std::int32_t msg, WPARAM wParam, LPARAM lParam,
                    LRESULT& result, HWND origin);

void callHandler(const wConnection& connection, wDispatchState& state);

// Shows a handler's error in a message box owned by the dispatching window.
void errorHandler(const wDispatchState& state, std::string_view message, std::string_view kind);

// The window procedure of every class the host registers.
LRESULT CALLBACK wWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace windowhost
