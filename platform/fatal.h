// How the program ends when something goes wrong: the five handled signals and the report of an
// error that nobody caught. Both write to standard error only and end with exit code 1.
#pragma once

#include <exception>
#include <string>

#include "platform/errors.h"

namespace platform {

inline constexpr std::size_t kReportBufferSize = 2000;

// The one-line message for a signal number, with its line feed.
[[nodiscard]] std::string signalMessage(int signalNumber);

// Writes the signal's message and exits with code 1.
[[noreturn]] void signalHandler(int signalNumber);

// SIGINT, SIGSEGV, SIGABRT, SIGFPE and SIGILL, in that order.
void installSignalHandlers();

// The report: trace lines, then "Error: unhandled exception: <message> [<kind>]" and a line feed.
// A piece that would make the text reach the buffer size is left out whole.
[[nodiscard]] std::string unhandledErrorReport(const Error& error);
[[nodiscard]] std::string unhandledErrorReport(std::string_view message, std::string_view kind,
                                               const std::vector<TraceEntry>& trace);

// Reports whatever `failure` holds on standard error and exits with code 1.
[[noreturn]] void reportUnhandledError(const std::exception_ptr& failure);

// Writes a text to standard error and flushes it at once.
void showErrorMessage(std::string_view text) noexcept;

}  // namespace platform
