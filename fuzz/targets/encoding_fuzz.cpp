// Fuzz target: checkEncoding (see fuzz/checks/check.h).
#include "fuzz/targets/driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzz::runCheck<fuzz::checkEncoding>(data, size);
}
