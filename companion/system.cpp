// The companion's run over its bound system functions: nothing here talks to the console.
#include "companion/system.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "platform/executable.h"
#include "platform/owner.h"
#include "platform/text.h"

namespace companion {

namespace {

// ShellExecuteW reports success by a value above 32, a convention from 16-bit Windows.
constexpr INT_PTR kLastShellError = 32;

[[nodiscard]] std::optional<std::string> readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::ostringstream contents;
  contents << in.rdbuf();
  return std::move(contents).str();
}

[[nodiscard]] bool openInBrowser(const std::string& url) {
  // Some protocol handlers are COM servers, which the shell can only reach from an apartment.
  const bool inApartment =
      ole32::CoInitializeEx(nullptr, static_cast<DWORD>(COINIT_APARTMENTTHREADED) |
                                         static_cast<DWORD>(COINIT_DISABLE_OLE1DDE)) >= 0;
  const platform::ScopeExit leave([inApartment] {
    // S_FALSE (already initialised) counts too: every success is balanced.
    if (inApartment) {
      ole32::CoUninitialize();
    }
  });
  const WString verb = platform::toUtf16("open");
  const WString file = platform::toUtf16(url);
  const HINSTANCE result =
      shell32::ShellExecuteW(nullptr, verb.c_str(), file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > kLastShellError;
}

}  // namespace

const platform::BindingGroup& kernel32Bindings() {
  using namespace kernel32;
  static const platform::BindingGroup group{"kernel32",
                                            {COMPANION_KERNEL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

const platform::BindingGroup& ole32Bindings() {
  using namespace ole32;
  static const platform::BindingGroup group{"ole32",
                                            {COMPANION_OLE32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

const platform::BindingGroup& shell32Bindings() {
  using namespace shell32;
  static const platform::BindingGroup group{"shell32",
                                            {COMPANION_SHELL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

bool bindSystemFunctions() noexcept {
  try {
    // Quietly, unlike the launcher: nobody reads this program's streams.
    return !platform::tryBindGroup(kernel32Bindings()) &&
           !platform::tryBindGroup(ole32Bindings()) && !platform::tryBindGroup(shell32Bindings());
  } catch (...) {  // building the groups allocates
    return false;
  }
}

std::filesystem::path ownDirectory() {
  const WString path = platform::executablePath(kernel32::GetModuleFileNameW);
  return path.empty() ? std::filesystem::path() : std::filesystem::path(path).parent_path();
}

std::string configuredTemplate() {
  const std::filesystem::path directory = ownDirectory();
  if (!directory.empty()) {
    if (const auto ini = readFile(directory / kIniFileName)) {
      if (auto urlTemplate = templateFromIni(*ini)) {
        return std::move(*urlTemplate);
      }
    }
  }
  return std::string(kDefaultTemplate);
}

ExitCode searchSelection() {
  const std::string commandLine = platform::toUtf8(kernel32::GetCommandLineW());
  const UrlChoice choice = chooseUrl(selectionFromCommandLine(commandLine), configuredTemplate());
  if (choice.code != ExitCode::Opened) {
    return choice.code;
  }
  return openInBrowser(choice.url) ? ExitCode::Opened : ExitCode::OpenFailed;
}

int runBound() noexcept {
  try {
    return static_cast<int>(searchSelection());
  } catch (...) {
    return static_cast<int>(ExitCode::Unexpected);
  }
}

int runCompanion() noexcept {
  return bindSystemFunctions() ? runBound() : static_cast<int>(ExitCode::SystemUnavailable);
}

}  // namespace companion
