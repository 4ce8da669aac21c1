// Finding SciTE's director window among a scripted set of top-level windows.
#include "director/win32/discovery.h"

#include <gtest/gtest.h>

#include "fake_desktop.h"

namespace {

using director::GetEnumWindows;
using director::GetHwndDirectorExtension;
using director_test::ClientStateGuard;
using director_test::FakeDesktop;
using director_test::FakeWindow;
using director_test::handle;
using director_test::wide;

class Discovery : public ::testing::Test {
protected:
  ClientStateGuard state;
  FakeDesktop desktop;

  FakeWindow director(std::uintptr_t id, DWORD pid, std::uintptr_t parent = 0) {
    return {id, wide("DirectorExtension"), wide(""), parent, pid, 1};
  }
};

TEST_F(Discovery, ForegroundRuleAndDebug) {
  struct Case {
    const char* name;
    std::uintptr_t foreground;
    bool withMain;
    bool debug;
    std::uintptr_t expected;
  };
  const Case cases[] = {
      {"main window in front", 10, true, false, 11},
      {"another window in front", 99, true, false, 0},
      {"nothing in front", 0, true, false, 0},
      {"another window in front, debug", 99, true, true, 11},
      // Both null: the check passes, and a single director window is taken whatever its process.
      {"no main window and nothing in front", 0, false, false, 11},
      {"no main window, something in front", 99, false, false, 0},
  };
  for (const Case& c : cases) {
    desktop.windows = {{99, wide("Other"), wide("other"), 0, 300, 3}};
    if (c.withMain) {
      desktop.windows.push_back({10, wide("SciTEWindow"), wide("SciTE"), 0, 100, 7});
    }
    desktop.windows.push_back(director(11, 100));
    desktop.foreground = c.foreground;
    director::debug = c.debug;
    EXPECT_EQ(GetHwndDirectorExtension(), handle(c.expected)) << c.name;
  }
}

TEST_F(Discovery, FailedForegroundCheckLeavesTheEnumerationAlone) {
  desktop.addSciTE();
  desktop.foreground = 99;
  ASSERT_EQ(GetEnumWindows("Other", "title"), 0u);
  EXPECT_EQ(GetHwndDirectorExtension(), nullptr);
  EXPECT_EQ(desktop.titleCapacities.size(), 2u);  // only the first enumeration read titles
  EXPECT_EQ(director::classfilter, wide("Other"));
  EXPECT_EQ(director::titlefilter, wide("title"));
}

TEST_F(Discovery, ChoosesAmongDirectorWindowsByProcess) {
  struct Case {
    const char* name;
    std::vector<FakeWindow> directors;
    std::uintptr_t expected;
  };
  const Case cases[] = {
      {"none", {}, 0},
      {"one of another process is still taken", {director(21, 555)}, 21},
      {"two, SciTE's second", {director(21, 555), director(22, 100)}, 22},
      {"two, SciTE's first", {director(22, 100), director(21, 555)}, 22},
      {"two of SciTE's process: the first", {director(23, 100), director(22, 100)}, 23},
      {"two, none of SciTE's process", {director(21, 555), director(24, 556)}, 0},
      {"a parented one of SciTE's does not count", {director(21, 555), director(22, 100, 10)}, 21},
      {"parented ones only", {director(22, 100, 10)}, 0},
  };
  for (const Case& c : cases) {
    desktop.windows = {{10, wide("SciTEWindow"), wide("SciTE"), 0, 100, 7}};
    desktop.windows.insert(desktop.windows.end(), c.directors.begin(), c.directors.end());
    desktop.foreground = 10;
    EXPECT_EQ(GetHwndDirectorExtension(), handle(c.expected)) << c.name;
    EXPECT_EQ(director::classfilter, wide("DirectorExtension")) << c.name;
    EXPECT_TRUE(director::titlefilter.empty()) << c.name;
  }
}

TEST_F(Discovery, FiltersCompareWholeTextsExactly) {
  desktop.windows = {
      {1, wide("DirectorExtension"), wide("Velk"), 0, 1, 1},
      {2, wide("directorextension"), wide("velk"), 0, 1, 1},
      {3, wide("DirectorExt"), wide("Vel"), 0, 1, 1},
      {4, wide("DirectorExtensionX"), wide("Velk2"), 0, 1, 1},
      {5, wide("DirectorExtension"), wide(""), 0, 1, 1},
      {6, wide("DirectorExtension"), wide("Velk"), 1, 1, 1},  // has a parent
  };
  struct Case {
    const char* className;
    const char* title;
    std::vector<std::uintptr_t> expected;
  };
  const Case cases[] = {
      {"DirectorExtension", "", {1, 5}},
      {"", "Velk", {1}},
      {"DirectorExtension", "Velk", {1}},
      {"directorextension", "", {2}},
      {"DirectorExt", "", {3}},
      {"", "", {1, 2, 3, 4, 5}},
      {"Nothing", "", {}},
  };
  for (const Case& c : cases) {
    const std::size_t count = GetEnumWindows(c.className, c.title);
    std::vector<std::uintptr_t> listed;
    for (const auto& w : director::sEnumWnd) {
      listed.push_back(reinterpret_cast<std::uintptr_t>(w.hwnd));
    }
    EXPECT_EQ(listed, c.expected) << c.className << " / " << c.title;
    EXPECT_EQ(count, listed.size());
  }
}

TEST_F(Discovery, RecordsHoldWhatTheSystemReported) {
  desktop.windows = {{7, wide(u"K\xE9"), wide(""), 0, 0xFFFFFFFF, 0xFFFFFFFE},
                     {8, wide("K"), wide("t"), 0, 42, 43}};
  ASSERT_EQ(GetEnumWindows(), 2u);
  const auto& first = director::sEnumWnd[0];
  EXPECT_EQ(first.hwnd, handle(7));
  EXPECT_EQ(first.className, wide(u"K\xE9"));
  EXPECT_TRUE(first.title.empty());
  EXPECT_EQ(first.pid, 4294967295);  // zero-extended
  EXPECT_EQ(first.tid, -2);          // sign-extended
  EXPECT_EQ(director::sEnumWnd[1].title, wide("t"));
  // An empty title is read into a buffer of one unit.
  EXPECT_EQ(desktop.titleCapacities, (std::vector<int>{1, 2}));
}

TEST_F(Discovery, ClassIsReadOnlyForWindowsThatPassTheTitle) {
  desktop.windows = {{1, wide("A"), wide("x"), 0, 1, 1},
                     {2, wide("A"), wide("y"), 0, 1, 1},
                     {3, wide("A"), wide("x"), 5, 1, 1}};
  EXPECT_EQ(GetEnumWindows("A", "x"), 1u);
  EXPECT_EQ(desktop.classLookups, (std::vector<std::uintptr_t>{1}));
  // Titles are read for parentless windows only.
  EXPECT_EQ(desktop.titleCapacities.size(), 2u);
}

TEST_F(Discovery, UnpairedSurrogatesCompareAsReplacementCharacters) {
  WString title = wide("a");
  title.push_back(static_cast<WCHAR>(0xD800));
  desktop.windows = {{1, wide("C"), title, 0, 1, 1}};
  // The filter "a" + U+FFFD equals the title "a" + lone surrogate once both are UTF-8.
  EXPECT_EQ(GetEnumWindows("", "a\xEF\xBF\xBD"), 1u);
}

TEST_F(Discovery, FiltersDoNotCarryOver) {
  desktop.windows = {{1, wide("A"), wide("x"), 0, 1, 1}, {2, wide("B"), wide("y"), 0, 1, 1}};
  EXPECT_EQ(GetEnumWindows("A", "x"), 1u);
  EXPECT_EQ(GetEnumWindows(), 2u);
  EXPECT_TRUE(director::classfilter.empty());
  EXPECT_TRUE(director::titlefilter.empty());
}

TEST_F(Discovery, MyFindWindowPassesNullForEmptyArguments) {
  desktop.windows = {{1, wide("A"), wide("x"), 0, 1, 1}, {2, wide("B"), wide("y"), 0, 1, 1}};
  EXPECT_EQ(director::MyFindWindow(), handle(1));
  EXPECT_EQ(director::MyFindWindow("B"), handle(2));
  EXPECT_EQ(director::MyFindWindow("", "y"), handle(2));
  EXPECT_EQ(director::MyFindWindow("A", "y"), nullptr);
  const std::vector<std::pair<bool, bool>> expected = {
      {false, false}, {true, false}, {false, true}, {true, true}};
  EXPECT_EQ(desktop.findCalls, expected);
}

TEST_F(Discovery, GetIDByWindow) {
  desktop.windows = {{1, wide("A"), wide("x"), 0, 1234, 0x80000000}};
  EXPECT_EQ(director::GetIDByWindow(nullptr), (std::pair<std::int64_t, std::int64_t>{0, 0}));
  EXPECT_EQ(director::GetIDByWindow(handle(1)),
            (std::pair<std::int64_t, std::int64_t>{1234, -2147483648LL}));
}

}  // namespace
