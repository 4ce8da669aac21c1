// Creating windows: class names, class registration, style arithmetic, fonts and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "fake_system.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "windowhost/wApp.h"
#include "windowhost/wFrame.h"

namespace windowhost_test {
namespace {

using namespace windowhost;

constexpr std::uint64_t kWsVisible = 0x10000000;
constexpr std::uint64_t kWsClipChildren = 0x02000000;
constexpr DWORD kFrameStyle = 0x02CF0000;  // 0xCF0000 with WS_CLIPCHILDREN
constexpr int kUseDefault = static_cast<int>(0x80000000);

// Messages of the system handlers and of the frame's fixed handlers.
const std::set<std::int32_t> kSystemMessages = {0x200, 0x2A3, 0x5,   0x2,  0x82,  0x24,
                                                0x115, 0x114, 0x111, 0x4E, 0x10,  0x135,
                                                0x133, 0x138, 0x134, 0x20, 0x126, 0x122};
const std::set<std::int32_t> kFrameMessages = {0x8005, 0x7, 0x11F};

std::set<std::int32_t> keysOf(const wConnectionTable& table) {
  std::set<std::int32_t> keys;
  for (const auto& [msg, list] : table) {
    keys.insert(msg);
  }
  return keys;
}

std::shared_ptr<wWindow> plainWindow(std::uint64_t style, wPoint pos, wSize size,
                                     const std::shared_ptr<wWindow>& parent = nullptr,
                                     const std::shared_ptr<wWindow>& owner = nullptr) {
  auto window = std::make_shared<wWindow>();
  initVerbosely(window, parent, 7, "plain", pos, size, style, kInheritColor, kInheritColor,
                "wPlain", owner, true);
  return window;
}

TEST(Frame, ReceiverFrameIsRegisteredCreatedAndPlaced) {
  FakeSystem system;
  const auto frame = receiverFrame();

  EXPECT_EQ(
      system.classes,
      (std::vector<RegisteredClass>{{.name = "wFrame1",
                                     .cbSize = 80,
                                     .style = 11,
                                     .wndProc = &wWndProc,
                                     .instance = fakeInstance(),
                                     .cursor = reinterpret_cast<HCURSOR>(std::uintptr_t{0xC000}),
                                     .background = frame->mBackgroundBrush->handle(),
                                     .menuNameNull = true}}));
  EXPECT_EQ(system.cursorIds, std::vector<ULONG_PTR>{0x7F00});

  // The background is the application-workspace colour, as a solid brush.
  EXPECT_EQ(system.sysColorIndexes, std::vector<int>{12});
  ASSERT_EQ(system.brushes.size(), 1u);
  EXPECT_EQ(system.brushes[0].lbStyle, 0u);
  EXPECT_EQ(system.brushes[0].lbColor, kSysColor);
  EXPECT_EQ(frame->mBackgroundColor, kSysColor);
  EXPECT_EQ(frame->mForegroundColor, 0u);

  EXPECT_EQ(system.created, (std::vector<CreatedWindow>{{.className = "wFrame1",
                                                         .title = "Velk-SciTE interface",
                                                         .style = kFrameStyle,
                                                         .x = kUseDefault,
                                                         .y = kUseDefault,
                                                         .width = 320,
                                                         .height = 220,
                                                         .instance = fakeInstance(),
                                                         .param = frame.get(),
                                                         .result = frame->mHwnd}}));

  const auto app = App();
  EXPECT_EQ(app->mWindowTable.at(frame->mHwnd), frame);
  EXPECT_EQ(app->mTopLevelWindowTable.at(frame->mHwnd), frame);

  // The default font is set with a redraw, then the outer size without moving the window.
  EXPECT_EQ(system.sent,
            (std::vector<MessageRecord>{{.hwnd = frame->mHwnd,
                                         .msg = WM_SETFONT,
                                         .wParam = reinterpret_cast<WPARAM>(frame->mFont->handle()),
                                         .lParam = 1}}));
  EXPECT_EQ(system.placements,
            (std::vector<Placement>{
                {.hwnd = frame->mHwnd, .width = 320, .height = 220, .flags = 0x216}}));
  EXPECT_EQ(system.updated, std::vector<HWND>{frame->mHwnd});

  EXPECT_EQ(frame->mMinSize.width, kDefault);
  EXPECT_EQ(frame->mMaxSize.height, kDefault);
  ASSERT_TRUE(frame->mCursor);
  EXPECT_EQ(frame->mCursor->handle(), nullptr);
  EXPECT_EQ(app->mGDIStockSeq.size(), 27u);
  EXPECT_EQ(app->mGDIStockSeq[26], frame->mCursor);
  EXPECT_EQ(app->mGDIStockSeq[0], frame->mFont);
}

TEST(Frame, InitConnectsEighteenSystemAndThreeFrameHandlers) {
  FakeSystem system;
  const auto frame = receiverFrame();
  const auto& counts = App()->mMessageCountTable;

  EXPECT_EQ(keysOf(frame->mSystemConnectionTable), kSystemMessages);
  EXPECT_EQ(keysOf(frame->mConnectionTable), kFrameMessages);
  EXPECT_EQ(counts.size(), 21u);
  for (const auto& [msg, count] : counts) {
    EXPECT_EQ(count, 1) << "message " << msg;
  }
  for (const auto& [msg, list] : frame->mConnectionTable) {
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list.front()->undeletable);
  }

