// The document asked in one exchange: what its Lua, run in a real Lua over the stand-in's editor,
// gives for the document, a command's one-shot values and the settings of the extension.
#include "companion/scite/document.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using test_support::FakeScite;

struct DocumentCase {
  const char* name;
  standin::PropertyMap properties;  // SciTE's, as its Lua sees them
  companion::Document document;
};

TEST(Document, TheLuasFieldsReadBackInTheirOrder) {
  const companion::EditorCodePages utf8{.document = 65001, .characterSet = 1, .output = 65001};
  const DocumentCase cases[] = {
      {"nothing set", {}, {.pages = utf8}},
      {"a command's values: that one is set, and the engine it names",
       {{"websearch.next.text", "x"}, {"websearch.next.engine", "B"}},
       {.pages = utf8, .nextSet = true, .nextEngine = "B"}},
      {"the link lists set, the extension's in its lower case",
       {{"FileExt", "PY"}, {"websearch.links", "T"}, {"websearch.links.py", "CVE"}},
       {.pages = utf8,
        .extension = "PY",
        .linkListsSet = {"websearch.links.py", "websearch.links"},
        .linkNames = {"CVE"}}},
      {"a link list with more than names and blanks: no names, the list asked as it is",
       {{"websearch.links", "T C#"}},
       {.pages = utf8, .linkListsSet = {"websearch.links"}}},
      {"the settings of the extension that are set, looked up in its lower case",
       {{"FileExt", "PY"}, {"websearch.url.py", "https://p.example/?q={query}"}},
       {.pages = utf8, .extension = "PY", .extensionSettings = {"websearch.url.py"}}},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    standin::EditorState state{.properties = c.properties};
    scite.runLuaIn(state);
    const auto asked = companion::askDocument(scite, companion::DocumentText::none);
    EXPECT_EQ(asked.document, std::optional(c.document)) << c.name;
    EXPECT_EQ(scite.luaErrors, std::vector<std::string>()) << c.name;
  }
}

}  // namespace
