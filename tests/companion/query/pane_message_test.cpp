// What a compiler's or an interpreter's line in the output pane leaves to search.
#include "companion/query/pane_message.h"

#include <gtest/gtest.h>

namespace {

struct MessageCase {
  const char* name;
  const char* pane;
  const char* message;
};

TEST(PaneMessage, EachLineLosesWhatOnlyLocatesIt) {
  const MessageCase cases[] = {
      {"gcc", "main.c:10:5: error: expected ';' before '}' token",
       "error: expected ';' before '}' token"},
      {"no column: Python's warnings", "/src/app.py:70: DeprecationWarning: use run()",
       "DeprecationWarning: use run()"},
      {"a drive's colon is no line", "C:\\src\\main.c:3:1: warning: unused 'x'",
       "warning: unused 'x'"},
      {"a path with spaces", "/my src/a.c:2: note: here", "note: here"},
      {"MSVC", "C:\\src\\main.cpp(12,5): error C2143: syntax error", "error C2143: syntax error"},
      {"MSVC without a column", "main.cpp(12): warning C4996: 'strcpy'", "warning C4996: 'strcpy'"},
      {"SciTE's markers", ">gcc main.c\n+> Exit code: 1\n!> main.c:1: oops",
       "gcc main.c Exit code: 1 oops"},
      {"a marker taken once: the message's own '>' kept", "+> >x", ">x"},
      // A message's own colons and brackets are no location: the first ": " ends any path.
      {"a colon of its own", "error: expected ':' before ')' token",
       "error: expected ':' before ')' token"},
      {"a bracket of its own", "note: f(3): called here", "note: f(3): called here"},
      {"a number with no ': ' after it", "main.c:12:5:x", "main.c:12:5:x"},
      {"no number", "main.c: In function 'main':", "main.c: In function 'main':"},
      {"no path", ":12: x", ":12: x"},
      {"MSVC's column comes after a comma", "a.cpp(12:3): x", "a.cpp(12:3): x"},
      {"a Python traceback: its places left out, the code and the error kept",
       "Traceback (most recent call last):\n  File \"x.py\", line 3, in <module>\n    f()\n"
       "NameError: name 'f' is not defined",
       "Traceback (most recent call last): f() NameError: name 'f' is not defined"},
      {"a File line without a line number", "File \"x.py\", line x", "File \"x.py\", line x"},
      {"lines joined, the empty ones left out", "a.c:1:1: first\r\n\r\n  \nb.c:2:2: second\n",
       "first second"},
      {"a location alone", "main.c:12:5: \nmain.cpp(3):", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::paneMessage(c.pane), c.message) << c.name;
  }
}

}  // namespace
