// The binding mechanism on the host: dlopen/dlsym against the system's libpcre.so.3, and the
// exact one-line reports and exit code when a library or a function is missing.
#include <gtest/gtest.h>

#include <string>

#include "platform/binding.h"
#include "platform/pcre_library.h"

namespace {

using PcreConfig = int (*)(int what, void* where);
using PcreVersion = const char* (*)();
constexpr int kPcreConfigJit = 9;

TEST(BindFunction, BindsTheHostPatternEngine) {
  const platform::LibraryHandle library = platform::loadLibrary(platform::kPcreLibraryName);
  const auto version =
      reinterpret_cast<PcreVersion>(platform::bindFunction(library, "pcre_version"));
  EXPECT_EQ(std::string(version()).substr(0, 2), "8.");
  const auto config = reinterpret_cast<PcreConfig>(platform::bindFunction(library, "pcre_config"));
  int jit = -1;
  ASSERT_EQ(config(kPcreConfigJit, &jit), 0);
  EXPECT_EQ(jit, 1);
}

TEST(BindFunctionDeathTest, MissingNamesEndTheProgramWithOneLine) {
  const platform::LibraryHandle library = platform::loadLibrary(platform::kPcreLibraryName);
  struct Row {
    std::string name;
  };
  const Row rows[] = {
      {"no_such_function"},
      {"_pcre_config@0"},  // only ever tried as typed, never decorated twice
      // Longer than the 244 characters that fit the decorated-name buffer: still reported whole.
      {std::string(300, 'p')},
  };
  for (const Row& row : rows) {
    EXPECT_EXIT(static_cast<void>(platform::bindFunction(library, row.name)),
                testing::ExitedWithCode(1), "^could not import: " + row.name + "\n$");
  }
}

TEST(LoadLibraryDeathTest, MissingLibraryEndsTheProgramWithOneLine) {
  EXPECT_EXIT(static_cast<void>(platform::loadLibrary("libno-such-library.so.0")),
              testing::ExitedWithCode(1), "^could not load: libno-such-library.so.0\n$");
}

TEST(BindGroupDeathTest, StopsAtTheFirstMissingFunctionInOrder) {
  platform::RawProc config = nullptr;
  platform::RawProc first = nullptr;
  platform::RawProc second = nullptr;
  const platform::BindingGroup group{
      platform::kPcreLibraryName,
      {platform::Bind("pcre_config", config), platform::Bind("no_such_first", first),
       platform::Bind("no_such_second", second)}};
  EXPECT_EXIT(platform::bindGroup(group), testing::ExitedWithCode(1),
              "^could not import: no_such_first\n$");
}

TEST(TryBindGroup, NamesTheMissingLibraryOrFunctionByItsKind) {
  platform::RawProc config = nullptr;
  platform::RawProc missing = nullptr;
  const platform::BindingGroup noLibrary{"libno-such-library.so.0",
                                         {platform::Bind("pcre_config", config)}};
  const platform::BindingGroup noFunction{
      platform::kPcreLibraryName,
      {platform::Bind("pcre_config", config), platform::Bind("no_such_function", missing)}};
  using Kind = platform::BindingFailure::Kind;
  const auto library = platform::tryBindGroup(noLibrary);
  ASSERT_TRUE(library);
  EXPECT_EQ(library->kind, Kind::load);
  EXPECT_EQ(library->name, "libno-such-library.so.0");
  EXPECT_EQ(platform::bindingFailureText(*library), "could not load: libno-such-library.so.0");
  const auto function = platform::tryBindGroup(noFunction);
  ASSERT_TRUE(function);
  EXPECT_EQ(function->kind, Kind::import);
  EXPECT_EQ(function->name, "no_such_function");
  EXPECT_EQ(platform::bindingFailureText(*function), "could not import: no_such_function");
}

}  // namespace
