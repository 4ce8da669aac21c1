// A file's whole text replaced at once, so that a reader or a crash never sees half of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Writes `text` to a temporary file of a unique name beside `path`, readable by its owner only,
// flushes it to the disk and renames it over `path`. Why it failed, or nothing; a failure leaves
// `path` as it was and no temporary file behind.
[[nodiscard]] std::optional<std::string> replaceFile(const std::string& path,
                                                     std::string_view text);

}  // namespace platform
