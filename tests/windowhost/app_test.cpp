// The application object: made once, with the system's version and the screen's resolution.
#include <gtest/gtest.h>

#include "fake_system.h"
#include "platform/errors.h"
#include "windowhost/wApp.h"

namespace windowhost_test {
namespace {

using windowhost::App;
using windowhost::wAppGetDpi;

TEST(App, IsMadeOnceWithCommonControlsAndOle) {
  FakeSystem system;
  const auto first = App();
  const auto second = App();

  EXPECT_EQ(first, second);
  EXPECT_EQ(first, windowhost::wTheApp);
  EXPECT_EQ(windowhost::HiddenApp(), first);
  EXPECT_EQ(system.commonControlInits, 1);
  EXPECT_EQ(system.oleInits, 1);
  EXPECT_EQ(system.iccSize, 8u);
  EXPECT_EQ(system.iccClasses, 0x8D05u);
  EXPECT_EQ(first->mInstance, fakeInstance());
  EXPECT_EQ(first->mExitCode, 0u);
  EXPECT_FALSE(first->mAccelExists);
  EXPECT_EQ(first->mDpi, 0);
  EXPECT_TRUE(first->mWindowTable.empty());
  EXPECT_TRUE(first->mMessageCountTable.empty());
  EXPECT_TRUE(first->mPropagationSet.empty());
}

// A program that starts hidden leaves the controls' slots unbound, so App cannot add them later.
TEST(App, HiddenAppStartsNoControlsAndAppThenRefuses) {
  FakeSystem system;
  const auto hidden = windowhost::HiddenApp();

  EXPECT_THROW((void)App(), platform::wError);
  EXPECT_EQ(windowhost::wTheApp, hidden);
  EXPECT_EQ(system.commonControlInits + system.oleInits, 0);
  EXPECT_EQ(system.loadedLibraries, std::vector<std::string>{"ntdll.dll"});
  EXPECT_EQ(wAppGetDpi(), kDpi);
}

TEST(App, VersionAndThemeComeFromRuntimeLookups) {
  struct Row {
    const char* name;
    bool hasNtdll;
    bool hasRtlGetVersion;
    bool hasComctl;
    bool hasDllGetVersion;
    DWORD comctlMajor;
    double version;
    bool usingTheme;
  };
  const Row rows[] = {
      {"everything present", true, true, true, true, 6, 10.0, true},
      {"old common controls", true, true, true, true, 5, 10.0, false},
      {"no RtlGetVersion: GetVersionExW", true, false, true, true, 6, 6.1, true},
      {"no ntdll: GetVersionExW", false, false, true, true, 6, 6.1, true},
      {"no DllGetVersion", true, true, true, false, 6, 10.0, false},
      {"no comctl32", true, true, false, false, 6, 10.0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeSystem system;
    system.hasNtdll = row.hasNtdll;
    system.hasRtlGetVersion = row.hasRtlGetVersion;
    system.hasComctl = row.hasComctl;
    system.hasDllGetVersion = row.hasDllGetVersion;
    system.comctlMajor = row.comctlMajor;

    const auto app = App();

    EXPECT_DOUBLE_EQ(app->mWinVersion, row.version);
    EXPECT_EQ(app->mUsingTheme, row.usingTheme);
    EXPECT_EQ(system.versionInfoSize, 276u);
    if (row.hasDllGetVersion) {
      EXPECT_EQ(system.dllVersionInfoSize, 20u);
    }
    EXPECT_EQ(system.loadedLibraries, (std::vector<std::string>{"ntdll.dll", "comctl32.dll"}));
    const int opened = (row.hasNtdll ? 1 : 0) + (row.hasComctl ? 1 : 0);
    EXPECT_EQ(system.freedLibraries, opened);
  }
}

TEST(App, DpiIsAskedOnceAndTheContextReleased) {
  FakeSystem system;
  EXPECT_EQ(App()->mDpi, 0);

  EXPECT_EQ(wAppGetDpi(), kDpi);
  EXPECT_EQ(wAppGetDpi(), kDpi);

  EXPECT_EQ(App()->mDpi, kDpi);
  EXPECT_EQ(system.screenDcs, 1);
  EXPECT_EQ(system.releasedDcs, 1);
}

TEST(App, ConvertsTextWithTheUtf8CodePage) {
  FakeSystem system;
  App();
  ASSERT_FALSE(system.conversions.empty());
  for (const auto& [codePage, flags] : system.conversions) {
    EXPECT_EQ(codePage, 65001u);
    EXPECT_EQ(flags, 0u);
  }
}

}  // namespace
}  // namespace windowhost_test
