// The value owner: every handle it is given closed exactly once, the invalid one never.
#include "platform/owner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::vector<int>& closedHandles() {
  static std::vector<int> handles;
  return handles;
}

int recordClose(int handle) {
  closedHandles().push_back(handle);
  return 0;
}

using Owner = platform::UniqueValue<int, recordClose, -1>;

TEST(UniqueValue, ClosesEachHandleOnceAndNeverTheInvalidOne) {
  struct Case {
    std::string_view name;
    std::function<void()> run;
    std::vector<int> closed;
  };
  const Case cases[] = {
      {"held to the end", [] { const Owner owner(3); }, {3}},
      {"holding nothing", [] { const Owner owner; }, {}},
      {"holding the invalid value", [] { const Owner owner(-1); }, {}},
      {"released",
       [] {
         Owner owner(3);
         EXPECT_EQ(owner.release(), 3);
       },
       {}},
      {"reset to another",
       [] {
         Owner owner(3);
         owner.reset(4);
       },
       {3, 4}},
      {"moved from",
       [] {
         Owner from(3);
         const Owner to(std::move(from));
       },
       {3}},
      {"moved onto",
       [] {
         Owner from(3);
         Owner to(4);
         to = std::move(from);
       },
       {4, 3}},
  };
  for (const auto& c : cases) {
    closedHandles().clear();
    c.run();
    EXPECT_EQ(closedHandles(), c.closed) << c.name;
  }
}

}  // namespace