  const auto second = receiverFrame("second");
  for (const auto& [msg, count] : counts) {
    EXPECT_EQ(count, 2) << "message " << msg;
  }
}

TEST(Frame, ScrollHandlersOnlyWithARegisteredClass) {
  FakeSystem system;
  App();
  auto window = std::make_shared<wWindow>();
  initVerbosely(window, nullptr, 0, "", {0, 0}, {1, 1}, 0, kInheritColor, kInheritColor, "BUTTON",
                nullptr, false);

  EXPECT_TRUE(system.classes.empty());
  EXPECT_EQ(system.created.at(0).className, "BUTTON");
  auto expected = kSystemMessages;
  expected.erase(0x114);
  expected.erase(0x115);
  EXPECT_EQ(keysOf(window->mSystemConnectionTable), expected);
  EXPECT_TRUE(window->mConnectionTable.empty());
}

TEST(Frame, ClassNamesTakeTheFirstFreeNumber) {
  struct Row {
    std::set<std::string> registered;
    std::string expected;
  };
  const Row rows[] = {
      {{}, "wFrame1"},
      {{"wFrame1"}, "wFrame2"},
      {{"wFrame1", "wFrame2", "wFrame4"}, "wFrame3"},
      {{"wFrame", "wFrame0", "wFrame11"}, "wFrame1"},
  };
  for (const Row& row : rows) {
    FakeSystem system;
    system.registeredClasses = row.registered;
    EXPECT_EQ(unusedClassName("wFrame"), row.expected);
  }
}

TEST(Frame, SecondFrameRegistersTheNextClass) {
  FakeSystem system;
  const auto first = receiverFrame();
  const auto second = receiverFrame();

  ASSERT_EQ(system.classes.size(), 2u);
  EXPECT_EQ(system.classes[0].name, "wFrame1");
  EXPECT_EQ(system.classes[1].name, "wFrame2");
  EXPECT_EQ(system.created[1].className, "wFrame2");
  EXPECT_NE(first->mHwnd, second->mHwnd);
  EXPECT_EQ(App()->mTopLevelWindowTable.size(), 2u);
  // One default font serves every top-level window.
  EXPECT_EQ(system.fonts.size(), 1u);
  EXPECT_EQ(first->mFont, second->mFont);
}

TEST(Frame, StyleArithmetic) {
  struct Row {
    const char* name;
    std::uint64_t style;
    wPoint pos;
    wSize size;
    DWORD style32;
    DWORD exStyle;
    int x, y, width, height;
    int placedWidth, placedHeight;  // from GetWindowRect (100 x 50) where not given
  };
  const Row rows[] = {
      {"visible bit cleared",
       0xCF0000 | kWsVisible,
       {kDefault, kDefault},
       {320, 220},
       0x02CF0000,
       0,
       kUseDefault,
       kUseDefault,
       320,
       220,
       320,
       220},
      {"clip children always set", 0, {5, 6}, {7, 8}, 0x02000000, 0, 5, 6, 7, 8, 7, 8},
      {"extended style from bits 32..59",
       (std::uint64_t{0x0000088} << 32) | 0x00C00000,
       {1, 2},
       {3, 4},
       0x02C00000,
       0x88,
       1,
       2,
       3,
       4,
       3,
       4},
      {"bits 60..63 stay out of the extended style",
       (std::uint64_t{0xC8000010} << 32) | kWsVisible,
       {1, 2},
       {3, 4},
       0x02000000,
       0x08000010,
       1,
       2,
       3,
       4,
       3,
       4},
      {"bit 61 clears the visible bit",
       (std::uint64_t{1} << 61) | kWsVisible,
       {0, 0},
       {9, 9},
       0x02000000,
       0,
       0,
       0,
       9,
       9,
       9,
       9},
      {"default width and height become 0",
       0,
       {0, 0},
       {kDefault, kDefault},
       0x02000000,
       0,
       0,
       0,
       0,
       0,
       100,
       50},
      {"default height only", 0, {0, 0}, {30, kDefault}, 0x02000000, 0, 0, 0, 30, 0, 30, 50},
      {"negative position kept",
       kWsClipChildren,
       {-40, -30},
       {1, 1},
       0x02000000,
       0,
       -40,
       -30,
       1,
       1,
       1,
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeSystem system;
    const auto window = plainWindow(row.style, row.pos, row.size);

    EXPECT_EQ(system.created,
              (std::vector<CreatedWindow>{{.exStyle = row.exStyle,
                                           .className = "wPlain1",
                                           .title = "plain",
                                           .style = row.style32,
                                           .x = row.x,
                                           .y = row.y,
                                           .width = row.width,
                                           .height = row.height,
                                           .menu = reinterpret_cast<HMENU>(std::uintptr_t{7}),
                                           .instance = fakeInstance(),
                                           .param = window.get(),
                                           .result = window->mHwnd}}));
    EXPECT_EQ(system.placements, (std::vector<Placement>{{.hwnd = window->mHwnd,
                                                          .width = row.placedWidth,
                                                          .height = row.placedHeight,
                                                          .flags = 0x216}}));
  }
}

TEST(Frame, OwnersAndTheHiddenOwnerWindow) {
  FakeSystem system;
  const auto owner = plainWindow(0, {0, 0}, {1, 1});
  const auto owned = plainWindow(0, {0, 0}, {1, 1}, nullptr, owner);
  EXPECT_EQ(system.created.back().parent, owner->mHwnd);
  EXPECT_EQ(owned->mDummyParent, nullptr);

  const auto hidden = plainWindow(std::uint64_t{1} << 60, {0, 0}, {1, 1});
  ASSERT_EQ(system.created.size(), 4u);
  const CreatedWindow& dummy = system.created[2];
  EXPECT_EQ(dummy, (CreatedWindow{.exStyle = 0x80,
                                  .className = "wPlain3",
                                  .titleNull = true,
                                  .instance = fakeInstance(),
                                  .result = hidden->mDummyParent}));
  EXPECT_EQ(system.created[3].parent, dummy.result);
  // The hidden owner's extended-style bits do not reach the window itself.
  EXPECT_EQ(system.created[3].exStyle, 0u);

  // A frame's parent only becomes its owner.
  const auto frame = std::make_shared<wFrame>();
  init(frame, owner, "owned frame", {0, 0}, {1, 1}, 0, "wFrame");
  EXPECT_EQ(system.created.back().parent, owner->mHwnd);
  EXPECT_FALSE(frame->mParent.lock());
  EXPECT_TRUE(App()->mTopLevelWindowTable.contains(frame->mHwnd));
}

TEST(Frame, ChildWindowsSitInsideTheirParent) {
  FakeSystem system;
  const auto parent = plainWindow(0, {0, 0}, {200, 100});
  parent->mMargin = {4, 6, 0, 0};
  parent->mForegroundColor = 0x123456;
  const auto child = plainWindow(0x00800000 | kWsClipChildren, {kDefault, 10}, {50, 20}, parent);

  const CreatedWindow& created = system.created.back();
  EXPECT_EQ(created.style, 0x52800000u);
  EXPECT_EQ(created.parent, parent->mHwnd);
  EXPECT_EQ(created.x, 4);
  EXPECT_EQ(created.y, 16);
  EXPECT_EQ(child->mParent.lock(), parent);
  EXPECT_EQ(parent->mChildren, std::vector<std::shared_ptr<wWindow>>{child});
  EXPECT_EQ(child->mFont, parent->mFont);
  EXPECT_EQ(child->mForegroundColor, 0x123456u);
  EXPECT_EQ(child->mBackgroundColor, parent->mBackgroundColor);
  EXPECT_TRUE(App()->mWindowTable.contains(child->mHwnd));
  EXPECT_FALSE(App()->mTopLevelWindowTable.contains(child->mHwnd));
}

TEST(Frame, DefaultFontIsThePlainMessageFont) {
  struct Row {
    bool failMetrics;
    LONG height;
    BYTE charSet;
    BYTE pitchAndFamily;
    const char* face;
  };
  const Row rows[] = {{false, -15, 0xCC, 0x22, "Message Face"}, {true, -11, 1, 0, "Gui Face"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.face);
    FakeSystem system;
    system.failMetrics = row.failMetrics;
    const auto frame = receiverFrame();

    EXPECT_EQ(system.metricsAction, 41u);
    EXPECT_EQ(system.metricsParam, 504u);
    EXPECT_EQ(system.metricsSize, 504u);
    ASSERT_EQ(system.fonts.size(), 1u);
    const LOGFONTW& font = system.fonts[0];
    EXPECT_EQ(font.lfHeight, row.height);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfQuality, 0);
    EXPECT_EQ(font.lfCharSet, row.charSet);
    EXPECT_EQ(font.lfPitchAndFamily, row.pitchAndFamily);
    EXPECT_EQ(platform::toUtf8(font.lfFaceName), row.face);
  }
}

TEST(Frame, CreationFailuresRaiseTheirKinds) {
  struct Row {
    const char* kind;
    const char* message;
    bool FakeSystem::*knob;
    bool windowCreated;
  };
  const Row rows[] = {
      {"wBrushError", "wBrush creation failed", &FakeSystem::failBrush, false},
      {"wError", "wFrame1 class register failure", &FakeSystem::failRegister, false},
      {"wError", "wFrame1 window creation failed", &FakeSystem::failCreate, true},
      {"wFontError", "wFont creation failed", &FakeSystem::failFont, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    FakeSystem system;
    system.*row.knob = true;
    try {
      (void)receiverFrame();
      ADD_FAILURE() << "no error";
    } catch (const platform::Error& error) {
      EXPECT_EQ(error.kind(), row.kind);
      EXPECT_EQ(error.message(), row.message);
    }
    EXPECT_EQ(system.created.size(), row.windowCreated ? 1u : 0u);
  }
}

TEST(Frame, CoordinatesOutsideThirtyTwoBitsAreRangeErrors) {
  constexpr std::int64_t kHuge = std::int64_t{1} << 40;
  const struct {
    wPoint pos;
    wSize size;
  } rows[] = {
      {{kHuge, 0}, {1, 1}},
      {{0, -kHuge}, {1, 1}},
      {{0, 0}, {kHuge, 1}},
      {{0, 0}, {1, std::int64_t{0x80000000}}},
  };
  for (const auto& row : rows) {
    FakeSystem system;
    App();
    EXPECT_THROW(plainWindow(std::uint64_t{1} << 60, row.pos, row.size), platform::RangeError);
    // Checked before any window exists, the hidden owner included.
    EXPECT_TRUE(system.created.empty());
  }
}

TEST(Frame, MessagesDuringCreationGoStraightToTheDefault) {
  FakeSystem system;
  const auto first = receiverFrame();  // WM_SIZE now has a connection
  system.sizeDuringCreate = true;
  const int keyboardReads = system.keyboardReads;

  const auto second = receiverFrame();

  EXPECT_TRUE(system.reachedDefault(second->mHwnd, WM_SIZE));
  EXPECT_EQ(system.keyboardReads, keyboardReads);  // no event was built
}

}  // namespace
}  // namespace windowhost_test
