// Connections and dispatch: counts and removal, handler order, mSkip, the id filter,
// propagation, handler errors, the hook and the end of a window's life.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fake_system.h"
#include "platform/errors.h"
#include "windowhost/bindings.h"
#include "windowhost/wApp.h"
#include "windowhost/wFrame.h"

namespace windowhost_test {
namespace {

using namespace windowhost;

constexpr std::int32_t kProbe = 0x8100;  // an id no host handler uses
constexpr std::int32_t kCommand = kCommandEventFirst + 3;

class Dispatch : public ::testing::Test {
protected:
  FakeSystem system;
  std::shared_ptr<wFrame> frame = receiverFrame();
  std::vector<std::string> calls;

  // A handler that records its name and passes the event on when asked to.
  wEventHandler recorder(std::string name, bool skip = false) {
    return [this, name = std::move(name), skip](wEvent& event) {
      calls.push_back(name);
      event.mSkip = skip;
    };
  }

  [[nodiscard]] std::int64_t count(std::int32_t msg) const {
    const auto& counts = App()->mMessageCountTable;
    const auto it = counts.find(msg);
    return it == counts.end() ? 0 : it->second;
  }

  [[nodiscard]] bool reachedDefault(std::int32_t msg) const {
    return system.reachedDefault(frame->mHwnd, static_cast<UINT>(msg));
  }

