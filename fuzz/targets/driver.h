// The libFuzzer entry point around one check: a broken property or an error that escapes the
// check is printed and ends the run, so libFuzzer keeps the input as a finding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "fuzz/checks/check.h"
#include "platform/errors.h"

namespace fuzz {

template <void (*Check)(Bytes)>
int runCheck(const std::uint8_t* data, std::size_t size) noexcept {
  const Bytes input(data, size);
  try {
    Check(input);
    return 0;
  } catch (const PropertyFailure& failure) {
    std::fprintf(stderr, "\nFINDING: property failed: %s\ninput: %s\n", failure.what(),
                 shown(asText(input)).c_str());
  } catch (const platform::Error& error) {
    std::fprintf(stderr, "\nFINDING: unexpected %s: %s\ninput: %s\n",
                 std::string(error.kind()).c_str(), error.message().c_str(),
                 shown(asText(input)).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "\nFINDING: unexpected exception: %s\ninput: %s\n", error.what(),
                 shown(asText(input)).c_str());
  }
  std::abort();
}

}  // namespace fuzz
