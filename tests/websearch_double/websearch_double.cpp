// Stand-in for the companion program in tests: records the command line it was given and exits
// with the code it is told.
//
// Both instructions and record live beside the executable, so that each copy (tests copy it as
// "websearch.exe" into a directory of their own) is independent of the environment it inherits:
//   <exe>.exit    optional; the exit code as text: decimal, negative decimal or 0x-hexadecimal
//                 ("5", "-1", "0xFFFFFFFF"). Missing or unreadable: 0.
//   <exe>.record  written on every run, replacing an older one; UTF-8, read by record.h:
//                   cmdline=<byte count>:<raw GetCommandLineW text>\n
//                   cwd=<byte count>:<current directory>\n
//                   argc=<count>\n
//                   argv[<i>]=<byte count>:<argument as CommandLineToArgvW parses it>\n
// A test double is not the product: it calls the system directly.

// shellapi.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string toUtf8(const wchar_t* text, int length = -1) {
  if (text == nullptr) {
    return {};
  }
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return {};
  }
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
  if (length < 0) {
    out.pop_back();  // the converted NUL
  }
  return out;
}

std::wstring ownPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

std::wstring currentDirectory() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
  path.resize(length);
  return path;
}

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

DWORD exitCodeFrom(const std::wstring& sidecar) {
  const File file(_wfopen(sidecar.c_str(), L"rb"));
  if (!file) {
    return 0;
  }
  char text[64] = {};
  const std::size_t read = std::fread(text, 1, sizeof(text) - 1, file.get());
  text[read] = '\0';
  errno = 0;
  const long long value = std::strtoll(text, nullptr, 0);
  return errno == 0 ? static_cast<DWORD>(value) : 0;
}

void addField(std::string& out, const std::string& key, const std::string& value) {
  out += key + "=" + std::to_string(value.size()) + ":" + value + "\n";
}

std::string recordText() {
  const wchar_t* commandLine = GetCommandLineW();
  std::string out;
  addField(out, "cmdline", toUtf8(commandLine));
  addField(out, "cwd", toUtf8(currentDirectory().c_str()));
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
  out += "argc=" + std::to_string(arguments != nullptr ? count : 0) + "\n";
  for (int i = 0; arguments != nullptr && i < count; ++i) {
    addField(out, "argv[" + std::to_string(i) + "]", toUtf8(arguments[i]));
  }
  LocalFree(arguments);
  return out;
}

}  // namespace

int main() {
  const std::wstring self = ownPath();
  const std::string record = recordText();
  if (const File file{_wfopen((self + L".record").c_str(), L"wb")}) {
    std::fwrite(record.data(), 1, record.size(), file.get());
  }
  ExitProcess(exitCodeFrom(self + L".exit"));
}
