// The properties each fuzz target asserts, shared by the fuzzers and the corpus replay test.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fuzz {

using Bytes = std::span<const std::uint8_t>;

// A wrong result: the input broke a property that follows from the rules.
class PropertyFailure : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Raises PropertyFailure naming the property when it does not hold.
void expect(bool holds, std::string_view property);

// Shows a byte string with its control and non-ASCII bytes escaped, for failure messages.
[[nodiscard]] std::string shown(std::string_view bytes);

[[nodiscard]] inline std::string_view asText(Bytes input) noexcept {
  return {reinterpret_cast<const char*>(input.data()), input.size()};
}

// One check per outside entry point. Each returns normally when every property held, raises
// PropertyFailure when one did not, and lets any other error through as a finding too.
void checkUtf8(Bytes input);
void checkPatterns(Bytes input);
void checkReply(Bytes input);
void checkSelection(Bytes input);
void checkPaths(Bytes input);
void checkCompanion(Bytes input);
void checkFifoReply(Bytes input);
// Not in the Windows build: it converts through iconv.
void checkEncoding(Bytes input);

}  // namespace fuzz
