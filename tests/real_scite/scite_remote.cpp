// What scripts/scite_run.py cannot do from the X side: talk to the running SciTE through its
// director window, and say which window is in front. One command per run; each waits at most
// as long as it is told, so a SciTE that does not answer fails the run instead of hanging it.
//
//   scite_remote.exe wait <ms>              SciTE's main and director windows exist
//   scite_remote.exe front                  SciTE's main window taken to the front
//   scite_remote.exe send <command>         one director command, e.g. "menucommand:1135"
//   scite_remote.exe ask <key>              prints the property's value
//   scite_remote.exe pane <ms> <text>       waits until the output pane holds <text>; prints it
//   scite_remote.exe until <ms> <lua>       waits until the Lua expression in SciTE is neither
//                                           nil nor false; prints when it first was (ns since
//                                           1970, the clock Linux stamps files by) and its value
//   scite_remote.exe other <ms>             shows a window of its own in front of SciTE, prints
//                                           "front" once it is, and keeps it <ms> long
//
// Exit codes: 0 done, 1 no SciTE (or no answer), 2 bad arguments, 3 time limit reached.
// Output goes to standard output as raw bytes; messages to standard error.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "director/escapes.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kMainClass[] = L"SciTEWindow";
constexpr wchar_t kDirectorClass[] = L"DirectorExtension";
constexpr wchar_t kReceiverClass[] = L"SciteRemoteReceiver";
constexpr wchar_t kOtherClass[] = L"SciteRemoteOther";
constexpr std::string_view kStringInfo = "macro:stringinfo:";
constexpr char kPaneProperty[] = "scite.remote.pane";
constexpr char kValueProperty[] = "scite.remote.value";

std::string gReply;
bool gReplied = false;

std::string utf8(std::wstring_view wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                      nullptr, nullptr);
  return text;
}

LRESULT CALLBACK receiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    gReply.assign(static_cast<const char*>(data->lpData), data->cbData);
    gReplied = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeWindow(const wchar_t* className, WNDPROC proc, DWORD style, const wchar_t* title) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, title, style, 40, 40, 480, 240, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

DWORD processOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

// SciTE's director window: the DirectorExtension window of the process that owns SciTEWindow.
HWND findDirector() {
  const HWND main = FindWindowW(kMainClass, nullptr);
  if (main == nullptr) {
    return nullptr;
  }
  const DWORD process = processOf(main);
  HWND candidate = nullptr;
  while ((candidate = FindWindowExW(nullptr, candidate, kDirectorClass, nullptr)) != nullptr) {
    if (processOf(candidate) == process) {
      return candidate;
    }
  }
  return nullptr;
}

class Director {
public:
  Director() : receiver_(makeWindow(kReceiverClass, receiverProc, 0, L"")) {}
  Director(const Director&) = delete;
  Director& operator=(const Director&) = delete;
  ~Director() { DestroyWindow(receiver_); }

  bool send(std::string_view command) {
    const HWND director = findDirector();
    if (director == nullptr) {
      return false;
    }
    std::string frame = ":" + std::to_string(reinterpret_cast<std::uintptr_t>(receiver_)) + ":";
    frame += command;
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(frame.size());
    data.lpData = frame.data();
    gReplied = false;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(director, WM_COPYDATA, reinterpret_cast<WPARAM>(receiver_),
                               reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                               &ignored) != 0;
  }

  // The property's value, or nothing when SciTE did not answer.
  bool ask(std::string_view key, std::string& value) {
    if (!send("askproperty:" + std::string(key)) || !gReplied) {
      return false;
    }
    const auto at = gReply.find(kStringInfo);
    value = at == std::string::npos
                ? std::string()
                : director::unescapeReply(gReply.substr(at + kStringInfo.size()));
    return true;
  }

private:
  HWND receiver_;
};

