// Reading and writing the stand-in's "key=value" settings.
#include "scenario.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <utility>

#include "escapes.h"

namespace standin {

namespace {

constexpr std::array<std::pair<std::string_view, Fault>, 6> kFaults = {{
    {"none", Fault::none},
    {"no-reply", Fault::noReply},
    {"no-prefix", Fault::noPrefix},
    {"embedded-nul", Fault::embeddedNul},
    {"short-cbdata", Fault::shortCbData},
    {"reply-all", Fault::replyAll},
}};

[[noreturn]] void bad(std::string_view setting) {
  throw std::invalid_argument("bad setting: " + std::string(setting));
}

std::int64_t number(std::string_view value, std::string_view setting) {
  std::int64_t result = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
  if (error != std::errc() || end != value.data() + value.size()) {
    bad(setting);
  }
  return result;
}

bool flag(std::string_view value, std::string_view setting) {
  if (value == "yes" || value == "1" || value == "true") {
    return true;
  }
  if (value == "no" || value == "0" || value == "false") {
    return false;
  }
  bad(setting);
}

Fault fault(std::string_view value, std::string_view setting) {
  for (const auto& [name, kind] : kFaults) {
    if (name == value) {
      return kind;
    }
  }
  bad(setting);
}

std::string_view faultName(Fault kind) {
  for (const auto& [name, each] : kFaults) {
    if (each == kind) {
      return name;
    }
  }
  return "none";
}

}  // namespace

void applySetting(Options& options, std::string_view setting) {
  const auto equals = setting.find('=');
  if (equals == std::string_view::npos) {
    bad(setting);
  }
  const std::string_view key = setting.substr(0, equals);
  const std::string value = decodeValue(setting.substr(equals + 1));
  if (key == "document") {
    options.document = value;
  } else if (key == "anchor") {
    options.anchor = number(value, setting);
  } else if (key == "caret") {
    options.caret = number(value, setting);
  } else if (key == "style") {
    options.style = static_cast<int>(number(value, setting));
  } else if (key == "file") {
    options.file = value;
  } else if (key == "property") {
    const auto split = value.find('=');
    if (split == std::string::npos) {
      bad(setting);
    }
    options.properties[value.substr(0, split)] = value.substr(split + 1);
  } else if (key == "foreground") {
    options.foreground = flag(value, setting);
  } else if (key == "reply-counts-nul") {
    options.replyCountsNul = flag(value, setting);
  } else if (key == "fault") {
    options.fault = fault(value, setting);
  } else if (key == "extra-directors") {
    options.extraDirectors = static_cast<int>(number(value, setting));
  } else if (key == "parented-director") {
    options.parentedDirector = flag(value, setting);
  } else if (key == "mode") {
    if (value != "director-only" && value != "scite") {
      bad(setting);
    }
    options.directorOnly = value == "director-only";
  } else if (key == "timeout") {
    options.timeoutMs = number(value, setting);
  } else if (key == "lua-startup") {
    options.startupLua = value;
  } else {
    bad(setting);
  }
}

void applyScenario(Options& options, std::string_view fileText) {
  while (!fileText.empty()) {
    const auto end = fileText.find('\n');
    std::string_view line = fileText.substr(0, end);
    fileText = end == std::string_view::npos ? std::string_view() : fileText.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (!line.empty() && line.front() != '#') {
      applySetting(options, line);
    }
  }
}

PropertyMap startingProperties(const Options& options) {
  PropertyMap properties = options.properties;
  if (!options.file.empty()) {
    const std::string name = options.file.substr(options.file.find_last_of("\\/") + 1);
    const auto dot = name.rfind('.');
    properties.try_emplace("FilePath", options.file);
    properties.try_emplace("FileNameExt", name);
    properties.try_emplace("FileExt", dot == std::string::npos ? "" : name.substr(dot + 1));
  }
  return properties;
}

std::string scenarioText(const Options& options) {
  const auto yesNo = [](bool value) { return value ? "yes" : "no"; };
  std::string text = "document=" + encodeValue(options.document) + "\n";
  text += "anchor=" + std::to_string(options.anchor) + "\n";
  text += "caret=" + std::to_string(options.caret) + "\n";
  text += "style=" + std::to_string(options.style) + "\n";
  if (!options.file.empty()) {
    text += "file=" + encodeValue(options.file) + "\n";
  }
  for (const auto& [key, value] : options.properties) {
    text += "property=" + encodeValue(key + "=" + value) + "\n";
  }
  text += std::string("foreground=") + yesNo(options.foreground) + "\n";
  text += std::string("reply-counts-nul=") + yesNo(options.replyCountsNul) + "\n";
  text += "fault=" + std::string(faultName(options.fault)) + "\n";
  text += "extra-directors=" + std::to_string(options.extraDirectors) + "\n";
  text += std::string("parented-director=") + yesNo(options.parentedDirector) + "\n";
  text += std::string("mode=") + (options.directorOnly ? "director-only" : "scite") + "\n";
  text += "timeout=" + std::to_string(options.timeoutMs) + "\n";
  if (!options.startupLua.empty()) {
    text += "lua-startup=" + encodeValue(options.startupLua) + "\n";
  }
  return text;
}

}  // namespace standin
