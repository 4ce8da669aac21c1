// What SciTE's director window does with a WM_COPYDATA frame: split it into commands, find the
// requester's window, decode escapes, and perform output:, property:, askproperty: and
// extender: on the editor state, answering through a callback as SciTE answers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document.h"
#include "scenario.h"

namespace standin {

struct EditorState {
  Document document;
  std::string output;  // the output pane's text
  PropertyMap properties;
  bool outputFocused = false;  // output.Focus
};

// Runs Lua code for "extender:dostring"; returns the error text when the code fails.
class Extender {
public:
  virtual ~Extender() = default;
  [[nodiscard]] virtual std::optional<std::string> doString(std::string_view code) = 0;
};

// One answer: `bytes` go out with `cbData` as their count (which a fault may make disagree).
struct Reply {
  std::int64_t target = 0;  // the requester's window, as named in the frame
  std::string bytes;
  std::uint32_t cbData = 0;
};

class DirectorCore {
public:
  DirectorCore(EditorState& state, const Options& options, Extender* extender,
               std::function<void(const Reply&)> send);

  // Handles one frame: its bytes up to cbData, the first NUL ending them.
  void handleFrame(std::string_view bytes);

private:
  void perform(std::string_view action, std::optional<std::int64_t> target);
  void answer(std::optional<std::int64_t> target, std::string_view kind, std::string_view value);
  void answerProperty(std::optional<std::int64_t> target, std::string_view key);
  [[nodiscard]] bool runExtender(std::string_view argument, std::optional<std::int64_t> target);

  EditorState& state_;
  const Options& options_;
  Extender* extender_;
  std::function<void(const Reply&)> send_;
};

}  // namespace standin
