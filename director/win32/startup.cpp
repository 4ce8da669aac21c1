// Creation of the receiver window and connection of the reply handler to it.
#include "director/win32/startup.h"

#include "director/version.h"
#include "director/win32/bindings.h"
#include "director/win32/channel.h"
#include "director/win32/discovery.h"
#include "platform/re.h"
#include "platform/win32/winstr.h"
#include "windowhost/bindings.h"
#include "windowhost/wEvent.h"

namespace director {

std::shared_ptr<windowhost::wApp> recvApp;
std::shared_ptr<windowhost::wFrame> recvFrame;

namespace {

constexpr std::size_t kClassFilterRoom = 256;
constexpr std::size_t kTitleFilterRoom = 4096;

// Text conversion, the given window-host groups, the pattern engine when asked for, and last
// "user32".
[[nodiscard]] std::vector<const platform::BindingGroup*> bindingGroupsWith(
    std::span<const platform::BindingGroup> windowHostGroups, bool patternEngine) {
  std::vector<const platform::BindingGroup*> groups{&platform::textConversionBindings()};
  for (const platform::BindingGroup& group : windowHostGroups) {
    groups.push_back(&group);
  }
  if (patternEngine) {
    groups.push_back(&platform::pcreBindings());
  }
  groups.push_back(&user32::bindings());
  return groups;
}

void resetModuleState() {
  interfaceVersion = kInterfaceVersion;
  sEnumWnd.clear();
  classfilter.clear();
  classfilter.reserve(kClassFilterRoom);
  titlefilter.clear();
  titlefilter.reserve(kTitleFilterRoom);
}

// Every reply SciTE sends this process arrives at the receiver, inside the send that asked for it
// (deliverFrame): replyHandler keeps it in `received`, where the launcher's operations read it
// and exchangeFrame takes it for its caller. The reply's COPYDATASTRUCT is valid only while the
// handler runs; it is copied at once.
void startModuleUnder(const std::shared_ptr<windowhost::wApp>& app) {
  recvApp = app;
  recvFrame = std::make_shared<windowhost::wFrame>();
  windowhost::init(recvFrame, nullptr, kReceiverTitle, {windowhost::kDefault, windowhost::kDefault},
                   kReceiverSize, kReceiverStyle, kReceiverClass);
  resetModuleState();
  hRecv = recvFrame->mHwnd;
  (void)windowhost::connect(*recvFrame, WM_COPYDATA,
                            [](windowhost::wEvent& event) { replyHandler(event.mLparam); });
}

}  // namespace

std::vector<const platform::BindingGroup*> clientBindingGroups() {
  return bindingGroupsWith(windowhost::bindingGroups(), true);
}

std::vector<const platform::BindingGroup*> receiverBindingGroups() {
  // The replies are read without a pattern; a client's own first pattern binds the engine.
  return bindingGroupsWith(windowhost::hiddenWindowBindingGroups(), false);
}

void initModule() {
  startModuleUnder(windowhost::App());
}

std::unique_ptr<windowhost::wReceiver> startReceiverModule() {
  auto receiver = std::make_unique<windowhost::wReceiver>(
      kReceiverOnlyClass, kReceiverTitle, WM_COPYDATA, [](WPARAM /*sender*/, LPARAM reply) {
        try {
          replyHandler(reply);
        } catch (...) {  // a reply SciTE cannot send, or no memory for it: an empty one
          received.clear();
        }
      });
  resetModuleState();
  hRecv = receiver->hwnd();
  return receiver;
}

}  // namespace director
