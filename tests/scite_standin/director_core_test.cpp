// SciTE's handling of frames as the stand-in performs it: splitting, addresses, escapes, the
// commands, the answers and the fault modes. Lua is replaced by a recording extender here.
#include "director_core.h"

#include <gtest/gtest.h>

#include <vector>

#include "results.h"

namespace {

using namespace std::string_literals;
using standin::Fault;
using standin::Reply;

class RecordingExtender : public standin::Extender {
public:
  std::vector<std::string> runs;
  std::optional<std::string> error;

  std::optional<std::string> doString(std::string_view code) override {
    runs.emplace_back(code);
    return error;
  }
};

class Director : public ::testing::Test {
protected:
  void handle(std::string_view frame) {
    standin::DirectorCore core(state, options, &extender,
                               [this](const Reply& reply) { replies.push_back(reply); });
    core.handleFrame(frame);
  }

  standin::EditorState state;
  standin::Options options;
  RecordingExtender extender;
  std::vector<Reply> replies;
};

TEST_F(Director, OutputDecodesEscapes) {
  handle(":5:output:a\\nb \\\\ C:\\Tools\\x41!?\0ignored"s);
  EXPECT_EQ(state.output, "a\nb \\ C:ToolsA?");
  EXPECT_TRUE(replies.empty());
}

TEST_F(Director, RawLineBreaksSplitCommands) {
  handle(":5:output:one\r\n:6:property:k=v\rproperty:j=w\n\noutput:two");
  EXPECT_EQ(state.output, "onetwo");
  EXPECT_EQ(state.properties, (standin::PropertyMap{{"j", "w"}, {"k", "v"}}));
}

TEST_F(Director, PropertiesAreSetAndAskedFor) {
  handle(":7:property:a.b=x=y");
  handle(":7:property:empty=");
  handle(":7:property:no equals sign");
  EXPECT_EQ(state.properties, (standin::PropertyMap{{"a.b", "x=y"}, {"empty", ""}}));
  handle(":612:askproperty:a.b");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].target, 612);
  EXPECT_EQ(replies[0].bytes, ":612:macro:stringinfo:x=y");
  EXPECT_EQ(replies[0].cbData, replies[0].bytes.size());
  handle(":612:askproperty:missing");
  EXPECT_EQ(replies[1].bytes, ":612:macro:stringinfo:");
}

TEST_F(Director, AnswersAreEscapedWhole) {
  state.properties["sel"] = "a\r\nb\\c\x01\"\xC3\xA9";
  handle(":9:askproperty:sel");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].bytes, ":9:macro:stringinfo:a\\r\\nb\\\\c\\001\"\xC3\xA9");
}

TEST_F(Director, NoAddressNoAnswer) {
  state.properties["k"] = "v";
  handle("askproperty:k");
  handle(":x:askproperty:k");
  handle("::askproperty:k");
  EXPECT_TRUE(replies.empty());
  handle(":-3:askproperty:k\naskproperty:k");  // a later command keeps the address before it
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[1].target, -3);
}

TEST_F(Director, FaultModesShapeTheAnswer) {
  struct Case {
    Fault fault;
    bool countsNul;
    std::vector<std::string> bytes;
    std::vector<std::uint32_t> counts;
  };
  const std::string full = ":4:macro:stringinfo:value";
  const Case cases[] = {
      {Fault::none, false, {full}, {25}},
      {Fault::none, true, {full + "\0"s}, {26}},
      {Fault::noReply, false, {}, {}},
      {Fault::noPrefix, false, {"value"}, {5}},
      {Fault::embeddedNul, false, {full + "\0after-nul"s}, {35}},
      {Fault::shortCbData, false, {full}, {22}},
      {Fault::replyAll, false, {full, ":4:macro:echo:output:x"}, {25, 22}},
  };
  for (const Case& c : cases) {
    replies.clear();
    options.fault = c.fault;
    options.replyCountsNul = c.countsNul;
    state.properties["k"] = "value";
    handle(":4:askproperty:k\n:4:output:x");
    std::vector<std::string> bytes;
    std::vector<std::uint32_t> counts;
    for (const Reply& r : replies) {
      bytes.push_back(r.bytes);
      counts.push_back(r.cbData);
    }
    EXPECT_EQ(bytes, c.bytes) << static_cast<int>(c.fault);
    EXPECT_EQ(counts, c.counts) << static_cast<int>(c.fault);
  }
}

