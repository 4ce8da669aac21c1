// A named charset's bytes to UTF-8 through iconv, the way the GTK editor draws them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// `bytes` in iconv's `charset` as UTF-8. A byte iconv refuses becomes its Latin-1 character, and
// so does every byte when iconv does not know the charset, as the editor draws them. Nothing when
// the text ends inside a character (a lead byte without its trail byte), which has none at all.
[[nodiscard]] std::optional<std::string> utf8FromCharset(std::string_view bytes,
                                                         std::string_view charset);

}  // namespace platform
