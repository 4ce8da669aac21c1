// The binding mechanism against real DLLs under Wine: the decorated-name fallback of bindFunction
// on a test DLL, and the pattern engine's group bound from the pcre64.dll this build makes.
#include "platform/binding.h"

#include <gtest/gtest.h>
#include <pcre.h>

#include <string>

#include "platform/pcre_library.h"

namespace {

using IntFunction = int (*)();

TEST(BindFunction, FindsPlainAndDecoratedNamesUpToAt200) {
  const platform::LibraryHandle library = platform::loadLibrary("binding_decorated.dll");
  struct Row {
    std::string name;
    int value = 0;  // tells which export was found
  };
  const Row rows[] = {
      {"Plain", 1},
      {"Zero", 100},  // "_Zero@0"
      {"Eight", 108},
      {"Max", 300},  // "_Max@200", the last try
      // Only the first 244 characters of a name go into the decorated form.
      {std::string(244, 'L'), 244},
      {std::string(300, 'L'), 244},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name.substr(0, 20));
    const auto function = reinterpret_cast<IntFunction>(platform::bindFunction(library, row.name));
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function(), row.value);
  }
}

// Slots typed by the engine's own header, filled in the order start-up binds them.
namespace pcre_slots {
decltype(&::pcre_exec) pcre_exec = nullptr;
decltype(&::pcre_free_substring) pcre_free_substring = nullptr;
decltype(&::pcre_free_study) pcre_free_study = nullptr;
decltype(&::pcre_compile) pcre_compile = nullptr;
decltype(&::pcre_config) pcre_config = nullptr;
decltype(&::pcre_study) pcre_study = nullptr;
}  // namespace pcre_slots

void bindPcre() {
  using namespace pcre_slots;
  using platform::Bind;
  platform::bindGroup(platform::BindingGroup{
      platform::kPcreLibraryName,
      {Bind("pcre_exec", pcre_exec), Bind("pcre_free_substring", pcre_free_substring),
       Bind("pcre_free_study", pcre_free_study), Bind("pcre_compile", pcre_compile),
       Bind("pcre_config", pcre_config), Bind("pcre_study", pcre_study)}});
}

TEST(Pcre64Dll, ReportsJitAndRunsAJitStudiedPattern) {
  bindPcre();
  using namespace pcre_slots;
  int jit = -1;
  ASSERT_EQ(pcre_config(PCRE_CONFIG_JIT, &jit), 0);
  EXPECT_EQ(jit, 1);

  const char* error = nullptr;
  int errorOffset = -1;
  pcre* code = pcre_compile("^:\\d+:([^:]+:){2}", 0, &error, &errorOffset, nullptr);
  ASSERT_NE(code, nullptr) << error;
  pcre_extra* extra = pcre_study(code, PCRE_STUDY_JIT_COMPILE, &error);
  ASSERT_NE(extra, nullptr) << (error != nullptr ? error : "");
  // Set only when the JIT really produced code (executable memory under Wine included).
  EXPECT_NE(extra->flags & PCRE_EXTRA_EXECUTABLE_JIT, 0UL);

  const std::string reply = ":1234:macro:stringinfo:the value";
  int ovector[30] = {};
  const int count =
      pcre_exec(code, extra, reply.data(), static_cast<int>(reply.size()), 0, 0, ovector, 30);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(reply.substr(static_cast<std::size_t>(ovector[1])), "the value");

  pcre_free_study(extra);
  // pcre_free itself is a data export; pcre_free_substring hands any engine block to it.
  pcre_free_substring(reinterpret_cast<const char*>(code));
}

}  // namespace
