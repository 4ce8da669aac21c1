// The shipped launcher's marks: none.
#include "launcher/win32/trace.h"

namespace launcher {

void markStep(std::string_view /*step*/) noexcept {}

void markBound(std::string_view /*library*/) noexcept {}

void markSystemCalls() noexcept {}

}  // namespace launcher
