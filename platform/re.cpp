// Pattern compilation, anchored matching, searching and replacing on the bound engine.
#include "platform/re.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/pcre_engine.h"
#include "platform/pcre_library.h"

namespace platform {

namespace {

constexpr unsigned kCompileOptionMask = 1 | 2 | 4 | 8;
static_assert(kPcreNoMatch == PCRE_ERROR_NOMATCH && kPcreMatchLimit == PCRE_ERROR_MATCHLIMIT &&
              kPcreDepthLimit == PCRE_ERROR_RECURSIONLIMIT &&
              kPcreStackLimit == PCRE_ERROR_JIT_STACKLIMIT && kPcreAnchored == PCRE_ANCHORED);

[[nodiscard]] bool has(unsigned bits, RegexFlags flag) noexcept {
  return (bits & static_cast<unsigned>(flag)) != 0;
}

[[nodiscard]] int compileOptions(unsigned bits) noexcept {
  return static_cast<int>(bits & kCompileOptionMask) |
         (has(bits, RegexFlags::utf8) ? PCRE_UTF8 : 0);
}

// The engine refuses a null subject even when its length is 0.
const char* subjectOf(std::string_view text) noexcept {
  return text.data() ? text.data() : "";
}

std::string invalidPatternMessage(const char* error, std::string_view pattern, int offset) {
  std::string message(error ? error : "");
  message += '\n';
  message += pattern;
  message += '\n';
  message.append(static_cast<std::size_t>(offset > 0 ? offset : 0), ' ');
  message += "^\n";
  return message;
}

// A limited pattern needs the study's block even when the study finds nothing: the limits go
// there.
int studyOptions(bool limited) {
  int jit = 0;
  const bool jitAvailable = pcre64::pcre_config(PCRE_CONFIG_JIT, &jit) == 0 && jit == 1;
  return (jitAvailable ? PCRE_STUDY_JIT_COMPILE : 0) | (limited ? PCRE_STUDY_EXTRA_NEEDED : 0);
}

void limit(pcre_extra& extra) noexcept {
  extra.flags |= PCRE_EXTRA_MATCH_LIMIT | PCRE_EXTRA_MATCH_LIMIT_RECURSION;
  extra.match_limit = kMatchSteps;
  extra.match_limit_recursion = kMatchDepth;
}

}  // namespace

Regex::Handles::~Handles() {
  // The engine's compiled block is released through its own deallocator.
  pcre64::pcre_free_substring(reinterpret_cast<const char*>(h));
  if (e != nullptr) {
    pcre64::pcre_free_study(e);
  }
}

void raiseInvalidRegex(std::string message, const std::source_location& where) {
  throw RegexError(std::move(message), where);
}

// A program may leave the engine unbound until its first pattern (the companion: most of its runs
// compile none, and loading the library took a millisecond or more of each); it is bound here
// then. The group's last slot is filled only once all of it is.
void bindEngineOnFirstUse(const BindingGroup& engine) {
  if (pcre64::pcre_study != nullptr) {
    return;
  }
  if (const std::optional<BindingFailure> failure = tryBindGroup(engine)) {
    raiseInvalidRegex(bindingFailureText(*failure));
  }
}

Regex re(std::string_view pattern, RegexFlags flags) {
  bindEngineOnFirstUse(pcreBindings());
  const auto bits = static_cast<unsigned>(flags);
  const std::string zeroTerminated(pattern);
  const char* error = nullptr;
  int errorOffset = 0;
  real_pcre* compiled = pcre64::pcre_compile(zeroTerminated.c_str(), compileOptions(bits), &error,
                                             &errorOffset, nullptr);
  if (compiled == nullptr) {
    raiseInvalidRegex(invalidPatternMessage(error, pattern, errorOffset));
  }
  pcre_extra* studied = nullptr;
  const bool limited = has(bits, RegexFlags::limited);
  if (limited || has(bits, RegexFlags::study)) {
    const char* studyError = nullptr;
    studied = pcre64::pcre_study(compiled, studyOptions(limited), &studyError);
    if (studyError != nullptr || (limited && studied == nullptr)) {
      pcre64::pcre_free_substring(reinterpret_cast<const char*>(compiled));
      raiseInvalidRegex(studyError != nullptr ? studyError : "no study block");
    }
    if (limited) {
      limit(*studied);
    }
  }
  return Regex(compiled, studied);
}

std::int32_t matchOrFind(std::string_view text, const Regex& regex, std::span<std::string> captures,
                         std::int64_t start, int options) {
  const std::int32_t length = checkedInt32(static_cast<std::int64_t>(text.size()), "text length");
  const std::int32_t offset = checkedInt32(start, "start offset");
  const std::size_t slots = 3 * (captures.size() + 1);
  std::vector<int> offsets(slots, 0);
  const int status = pcre64::pcre_exec(
      regex.h(), regex.e(), subjectOf(text), length, offset, options, offsets.data(),
      checkedInt32(static_cast<std::int64_t>(slots), "offsets size"));
  if (status < 0) {
    return status;
  }
  for (int group = 1; group < status; ++group) {
    const auto first = offsets[2 * static_cast<std::size_t>(group)];
    const auto end = offsets[2 * static_cast<std::size_t>(group) + 1];
    auto& slot = captures[static_cast<std::size_t>(group - 1)];
    slot = first < 0 ? std::string()
                     : std::string(text.substr(static_cast<std::size_t>(first),
                                               static_cast<std::size_t>(end - first)));
  }
  return offsets[1] - offsets[0];
}

std::pair<std::int32_t, std::int32_t> findBounds(std::string_view text, const Regex& regex,
                                                 std::int64_t start) {
  const std::int32_t length = checkedInt32(static_cast<std::int64_t>(text.size()), "text length");
  const std::int32_t offset = checkedInt32(start, "start offset");
  int offsets[3] = {0, 0, 0};
  const int status =
      pcre64::pcre_exec(regex.h(), regex.e(), subjectOf(text), length, offset, 0, offsets, 3);
  if (status < 0) {
    return {status, 0};
  }
  return {offsets[0], offsets[1] - 1};
}

RegexMatch findMatch(std::string_view text, const Regex& regex, std::int64_t start,
                     std::size_t groups) {
  const std::int32_t length = checkedInt32(static_cast<std::int64_t>(text.size()), "text length");
  const std::int32_t offset = checkedInt32(start, "start offset");
  std::vector<int> offsets(3 * (groups + 1), 0);
  RegexMatch match;
  match.status =
      pcre64::pcre_exec(regex.h(), regex.e(), subjectOf(text), length, offset, 0, offsets.data(),
                        checkedInt32(static_cast<std::int64_t>(offsets.size()), "offsets size"));
  if (!match.found()) {
    return match;
  }
  // Status 0: more groups than slots, every slot filled; else the groups that were set.
  const auto set = match.status == 0 ? groups + 1 : static_cast<std::size_t>(match.status);
  match.groups.resize(groups + 1);
  for (std::size_t group = 0; group < set; ++group) {
    const int first = offsets[2 * group];
    const int end = offsets[2 * group + 1];
    if (first >= 0) {
      match.groups[group] = std::string(
          text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first)));
    }
  }
  match.start = static_cast<std::size_t>(offsets[0]);
  match.end = static_cast<std::size_t>(offsets[1]);
  return match;
}

std::string replace(std::string_view text, const Regex& regex, std::string_view by) {
  std::string result;
  std::size_t p = 0;
  while (p < text.size()) {
    const auto [first, last] = findBounds(text, regex, static_cast<std::int64_t>(p));
    if (first < 0) {
      break;
    }
    result.append(text.substr(p, static_cast<std::size_t>(first) - p));
    result.append(by);
    const auto next = static_cast<std::size_t>(std::int64_t{last} + 1);
    if (next == p) {
      break;  // an empty match at p would never advance
    }
    p = next;
  }
  result.append(text.substr(p));
  return result;
}

const BindingGroup& pcreBindings() {
  using namespace pcre64;
  static const BindingGroup group{kPcreLibraryName,
                                  {PLATFORM_PCRE_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

}  // namespace platform
