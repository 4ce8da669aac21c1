// The lines the user reads, where a system's own words go into them.
#include "companion/texts.h"

#include <gtest/gtest.h>

namespace {

TEST(BrowserFailedLine, TrimsTheSystemsMessageAndAddsTheCode) {
  EXPECT_EQ(companion::browserFailedLine("Access is denied. \r\n", 5),
            "!> The browser could not be started: Access is denied (5).");
}

}  // namespace
