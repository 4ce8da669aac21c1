// The document asked in one exchange: what its Lua looks up for the settings of the extension.
#include "companion/scite/document.h"

#include <gtest/gtest.h>

#include "companion/run.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using test_support::FakeScite;

// The document's Lua looks up each setting of the extension, in the extension's lower case, so
// that the fields say which to ask: what the fake SciTE answers for it.
TEST(SearchSelection, TheDocumentsLuaSaysWhichSettingsOfTheExtensionAreSet) {
  FakeScite scite;
  test_support::Handed handed;
  companion::RunSystem system = test_support::recordingSystem(handed);
  system.editor = companion::EditorKind::gtk;
  (void)companion::searchSelection(scite, "x", system);
  const test_support::LuaCase rows[] = {
      {"each setting an extension adds, by its general key", "document",
       "ipairs({'websearch.engines', 'websearch.url', 'websearch.ask', })",
       "px = px .. ((x ~= '' and props[k .. '.' .. x] ~= '') and 1 or 0)"},
      {"the extension in lower case, ASCII only", "document",
       "local x = props['FileExt']:gsub('[A-Z]', string.lower)", "ipairs("},
  };
  test_support::expectLua(scite, rows);
}

}  // namespace
