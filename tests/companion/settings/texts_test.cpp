// The lines the user reads, where a system's own words go into them.
#include "companion/settings/texts.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemsMessage, TrimmedOfItsLineBreakAndFullStop) {
  EXPECT_EQ(companion::browserFailedLine("Access is denied. \r\n", 5),
            "!> The browser could not be started: Access is denied (5).");
  EXPECT_EQ(companion::historyNotKeptLine("/home/me/.websearch.history", "Disk full.\r\n"),
            "!> The recent searches could not be kept in /home/me/.websearch.history: Disk full.");
}

}  // namespace
