// Binding groups of the system-call module and its optional look-up.
#include "launcher/syscalls.h"

namespace launcher {

namespace {
constexpr std::string_view kSocketLibrary = "Ws2_32.dll";
constexpr std::string_view kKernelLibrary = "kernel32";
}  // namespace

const platform::BindingGroup& ws2_32Bindings() {
  static const platform::BindingGroup group{kSocketLibrary,
                                            {platform::Bind("WSAStartup", ws2_32::WSAStartup)}};
  return group;
}

const platform::BindingGroup& kernel32Bindings() {
  using platform::Bind;
  static const platform::BindingGroup group{
      kKernelLibrary,
      {
          Bind("FormatMessageW", kernel32::FormatMessageW),
          Bind("LocalFree", kernel32::LocalFree),
          Bind("GetLastError", kernel32::GetLastError),
          Bind("GetModuleFileNameW", kernel32::GetModuleFileNameW),
          Bind("GetFileAttributesW", kernel32::GetFileAttributesW),
          Bind("GetSystemTimeAsFileTime", kernel32::GetSystemTimeAsFileTime),
          Bind("GetStdHandle", kernel32::GetStdHandle),
          Bind("CreateProcessW", kernel32::CreateProcessW),
          Bind("CloseHandle", kernel32::CloseHandle),
          Bind("WaitForSingleObject", kernel32::WaitForSingleObject),
          Bind("GetExitCodeProcess", kernel32::GetExitCodeProcess),
      }};
  return group;
}

void bindInetNtop() noexcept {
  const platform::FunctionBinding binding = platform::Bind("inet_ntop", ws2_32::inet_ntop);
  const platform::LibraryHandle library = platform::tryLoadLibrary(kSocketLibrary);
  if (const platform::RawProc proc = platform::findExport(library, binding.name)) {
    binding.store(binding.slot, proc);
  }
}

}  // namespace launcher
