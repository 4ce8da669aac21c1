// The recent searches as a run keeps them, in SciTE and on the disk.
#include "companion/recent/recent.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "companion/run.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;
using test_support::FakeScite;
using test_support::kRecentAsks;
using test_support::steps;

struct RememberCase {
  const char* name;
  std::string also;  // key=value lines: properties more where SciTE keeps find strings on disk
  std::optional<std::string> fileBefore;
  std::string steps;
  std::optional<std::string> fileAfter;
  std::optional<std::string> writeFails;
  ExitCode code = ExitCode::Opened;
};

// How the recent searches are wired into a run; their rules have the History tables.
TEST(SearchSelection, RemembersEverySearchMade) {
  const std::string file = "/home/me/.websearch.history";
  const std::string list = "websearch.history.searches=\x1F";
  const RememberCase cases[] = {
      {"first in this SciTE: the file read, the search put first in both", "", "b\nfetch\nc\n",
       kRecentAsks + "remember:fetch|b|c", "fetch\nb\nc\n"},
      {"SciTE's list taken over the file", list + "b", "old\n", kRecentAsks + "remember:fetch|b",
       "fetch\nb\n"},
      {"already the newest: nothing written", list + "fetch\x1F" + "b", std::nullopt,
       kRecentAsks.substr(0, kRecentAsks.size() - 1), std::nullopt},
      {"SciTE keeps no find strings: no file read or written", "save.recent=", "b\n",
       kRecentAsks + "remember:fetch", "b\n"},
      {"no file yet, and one that cannot be written is said", "", std::nullopt,
       kRecentAsks + "remember:fetch say:!> The recent searches could not be kept in " + file +
           ": Permission denied.",
       std::nullopt, "Permission denied"},
      {"a list from the file, already the newest: still set in SciTE, the file not written, so a "
       "read-only one says nothing",
       "", "fetch\nb\n", kRecentAsks + "remember:fetch|b", "fetch\nb\n", "Permission denied"},
      {"no user folder: no file written", "SciteUserHome=", std::nullopt,
       kRecentAsks + "remember:fetch", std::nullopt},
      {"kept on disk for save.session alone", "save.recent=\nsave.session=1", std::nullopt,
       kRecentAsks + "remember:fetch", "fetch\n"},
      {"kept on disk for save.position alone", "save.recent=\nsave.position=1", std::nullopt,
       kRecentAsks + "remember:fetch", "fetch\n"},
      {"a partly opened group remembered",
       "websearch.engines=G\nwebsearch.group.G=A B\nwebsearch.engine.A=https://a.example/?q={query}"
       "\nwebsearch.engine.B=https://b.example/?q={query}\nwebsearch.browser.B=/usr/bin/nosuch",
       std::nullopt,
       "say:+> Search: https://b.example/?q=fetch say:!> Could not start /usr/bin/nosuch "
       "(websearch.browser.B) for https://b.example/?q=fetch: No such file or directory. " +
           kRecentAsks + "remember:fetch",
       "fetch\n", std::nullopt, ExitCode::PartlyOpened},
      {"not remembered when the browser did not start", "websearch.browser=/usr/bin/nosuch",
       std::nullopt,
       "say:!> Could not start /usr/bin/nosuch (websearch.browser): No such file or directory. "
       "Nothing opened.",
       std::nullopt, std::nullopt, ExitCode::OpenFailed},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    scite.answers["extender.result"] = {"<@@>65001<@@>1<@@>65001<@@><@@>"};
    std::istringstream settings("save.find=1\nsave.recent=1\nSciteUserHome=/home/me\n" + c.also);
    for (std::string setting; std::getline(settings, setting);) {
      const std::size_t equals = setting.find('=');
      scite.answers[setting.substr(0, equals)] = {setting.substr(equals + 1)};
    }
    test_support::Handed handed{.failing = {"/usr/bin/nosuch"}, .writeFails = c.writeFails};
    if (c.fileBefore) {
      handed.files[file] = *c.fileBefore;
    }
    companion::RunSystem system = test_support::recordingSystem(handed);
    system.editor = companion::EditorKind::gtk;
    EXPECT_EQ(companion::searchSelection(scite, "fetch", system), c.code) << c.name;
    std::string after = steps(scite);
    after = after.substr(after.find("q=fetch") + 7);
    after = after.empty() ? after : after.substr(1);
    std::map<std::string, std::string, std::less<>> filesAfter;
    if (c.fileAfter) {
      filesAfter[file] = *c.fileAfter;
    }
    // The commands after the search line, and every file afterwards.
    EXPECT_EQ(std::pair(after, handed.files), std::pair(c.steps, filesAfter)) << c.name;
  }
}

}  // namespace
