// Reads what the companion stand-in (websearch_double) recorded about its command line.
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace websearch_double {

struct Record {
  std::string commandLine;  // raw, as the child's GetCommandLineW gave it
  std::string currentDirectory;
  std::vector<std::string> arguments;  // argv[0] first
};

namespace detail {

inline bool readKey(std::string_view& text, std::string_view key) {
  if (!text.starts_with(key) || text.size() <= key.size() || text[key.size()] != '=') {
    return false;
  }
  text.remove_prefix(key.size() + 1);
  return true;
}

inline std::optional<std::size_t> readNumber(std::string_view& text, char end) {
  std::size_t value = 0;
  const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || next == text.data() + text.size() || *next != end) {
    return std::nullopt;
  }
  text.remove_prefix(static_cast<std::size_t>(next - text.data()) + 1);
  return value;
}

inline std::optional<std::string> readField(std::string_view& text, std::string_view key) {
  if (!readKey(text, key)) {
    return std::nullopt;
  }
  const auto length = readNumber(text, ':');
  if (!length || text.size() < *length + 1 || text[*length] != '\n') {
    return std::nullopt;
  }
  std::string value(text.substr(0, *length));
  text.remove_prefix(*length + 1);
  return value;
}

}  // namespace detail

// Parses a whole record file; nothing when it is incomplete or malformed.
inline std::optional<Record> parseRecord(std::string_view text) {
  Record record;
  auto commandLine = detail::readField(text, "cmdline");
  auto directory = detail::readField(text, "cwd");
  if (!commandLine || !directory || !detail::readKey(text, "argc")) {
    return std::nullopt;
  }
  const auto count = detail::readNumber(text, '\n');
  if (!count) {
    return std::nullopt;
  }
  record.commandLine = std::move(*commandLine);
  record.currentDirectory = std::move(*directory);
  for (std::size_t i = 0; i < *count; ++i) {
    auto argument = detail::readField(text, "argv[" + std::to_string(i) + "]");
    if (!argument) {
      return std::nullopt;
    }
    record.arguments.push_back(std::move(*argument));
  }
  if (!text.empty()) {
    return std::nullopt;
  }
  return record;
}

}  // namespace websearch_double
