// argument_recorder.exe: a program that stands for a browser. It writes the arguments the C run
// time split its command line into, each in UTF-16 and ended by a NUL, to <its name>.args beside
// itself, so that a test sees exactly what a browser would have been given.
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/owner.h"

int wmain(int argc, wchar_t* argv[]) {
  std::wstring record;
  for (int i = 1; i < argc; ++i) {
    record.append(argv[i]).push_back(L'\0');
  }
  // Written whole under a temporary name, then renamed: a reader sees all of it or nothing.
  const std::wstring file = std::wstring(argv[0]) + L".args";
  const std::wstring part = file + L".part";
  std::size_t written = 0;
  {
    const platform::Unique<std::FILE*, std::fclose> out(_wfopen(part.c_str(), L"wb"));
    if (!out) {
      return 1;
    }
    written = std::fwrite(record.data(), sizeof(wchar_t), record.size(), out.get());
  }
  return written == record.size() && _wrename(part.c_str(), file.c_str()) == 0 ? 0 : 1;
}
