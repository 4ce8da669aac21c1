// Helper for the POSIX own-path test: writes getAppFilename() and CurrentDir(), one a line, into
// the file named by its one argument, so the test can compare them with where it put the copy.
#include <cstdio>
#include <string>

#include "launcher/functions.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: probe <output file>\n", stderr);
    return 2;
  }
  const std::string text = launcher::getAppFilename() + '\n' + launcher::CurrentDir();
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    return 1;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
