// The system's own text for an error code, through the caller's bound FormatMessageW and
// LocalFree, so that each program keeps its own slots and tests their fakes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/owner.h"
#include "platform/text.h"
#include "platform/win32/win32.h"

namespace platform {

// Exactly as the system words it; empty when it has no text for the code.
template <auto& FormatMessageW, auto& LocalFree>
[[nodiscard]] std::string systemMessage(std::int32_t errorCode) {
  constexpr DWORD kFlags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  WCHAR* allocated = nullptr;
  // With the allocate flag the buffer argument receives the address of the system's buffer.
  const DWORD length = FormatMessageW(kFlags, nullptr, static_cast<DWORD>(errorCode), 0,
                                      reinterpret_cast<LPWSTR>(&allocated), 0, nullptr);
  const Unique<WCHAR*, LocalFree> owner(allocated);
  if (length == 0 || allocated == nullptr) {
    return {};
  }
  return toUtf8(WStringView(allocated, length));
}

}  // namespace platform
