// OSError messages: the system's text, the additional info in quoted form, and the fallback.
#include "launcher/win32/oserror.h"

#include <gtest/gtest.h>

#include <map>

#include "launcher/win32/syscalls.h"
#include "tests/support/slot_swap.h"
#include "tests/support/text.h"

namespace {

using launcher::newOSError;
using test_support::SlotSwap;
using test_support::wide;

constexpr std::int32_t kNoText = 1234;

// The system's side: a few known texts, the buffers it handed out and what came back.
struct FakeSystem {
  static inline std::map<std::int32_t, WString> texts;
  static inline WString handedOut;
  static inline int formatCalls = 0;
  static inline int freedCorrectly = 0;
  static inline int freedOther = 0;
  static inline DWORD lastFlags = 0;
  static inline DWORD lastLanguage = 0xFFFF;
  static inline DWORD lastError = 0;

  static void reset() {
    texts = {{2, wide(u"The system cannot find the file specified.\r\n")},
             {5, wide(u"Access is denied.")},
             {-2147024891, wide(u"Access is denied (HRESULT).\r\n")},
             {6, wide(u"bad \xD800 surrogate\r\n")}};
    handedOut.clear();
    formatCalls = freedCorrectly = freedOther = 0;
    lastFlags = 0;
    lastLanguage = 0xFFFF;
  }

  static DWORD WINAPI formatMessage(DWORD flags, LPCVOID source, DWORD id, DWORD language,
                                    LPWSTR buffer, DWORD size, va_list* arguments) {
    ++formatCalls;
    lastFlags = flags;
    lastLanguage = language;
    EXPECT_EQ(source, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(arguments, nullptr);
    const auto found = texts.find(static_cast<std::int32_t>(id));
    if (found == texts.end()) {
      return 0;
    }
    handedOut = found->second;
    *reinterpret_cast<LPWSTR*>(buffer) = handedOut.data();
    return static_cast<DWORD>(handedOut.size());
  }

  static HLOCAL WINAPI localFree(HLOCAL memory) {
    ++(memory == handedOut.data() ? freedCorrectly : freedOther);
    return nullptr;
  }

  static DWORD WINAPI getLastError() { return lastError; }
};

class NewOSError : public ::testing::Test {
protected:
  void SetUp() override { FakeSystem::reset(); }

  SlotSwap<launcher::kernel32::FormatMessageW> format_{&FakeSystem::formatMessage};
  SlotSwap<launcher::kernel32::LocalFree> free_{&FakeSystem::localFree};
  SlotSwap<launcher::kernel32::GetLastError> lastError_{&FakeSystem::getLastError};
};

TEST_F(NewOSError, MessageIsTheSystemTextThenTheQuotedInfo) {
  struct Case {
    std::int32_t code;
    std::string_view info;
    std::string_view message;
  };
  const Case cases[] = {
      {2, "", "The system cannot find the file specified.\r\n"},
      {5, "", "Access is denied."},
      {-2147024891, "", "Access is denied (HRESULT).\r\n"},
      {kNoText, "", "unknown OS error"},
      {0, "", "unknown OS error"},
      {2, "x.exe", "The system cannot find the file specified.\r\nAdditional info: \"x.exe\""},
      {5, "x.exe", "Access is denied.\nAdditional info: \"x.exe\""},
      {kNoText, "x.exe", "Additional info: \"x.exe\""},
      {0, "x.exe", "Additional info: \"x.exe\""},
      {6, "", "bad \xEF\xBF\xBD surrogate\r\n"},
  };
  for (const auto& c : cases) {
    const platform::OSError error = newOSError(c.code, c.info);
    EXPECT_EQ(error.message(), c.message) << c.code << " " << c.info;
    EXPECT_EQ(error.errorCode(), c.code);
    EXPECT_EQ(error.kind(), "OSError");
  }
}

TEST_F(NewOSError, AsksTheSystemForAnAllocatedTextAndFreesIt) {
  static_cast<void>(newOSError(2, ""));
  EXPECT_EQ(FakeSystem::lastFlags, 0x1300u);
  EXPECT_EQ(FakeSystem::lastLanguage, 0u);
  EXPECT_EQ(FakeSystem::freedCorrectly, 1);

  FakeSystem::reset();
  static_cast<void>(newOSError(kNoText, ""));
  static_cast<void>(newOSError(0, "info"));
  EXPECT_EQ(FakeSystem::formatCalls, 1) << "code 0 has no text to look up";
  EXPECT_EQ(FakeSystem::freedCorrectly + FakeSystem::freedOther, 0);
}

TEST_F(NewOSError, AdditionalInfoIsQuotedByteForByte) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"plain text", R"("plain text")"},
      {R"(C:\Tools\x.exe)", R"("C:\\Tools\\x.exe")"},
      {R"(say "hi" 'there')", R"("say \"hi\" \'there\'")"},
      {"\a\b\t\n\v\f\r\x1B", R"("\a\b\t\n\v\f\r\e")"},
      {std::string_view("\0\x01\x1F\x7F", 4), R"("\x00\x01\x1F\x7F")"},
      {"caf\xC3\xA9 \xFF", R"("caf\xC3\xA9 \xFF")"},
      {" ~", R"(" ~")"},
  };
  for (const auto& [info, expected] : cases) {
    EXPECT_EQ(launcher::quoted(info), expected);
    EXPECT_EQ(newOSError(0, info).message(), "Additional info: " + std::string(expected));
  }
}

TEST_F(NewOSError, RaiseRecordsItselfAsTheRaiseSite) {
  try {
    launcher::raiseOSError(5);
    FAIL() << "raiseOSError returned";
  } catch (const platform::OSError& error) {
    EXPECT_EQ(error.message(), "Access is denied.");
    EXPECT_EQ(error.errorCode(), 5);
    ASSERT_EQ(error.trace().size(), 1u);
    EXPECT_EQ(error.trace()[0].operation, "raiseOSError");
  }
}

TEST_F(NewOSError, LastErrorIsReadAsSigned) {
  FakeSystem::lastError = 0x80070005;
  EXPECT_EQ(launcher::osLastError(), -2147024891);
  FakeSystem::lastError = 183;
  EXPECT_EQ(launcher::osLastError(), 183);
}

}  // namespace
