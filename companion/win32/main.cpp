// websearch.exe: searches the web for the editor's selection that the launcher passes on.
#include "companion/win32/system.h"

int main() {
  return companion::runCompanion();
}
