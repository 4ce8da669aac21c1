// The program's start-up sequence: every module's binding groups in their fixed order, the
// signal handlers, the modules' start-up code, then the launcher flow. The one place that knows
// this order.
#include <exception>

#include "director/win32/startup.h"
#include "launcher/flow.h"
#include "launcher/win32/sockets.h"
#include "launcher/win32/syscalls.h"
#include "platform/binding.h"
#include "platform/fatal.h"
#include "platform/win32/console.h"

namespace {

// A missing library or function ends the process here with its one-line report.
void bindEverything() {
  platform::bindGroup(platform::consoleBindings());
  platform::installSignalHandlers();
  platform::bindGroup(launcher::ws2_32::bindings());
  platform::bindGroup(launcher::kernel32::bindings());
  for (const platform::BindingGroup* group : director::clientBindingGroups()) {
    platform::bindGroup(*group);
  }
}

void startModules() {
  platform::setUpConsole();
  launcher::bindInetNtop();
  launcher::startSockets();
  director::initModule();
}

}  // namespace

int main() {
  try {
    bindEverything();
    startModules();
    launcher::runLauncher();
  } catch (...) {
    platform::reportUnhandledError(std::current_exception());
  }
  return 0;
}
