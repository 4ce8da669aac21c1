// The frame: a top-level window kind, and the only one the program creates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "windowhost/wEvent.h"
#include "windowhost/wWindow.h"

namespace windowhost {

class wFrame : public wWindow {
public:
  std::shared_ptr<void> mMenuBar;
  std::shared_ptr<void> mIcon;
  std::vector<std::shared_ptr<wWindow>> mDisableList;
  std::shared_ptr<void> mTrayIcon;
  std::string mTrayToolTip;
  bool mTrayIconAdded = false;
  wConnection mTrayConn;
  wConnection mCreateConn;
  std::int64_t mRetCode = 0;
  bool mIsModal = false;
};

// Builds the frame: always top-level, WS_CLIPCHILDREN added; a parent given only becomes its
// owner. Raises what initVerbosely raises.
void init(const std::shared_ptr<wFrame>& self, const std::shared_ptr<wWindow>& parent,
          std::string_view title, wPoint pos, wSize size, std::uint64_t style,
          std::string_view className);

// The frame kind's fixed handlers.
void wFrame_OnSize(wEvent& event);
void wFrame_OnSetFocus(wEvent& event);
void wFrame_OnMenuHighlight(wEvent& event);

}  // namespace windowhost
