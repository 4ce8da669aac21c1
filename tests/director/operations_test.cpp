// The editor operations' command texts, in order, and the parsing of a Lua selection result.
#include "director/operations.h"

#include <gtest/gtest.h>

#include <functional>

#include "director/snippets.h"
#include "director/win32/channel.h"
#include "fake_desktop.h"
#include "platform/errors.h"

namespace {

using director::LuaSelection;
using director::received;
using director_test::ClientStateGuard;
using director_test::FakeDesktop;
using director_test::FakeReply;
using director_test::handle;

using Commands = std::vector<std::string>;

class Operations : public ::testing::Test {
protected:
  void SetUp() override {
    director_test::bindPatternEngine();
    director::hRecv = handle(612);
    desktop.addSciTE();
  }

  // SciTE's answer to "askproperty:extender.result", with its address prefix.
  void answerResultWith(std::string value) {
    desktop.answer = [value](const std::string& command) -> std::optional<FakeReply> {
      if (command != "askproperty:extender.result") {
        return std::nullopt;
      }
      return FakeReply{":612:macro:stringinfo:" + value, std::nullopt, false};
    };
  }

  ClientStateGuard state;
  FakeDesktop desktop;
};

TEST_F(Operations, SendExactCommandTexts) {
  struct Case {
    const char* name;
    std::function<bool()> run;
    Commands expected;
  };
  const std::string snippetCall = std::string("extender:dostring ") +
                                  std::string(director::LuaGetSelection) +
                                  " props['extender.result']=getSel()";
  const Case cases[] = {
      {"clear",
       [] { return director::ClearOutput(); },
       {"extender:dostring do output:ClearAll() end"}},
      {"output, no line end", [] { return director::OutputConsole("", false); }, {"output:"}},
      {"output with line end", [] { return director::OutputConsole("x", true); }, {"output:x\\n"}},
      {"output keeps backslashes",
       [] { return director::OutputConsole("C:\\T", false); },
       {"output:C:\\T"}},
      {"ask", [] { return director::GetProperty("a.b"); }, {"askproperty:a.b"}},
      {"set", [] { return director::SetProperty("k", "v=w"); }, {"property:k=v=w"}},
      {"set empty", [] { return director::SetProperty("k", ""); }, {"property:k="}},
      {"run getSel",
       [] { return director::LuaFuncRun(director::LuaGetSelection, ""); },
       {snippetCall}},
      {"run local function",
       [] { return director::LuaFuncRun("local function g(a, b) return a end", "1, 'x'"); },
       {"extender:dostring local function g(a, b) return a end props['extender.result']=g(1, "
        "'x')"}},
      {"run assigned function",
       [] { return director::LuaFuncRun("local f = function(a) return a end", "1"); },
       {"extender:dostring local f = function(a) return a end props['extender.result']=f(1)"}},
      {"name keeps its blank",
       [] { return director::LuaFuncRun("function foo (x) return x end", "2"); },
       {"extender:dostring function foo (x) return x end props['extender.result']=foo (2)"}},
      {"currPos ends with a blank",
       [] { return director::LuaFuncRun(director::LuaCurrPos, "5"); },
       {"extender:dostring " + std::string(director::LuaCurrPos) +
        " props['extender.result']=currPos(5)"}},
  };
  for (const Case& c : cases) {
    desktop.frames.clear();
    EXPECT_TRUE(c.run()) << c.name;
    EXPECT_EQ(desktop.commands(), c.expected) << c.name;
  }
  // LuaCurrPos ends with a blank, so two blanks stand before props.
  EXPECT_TRUE(
      cases[11].expected[0].ends_with("return result end  props['extender.result']=currPos(5)"));
}

TEST_F(Operations, LuaFuncRunWithoutAFunctionNameSendsNothing) {
  const char* codes[] = {"",
                         " function f() end",
                         "return 1",
                         "f = function (a) end",
                         "Function f() end",
                         "x = 1 function f() end"};
  for (const char* code : codes) {
    EXPECT_FALSE(director::LuaFuncRun(code, "")) << code;
  }
  EXPECT_TRUE(desktop.frames.empty());
}

TEST_F(Operations, NothingIsSentWithoutSciTEInFront) {
  desktop.foreground = 99;
  received = "kept";
  EXPECT_FALSE(director::ClearOutput());
  EXPECT_FALSE(director::OutputConsole("x", true));
  EXPECT_FALSE(director::GetProperty("k"));
  EXPECT_FALSE(director::SetProperty("k", "v"));
  EXPECT_FALSE(director::LuaFuncRun(director::LuaGetSelection, ""));
  EXPECT_TRUE(desktop.frames.empty());
  EXPECT_EQ(received, "kept");
}

TEST_F(Operations, GetPropertyLeavesTheValueInReceived) {
  desktop.answer = [](const std::string& command) -> std::optional<FakeReply> {
    return FakeReply{":612:macro:stringinfo:" + command.substr(12) + "-value", std::nullopt, false};
  };
  EXPECT_TRUE(director::GetProperty("colour"));
  EXPECT_EQ(received, "colour-value");
  desktop.answer = nullptr;
  EXPECT_TRUE(director::GetProperty("silent"));
  EXPECT_EQ(received, "");
}

TEST_F(Operations, LuaFuncGetFetchesParsesAndEmptiesTheResult) {
  answerResultWith("two words<@@>9");
  LuaSelection selection{"old", 1};
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
  EXPECT_EQ(selection.text, "two words");
  EXPECT_EQ(selection.length, 9);
  const Commands expected = {"extender:dostring " + std::string(director::LuaGetSelection) +
                                 " props['extender.result']=getSel()",
                             "askproperty:extender.result", "property:extender.result="};
  EXPECT_EQ(desktop.commands(), expected);
  EXPECT_EQ(received, "");
}

TEST_F(Operations, LuaFuncGetWrapsABareExpression) {
  struct Case {
    std::string code;
    std::string firstCommand;
  };
  const Case cases[] = {
      {"editor.CurrentPos",
       "extender:dostring function f() return editor.CurrentPos end "
       "props['extender.result']=f()"},
      {"", "extender:dostring function f() return  end props['extender.result']=f()"},
  };
  for (const Case& c : cases) {
    desktop.frames.clear();
    std::string seen = "unset";
    director::LuaFuncGet(
        c.code, [&seen](std::string& out) { out = received; }, "", seen);
    EXPECT_EQ(desktop.commands(), (Commands{c.firstCommand, "askproperty:extender.result"}));
  }
}

TEST_F(Operations, ParserRunsOnceEvenWhenNothingCouldBeRun) {
  // Contains "function", so it is not wrapped; neither pattern finds a name in it.
  const std::string code = "type(x) == 'function'";
  int calls = 0;
  int record = 0;
  director::LuaFuncGet(
      code, [&calls](int& r) { r = ++calls; }, "", record);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(record, 1);
  EXPECT_EQ(desktop.commands(), Commands{"askproperty:extender.result"});

  desktop.foreground = 99;  // SciTE out of reach: still exactly one parser call
  received = "abc<@@>3";
  LuaSelection selection;
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
  EXPECT_EQ(selection.text, "abc");
  EXPECT_EQ(selection.length, 3);
}

TEST_F(Operations, LuaFuncGetReadsTheLastReply) {
  // A SciTE that answers every command: only the askproperty answer is parsed.
  desktop.answer = [](const std::string& command) -> std::optional<FakeReply> {
    if (command == "askproperty:extender.result") {
      return FakeReply{":612:macro:stringinfo:sel<@@>3", std::nullopt, false};
    }
    return FakeReply{":612:macro:echo:" + command.substr(0, 8), std::nullopt, false};
  };
  LuaSelection selection;
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
  EXPECT_EQ(selection, (LuaSelection{"sel", 3}));
  EXPECT_EQ(received, "property");  // the answer to the emptying command
}

TEST_F(Operations, ParseLuaSelection) {
  struct Case {
    std::string reply;
    std::string text;
    std::int64_t length;
    bool emptied;
  };
  const Case cases[] = {
      {"abc<@@>3", "abc", 3, true},
      {"<@@>0", "", 0, true},
      {"abc<@@>+1_000", "abc", 1000, true},
      {"a\\r\\nb<@@>-7", "a\\r\\nb", -7, true},
      {"abc", "", 0, false},
      {"", "", 0, false},
      {"a<@@>b<@@>3", "", 0, false},
      {"<@@><@@>", "", 0, false},
      {"<@@", "", 0, false},
  };
  for (const Case& c : cases) {
    desktop.frames.clear();
    received = c.reply;
    LuaSelection selection{"old", 99};
    director::ParseLuaSelection(selection);
    EXPECT_EQ(selection.text, c.text) << c.reply;
    EXPECT_EQ(selection.length, c.length) << c.reply;
    EXPECT_EQ(desktop.commands(), c.emptied ? Commands{"property:extender.result="} : Commands{})
        << c.reply;
  }
}

TEST_F(Operations, MalformedNumberRaisesAndChangesNothing) {
  struct Case {
    std::string reply;
    std::string message;
  };
  const Case cases[] = {
      {"abc<@@>", "invalid integer: "},
      {"abc<@@> 3", "invalid integer:  3"},
      {"abc<@@>3\n", "invalid integer: 3\n"},
      {"abc<@@>99999999999999999999", "Parsed integer outside of valid range"},
  };
  for (const Case& c : cases) {
    desktop.frames.clear();
    received = c.reply;
    LuaSelection selection{"old", 99};
    try {
      director::ParseLuaSelection(selection);
      ADD_FAILURE() << "no error for " << c.reply;
    } catch (const platform::ValueError& e) {
      EXPECT_EQ(e.message(), c.message);
      EXPECT_EQ(e.kind(), "ValueError");
    }
    EXPECT_EQ(selection.text, "old");
    EXPECT_EQ(selection.length, 99);
    EXPECT_TRUE(desktop.frames.empty());
  }
}

TEST(ParseInt, ReadsSignedDigitsWithUnderscores) {
  struct Case {
    const char* text;
    std::int64_t value;
  };
  const Case cases[] = {
      {"0", 0},
      {"-0", 0},
      {"+42", 42},
      {"1_", 1},
      {"1__2_3", 123},
      {"007", 7},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"-9_223_372_036_854_775_808", INT64_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(director::parseInt(c.text), c.value) << c.text;
  }
}

TEST(ParseInt, RefusesEverythingElse) {
  const char* invalid[] = {"",   "+",    "-",   "_1",  "+_1", "1 ", " 1",
                           "1a", "0x10", "1.0", "--1", "1-",  "٣"};
  for (const char* text : invalid) {
    try {
      (void)director::parseInt(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const platform::ValueError& e) {
      EXPECT_EQ(e.message(), std::string("invalid integer: ") + text);
    }
  }
  const char* outOfRange[] = {"9223372036854775808", "-9223372036854775809",
                              "100000000000000000000000"};
  for (const char* text : outOfRange) {
    try {
      (void)director::parseInt(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const platform::ValueError& e) {
      EXPECT_EQ(e.message(), "Parsed integer outside of valid range");
    }
  }
}

}  // namespace
