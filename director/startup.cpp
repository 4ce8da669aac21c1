// Creation of the receiver window and connection of the reply handler to it.
#include "director/startup.h"

#include "director/channel.h"
#include "director/discovery.h"
#include "director/version.h"
#include "windowhost/wEvent.h"

namespace director {

std::shared_ptr<windowhost::wApp> recvApp;
std::shared_ptr<windowhost::wFrame> recvFrame;

namespace {

constexpr std::size_t kClassFilterRoom = 256;
constexpr std::size_t kTitleFilterRoom = 4096;

}  // namespace

void initModule() {
  interfaceVersion = kInterfaceVersion;
  recvApp = windowhost::App();
  recvFrame = std::make_shared<windowhost::wFrame>();
  windowhost::init(recvFrame, nullptr, kReceiverTitle, {windowhost::kDefault, windowhost::kDefault},
                   kReceiverSize, kReceiverStyle, kReceiverClass);
  sEnumWnd.clear();
  classfilter.clear();
  classfilter.reserve(kClassFilterRoom);
  titlefilter.clear();
  titlefilter.reserve(kTitleFilterRoom);
  hRecv = recvFrame->mHwnd;
  // The reply's COPYDATASTRUCT is valid only while the handler runs; it is copied at once.
  (void)windowhost::connect(*recvFrame, WM_COPYDATA,
                            [](windowhost::wEvent& event) { ReplyHandler(event.mLparam); });
}

}  // namespace director
