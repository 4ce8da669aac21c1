// The editor operations' command texts and the parsing of a Lua selection result.
#include "director/operations.h"

#include <array>
#include <optional>
#include <vector>

#include "director/replies.h"
#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/re.h"

namespace director {

namespace {

constexpr std::string_view kFunctionPattern = R"(^(?:local )?function ([^\(]+)\(([^\)]+)?)";
constexpr std::string_view kAssignedFunctionPattern =
    R"(^(?:local\s)?(\w+)\s*=\s*function\(([^\)]+)?)";

// Group 1 of an anchored match, or nothing. Any negative status counts as no match: an engine
// failure must not pass for a function whose name is empty.
[[nodiscard]] std::optional<std::string> functionName(std::string_view code,
                                                      std::string_view patternText) {
  std::array<std::string, 2> captures;
  if (platform::matchOrFind(code, platform::re(patternText), captures, 0, platform::kPcreAnchored) <
      0) {
    return std::nullopt;
  }
  return captures[0];
}

[[nodiscard]] std::vector<std::string_view> splitAll(std::string_view text,
                                                     std::string_view separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (auto at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  parts.push_back(text.substr(start));
  return parts;
}

[[noreturn]] void invalidInteger(std::string_view text) {
  throw platform::ValueError("invalid integer: " + std::string(text));
}

}  // namespace

std::string outputCommand(std::string_view text, bool lineEnd) {
  std::string command = "output:";
  command += text;
  if (lineEnd) {
    command += "\\n";  // SciTE turns the escape into the line break
  }
  return command;
}

std::string doStringCommand(std::string_view lua) {
  return "extender:dostring " + std::string(lua);
}

std::string askPropertyCommand(std::string_view key) {
  return "askproperty:" + std::string(key);
}

std::string propertyCommand(std::string_view key, std::string_view value) {
  std::string command = "property:";
  command += key;
  command += '=';
  command += value;
  return command;
}

bool OutputConsole(std::string_view text, bool lineEnd) {
  return SendCommand(outputCommand(text, lineEnd), false);
}

bool LuaFuncRun(std::string_view code, std::string_view arguments) {
  auto name = functionName(code, kFunctionPattern);
  if (!name) {
    name = functionName(code, kAssignedFunctionPattern);
  }
  if (!name) {
    return false;
  }
  std::string command = doStringCommand(code);
  command += " props['";
  command += kResultProperty;
  command += "']=";
  command += *name;
  command += '(';
  command += arguments;
  command += ')';
  return SendCommand(command, false);
}

bool GetProperty(std::string_view key) {
  installReplyPattern();
  return SendCommand(askPropertyCommand(key), true);
}

bool SetProperty(std::string_view key, std::string_view value) {
  return SendCommand(propertyCommand(key, value), false);
}

void runAndFetchLuaResult(std::string_view code, std::string_view arguments) {
  if (code.find("function") != std::string_view::npos) {
    (void)LuaFuncRun(code, arguments);
  } else {
    std::string wrapped = "function f() return ";
    wrapped += code;
    wrapped += " end";
    (void)LuaFuncRun(wrapped, arguments);
  }
  installReplyPattern();
  (void)SendCommand(askPropertyCommand(kResultProperty), true);
}

std::int64_t parseInt(std::string_view text) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  if (i == text.size() || !platform::isAsciiDigit(text[i])) {
    invalidInteger(text);
  }
  // The magnitude is gathered as unsigned so that the most negative value fits too.
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
  std::uint64_t magnitude = 0;
  bool overflow = false;
  while (i < text.size()) {
    if (!platform::isAsciiDigit(text[i])) {
      invalidInteger(text);
    }
    const auto digit = static_cast<std::uint64_t>(text[i] - '0');
    overflow = overflow || magnitude > (kLimit - digit) / 10;
    magnitude = magnitude * 10 + digit;
    for (++i; i < text.size() && text[i] == '_'; ++i) {
    }
  }
  if (overflow || (!negative && magnitude == kLimit)) {
    throw platform::ValueError("Parsed integer outside of valid range");
  }
  return negative ? static_cast<std::int64_t>(~magnitude + 1)
                  : static_cast<std::int64_t>(magnitude);
}

void ParseLuaSelection(LuaSelection& selection) {
  const std::vector<std::string_view> parts = splitAll(received, kResultSeparator);
  if (parts.size() != 2) {
    selection.text.clear();
    selection.length = 0;
    return;
  }
  std::string text(parts[0]);
  const std::int64_t length = parseInt(parts[1]);
  (void)SendCommand(propertyCommand(kResultProperty, ""), false);
  selection.text = std::move(text);
  selection.length = length;
}

}  // namespace director
