// The program's error kinds: one small hierarchy, each error carrying its kind's name, its
// message and the places it was raised, so that the fatal report can print all three.
#pragma once

#include <cstdint>
#include <exception>
#include <source_location>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct TraceEntry {
  std::string file;  // base name of the source file
  std::uint32_t line = 0;
  std::string operation;  // bare name of the raising function
};

[[nodiscard]] TraceEntry traceEntryFor(const std::source_location& where);

class Error : public std::exception {
public:
  [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }
  [[nodiscard]] std::string_view kind() const noexcept { return kind_; }
  [[nodiscard]] const std::string& message() const noexcept { return message_; }
  [[nodiscard]] const std::vector<TraceEntry>& trace() const noexcept { return trace_; }

  // Each raise of the same error object adds one entry.
  void addRaiseSite(const std::source_location& where) { trace_.push_back(traceEntryFor(where)); }

protected:
  Error(std::string_view kind, std::string message, const std::source_location& where)
      : kind_(kind), message_(std::move(message)) {
    addRaiseSite(where);
  }

private:
  std::string_view kind_;
  std::string message_;
  std::vector<TraceEntry> trace_;
};

// A malformed value, such as a number that does not parse.
class ValueError : public Error {
public:
  explicit ValueError(std::string message,
                      const std::source_location& where = std::source_location::current())
      : Error("ValueError", std::move(message), where) {}

protected:
  ValueError(std::string_view kind, std::string message, const std::source_location& where)
      : Error(kind, std::move(message), where) {}
};

// An invalid regular expression.
class RegexError : public ValueError {
public:
  explicit RegexError(std::string message,
                      const std::source_location& where = std::source_location::current())
      : ValueError("RegexError", std::move(message), where) {}
};

// A failed system call, with the system's error code.
class OSError : public Error {
public:
  OSError(std::string message, std::int32_t errorCode,
          const std::source_location& where = std::source_location::current())
      : Error("OSError", std::move(message), where), errorCode_(errorCode) {}

  [[nodiscard]] std::int32_t errorCode() const noexcept { return errorCode_; }

private:
  std::int32_t errorCode_;
};

// An error kind that adds nothing to Error but its name.
template <const char* kKind>
class NamedError : public Error {
public:
  explicit NamedError(std::string message,
                      const std::source_location& where = std::source_location::current())
      : Error(kKind, std::move(message), where) {}
};

namespace error_kinds {
inline constexpr char kRangeError[] = "RangeError";
inline constexpr char kWindowError[] = "wError";
inline constexpr char kBrushError[] = "wBrushError";
inline constexpr char kFontError[] = "wFontError";
inline constexpr char kCursorError[] = "wCursorError";
}  // namespace error_kinds

// A value that does not fit the range a system or engine interface accepts.
using RangeError = NamedError<error_kinds::kRangeError>;
// A window class that cannot be registered or a window that cannot be created.
using wError = NamedError<error_kinds::kWindowError>;
// The window host's GDI objects that cannot be made.
using wBrushError = NamedError<error_kinds::kBrushError>;
using wFontError = NamedError<error_kinds::kFontError>;
using wCursorError = NamedError<error_kinds::kCursorError>;

// Checks that a length or offset fits a 32-bit signed count before it crosses an interface
// that takes one.
[[nodiscard]] std::int32_t checkedInt32(
    std::int64_t value, std::string_view what,
    const std::source_location& where = std::source_location::current());

}  // namespace platform
