// Installs the program's signal handlers and raises the signal named on its command line, as a
// Ctrl-C or a fault would deliver it, to check the report on standard error and the exit code.
#include <csignal>
#include <cstdlib>
#include <string_view>

#include "platform/fatal.h"

int main(int argc, char** argv) {
  platform::installSignalHandlers();
  const std::string_view name = argc > 1 ? argv[1] : "";
  const int signalNumber = name == "SIGINT"    ? SIGINT
                           : name == "SIGSEGV" ? SIGSEGV
                           : name == "SIGABRT" ? SIGABRT
                           : name == "SIGFPE"  ? SIGFPE
                                               : SIGILL;
  (void)std::raise(signalNumber);
  return 0;  // not reached: the handler ends the process
}
