// Signal messages and the unhandled-error report.
#include "platform/fatal.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace platform {

namespace {

constexpr std::size_t kTraceNameWidth = 25;

extern "C" void onSignal(int signalNumber) {
  signalHandler(signalNumber);
}

std::string traceLines(const std::vector<TraceEntry>& trace) {
  std::string lines;
  for (const TraceEntry& entry : trace) {
    std::string place = entry.file;
    if (entry.line > 0) {
      place += '(' + std::to_string(entry.line) + ')';
    }
    place.append(place.size() < kTraceNameWidth ? kTraceNameWidth - place.size() : 1, ' ');
    lines += place + entry.operation + '\n';
  }
  return lines;
}

}  // namespace

void showErrorMessage(std::string_view text) noexcept {
#ifdef _WIN32
  // Reports can come before the console set-up has put the streams into binary mode; a line
  // feed must still reach the reader as one byte.
  (void)_setmode(_fileno(stderr), _O_BINARY);
#endif
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

std::string signalMessage(int signalNumber) {
  switch (signalNumber) {
    case SIGINT:
      return "SIGINT: Interrupted by Ctrl-C.\n";
    case SIGSEGV:
      return "SIGSEGV: Illegal storage access. (Attempt to read from nil?)\n";
    case SIGABRT:
      return "SIGABRT: Abnormal termination.\n";
    case SIGFPE:
      return "SIGFPE: Arithmetic error.\n";
    case SIGILL:
      return "SIGILL: Illegal operation.\n";
    default:
      return "unknown signal\n";
  }
}

void signalHandler(int signalNumber) {
  showErrorMessage(signalMessage(signalNumber));
  std::exit(1);
}

void installSignalHandlers() {
  for (int signalNumber : {SIGINT, SIGSEGV, SIGABRT, SIGFPE, SIGILL}) {
    (void)std::signal(signalNumber, onSignal);
  }
}

std::string unhandledErrorReport(std::string_view message, std::string_view kind,
                                 const std::vector<TraceEntry>& trace) {
  std::string report;
  const auto appendIfRoom = [&report](std::string_view piece) {
    if (report.size() + piece.size() < kReportBufferSize) {
      report += piece;
    }
  };
  if (!trace.empty()) {
    appendIfRoom(traceLines(trace));
  }
  appendIfRoom("Error: unhandled exception: ");
  appendIfRoom(message);
  appendIfRoom(" [");
  appendIfRoom(kind);
  appendIfRoom("]\n");
  return report;
}

std::string unhandledErrorReport(const Error& error) {
  return unhandledErrorReport(error.message(), error.kind(), error.trace());
}

void reportUnhandledError(const std::exception_ptr& failure) {
  std::string report;
  try {
    std::rethrow_exception(failure);
  } catch (const Error& error) {
    report = unhandledErrorReport(error);
  } catch (const std::exception& error) {
    report = unhandledErrorReport(error.what(), "Exception", {});
  } catch (...) {
    report = unhandledErrorReport("unknown error", "Exception", {});
  }
  showErrorMessage(report);
  std::exit(1);
}

}  // namespace platform
