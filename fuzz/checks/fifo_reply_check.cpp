// The GTK channel's reading of a reply: whatever bytes SciTE wrote to the reply FIFO, cut
// anywhere, made into the reply SciTE for Windows sends.
#include <string>
#include <string_view>
#include <vector>

#include "director/escapes.h"
#include "director/gtk/reply.h"
#include "fuzz/checks/check.h"

namespace fuzz {

namespace {

// The bytes that end a reply for some reader of it: a line break for the FIFO's, a NUL for the
// reply handler's, which reads up to the first one.
constexpr std::string_view kReplyEnds("\r\n\0", 3);

void checkRead(std::string_view raw) {
  // Exactly the bytes read, in a block of their own, so that a read past them is a finding.
  const std::vector<char> bytes(raw.begin(), raw.end());
  const std::string received = director::gtk::addressedReply({bytes.data(), bytes.size()});
  if (raw.empty()) {
    expect(received.empty(), "nothing read is no reply");
    return;
  }
  expect(received.starts_with(":0:"), "a reply starts with the address SciTE for Windows gives");
  const std::string_view text = std::string_view(received).substr(3);
  const std::string_view line = raw.ends_with('\n') ? raw.substr(0, raw.size() - 1) : raw;
  expect(director::unescapeReply(text) == line,
         "the reply unescapes to exactly the bytes read, less their closing line break");
  expect(text.find_first_of(kReplyEnds) == std::string_view::npos,
         "no byte of the reply could end it early");
}

}  // namespace

void checkFifoReply(Bytes input) {
  const std::string_view raw = asText(input);
  for (std::size_t cut = 0; cut <= raw.size(); ++cut) {
    checkRead(raw.substr(0, cut));
  }
}

}  // namespace fuzz