void print(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void pumpFor(std::chrono::milliseconds span) {
  const auto end = Clock::now() + span;
  while (Clock::now() < end) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int waitForScite(std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (findDirector() != nullptr) {
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::fputs("scite_remote: no SciTE window with a director window\n", stderr);
  return 3;
}

int bringToFront() {
  const HWND main = FindWindowW(kMainClass, nullptr);
  if (main == nullptr) {
    std::fputs("scite_remote: no SciTE window\n", stderr);
    return 1;
  }
  for (int attempt = 0; attempt < 40; ++attempt) {
    SetForegroundWindow(main);
    if (GetForegroundWindow() == main) {
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::fputs("scite_remote: SciTE's window did not come to the front\n", stderr);
  return 3;
}

int waitForPane(std::chrono::milliseconds limit, std::string_view wanted) {
  Director director;
  const auto end = Clock::now() + limit;
  std::string pane;
  const std::string fill =
      std::string("extender:dostring props['") + kPaneProperty + "']=output:GetText()";
  bool answered = false;
  for (;;) {
    if (director.send(fill) && director.ask(kPaneProperty, pane)) {
      answered = true;
      if (pane.find(wanted) != std::string::npos) {
        print(pane);
        return 0;
      }
    }
    if (Clock::now() >= end) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  print(pane);
  std::fputs(answered ? "scite_remote: time limit reached before the pane said so\n"
                      : "scite_remote: SciTE did not answer\n",
             stderr);
  return answered ? 3 : 1;
}

// Asked every 10 ms: one round (a dostring and an askproperty) takes about 6 ms, so the moment
// printed is at most about 16 ms late.
int waitForLua(std::chrono::milliseconds limit, std::string_view expression) {
  Director director;
  const auto end = Clock::now() + limit;
  const std::string property = std::string("props['") + kValueProperty + "']";
  // A round whose Lua fails leaves the value empty rather than the one before it.
  const std::string fill = "extender:dostring " + property + "='' " + property + "=tostring((" +
                           std::string(expression) + ") or '')";
  std::string value;
  bool answered = false;
  for (;;) {
    if (director.send(fill) && director.ask(kValueProperty, value)) {
      answered = true;
      if (!value.empty()) {
        const auto seen = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        print(std::to_string(seen.count()) + " " + value + "\n");
        return 0;
      }
    }
    if (Clock::now() >= end) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::fputs(answered ? "scite_remote: time limit reached before the expression held\n"
                      : "scite_remote: SciTE did not answer\n",
             stderr);
  return answered ? 3 : 1;
}

int showOther(std::chrono::milliseconds keep) {
  const HWND other =
      makeWindow(kOtherClass, DefWindowProcW, WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"Another window");
  const auto end = Clock::now() + keep;
  bool said = false;
  while (Clock::now() < end) {
    if (GetForegroundWindow() != other) {
      SetForegroundWindow(other);
    } else if (!said) {
      print("front\n");
      said = true;
    }
    pumpFor(std::chrono::milliseconds(50));
  }
  DestroyWindow(other);
  return said ? 0 : 3;
}

int usage() {
  std::fputs(
      "usage: scite_remote wait <ms> | front | send <command> | ask <key> |"
      " pane <ms> <text> | until <ms> <lua> | other <ms>\n",
      stderr);
  return 2;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) {
    args.push_back(utf8(wide[i]));
  }
  LocalFree(wide);
  if (args.empty()) {
    return usage();
  }
  const std::string& command = args[0];
  auto milliseconds = [&](std::size_t at) {
    return std::chrono::milliseconds(std::stol(args.at(at)));
  };
  if (command == "wait" && args.size() == 2) {
    return waitForScite(milliseconds(1));
  }
  if (command == "front" && args.size() == 1) {
    return bringToFront();
  }
  if (command == "send" && args.size() == 2) {
    Director director;
    if (!director.send(args[1])) {
      std::fputs("scite_remote: SciTE did not take the command\n", stderr);
      return 1;
    }
    return 0;
  }
  if (command == "ask" && args.size() == 2) {
    Director director;
    std::string value;
    if (!director.ask(args[1], value)) {
      std::fputs("scite_remote: SciTE did not answer\n", stderr);
      return 1;
    }
    print(value);
    return 0;
  }
  if (command == "pane" && args.size() == 3) {
    return waitForPane(milliseconds(1), args[2]);
  }
  if (command == "until" && args.size() == 3) {
    return waitForLua(milliseconds(1), args[2]);
  }
  if (command == "other" && args.size() == 2) {
    return showOther(milliseconds(1));
  }
  return usage();
}
