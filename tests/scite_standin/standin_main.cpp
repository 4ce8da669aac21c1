// A stand-in for SciTE on Windows, for tests and demos of the director client.
//
// Start:   scite_standin.exe <dir> [key=value ...]
//          <dir> must exist. Settings come from <dir>\scenario (one key=value a line, '#'
//          comments) and then from the command line. Values take \\ \n \r \t \0 \xHH escapes.
//            document=<text>            the editor's text (default empty)
//            anchor=<n> caret=<n>       the selection, as byte positions (default 0 0)
//            style=<n>                  what editor.StyleAt gives inside the text (default 0)
//            file=<path>                the document's file name: the properties FilePath,
//                                       FileNameExt and FileExt unless set by property=
//            property=<key>=<value>     an initial property (repeatable)
//            foreground=no              a visible decoy window takes the foreground instead
//            reply-counts-nul=yes       cbData of each answer counts a terminating NUL
//            fault=<kind>               no-reply | no-prefix | embedded-nul | short-cbdata |
//                                       reply-all (see scenario.h)
//            extra-directors=<n>        n more "DirectorExtension" windows, each in a process of
//                                       its own, made after this one's (they list first)
//            parented-director=yes      one more "DirectorExtension", owned by the main window
//            mode=director-only         only a hidden "DirectorExtension" window
//            timeout=<ms>               end by itself after this long (default 60000)
//            lua-startup=<code>         Lua run once before any frame, e.g. to replace an
//                                       editor method
// Ready:   <dir>\ready appears (written whole, then renamed) once the windows exist and the main
//          window is in the foreground: "pid=<n>", "main=<hwnd>", "director=<hwnd>" lines.
// Stop:    create <dir>\quit (or close the main window); the process then ends within ~50 ms
//          with exit code 0. After the time-out it ends with exit code 2; bad settings give 1.
// Results, kept up to date after every frame:
//          <dir>\transcript   every WM_COPYDATA received, in order (format in results.h)
//          <dir>\output       the output pane's text, raw bytes
//          <dir>\properties   key=value lines, values escaped as in the settings
//          An extra director's files are in <dir>\extra<i>\.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "director_core.h"
#include "lua_extender.h"
#include "results.h"
#include "scenario.h"
#include "tests/support/files.h"

