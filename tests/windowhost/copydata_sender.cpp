// Test helper run as a separate process: finds a window by its title and sends it one
// WM_COPYDATA, then exits with the window procedure's answer (101 when no window has the title).
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
  constexpr int kUsage = 100;
  constexpr int kNotFound = 101;
  if (argc != 3) {
    return kUsage;
  }
  HWND target = FindWindowA(nullptr, argv[1]);
  if (target == nullptr) {
    return kNotFound;
  }
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(std::strlen(argv[2]));
  data.lpData = argv[2];
  const LRESULT answer = SendMessageW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return static_cast<int>(answer);
}
