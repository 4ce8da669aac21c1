// The stand-in document's selection, lines and positions.
#include "document.h"

#include <gtest/gtest.h>

namespace {

using standin::Document;

TEST(Document, SelectionWhicheverWayItWasMade) {
  const Document forward("one two three", 4, 7);
  EXPECT_EQ(forward.selectedText(), "two");
  EXPECT_EQ(forward.currentPos(), 7);
  const Document backward("one two three", 7, 4);
  EXPECT_EQ(backward.selectedText(), "two");
  EXPECT_EQ(backward.currentPos(), 4);
  const Document clamped("abc", -5, 99);
  EXPECT_EQ(clamped.selectedText(), "abc");
  EXPECT_EQ(Document("abc", 1, 1).selectedText(), "");
}

TEST(Document, LinesEndWithCrLfOrEither) {
  const Document doc("a\r\nbb\ncc\rd", 0, 0);
  EXPECT_EQ(doc.lineCount(), 4);
  struct Case {
    std::int64_t position;
    std::int64_t line;
  };
  const Case cases[] = {{-1, 0}, {0, 0}, {1, 0}, {2, 0},  {3, 1}, {5, 1},
                        {6, 2},  {8, 2}, {9, 3}, {10, 3}, {99, 3}};
  for (const Case& c : cases) {
    EXPECT_EQ(doc.lineFromPosition(c.position), c.line) << c.position;
  }
  EXPECT_EQ(doc.line(0), "a\r\n");
  EXPECT_EQ(doc.line(1), "bb\n");
  EXPECT_EQ(doc.line(2), "cc\r");
  EXPECT_EQ(doc.line(3), "d");
  EXPECT_EQ(doc.line(4), "");
  EXPECT_EQ(doc.positionFromLine(2), 6);
  EXPECT_EQ(doc.positionFromLine(4), -1);
  EXPECT_EQ(Document("x\ny", 2, 3).positionFromLine(-1), 2);
}

TEST(Document, CharactersColumnsAndStyles) {
  Document doc("\ta\xC3\xA9z", 0, 0);
  doc.setStyle(5);
  EXPECT_EQ(doc.charAt(1), 'a');
  EXPECT_EQ(doc.charAt(2), -61);  // signed, as the editor component reports bytes
  EXPECT_EQ(doc.charAt(5), 0);
  EXPECT_EQ(doc.charAt(-1), 0);
  EXPECT_EQ(doc.column(1), 8);
  EXPECT_EQ(doc.column(4), 10);  // the two-byte character counts once
  EXPECT_EQ(doc.column(5), 11);
  EXPECT_EQ(doc.styleAt(0), 5);
  EXPECT_EQ(doc.styleAt(5), 0);
}

}  // namespace
