// ParseLuaSelection and its integer reading over any reply text. SciTE is faked through the
// director's user32 slots as one director window that records what is sent to it, so that the
// check also sees whether the property was emptied.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "director/operations.h"
#include "director/win32/bindings.h"
#include "director/win32/channel.h"
#include "fuzz/checks/check.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "tests/support/slot_swap.h"

namespace fuzz {

namespace {

using test_support::Scoped;
using test_support::SlotSwap;

const HWND kMainWindow = reinterpret_cast<HWND>(std::intptr_t{0x1000});
const HWND kDirectorWindow = reinterpret_cast<HWND>(std::intptr_t{0x2000});
const HWND kReceiver = reinterpret_cast<HWND>(std::intptr_t{612});
constexpr DWORD kSciteProcess = 77;

const WString& directorClass() {
  static const WString name = platform::toUtf16("DirectorExtension");
  return name;
}

std::vector<std::string>& sentFrames() {
  static std::vector<std::string> frames;
  return frames;
}

// One SciTE in the foreground with one director window, which keeps every frame it is sent.
struct FakeScite {
  SlotSwap<director::user32::GetForegroundWindow> foreground{[]() -> HWND { return kMainWindow; }};
  SlotSwap<director::user32::FindWindowW> find{
      [](LPCWSTR, LPCWSTR) -> HWND { return kMainWindow; }};
  SlotSwap<director::user32::GetWindowThreadProcessId> ids{[](HWND, LPDWORD process) -> DWORD {
    if (process != nullptr) {
      *process = kSciteProcess;
    }
    return 1;
  }};
  SlotSwap<director::user32::EnumWindows> enumerate{
      [](WNDENUMPROC callback, LPARAM parameter) -> BOOL {
        return callback(kDirectorWindow, parameter);
      }};
  SlotSwap<director::user32::GetParent> parent{[](HWND) -> HWND { return nullptr; }};
  SlotSwap<director::user32::GetWindowTextLengthW> titleLength{[](HWND) -> int { return 0; }};
  SlotSwap<director::user32::GetWindowTextW> title{[](HWND, LPWSTR buffer, int size) -> int {
    if (size > 0) {
      buffer[0] = 0;
    }
    return 0;
  }};
  SlotSwap<director::user32::GetClassNameW> className{[](HWND, LPWSTR buffer, int size) -> int {
    if (size <= 0) {
      return 0;
    }
    const auto count = std::min(directorClass().size(), static_cast<std::size_t>(size - 1));
    std::copy_n(directorClass().begin(), count, buffer);
    buffer[count] = 0;
    return static_cast<int>(count);
  }};
  SlotSwap<director::user32::SendMessageW> send{
      [](HWND, UINT message, WPARAM, LPARAM lParam) -> LRESULT {
        if (message == WM_COPYDATA) {
          const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
          sentFrames().emplace_back(static_cast<const char*>(data->lpData), data->cbData);
        }
        return 0;
      }};
  SlotSwap<director::hRecv> receiver{kReceiver};
};

constexpr std::string_view kSeparator = "<@@>";

[[nodiscard]] std::vector<std::string_view> partsOf(std::string_view text) {
  std::vector<std::string_view> parts{text};
  for (auto at = parts.back().find(kSeparator); at != std::string_view::npos;
       at = parts.back().find(kSeparator)) {
    const std::string_view rest = parts.back();
    parts.back() = rest.substr(0, at);
    parts.push_back(rest.substr(at + kSeparator.size()));
  }
  return parts;
}

struct Reading {
  std::optional<std::int64_t> value;
  std::string error;  // the ValueError's message when there is no value
};

// Sign, then digits each followed by any "_"; the digits alone, with "-" kept, go to the
// library's own reader, which knows the 64-bit range.
[[nodiscard]] Reading readByTheRules(std::string_view text) {
  std::string cleaned;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') {
      cleaned += '-';
    }
    ++i;
  }
  bool digitSeen = false;
  bool wellFormed = i < text.size();
  for (; i < text.size() && wellFormed; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      cleaned += c;
      digitSeen = true;
    } else {
      wellFormed = c == '_' && digitSeen;
    }
  }
  if (!wellFormed) {
    return {std::nullopt, "invalid integer: " + std::string(text)};
  }
  std::int64_t value = 0;
  const auto [end, status] =
      std::from_chars(cleaned.data(), cleaned.data() + cleaned.size(), value);
  if (status == std::errc::result_out_of_range) {
    return {std::nullopt, "Parsed integer outside of valid range"};
  }
  expect(status == std::errc() && end == cleaned.data() + cleaned.size(), "model reads digits");
  return {value, {}};
}

void checkIntegerReading(std::string_view text) {
  const Reading expected = readByTheRules(text);
  try {
    const std::int64_t got = director::parseInt(text);
    expect(expected.value == got, "a well-formed integer reads as its value");
  } catch (const platform::ValueError& error) {
    expect(!expected.value && error.message() == expected.error,
           "a malformed or out-of-range integer raises ValueError with the fixed message");
  }
}

const std::string kEmptyingFrame = ":612:property:extender.result=" + std::string(1, '\0');

void checkParse(std::string_view received) {
  const FakeScite scite;
  const Scoped keepReceived(director::received, std::string(received));
  sentFrames().clear();
  director::LuaSelection selection{"\x01untouched", 424242};
  const auto parts = partsOf(received);
  const Reading number = parts.size() == 2 ? readByTheRules(parts[1]) : Reading{};
  try {
    director::ParseLuaSelection(selection);
  } catch (const platform::ValueError& error) {
    expect(parts.size() == 2 && !number.value && error.message() == number.error,
           "only a malformed number raises, with its fixed message");
    expect(selection.text == "\x01untouched" && selection.length == 424242,
           "a failed parse leaves the record alone");
    expect(sentFrames().empty(), "a failed parse leaves the property alone");
    return;
  }
  if (parts.size() != 2) {
    expect(selection.text.empty() && selection.length == 0, "not two parts gives (\"\", 0)");
    expect(sentFrames().empty(), "not two parts sends nothing");
    return;
  }
  expect(number.value.has_value(), "a malformed number does not pass");
  expect(selection.text == parts[0] && selection.length == *number.value,
         "two parts give the text and the number");
  expect(sentFrames() == std::vector<std::string>{kEmptyingFrame},
         "a well-formed reply empties extender.result, and sends nothing else");
}

}  // namespace

void checkSelection(Bytes input) {
  const std::string_view text = asText(input);
  checkIntegerReading(text);
  checkParse(text);
}

}  // namespace fuzz
