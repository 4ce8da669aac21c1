// Writing and reading the transcript and properties files.
#include "results.h"

#include <charconv>
#include <stdexcept>

#include "escapes.h"

namespace standin {

namespace {

// The value of " name=<value>" in a header line.
std::string_view field(std::string_view header, std::string_view name) {
  std::string key = " ";
  key += name;
  key += '=';
  const auto at = header.find(key);
  if (at == std::string_view::npos) {
    throw std::invalid_argument("transcript header without " + std::string(name));
  }
  const auto start = at + key.size();
  return header.substr(start, header.find(' ', start) - start);
}

template <typename Number>
Number numberField(std::string_view header, std::string_view name) {
  const std::string_view text = field(header, name);
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw std::invalid_argument("transcript header with a bad " + std::string(name));
  }
  return value;
}

}  // namespace

std::string transcriptRecord(const FrameRecord& frame) {
  std::string record = "frame window=";
  record += frame.window;
  record += " cbData=";
  record += std::to_string(frame.cbData);
  record += " dwData=";
  record += std::to_string(frame.dwData);
  record += " wParam=";
  record += std::to_string(frame.wParam);
  record += '\n';
  record += frame.bytes;
  record += '\n';
  return record;
}

std::vector<FrameRecord> parseTranscript(std::string_view text) {
  std::vector<FrameRecord> frames;
  while (!text.empty()) {
    const auto lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos || !text.starts_with("frame ")) {
      throw std::invalid_argument("damaged transcript");
    }
    const std::string_view header = text.substr(0, lineEnd);
    FrameRecord frame;
    frame.window = std::string(field(header, "window"));
    frame.cbData = numberField<std::uint32_t>(header, "cbData");
    frame.dwData = numberField<std::uint64_t>(header, "dwData");
    frame.wParam = numberField<std::uint64_t>(header, "wParam");
    text.remove_prefix(lineEnd + 1);
    if (text.size() < std::size_t{frame.cbData} + 1 || text[frame.cbData] != '\n') {
      throw std::invalid_argument("transcript cut short");
    }
    frame.bytes = std::string(text.substr(0, frame.cbData));
    text.remove_prefix(std::size_t{frame.cbData} + 1);
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::string propertiesText(const PropertyMap& properties) {
  std::string text;
  for (const auto& [key, value] : properties) {
    // A '=' in a key would end it early when read back.
    std::string encodedKey;
    for (const char c : encodeValue(key)) {
      encodedKey += c == '=' ? std::string("\\x3D") : std::string(1, c);
    }
    text += encodedKey + "=" + encodeValue(value) + "\n";
  }
  return text;
}

PropertyMap parseProperties(std::string_view text) {
  PropertyMap properties;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto equals = line.find('=');
    if (equals != std::string_view::npos) {
      properties[decodeValue(line.substr(0, equals))] = decodeValue(line.substr(equals + 1));
    }
  }
  return properties;
}

}  // namespace standin
