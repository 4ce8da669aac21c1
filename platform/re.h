// Regular expressions over the engine's classic 8-bit interface, bound by name at start-up.
#pragma once

#include <cstdint>
#include <memory>
#include <source_location>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/binding.h"

struct real_pcre;
struct pcre_extra;

namespace platform {

enum class RegexFlags : unsigned {
  none = 0,
  ignoreCase = 1,
  multiLine = 2,
  dotAll = 4,
  extended = 8,
  study = 16,
  // The pattern and its subjects are UTF-8: a character is one unit, whatever its bytes.
  utf8 = 32,
  // The engine gives up past kMatchSteps steps (or kMatchDepth nested ones) in one run, so that a
  // pattern that backtracks without end, such as (a+)+$, ends a run within milliseconds. Studies.
  limited = 64,
};

[[nodiscard]] constexpr RegexFlags operator|(RegexFlags a, RegexFlags b) noexcept {
  return static_cast<RegexFlags>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

// Engine run option: the match must start at the start offset.
inline constexpr int kPcreAnchored = 0x10;
// The engine's status for a run that found nothing; any other negative one is a failure, such as
// a run that gave up past its limits.
inline constexpr int kPcreNoMatch = -1;
// The engine's statuses for a run past its step, depth or JIT stack limits.
inline constexpr int kPcreMatchLimit = -8;
inline constexpr int kPcreDepthLimit = -21;
inline constexpr int kPcreStackLimit = -27;
// What RegexFlags::limited allows one run: far more than any match a line needs.
inline constexpr unsigned long kMatchSteps = 100'000;
inline constexpr unsigned long kMatchDepth = 1'000;

// A compiled pattern with shared ownership; the engine's blocks go back to the engine when the
// last holder lets go.
class Regex {
public:
  [[nodiscard]] real_pcre* h() const noexcept { return handles_->h; }
  [[nodiscard]] pcre_extra* e() const noexcept { return handles_->e; }

private:
  struct Handles {
    real_pcre* h = nullptr;
    pcre_extra* e = nullptr;
    Handles(real_pcre* compiled, pcre_extra* studied) noexcept : h(compiled), e(studied) {}
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles();  // finalizeRegEx
  };

  Regex(real_pcre* compiled, pcre_extra* studied)
      : handles_(std::make_shared<const Handles>(compiled, studied)) {}

  std::shared_ptr<const Handles> handles_;

  friend Regex re(std::string_view pattern, RegexFlags flags);
};

// Compiles (and by default studies, with JIT when the engine offers it); raises RegexError. An
// engine not bound yet is bound first (pcreBindings); one that cannot be is a RegexError too.
[[nodiscard]] Regex re(std::string_view pattern, RegexFlags flags = RegexFlags::study);

// Runs the pattern from `start`; writes groups 1.. into the capture slots. Returns the length of
// the whole match or the engine's negative status (-1: no match). Lengths and offsets beyond the
// 32-bit range raise RangeError before the engine is called.
[[nodiscard]] std::int32_t matchOrFind(std::string_view text, const Regex& regex,
                                       std::span<std::string> captures, std::int64_t start,
                                       int options);

// Unanchored search from `start`: (first, last) indices of the match, or (status, 0).
[[nodiscard]] std::pair<std::int32_t, std::int32_t> findBounds(std::string_view text,
                                                               const Regex& regex,
                                                               std::int64_t start);

// One run's match: where it starts and ends, and its groups, 0 the whole match, each empty when
// it took no part. `status` is the engine's: negative when there is no match (kPcreNoMatch) or
// the run failed.
struct RegexMatch {
  std::int32_t status = kPcreNoMatch;
  std::size_t start = 0;
  std::size_t end = 0;
  std::vector<std::string> groups;
  [[nodiscard]] bool found() const noexcept { return status >= 0; }
  // The run ended past the step, depth or stack limits of RegexFlags::limited.
  [[nodiscard]] bool gaveUp() const noexcept {
    return status == kPcreMatchLimit || status == kPcreDepthLimit || status == kPcreStackLimit;
  }
};

// Unanchored search from `start`, keeping groups 0 to `groups`.
[[nodiscard]] RegexMatch findMatch(std::string_view text, const Regex& regex, std::int64_t start,
                                   std::size_t groups);

// Replaces every non-overlapping match, searching from the start, by `by` taken literally.
[[nodiscard]] std::string replace(std::string_view text, const Regex& regex,
                                  std::string_view by = {});

[[noreturn]] void raiseInvalidRegex(
    std::string message, const std::source_location& where = std::source_location::current());

// The engine's binding group: pcre_exec, pcre_free_substring, pcre_free_study, pcre_compile,
// pcre_config, pcre_study.
[[nodiscard]] const BindingGroup& pcreBindings();

// Binds `engine` (re's is pcreBindings) unless the engine's last slot is filled; a group that
// cannot be bound raises RegexError with the binding's line ("could not load: <library>").
void bindEngineOnFirstUse(const BindingGroup& engine);

}  // namespace platform
