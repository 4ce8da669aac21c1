// The director client against the SciTE stand-in under Wine: real windows, real WM_COPYDATA
// round trips, and the stand-in's real Lua running the client's snippets.
#include <gtest/gtest.h>
#include <windows.h>

#include "companion/scite/lua_literal.h"
#include "director/operations.h"
#include "director/snippets.h"
#include "director/win32/bindings.h"
#include "director/win32/channel.h"
#include "director/win32/discovery.h"
#include "escapes.h"
#include "harness.h"
#include "platform/re.h"

namespace {

using director::LuaSelection;
using director::received;
using standin::Options;
using standin::StandInRun;

using namespace std::string_literals;

LRESULT CALLBACK receiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    try {
      director::replyHandler(lParam);
    } catch (const std::exception& error) {
      ADD_FAILURE() << "reply handler raised: " << error.what();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Until the client's own start-up is used here, the tests make the hidden receiver themselves.
class RoundTrip : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    platform::bindGroups({&platform::pcreBindings(), &director::user32::bindings()});
    const std::wstring className = L"DirectorTestReceiver" + std::to_wstring(GetCurrentProcessId());
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = receiverProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className.c_str();
    ASSERT_NE(RegisterClassExW(&windowClass), 0);
    director::hRecv = CreateWindowExW(0, className.c_str(), L"receiver", WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 320, 220, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(director::hRecv, nullptr);
  }

  void SetUp() override {
    received.clear();
    director::pattern.reset();
  }

  static Options withProperty(std::string key, std::string value) {
    Options options;
    options.properties[std::move(key)] = std::move(value);
    return options;
  }

  static std::vector<std::string> commands(const StandInRun& run, int extra = 0) {
    std::vector<std::string> texts;
    for (const auto& frame : run.transcript(extra)) {
      texts.push_back(standin::commandOf(frame));
    }
    return texts;
  }
};

TEST_F(RoundTrip, LuaGetSelectionFetchesTheSelection) {
  struct Case {
    const char* name;
    std::string document;
    std::int64_t anchor;
    std::int64_t caret;
    std::string selection;
  };
  const Case cases[] = {
      {"empty", "some text", 4, 4, ""},
      {"one word", "alpha beta", 0, 5, "alpha"},
      {"two words, made backwards", "x alpha beta y", 12, 2, "alpha beta"},
      {"several lines", "a\r\none\r\ntwo\nthree\n", 3, 17, "one\r\ntwo\nthree"},
      {"quotes", "say \"hi\" and 'bye'", 0, 18, "say \"hi\" and 'bye'"},
      {"backslashes", "C:\\Tools\\x \\\\server", 0, 19, "C:\\Tools\\x \\\\server"},
      {"non-ASCII",
       "gr\xC3\xBC\xC3\x9F"
       "e \xE6\x97\xA5 \xF0\x9F\x98\x80",
       0, 16,
       "gr\xC3\xBC\xC3\x9F"
       "e \xE6\x97\xA5 \xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    Options options;
    options.document = c.document;
    options.anchor = c.anchor;
    options.caret = c.caret;
    StandInRun run(options);
    LuaSelection selection{"old", -1};
    director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
    // SciTE escapes its answer (line ends, backslashes); the client passes it on as it came.
    EXPECT_EQ(selection.text, standin::slash(c.selection)) << c.name;
    EXPECT_EQ(selection.length, static_cast<std::int64_t>(c.selection.size())) << c.name;
    EXPECT_EQ(run.stop(), 0u);
    EXPECT_EQ(run.properties().at("extender.result"), "") << c.name;
    const std::vector<std::string> expected = {
        "extender:dostring " + std::string(director::LuaGetSelection) +
            " props['extender.result']=getSel()",
        "askproperty:extender.result", "property:extender.result="};
    EXPECT_EQ(commands(run), expected) << c.name;
    EXPECT_EQ(run.output(), "") << c.name;  // Lua reported no error
  }
}

TEST_F(RoundTrip, FramesCarryTheReceiverAndReachTheDirectorWindow) {
  StandInRun run(Options{});
  ASSERT_EQ(director::GetHwndDirectorExtension(), run.directorWindow());
  ASSERT_TRUE(director::SendCommand("output:abc", false));
  run.stop();
  const auto frames = run.transcript();
  ASSERT_EQ(frames.size(), 1u);
  const std::string address = std::to_string(reinterpret_cast<std::intptr_t>(director::hRecv));
  EXPECT_EQ(frames[0].bytes, ":" + address + ":output:abc\0"s);
  EXPECT_EQ(frames[0].cbData, address.size() + 13);
  EXPECT_EQ(frames[0].dwData, 1u);
  EXPECT_EQ(frames[0].wParam, reinterpret_cast<std::uintptr_t>(director::hRecv));
  EXPECT_EQ(frames[0].window, "director");
}

TEST_F(RoundTrip, OutputAppearsDecodedInTheOutputPane) {
  StandInRun run(Options{});
  EXPECT_TRUE(director::OutputConsole("stale", true));
  EXPECT_TRUE(director::ClearOutput());
  EXPECT_TRUE(director::OutputConsole(">> banner\\n-> C:\\\\Tools\\\\launcher.exe", true));
  EXPECT_TRUE(director::OutputConsole("tab\\tend", false));
  run.stop();
  EXPECT_EQ(run.output(), ">> banner\n-> C:\\Tools\\launcher.exe\ntab\tend");
}

TEST_F(RoundTrip, NothingIsSentWhileSciTEIsNotInFront) {
  Options options;
  options.foreground = false;
  options.document = "abc";
  options.caret = 3;
  StandInRun run(options);
  received = "before";
  EXPECT_EQ(director::GetHwndDirectorExtension(), nullptr);
  EXPECT_FALSE(director::OutputConsole("x", true));
  EXPECT_FALSE(director::ClearOutput());
  LuaSelection selection;
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
  EXPECT_EQ(received, "before");
  EXPECT_EQ(selection.text, "");
  EXPECT_EQ(selection.length, 0);
  // The same windows are found once the foreground check is off.
  director::debug = true;
  EXPECT_EQ(director::GetHwndDirectorExtension(), run.directorWindow());
  director::debug = false;
  run.stop();
  EXPECT_TRUE(run.transcript().empty());
}

TEST_F(RoundTrip, OtherDirectorWindowsAreNotChosen) {
  Options options;
  options.extraDirectors = 1;
  options.parentedDirector = true;
  StandInRun run(options);
  EXPECT_GE(director::GetEnumWindows("DirectorExtension"), 2u);
  EXPECT_EQ(director::GetHwndDirectorExtension(), run.directorWindow());
  EXPECT_TRUE(director::OutputConsole("x", false));
  run.stop();
  EXPECT_EQ(commands(run), std::vector<std::string>{"output:x"});
  EXPECT_TRUE(run.transcript(1).empty());
}

TEST_F(RoundTrip, BadRepliesLeaveADefinedValue) {
  struct Case {
    const char* name;
    standin::Fault fault;
    bool countsNul;
    std::string expected;
  };
  const Case cases[] = {
      {"as SciTE", standin::Fault::none, false, "value"},
      {"NUL counted", standin::Fault::none, true, "value\0"s},
      {"no answer", standin::Fault::noReply, false, ""},
      {"no prefix", standin::Fault::noPrefix, false, "value"},
      {"embedded NUL", standin::Fault::embeddedNul, false, "value" + std::string(10, '\0')},
      {"cbData short", standin::Fault::shortCbData, false, "va"},
  };
  for (const Case& c : cases) {
    Options options = withProperty("k", "value");
    options.fault = c.fault;
    options.replyCountsNul = c.countsNul;
    StandInRun run(options);
    received = "stale";
    EXPECT_TRUE(director::GetProperty("k")) << c.name;
    EXPECT_EQ(received, c.expected) << c.name;
  }
}

TEST_F(RoundTrip, ASciTEThatAnswersEverythingStillYieldsTheSelection) {
  Options options;
  options.fault = standin::Fault::replyAll;
  options.document = "pick me";
  options.caret = 4;
  StandInRun run(options);
  LuaSelection selection;
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
  EXPECT_EQ(selection, (LuaSelection{"pick", 4}));
  EXPECT_EQ(received, "property:extender.result=");  // the echo of the emptying command
}

TEST_F(RoundTrip, LuaErrorsGoToTheOutputPane) {
  StandInRun run(Options{});
  LuaSelection selection{"old", 5};
  director::LuaFuncGet("nosuch()", director::ParseLuaSelection, "", selection);
  EXPECT_EQ(selection.text, "");
  EXPECT_EQ(selection.length, 0);
  run.stop();
  EXPECT_NE(run.output().find("attempt to call a nil value (global 'nosuch')"), std::string::npos)
      << run.output();
}

TEST_F(RoundTrip, LuaCurrPosReportsThePosition) {
  Options options;
  options.document = "ab\tc\r\nxyz";
  options.caret = 3;
  StandInRun run(options);
  std::string reply;
  const auto keep = [](std::string& out) { out = received; };
  director::LuaFuncGet(director::LuaCurrPos, keep, "", reply);
  // Its line-end pattern reached Lua as [\r\n]+$, so the line comes without its CR LF.
  EXPECT_EQ(reply, "3<@@>0<@@>ab\\tc<@@>4<@@>0<@@>99<@@>c<@@>8<@@>0");
  director::LuaFuncGet(director::LuaCurrPos, keep, "8", reply);
  EXPECT_EQ(reply, "8<@@>1<@@>xyz<@@>3<@@>6<@@>122<@@>z<@@>2<@@>0");
}

// The companion's literals of user text, read by real Lua after SciTE's own unescaping: each
// property holds the text's bytes exactly.
TEST_F(RoundTrip, LuaLiteralsGiveTheTextBackExactly) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"empty", ""},
      {"plain words", "fetch abort signal"},
      {"quotes of both kinds", "it's \"quoted\""},
      {"backslashes, one and two", "C:\\Tools \\\\server \\"},
      {"what SciTE and Lua read as escapes", "\\n \\t \\x41 \\065 \\z \\u{41}"},
      {"a digit after an escaped byte", "\n123\t9"},
      {"CR LF and a lone CR", "a\r\nb\rc"},
      {"NUL and the other control bytes", "a\0b\x01\x1F\x7F"s},
      {"UTF-8",
       "gr\xC3\xBC\xC3\x9F"
       "e \xE6\x97\xA5 \xF0\x9F\x98\x80"},
      {"bytes that are not UTF-8", "\x80\xFF\xC3"},
      {"brackets Lua uses for long strings", "[[x]] [=[y]=]"},
      {"a $(reference) and %% signs", "$(FilePath) 100%"},
  };
  StandInRun run(Options{});
  std::string lua;
  for (std::size_t at = 0; at < std::size(cases); ++at) {
    lua +=
        "props['echo." + std::to_string(at) + "'] = " + companion::luaLiteral(cases[at].text) + " ";
  }
  ASSERT_TRUE(director::SendCommand(director::doStringCommand(lua), false));
  run.stop();
  EXPECT_EQ(run.output(), "");  // Lua read every literal
  const auto properties = run.properties();
  for (std::size_t at = 0; at < std::size(cases); ++at) {
    const auto echoed = properties.find("echo." + std::to_string(at));
    ASSERT_NE(echoed, properties.end()) << cases[at].name;
    EXPECT_EQ(echoed->second, cases[at].text) << cases[at].name;
  }
}

}  // namespace
