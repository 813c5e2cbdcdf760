// Trailing backslashes, parents and the lines of a text file.
#include <gtest/gtest.h>

#include "setup/core/main/path_text.h"

namespace tw {
namespace {

TEST(PathText, TrailingBackslashesGoButADrivesRootKeepsItsOwn) {
  EXPECT_EQ(withoutBackslash("C:\\Programme\\App\\"), "C:\\Programme\\App");
  EXPECT_EQ(withoutBackslash("C:\\Programme\\App\\\\"), "C:\\Programme\\App");
  EXPECT_EQ(withoutBackslash("C:\\"), "C:\\");
  EXPECT_EQ(withoutBackslash("C:\\\\\\"), "C:\\");
  EXPECT_EQ(withoutBackslash("\\\\server\\share\\"), "\\\\server\\share");
  EXPECT_EQ(withoutBackslash("C:\\App"), "C:\\App");

  // The spelling folders are compared in: a root loses its backslash too.
  EXPECT_EQ(withoutAnyBackslash("C:\\"), "C:");
  EXPECT_EQ(withoutAnyBackslash("C:\\App\\\\"), "C:\\App");
  EXPECT_EQ(withoutAnyBackslash("\\"), "\\");
  EXPECT_EQ(withoutAnyBackslash(""), "");
}

TEST(PathText, ParentOfAFileAKeyAndARootlessName) {
  EXPECT_EQ(parentPath("C:\\Programme\\App\\app.exe"), "C:\\Programme\\App");
  EXPECT_EQ(parentPath("Software\\Firma\\App"), "Software\\Firma");
  EXPECT_EQ(parentPath("C:\\app.exe"), "C:");
  EXPECT_EQ(parentPath("app.exe"), "");

  // The removal walks up no further than the folder below a root.
  EXPECT_EQ(parentBelowRoot("C:\\Programme\\App"), "C:\\Programme");
  EXPECT_EQ(parentBelowRoot("C:\\Programme"), "");
  EXPECT_EQ(parentBelowRoot("\\Programme"), "");
  EXPECT_EQ(parentBelowRoot("Programme"), "");
  EXPECT_EQ(parentBelowRoot("\\\\server\\share\\App"), "\\\\server\\share");
}

TEST(PathText, LinesKeepTheirOwnEndsSoTheTextComesBackWhole) {
  const std::string text = "[Rename]\r\nNUL=C:\\A.TMP\nlast";
  std::vector<TextLine> lines = textLines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "[Rename]");
  EXPECT_EQ(lines[0].ending, "\r\n");
  EXPECT_EQ(lines[1].text, "NUL=C:\\A.TMP");
  EXPECT_EQ(lines[1].ending, "\n");
  EXPECT_EQ(lines[2].text, "last");
  EXPECT_EQ(lines[2].ending, "");
  std::string again;
  for (const TextLine& line : lines) again += line.text + line.ending;
  EXPECT_EQ(again, text);

  EXPECT_TRUE(textLines("").empty());
  // A lone CR ends no line; only the CR right before LF belongs to the end.
  lines = textLines("a\rb\r\r\n\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "a\rb\r");
  EXPECT_EQ(lines[0].ending, "\r\n");
  EXPECT_EQ(lines[1].text, "");
  EXPECT_EQ(lines[1].ending, "\n");
}

}  // namespace
}  // namespace tw
