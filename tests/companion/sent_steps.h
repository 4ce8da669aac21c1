// A run's commands to the fake SciTE by what they do, and the Lua a step sends, for the tables
// that follow a run over it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "companion/settings/next_search.h"
#include "tests/support/fake_scite.h"

namespace test_support {

inline constexpr std::uint32_t kProcessId = 4242;
inline const std::string kState = "websearch.state." + std::to_string(kProcessId);
// What every run asks after its settings: whether to show the strip. The recent searches, and
// where SciTE keeps its find strings, only once the strip shows or the search has been handed on.
inline const std::string kStripAsks = "ask:websearch.ask ";
inline const std::string kRecentAsks =
    "ask:websearch.history.searches ask:websearch.history.size ask:save.find ask:save.session "
    "ask:save.recent ask:save.position ask:SciteUserHome ";

inline bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// `label` then `rest`, appended: GCC 12's -O3 misjudges "literal" + std::string as overlapping.
inline std::string labelled(std::string_view label, std::string_view rest) {
  std::string text(label);
  text += rest;
  return text;
}

// A command by what it does; one that is none of these, whole.
inline std::string step(const SentCommand& sent) {
  constexpr std::string_view kDoString = "extender:dostring ";
  const std::string_view command = sent.command;
  if (sent.expectReply && command.starts_with("askproperty:")) {
    const std::string key(command.substr(12));
    if (key.starts_with("websearch.next.")) {
      return key == companion::kNextEngineKey ? "next" : "";  // the four asked as one
    }
    return labelled("ask:", key == kState ? "state" : key);
  }
  if (!sent.expectReply && command.starts_with("property:") && command.ends_with('=')) {
    const std::string key(command.substr(9, command.size() - 10));
    if (key.starts_with("websearch.next.")) {
      return key == companion::kNextEngineKey ? "empty:next" : "";  // the four emptied as one
    }
    return labelled("empty:", key);
  }
  constexpr std::string_view kRemember = "property:websearch.history.searches=\x1F";
  if (!sent.expectReply && command.starts_with(kRemember)) {
    std::string searches(command.substr(kRemember.size()));
    std::replace(searches.begin(), searches.end(), '\x1F', '|');
    return labelled("remember:", searches);
  }
  if (!sent.expectReply && command.starts_with("output:") && command.ends_with("\\n")) {
    return labelled("say:", command.substr(7, command.size() - 9));
  }
  if (!sent.expectReply && command.starts_with(kDoString)) {
    if (contains(command, "editor:CopyText(")) {
      return labelled("copy:", command.substr(command.find('(') + 1));
    }
    for (const auto& [marker, name] : {std::pair{"scite.StripShow('')", "strip-tidy"},
                                       {"StripSetList(1,", "strip-recent"},
                                       {"scite.StripSet(", "strip"},
                                       {"editor.Focus", "strip-look"},
                                       {"UserListShow(", "show"},
                                       {"AutoCCancel()", "tidy"},
                                       {"] = state", "look"},
                                       {"WordStartPosition", "word"},
                                       {"GetSelText", "selection"},
                                       {"props['FileExt']", "document"}}) {
      if (contains(command, marker)) {
        return name;
      }
    }
  }
  return labelled(labelled("?", sent.command), sent.expectReply ? " (reply)" : "");
}

inline std::string steps(const FakeScite& scite) {
  std::string out;
  for (const SentCommand& sent : scite.sent) {
    const std::string name = step(sent);
    if (!name.empty()) {
      out += out.empty() ? "" : " ";
      out += name;
    }
  }
  return out;
}

struct LuaCase {
  const char* name;
  std::string_view step;
  std::string_view first;
  std::string_view then;  // after `first` in the same Lua
};

// Each case's step sent, holding `first` and then `then`.
inline void expectLua(const FakeScite& scite, std::span<const LuaCase> cases) {
  for (const auto& c : cases) {
    const auto sent = std::find_if(scite.sent.begin(), scite.sent.end(),
                                   [&](const SentCommand& s) { return step(s) == c.step; });
    ASSERT_NE(sent, scite.sent.end()) << c.name;
    const auto first = sent->command.find(c.first);
    ASSERT_NE(first, std::string::npos) << c.name;
    EXPECT_TRUE(contains(std::string_view(sent->command).substr(first + c.first.size()), c.then))
        << c.name;
  }
}

}  // namespace test_support
