// binding_probe <library> <function>...: binds the functions as one group, the way start-up binds
// a module, then prints "<name>=<value>" for each by calling it. Binding failures end the program
// with the mechanism's own report, which is what the tests around this program look at.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/binding.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: binding_probe <library> <function>...\n", stderr);
    return 2;
  }
  const std::vector<std::string> names(argv + 2, argv + argc);
  std::vector<platform::RawProc> slots(names.size(), nullptr);
  platform::BindingGroup group{argv[1], {}};
  for (std::size_t i = 0; i < names.size(); ++i) {
    group.functions.push_back(platform::Bind(names[i], slots[i]));
  }
  platform::bindGroup(group);
  for (std::size_t i = 0; i < names.size(); ++i) {
    // The test DLLs export only functions of this shape.
    const auto function = reinterpret_cast<int (*)()>(slots[i]);
    std::printf("%s=%d\n", names[i].c_str(), function());
  }
  return 0;
}