TEST_F(Director, ExtenderRunsDecodedLuaAndReportsFailures) {
  handle(":3:extender:dostring x = '[\\\\r\\\\n]' props['k']=f()");
  EXPECT_EQ(extender.runs, std::vector<std::string>{"x = '[\\r\\n]' props['k']=f()"});
  EXPECT_TRUE(replies.empty());
  extender.error = "[string \"nope()\"]:1: attempt to call a nil value (global 'nope')";
  handle(":3:extender:dostring nope()");
  EXPECT_EQ(state.output, *extender.error + "\n");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].bytes, ":3:macro:run:dostring nope()");
  handle(":3:extender:somethingElse");
  EXPECT_EQ(extender.runs.size(), 2u);
  EXPECT_EQ(replies.size(), 2u);
}

TEST(Scenario, SettingsRoundTrip) {
  standin::Options options;
  standin::applyScenario(options,
                         "# a comment\r\ndocument=a\\nb\\\\c\r\n\r\nanchor=1\ncaret=3\n"
                         "property=extender.result=x\\x3Dy\nfault=short-cbdata\nforeground=no\n"
                         "extra-directors=2\nparented-director=yes\ntimeout=500\nstyle=4\n");
  EXPECT_EQ(options.document, "a\nb\\c");
  EXPECT_EQ(options.anchor, 1);
  EXPECT_EQ(options.caret, 3);
  EXPECT_EQ(options.properties.at("extender.result"), "x=y");
  EXPECT_EQ(options.fault, Fault::shortCbData);
  EXPECT_FALSE(options.foreground);
  EXPECT_EQ(options.extraDirectors, 2);
  EXPECT_TRUE(options.parentedDirector);
  EXPECT_EQ(options.timeoutMs, 500);
  standin::Options again;
  standin::applyScenario(again, standin::scenarioText(options));
  EXPECT_EQ(standin::scenarioText(again), standin::scenarioText(options));
  EXPECT_EQ(again.document, options.document);
}

TEST(Scenario, FilePropertiesComeFromTheFileName) {
  struct Case {
    std::string_view settings;
    std::string_view fileExt;
    std::string_view fileNameExt;
  };
  const Case cases[] = {
      {"file=C:\\\\docs\\\\script.py", "py", "script.py"},
      {"file=C:\\\\v1.2\\\\Makefile", "", "Makefile"},  // a dot only in the folder
      {"file=/src/archive.tar.gz", "gz", "archive.tar.gz"},
      {"file=C:\\\\notes.", "", "notes."},
      {"file=x.py\nproperty=FileExt=txt", "txt", "x.py"},  // set explicitly
      {"document=untitled", "", ""},
  };
  for (const Case& c : cases) {
    standin::Options options;
    standin::applyScenario(options, c.settings);
    const standin::PropertyMap properties = standin::startingProperties(options);
    const auto value = [&](const char* key) {
      const auto found = properties.find(key);
      return found == properties.end() ? std::string() : found->second;
    };
    EXPECT_EQ(value("FileExt"), c.fileExt) << c.settings;
    EXPECT_EQ(value("FileNameExt"), c.fileNameExt) << c.settings;
    standin::Options again;
    standin::applyScenario(again, standin::scenarioText(options));
    EXPECT_EQ(standin::startingProperties(again), properties) << c.settings;
  }
}

TEST(Scenario, RefusesWhatItDoesNotKnow) {
  const char* bad[] = {"nonsense",    "colour=red",         "anchor=x",   "anchor=1x",
                       "fault=maybe", "foreground=perhaps", "mode=other", "property=noequals"};
  for (const char* setting : bad) {
    standin::Options options;
    EXPECT_THROW(standin::applySetting(options, setting), std::invalid_argument) << setting;
  }
}

TEST(Results, TranscriptKeepsRawBytes) {
  const std::vector<standin::FrameRecord> frames = {
      {"director", 7, 1, 612, ":612:a\0"s},
      {"parented", 4, 0, 0, "\n\r\n\0"s},
      {"main", 0, 1, 5, ""},
  };
  std::string text;
  for (const auto& frame : frames) {
    text += standin::transcriptRecord(frame);
  }
  const auto parsed = standin::parseTranscript(text);
  ASSERT_EQ(parsed.size(), frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(parsed[i].window, frames[i].window);
    EXPECT_EQ(parsed[i].bytes, frames[i].bytes);
    EXPECT_EQ(parsed[i].cbData, frames[i].cbData);
    EXPECT_EQ(parsed[i].dwData, frames[i].dwData);
    EXPECT_EQ(parsed[i].wParam, frames[i].wParam);
  }
  EXPECT_THROW((void)standin::parseTranscript(text.substr(0, text.size() - 2)),
               std::invalid_argument);
}

TEST(Results, PropertiesKeepEveryByte) {
  const standin::PropertyMap properties = {{"a=b", "x\ny"}, {"empty", ""}, {"k", "\\\0\t"s}};
  EXPECT_EQ(standin::parseProperties(standin::propertiesText(properties)), properties);
}

}  // namespace