  std::shared_ptr<wWindow> child(const std::shared_ptr<wWindow>& parent) {
    auto window = std::make_shared<wWindow>();
    initVerbosely(window, parent, 0, "", {0, 0}, {1, 1}, 0, kInheritColor, kInheritColor, "wChild",
                  nullptr, true);
    return window;
  }
};

TEST_F(Dispatch, AMessageNobodyIsConnectedToBuildsNoEvent) {
  const int reads = system.keyboardReads;
  EXPECT_EQ(send(*frame, kProbe), kDefaultResult);
  EXPECT_EQ(system.keyboardReads, reads);
  EXPECT_TRUE(reachedDefault(kProbe));
}

TEST_F(Dispatch, AMessageConnectedOnlyElsewhereBuildsAnEventAndGoesOn) {
  const auto other = receiverFrame("other");
  connect(*other, kProbe, recorder("other"));
  const int reads = system.keyboardReads;

  EXPECT_EQ(send(*frame, kProbe), kDefaultResult);
  EXPECT_EQ(system.keyboardReads, reads + 1);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(reachedDefault(kProbe));
}

TEST_F(Dispatch, UserHandlersRunNewestFirstUntilOneProcesses) {
  struct Row {
    bool newerSkips;
    bool olderSkips;
    std::vector<std::string> order;
    bool reachesDefault;
  };
  const Row rows[] = {
      {false, false, {"newer"}, false},
      {true, false, {"newer", "older"}, false},
      {true, true, {"newer", "older"}, true},
      {false, true, {"newer"}, false},
  };
  for (const Row& row : rows) {
    calls.clear();
    system.defaults.clear();
    disconnect(*frame, kProbe);
    connect(*frame, kProbe, recorder("older", row.olderSkips));
    connect(*frame, kProbe, recorder("newer", row.newerSkips));

    const LRESULT result = send(*frame, kProbe);

    EXPECT_EQ(calls, row.order);
    EXPECT_EQ(reachedDefault(kProbe), row.reachesDefault);
    EXPECT_EQ(result, row.reachesDefault ? kDefaultResult : 0);
  }
}

TEST_F(Dispatch, SkipIsResetBeforeEachUserHandler) {
  std::vector<bool> seen;
  connect(*frame, kProbe, [&](wEvent& event) { seen.push_back(event.mSkip); });
  connect(*frame, kProbe, [&](wEvent& event) {
    seen.push_back(event.mSkip);
    event.mSkip = true;
  });
  send(*frame, kProbe);
  EXPECT_EQ(seen, (std::vector<bool>{false, false}));
}

TEST_F(Dispatch, ProcessedEventReturnsItsResult) {
  connect(*frame, kProbe, [](wEvent& event) { event.mResult = 42; });
  EXPECT_EQ(send(*frame, kProbe), 42);
  EXPECT_FALSE(reachedDefault(kProbe));
}

TEST_F(Dispatch, SystemHandlersAllRunOldestFirstAndNeverKeepTheDefault) {
  systemConnect(*frame, kProbe, [this](wEvent& event) {
    calls.push_back("first");
    event.mResult = 7;
  });
  systemConnect(*frame, kProbe, [this](wEvent& event) {
    calls.push_back("second");
    event.mSkip = true;
  });
  systemConnect(*frame, kProbe, recorder("third"));

  EXPECT_EQ(send(*frame, kProbe), kDefaultResult);
  EXPECT_EQ(calls, (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_TRUE(reachedDefault(kProbe));
}

TEST_F(Dispatch, SystemHandlersRunBeforeUserHandlers) {
  connect(*frame, kProbe, recorder("user"));
  systemConnect(*frame, kProbe, recorder("system"));
  send(*frame, kProbe);
  EXPECT_EQ(calls, (std::vector<std::string>{"system", "user"}));
}

TEST_F(Dispatch, IdFilterPassesOnlyItsCommand) {
  connect(*frame, kCommand, 5, recorder("five", true));
  connect(*frame, kCommand, 6, recorder("six", true));
  connect(*frame, kCommand, 0, recorder("any", true));
  struct Row {
    WPARAM wParam;
    std::vector<std::string> order;
  };
  const Row rows[] = {
      {5, {"any", "five"}},
      {0x30006, {"any", "six"}},  // only the low 16 bits are the command id
      {7, {"any"}},
  };
  for (const Row& row : rows) {
    calls.clear();
    LRESULT result = 0;
    EXPECT_FALSE(processMessage(*frame, kCommand, row.wParam, 0, result, frame->mHwnd));
    EXPECT_EQ(calls, row.order);
  }
}

TEST_F(Dispatch, CommandEventsCarryTheirIdAndClimbWithoutLimit) {
  const auto event = Event(*frame, kCommand, 0x10009, 0, frame->mHwnd, 3);
  EXPECT_NE(dynamic_cast<wCommandEvent*>(event.get()), nullptr);
  EXPECT_EQ(event->mId, 9);
  EXPECT_EQ(event->mUserData, 3);
  EXPECT_EQ(event->mPropagationLevel, std::numeric_limits<std::int64_t>::max());

  const auto plain = Event(*frame, WM_COPYDATA, 0x10009, 0, frame->mHwnd, 0);
  EXPECT_EQ(dynamic_cast<wCommandEvent*>(plain.get()), nullptr);
  EXPECT_EQ(plain->mId, 0);
  EXPECT_EQ(plain->mPropagationLevel, 0);
}

TEST_F(Dispatch, EventFieldsFromTheWindowProcedure) {
  connect(*frame, kProbe, [&](wEvent& event) {
    EXPECT_EQ(event.mWindow, frame);
    EXPECT_EQ(event.mOrigin, frame->mHwnd);
    EXPECT_EQ(event.mMsg, kProbe);
    EXPECT_EQ(event.mWparam, WPARAM{0xFFFFFFFFFFFFFFFF});
    EXPECT_EQ(event.mLparam, -2);
    EXPECT_EQ(event.mUserData, 0);
    EXPECT_EQ(event.mResult, 0);
    EXPECT_EQ(event.mKeyStatus['A'], 0x80);
    EXPECT_EQ(event.mMousePos.x, -5);
    EXPECT_EQ(event.mMousePos.y, 7);
    EXPECT_EQ(event.mClientPos.x, kDefault);
    EXPECT_EQ(event.mClientPos.y, kDefault);
    calls.push_back("seen");
  });
  send(*frame, kProbe, WPARAM{0xFFFFFFFFFFFFFFFF}, -2);
  EXPECT_EQ(calls, std::vector<std::string>{"seen"});
}

TEST_F(Dispatch, NeatHandlersProcessTheEvent) {
  connect(*frame, kProbe, recorder("older"));
  connectNeat(*frame, kProbe, [this] { calls.push_back("neat"); });
  send(*frame, kProbe);
  EXPECT_EQ(calls, std::vector<std::string>{"neat"});
  EXPECT_FALSE(reachedDefault(kProbe));
}

TEST_F(Dispatch, PropagationClimbsAtMostTheEventsLevel) {
  const auto parent = child(frame);
  const auto leaf = child(parent);
  connect(*frame, kProbe, recorder("grandparent", true));
  connect(*parent, kProbe, recorder("parent", true));
  connect(*leaf, kProbe, recorder("leaf", true));
  struct Row {
    std::int64_t level;
    std::vector<std::string> order;
  };
  const Row rows[] = {
      {0, {"leaf"}},
      {1, {"leaf", "parent"}},
      {2, {"leaf", "parent", "grandparent"}},
      {5, {"leaf", "parent", "grandparent"}},
  };
  for (const Row& row : rows) {
    calls.clear();
    const auto event = Event(*leaf, kProbe, 0, 0, leaf->mHwnd, 0);
    event->mPropagationLevel = row.level;
    EXPECT_FALSE(processEvent(*leaf, *event));
    EXPECT_EQ(calls, row.order);
  }
}

TEST_F(Dispatch, PropagationStopsAtTheHandlerThatProcesses) {
  const auto leaf = child(frame);
  connect(*frame, kProbe, recorder("frame"));
  connect(*leaf, kProbe, recorder("leaf", true));
  systemConnect(*frame, kProbe, recorder("frame system"));

  send(*leaf, kProbe);  // level 0: not in the propagation set
  EXPECT_EQ(calls, std::vector<std::string>{"leaf"});

  calls.clear();
  system.defaults.clear();
  App()->mPropagationSet.insert(kProbe);
  EXPECT_EQ(send(*leaf, kProbe), 0);
  // The parent's system handlers take no part.
  EXPECT_EQ(calls, (std::vector<std::string>{"leaf", "frame"}));
  EXPECT_FALSE(system.reachedDefault(leaf->mHwnd, kProbe));
}

TEST_F(Dispatch, HandlerErrorsAreShownThenTheNextOlderHandlerRuns) {
  struct Row {
    std::function<void()> raise;
    std::string text;
  };
  const Row rows[] = {
      {[] { throw platform::ValueError("not a number: x"); }, "not a number: x [ValueError]"},
      {[] { throw platform::wError("broken"); }, "broken [wError]"},
      {[] { throw std::runtime_error("plain failure"); }, "plain failure [std::exception]"},
      {[] { throw 42; }, "unknown error [unknown]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    calls.clear();
    system.boxes.clear();
    system.defaults.clear();
    disconnect(*frame, kProbe);
    connect(*frame, kProbe, recorder("older", true));
    connect(*frame, kProbe, [this, raise = row.raise](wEvent&) {
      calls.push_back("failing");
      raise();
    });

    EXPECT_EQ(send(*frame, kProbe), kDefaultResult);

    EXPECT_EQ(system.boxes, (std::vector<MessageBoxRecord>{{.owner = frame->mHwnd,
                                                            .text = row.text,
                                                            .caption = "Error: unhandled exception",
                                                            .type = 0x10}}));
    EXPECT_EQ(calls, (std::vector<std::string>{"failing", "older"}));
    EXPECT_TRUE(reachedDefault(kProbe));
  }
}

TEST_F(Dispatch, AnErrorInAChildsHandlerIsOwnedByTheDispatchingWindow) {
  const auto leaf = child(frame);
  App()->mPropagationSet.insert(kProbe);
  connect(*frame, kProbe, [](wEvent&) { throw platform::ValueError("from the parent"); });
  send(*leaf, kProbe);
  ASSERT_EQ(system.boxes.size(), 1u);
  EXPECT_EQ(system.boxes[0].owner, leaf->mHwnd);
}

TEST_F(Dispatch, AHandlerMayRemoveItselfOrAnOlderConnection) {
  std::shared_ptr<wConnection> older = connect(*frame, kProbe, recorder("older"));
  std::shared_ptr<wConnection> self;
  self = connect(*frame, kProbe, [&](wEvent& event) {
    calls.push_back("self");
    disconnect(*frame, self);
    event.mSkip = true;
  });
  send(*frame, kProbe);
  send(*frame, kProbe);
  EXPECT_EQ(calls, (std::vector<std::string>{"self", "older", "older"}));

  calls.clear();
  connect(*frame, kProbe, [&](wEvent& event) {
    calls.push_back("remover");
    disconnect(*frame, older);
    event.mSkip = true;
  });
  send(*frame, kProbe);
  EXPECT_EQ(calls, std::vector<std::string>{"remover"});
  EXPECT_TRUE(reachedDefault(kProbe));
}

TEST_F(Dispatch, TheHookSeesWhatNoHandlerProcessed) {
  std::vector<UINT> hooked;
  frame->mHookProc = [&](wWindow& window, UINT msg, WPARAM, LPARAM) {
    EXPECT_EQ(&window, frame.get());
    hooked.push_back(msg);
    return msg == static_cast<UINT>(kProbe + 1);
  };
  connect(*frame, kProbe, recorder("processes"));
  connect(*frame, kProbe + 2, [](wEvent& event) {
    event.mResult = 9;
    event.mSkip = true;
  });

  EXPECT_EQ(send(*frame, kProbe), 0);                   // processed: the hook is not asked
  EXPECT_EQ(send(*frame, kProbe + 1), 0);               // no event, the hook stops it
  EXPECT_EQ(send(*frame, kProbe + 2), kDefaultResult);  // the hook declines
  EXPECT_EQ(hooked, (std::vector<UINT>{kProbe + 1, kProbe + 2}));
  EXPECT_FALSE(reachedDefault(kProbe + 1));
}

TEST_F(Dispatch, CopyDataRunsTheHandlerOnceAndAnswersZero) {
  std::string received;
  connect(
      frame, WM_COPYDATA,
      [&](wEvent& event) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(event.mLparam);
        received.assign(static_cast<const char*>(data->lpData), data->cbData);
      },
      0);
  std::string payload = ":1234:macro:stringinfo:selected";
  COPYDATASTRUCT data{0, static_cast<DWORD>(payload.size()), payload.data()};

  EXPECT_EQ(send(*frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
  EXPECT_EQ(received, payload);
  EXPECT_FALSE(reachedDefault(WM_COPYDATA));
}

TEST_F(Dispatch, ConnectionCountsFollowTheRemovalRules) {
  EXPECT_EQ(count(kProbe), 0);
  const auto a = connect(*frame, kProbe, recorder("a"));
  const auto b = connect(*frame, kProbe, recorder("b"));
  hardConnect(*frame, kProbe, recorder("hard"));
  EXPECT_EQ(count(kProbe), 3);

  disconnect(*frame, a);
  EXPECT_EQ(count(kProbe), 2);
  EXPECT_TRUE(a->removed);
  disconnect(*frame, a);  // already gone
  EXPECT_EQ(count(kProbe), 2);

  disconnect(*frame, kProbe);  // leaves the undeletable one
  EXPECT_EQ(count(kProbe), 1);
  EXPECT_EQ(frame->mConnectionTable.at(kProbe).size(), 1u);

  // Neither the frame's fixed handlers nor the system handlers can be removed.
  disconnectAll(*frame);
  EXPECT_EQ(count(kProbe), 1);
  EXPECT_EQ(App()->mMessageCountTable.size(), 22u);
  disconnect(*frame, WM_SETFOCUS);
  disconnect(*frame, WM_SIZE);
  EXPECT_EQ(count(WM_SETFOCUS), 1);
  EXPECT_EQ(count(WM_SIZE), 1);

  connect(*frame, kProbe + 1, recorder("c"));
  EXPECT_EQ(count(kProbe + 1), 1);
  disconnect(*frame, kProbe + 1);
  EXPECT_FALSE(App()->mMessageCountTable.contains(kProbe + 1));
  EXPECT_FALSE(frame->mConnectionTable.contains(kProbe + 1));
}

TEST_F(Dispatch, TeardownEndsTheWindowsLifeAndItsConnections) {
  auto leaf = child(frame);
  std::vector<HWND> notified;
  connect(*frame, kDestroyNotification, [&](wEvent& event) { notified.push_back(event.mOrigin); });
  // A handler that holds its own window strongly must not keep it alive.
  connect(
      frame, kProbe, [keep = frame](wEvent&) {}, 0);
  const HWND hwnd = frame->mHwnd;
  const HWND leafHwnd = leaf->mHwnd;
  std::weak_ptr<wFrame> watch = frame;
  std::weak_ptr<wWindow> watchLeaf = leaf;

  // Windows ends the child first.
  user32::DestroyWindow(leafHwnd);
  EXPECT_TRUE(frame->mChildren.empty());
  user32::DestroyWindow(hwnd);

  EXPECT_EQ(notified, std::vector<HWND>{hwnd});
  // Only the top-level window posts.
  EXPECT_EQ(
      system.posted,
      (std::vector<MessageRecord>{{.msg = 0x8001, .lParam = reinterpret_cast<LPARAM>(hwnd)}}));
  EXPECT_TRUE(frame->mConnectionTable.empty());
  EXPECT_TRUE(frame->mSystemConnectionTable.empty());
  EXPECT_TRUE(App()->mMessageCountTable.empty());
  EXPECT_TRUE(App()->mWindowTable.empty());
  EXPECT_TRUE(App()->mTopLevelWindowTable.empty());
  EXPECT_TRUE(system.reachedDefault(hwnd, WM_NCDESTROY));

  frame.reset();
  leaf.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(watchLeaf.expired());
}

TEST_F(Dispatch, TeardownDestroysTheHiddenOwner) {
  auto owned = std::make_shared<wWindow>();
  initVerbosely(owned, nullptr, 0, "", {0, 0}, {1, 1}, std::uint64_t{1} << 60, kInheritColor,
                kInheritColor, "wOwned", nullptr, true);
  const HWND dummy = owned->mDummyParent;
  ASSERT_NE(dummy, nullptr);

  user32::DestroyWindow(owned->mHwnd);

  EXPECT_EQ(system.destroyed, (std::vector<HWND>{owned->mHwnd, dummy}));
  EXPECT_EQ(owned->mDummyParent, nullptr);
}

}  // namespace
}  // namespace windowhost_test
