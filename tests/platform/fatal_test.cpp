// The fatal reports: signal lines and the unhandled-error report with its buffer rule.
#include "platform/fatal.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using platform::TraceEntry;
using platform::unhandledErrorReport;

TEST(SignalReport, EachHandledSignalHasItsLineAndOthersAreUnknown) {
  EXPECT_EQ(platform::signalMessage(SIGINT), "SIGINT: Interrupted by Ctrl-C.\n");
  EXPECT_EQ(platform::signalMessage(SIGSEGV),
            "SIGSEGV: Illegal storage access. (Attempt to read from nil?)\n");
  EXPECT_EQ(platform::signalMessage(SIGABRT), "SIGABRT: Abnormal termination.\n");
  EXPECT_EQ(platform::signalMessage(SIGFPE), "SIGFPE: Arithmetic error.\n");
  EXPECT_EQ(platform::signalMessage(SIGILL), "SIGILL: Illegal operation.\n");
  EXPECT_EQ(platform::signalMessage(SIGTERM), "unknown signal\n");
}

TEST(SignalReport, HandlerWritesTheLineAndExitsWithOne) {
  EXPECT_EXIT(platform::signalHandler(SIGINT), ::testing::ExitedWithCode(1),
              "^SIGINT: Interrupted by Ctrl-C.\n$");
}

TEST(UnhandledErrorReport, TraceLinesArePaddedToTheOperationColumn) {
  const std::vector<TraceEntry> trace{{"oserror.cpp", 42, "raiseOSError"},
                                      {"averyveryverylongname.cpp", 7, "op"},
                                      {"noline.cpp", 0, "start"}};
  EXPECT_EQ(unhandledErrorReport("Access is denied.\r\n", "OSError", trace),
            "oserror.cpp(42)          raiseOSError\n"
            "averyveryverylongname.cpp(7) op\n"
            "noline.cpp               start\n"
            "Error: unhandled exception: Access is denied.\r\n [OSError]\n");
}

TEST(UnhandledErrorReport, WithoutTraceItIsOneLine) {
  EXPECT_EQ(unhandledErrorReport("invalid integer: x", "ValueError", {}),
            "Error: unhandled exception: invalid integer: x [ValueError]\n");
}

TEST(UnhandledErrorReport, AMessageTooLongForTheBufferIsLeftOutWhole) {
  const std::string huge(platform::kReportBufferSize, 'm');
  EXPECT_EQ(unhandledErrorReport(huge, "ValueError", {{"a.cpp", 1, "f"}}),
            "a.cpp(1)                 f\nError: unhandled exception:  [ValueError]\n");
  const std::vector<TraceEntry> longTrace(200, TraceEntry{"file.cpp", 10, "operation"});
  EXPECT_EQ(unhandledErrorReport("m", "OSError", longTrace),
            "Error: unhandled exception: m [OSError]\n");
}

TEST(UnhandledErrorReport, RaisedErrorsCarryTheirRaiseSite) {
  try {
    throw platform::ValueError("bad");
  } catch (const platform::Error& error) {
    const std::string report = unhandledErrorReport(error);
    EXPECT_NE(report.find("fatal_test.cpp("), std::string::npos) << report;
    EXPECT_NE(report.find("TestBody\nError: unhandled exception: bad [ValueError]\n"),
              std::string::npos)
        << report;
  }
}

TEST(UnhandledErrorReport, ReportExitsWithOneOnStandardError) {
  EXPECT_EXIT(platform::reportUnhandledError(std::make_exception_ptr(platform::OSError("x", 5))),
              ::testing::ExitedWithCode(1), "Error: unhandled exception: x \\[OSError\\]");
}

}  // namespace