namespace {

namespace fs = std::filesystem;
using test_support::readFile;
using test_support::writeFile;

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 25;
constexpr UINT kReplyTimeoutMilliseconds = 10000;
constexpr auto kChildWait = std::chrono::seconds(20);

std::string utf8(const std::wstring& wide) {
  if (wide.empty()) {
    return {};
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string handleText(HWND window) {
  return std::to_string(reinterpret_cast<std::intptr_t>(window));
}

struct ChildProcess {
  fs::path dir;
  PROCESS_INFORMATION info{};
};

class StandIn {
public:
  StandIn(fs::path dir, standin::Options options);
  ~StandIn();
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  void start();
  int run();
  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
  HWND makeWindow(const wchar_t* className, const wchar_t* title, DWORD style, HWND owner);
  void registerClass(const wchar_t* name);
  void startExtraDirectors();
  void stopExtraDirectors();
  void keepForeground();
  void onFrame(HWND window, WPARAM wParam, const COPYDATASTRUCT& data);
  void sendReply(HWND from, const standin::Reply& reply);
  void writeResults();
  void writeReady();
  [[nodiscard]] std::string windowName(HWND window) const;
  [[nodiscard]] HWND timerWindow() const { return main_ ? main_ : director_; }

  fs::path dir_;
  standin::Options options_;
  standin::EditorState state_;
  std::unique_ptr<standin::LuaExtender> lua_;
  std::unique_ptr<standin::DirectorCore> core_;
  HWND main_{};
  HWND director_{};
  HWND parented_{};
  HWND decoy_{};
  HWND replyingWindow_{};
  std::vector<ChildProcess> children_;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  int exitCode_ = 0;
};

StandIn* theStandIn = nullptr;  // the window procedure's way back to its object

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (theStandIn != nullptr) {
    return theStandIn->handle(window, message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

StandIn::StandIn(fs::path dir, standin::Options options)
    : dir_(std::move(dir)), options_(std::move(options)) {
  state_.document = standin::Document(options_.document, options_.anchor, options_.caret);
  state_.document.setStyle(options_.style);
  state_.properties = standin::startingProperties(options_);
  lua_ = std::make_unique<standin::LuaExtender>(state_);
  if (!options_.startupLua.empty()) {
    (void)lua_->doString(options_.startupLua);
  }
  core_ = std::make_unique<standin::DirectorCore>(
      state_, options_, lua_.get(),
      [this](const standin::Reply& reply) { sendReply(replyingWindow_, reply); });
  theStandIn = this;
}

StandIn::~StandIn() {
  theStandIn = nullptr;
}

void StandIn::registerClass(const wchar_t* name) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name;
  if (RegisterClassExW(&windowClass) == 0) {
    throw std::runtime_error("cannot register a window class");
  }
}

HWND StandIn::makeWindow(const wchar_t* className, const wchar_t* title, DWORD style, HWND owner) {
  HWND window = CreateWindowExW(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                                owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) {
    throw std::runtime_error("cannot create a window");
  }
  return window;
}

void StandIn::start() {
  registerClass(L"DirectorExtension");
  writeResults();
  writeFile(dir_ / "transcript", "");
  if (!options_.directorOnly) {
    registerClass(L"SciTEWindow");
    const std::wstring title = L"stand-in " + std::to_wstring(GetCurrentProcessId()) + L" - SciTE";
    main_ = makeWindow(L"SciTEWindow", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
  }
  // Like SciTE's: top-level, no parent or owner, never shown.
  director_ = makeWindow(L"DirectorExtension", L"DirectorExtension", WS_OVERLAPPEDWINDOW, nullptr);
  if (options_.parentedDirector && main_ != nullptr) {
    parented_ = makeWindow(L"DirectorExtension", L"DirectorExtension", WS_POPUP, main_);
  }
  if (!options_.directorOnly && !options_.foreground) {
    const std::wstring decoyClass = L"StandInDecoy" + std::to_wstring(GetCurrentProcessId());
    registerClass(decoyClass.c_str());
    decoy_ = makeWindow(decoyClass.c_str(), L"decoy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
  }
  startExtraDirectors();
  keepForeground();
  SetTimer(timerWindow(), kPollTimer, kPollMilliseconds, nullptr);
  writeReady();
}

void StandIn::startExtraDirectors() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  for (int i = 1; i <= options_.extraDirectors; ++i) {
    ChildProcess child{dir_ / ("extra" + std::to_string(i)), {}};
    fs::create_directories(child.dir);
    fs::remove(child.dir / "ready");
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" \"" + child.dir.wstring() +
                               L"\" mode=director-only timeout=" +
                               std::to_wstring(options_.timeoutMs);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child.info)) {
      throw std::runtime_error("cannot start an extra director");
    }
    children_.push_back(child);
    const auto deadline = std::chrono::steady_clock::now() + kChildWait;
    while (!fs::exists(child.dir / "ready")) {
      if (std::chrono::steady_clock::now() > deadline) {
        throw std::runtime_error("an extra director did not get ready");
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

void StandIn::stopExtraDirectors() {
  for (ChildProcess& child : children_) {
    writeFile(child.dir / "quit", "");
  }
  for (ChildProcess& child : children_) {
    if (WaitForSingleObject(child.info.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(child.info.hProcess, 3);
    }
    CloseHandle(child.info.hThread);
    CloseHandle(child.info.hProcess);
  }
  children_.clear();
}

void StandIn::keepForeground() {
  const HWND wanted = options_.foreground ? main_ : decoy_;
  if (wanted != nullptr && GetForegroundWindow() != wanted) {
    SetForegroundWindow(wanted);
  }
}

int StandIn::run() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  writeResults();
  stopExtraDirectors();
  return exitCode_;
}

std::string StandIn::windowName(HWND window) const {
  if (window == director_) {
    return "director";
  }
  if (window == parented_) {
    return "parented";
  }
  return window == main_ ? "main" : "other";
}

void StandIn::onFrame(HWND window, WPARAM wParam, const COPYDATASTRUCT& data) {
  standin::FrameRecord record;
  record.window = windowName(window);
  record.dwData = data.dwData;
  record.wParam = wParam;
  record.bytes = data.lpData == nullptr
                     ? std::string()
                     : std::string(static_cast<const char*>(data.lpData), data.cbData);
  record.cbData = static_cast<std::uint32_t>(record.bytes.size());
  std::ofstream transcript(dir_ / "transcript", std::ios::binary | std::ios::app);
  const std::string text = standin::transcriptRecord(record);
  transcript.write(text.data(), static_cast<std::streamsize>(text.size()));
  transcript.close();
  replyingWindow_ = window;
  core_->handleFrame(record.bytes);
  writeResults();
}

void StandIn::sendReply(HWND from, const standin::Reply& reply) {
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = reply.cbData;
  data.lpData = const_cast<char*>(reply.bytes.data());
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(reinterpret_cast<HWND>(reply.target), WM_COPYDATA,
                      reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                      kReplyTimeoutMilliseconds, &ignored);
}

void StandIn::writeResults() {
  writeFile(dir_ / "output", state_.output);
  writeFile(dir_ / "properties", standin::propertiesText(state_.properties));
}

void StandIn::writeReady() {
  const std::string text = "pid=" + std::to_string(GetCurrentProcessId()) +
                           "\nmain=" + handleText(main_) + "\ndirector=" + handleText(director_) +
                           "\n";
  writeFile(dir_ / "ready.tmp", text);
  fs::rename(dir_ / "ready.tmp", dir_ / "ready");
}

LRESULT StandIn::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA:
      onFrame(window, wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return 0;  // SciTE's answer to WM_COPYDATA
    case WM_TIMER: {
      const bool quit = fs::exists(dir_ / "quit");
      const bool late = std::chrono::steady_clock::now() - started_ >
                        std::chrono::milliseconds(options_.timeoutMs);
      if (quit || late) {
        exitCode_ = quit ? 0 : 2;
        KillTimer(window, kPollTimer);
        PostQuitMessage(exitCode_);
      } else {
        keepForeground();
      }
      return 0;
    }
    case WM_CLOSE:
      if (window == main_) {
        PostQuitMessage(0);
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int startStandIn() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) {
    std::cerr << "usage: scite_standin <dir> [key=value ...]\n";
    return 1;
  }
  const fs::path dir(arguments[1]);
  standin::Options options;
  try {
    if (fs::exists(dir / "scenario")) {
      standin::applyScenario(options, readFile(dir / "scenario"));
    }
    for (int i = 2; i < count; ++i) {
      standin::applySetting(options, utf8(arguments[i]));
    }
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    LocalFree(arguments);
    return 1;
  }
  LocalFree(arguments);
  StandIn standIn(dir, std::move(options));
  standIn.start();
  return standIn.run();
}

}  // namespace

int main() {
  try {
    return startStandIn();
  } catch (const std::exception& error) {
    std::cerr << "scite_standin: " << error.what() << "\n";
    return 1;
  }
}
