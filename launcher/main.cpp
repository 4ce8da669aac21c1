// The program's start-up sequence: every module's binding groups in their fixed order, the
// signal handlers, the modules' start-up code, then the launcher flow. The one place that knows
// this order. The marks are the bench's trace build's (launcher/win32/trace.h): nothing here.
#include <exception>

#include "director/win32/startup.h"
#include "launcher/flow.h"
#include "launcher/win32/sockets.h"
#include "launcher/win32/syscalls.h"
#include "launcher/win32/trace.h"
#include "platform/binding.h"
#include "platform/fatal.h"
#include "platform/win32/console.h"

namespace {

// A missing library or function ends the process here with its one-line report.
void bind(const platform::BindingGroup& group) {
  platform::bindGroup(group);
  launcher::markBound(group.library);
}

void bindEverything() {
  bind(platform::consoleBindings());
  platform::installSignalHandlers();
  bind(launcher::ws2_32::bindings());
  bind(launcher::kernel32::bindings());
  for (const platform::BindingGroup* group : director::clientBindingGroups()) {
    bind(*group);
  }
}

void startModules() {
  platform::setUpConsole();
  launcher::bindInetNtop();
  launcher::startSockets();
  launcher::markStep("sockets started");
  director::initModule();
  launcher::markStep("receiver window made");
}

}  // namespace

int main() {
  launcher::markStep("started");
  try {
    bindEverything();
    launcher::markSystemCalls();
    startModules();
    launcher::runLauncher();
  } catch (...) {
    platform::reportUnhandledError(std::current_exception());
  }
  launcher::markStep("ended");
  return 0;
}
