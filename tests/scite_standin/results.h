// The files a stand-in run leaves for tests: the transcript of every frame it received, and
// its properties. Both sides use these functions, so the formats live in one place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scenario.h"

namespace standin {

// One WM_COPYDATA frame as a stand-in window received it.
struct FrameRecord {
  std::string window;  // "director", "parented" or "main"
  std::uint32_t cbData = 0;
  std::uint64_t dwData = 0;
  std::uint64_t wParam = 0;
  std::string bytes;  // exactly cbData bytes
};

// "frame window=<w> cbData=<n> dwData=<n> wParam=<n>\n", the raw bytes, "\n".
[[nodiscard]] std::string transcriptRecord(const FrameRecord& frame);
// Raises std::invalid_argument for a damaged transcript.
[[nodiscard]] std::vector<FrameRecord> parseTranscript(std::string_view text);

// "key=<encodeValue(value)>\n" per property, in key order.
[[nodiscard]] std::string propertiesText(const PropertyMap& properties);
[[nodiscard]] PropertyMap parseProperties(std::string_view text);

}  // namespace standin
