// Frames that reach the director window, and what the reply handler keeps of a reply.
#include "director/win32/channel.h"

#include <gtest/gtest.h>

#include <limits>

#include "fake_desktop.h"
#include "platform/errors.h"

namespace {

using director::received;
using director::replyHandler;
using director::SendCommand;
using director_test::ClientStateGuard;
using director_test::FakeDesktop;
using director_test::FakeReply;
using director_test::handle;
using director_test::SentFrame;

using namespace std::string_literals;

class Channel : public ::testing::Test {
protected:
  void SetUp() override {
    director_test::bindPatternEngine();
    director::hRecv = handle(612);
    desktop.addSciTE();
  }

  ClientStateGuard state;
  FakeDesktop desktop;
};

TEST_F(Channel, FramesCarryTheReceiverAndATerminatingNul) {
  struct Case {
    std::intptr_t receiver;
    std::string command;
    std::string frame;
  };
  const Case cases[] = {
      {612, "output:abc", ":612:output:abc\0"s},
      {612, "", ":612:\0"s},
      {-5, "x", ":-5:x\0"s},
      {0, "a\nb\\n", ":0:a\nb\\n\0"s},
      {612, "nul\0inside"s, ":612:nul\0inside\0"s},
  };
  for (const Case& c : cases) {
    desktop.frames.clear();
    director::hRecv = reinterpret_cast<HWND>(c.receiver);
    EXPECT_TRUE(SendCommand(c.command, false));
    EXPECT_EQ(desktop.frames,
              (std::vector<SentFrame>{{.target = handle(11),
                                       .bytes = c.frame,
                                       .cbData = static_cast<DWORD>(c.frame.size()),
                                       .dwData = 1,
                                       .wParam = static_cast<WPARAM>(c.receiver)}}));
  }
}

TEST_F(Channel, NoDirectorWindowSendsNothingAndKeepsReceived) {
  desktop.foreground = 99;
  received = "earlier";
  EXPECT_FALSE(SendCommand("output:x", true));
  EXPECT_TRUE(desktop.frames.empty());
  EXPECT_EQ(received, "earlier");
}

TEST_F(Channel, SendEmptiesReceivedAndIgnoresTheMessageResult) {
  received = "earlier";
  desktop.sendResult = 1;
  EXPECT_TRUE(SendCommand("output:x", false));
  EXPECT_EQ(received, "");
}

TEST_F(Channel, ReplyDuringTheSendIsReadableAfterwards) {
  director::pattern = platform::re(R"(^:\d+:([^:]+:){2})");
  desktop.answer = [](const std::string& command) -> std::optional<FakeReply> {
    return FakeReply{":612:macro:stringinfo:" + command + "!", std::nullopt, false};
  };
  EXPECT_TRUE(SendCommand("askproperty:k", true));
  EXPECT_EQ(received, "askproperty:k!");
}

TEST_F(Channel, OverlongFrameIsRefusedBeforeAnythingIsSent) {
  // Only the length is looked at before the refusal, so a short buffer can claim any size.
  const char bytes[1] = {'x'};
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  // ":612:" + command + NUL would be exactly 2^31 bytes: one too many.
  const std::string_view tooLong(bytes, kMax - 5);
  received = "earlier";
  EXPECT_THROW(SendCommand(tooLong, false), platform::RangeError);
  EXPECT_THROW((void)director::frameOf(handle(612), std::string_view(bytes, kMax * 2)),
               platform::RangeError);
  EXPECT_TRUE(desktop.frames.empty());
  EXPECT_EQ(received, "earlier");
}

struct ReplyCase {
  const char* name;
  std::string bytes;
  std::optional<DWORD> cbData;
  std::string expected;
};

class ReplyHandling : public Channel {
protected:
  void deliver(const ReplyCase& c, bool nullData = false) {
    std::string bytes = c.bytes;
    COPYDATASTRUCT data{};
    data.cbData = c.cbData.value_or(static_cast<DWORD>(bytes.size()));
    data.lpData = nullData ? nullptr : bytes.data();
    replyHandler(reinterpret_cast<LPARAM>(&data));
  }
};

TEST_F(ReplyHandling, StripsOneLeadingAddressPrefix) {
  director::pattern = platform::re(R"(^:\d+:([^:]+:){2})");
  const ReplyCase cases[] = {
      {"value", ":612:x:y:hello", std::nullopt, "hello"},
      {"empty value", ":612:a:b:", std::nullopt, ""},
      {"no digits", "::a:b:c", std::nullopt, "::a:b:c"},
      {"no prefix", "hello", std::nullopt, "hello"},
      {"only the leading prefix", ":612:a:b:x:y:", std::nullopt, "x:y:"},
      {"one field only", ":1234:a:", std::nullopt, ":1234:a:"},
      {"not at the start", "x:1:a:b:v", std::nullopt, "x:1:a:b:v"},
      {"cut by cbData", "abcdef", 3, "abc"},
      {"NUL counted", "abc\0"s, 4, "abc\0"s},
      {"embedded NUL pads to cbData", ":1:a:b:ab\0cd"s, std::nullopt, "ab\0\0\0"s},
      {"cbData 0", ":1:a:b:x", 0, ""},
      {"empty", "", std::nullopt, ""},
      {"escaped line breaks kept", ":1:macro:stringinfo:a\\r\\nb", std::nullopt, "a\\r\\nb"},
      {"line break inside a field", ":1:a\nb:c:v", std::nullopt, "v"},
  };
  for (const ReplyCase& c : cases) {
    received = "stale";
    deliver(c);
    EXPECT_EQ(received, c.expected) << c.name;
  }
}

TEST_F(ReplyHandling, HugeReplyIsKeptWhole) {
  director::pattern = platform::re(R"(^:\d+:([^:]+:){2})");
  const std::string value(1 << 20, 'v');
  deliver({"1 MiB", ":9:m:s:" + value, std::nullopt, ""});
  EXPECT_EQ(received, value);
}

TEST_F(ReplyHandling, BeforeAnyPatternTheReplyIsKeptUnchanged) {
  director::pattern.reset();
  deliver({"", ":612:x:y:hello", std::nullopt, ""});
  EXPECT_EQ(received, ":612:x:y:hello");
}

TEST_F(ReplyHandling, NullDataIsAnEmptyReply) {
  director::pattern = platform::re(R"(^:\d+:([^:]+:){2})");
  received = "stale";
  deliver({"", "", 10, ""}, true);
  EXPECT_EQ(received, "");
  received = "stale";
  replyHandler(0);
  EXPECT_EQ(received, "");
}

TEST_F(ReplyHandling, SizeBeyondTheSignedRangeIsAnErrorAndLeavesNothingStale) {
  director::pattern = platform::re(R"(^:\d+:([^:]+:){2})");
  received = "stale";
  // No byte is read: the size alone is refused.
  EXPECT_THROW(deliver({"", "abc", 0x80000000u, ""}), platform::RangeError);
  EXPECT_EQ(received, "");
  received = "stale";
  EXPECT_THROW(deliver({"", "abc", 0xFFFFFFFFu, ""}), platform::RangeError);
  EXPECT_EQ(received, "");
}

TEST_F(ReplyHandling, LastReplyWins) {
  director::pattern = platform::re(R"(^:\d+:([^:]+:){2})");
  int replies = 0;
  desktop.answer = [&replies](const std::string&) -> std::optional<FakeReply> {
    ++replies;
    return FakeReply{":1:a:b:reply" + std::to_string(replies), std::nullopt, false};
  };
  EXPECT_TRUE(SendCommand("one", false));
  EXPECT_EQ(received, "reply1");
  deliver({"", ":1:a:b:late", std::nullopt, ""});
  EXPECT_EQ(received, "late");
}

}  // namespace
