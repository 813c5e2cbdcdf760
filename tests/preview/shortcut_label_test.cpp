// Shortcut letters kept when the setup type page names its option buttons.
#include "common/shortcut_label.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ShortcutLetter, FindsTheMarkedLetter) {
  EXPECT_EQ(shortcutLetter("&Normal"), 'n');
  EXPECT_EQ(shortcutLetter("Ne&tzwerk"), 't');
  EXPECT_EQ(shortcutLetter("Tom && Jerry"), 0);
  EXPECT_EQ(shortcutLetter("A && &Bc"), 'b');
  EXPECT_EQ(shortcutLetter("Ende&"), 0);
  EXPECT_EQ(shortcutLetter("\xDC" "ber"), 0);
  EXPECT_EQ(shortcutLetter("&\xDC" "ber"), 0xFC);
}

TEST(LabelWithShortcut, KeepsTheTemplateLetterWhereTheNameHasIt) {
  EXPECT_EQ(labelWithShortcut("Normal", "&Normal", "wzd"), "&Normal");
  EXPECT_EQ(labelWithShortcut("Netzwerk", "Ne&tzwerk", "wzdnmb"), "Ne&tzwerk");
  EXPECT_EQ(labelWithShortcut("Benutzer", "&Benutzerdefiniert", "wzdnm"), "&Benutzer");
}

TEST(LabelWithShortcut, OtherwiseTheFirstFreeLetter) {
  EXPECT_EQ(labelWithShortcut("Standard", "&Minimal", "wzd"), "&Standard");
  EXPECT_EQ(labelWithShortcut("Netzwerk", "&Normal", "wzdn"), "N&etzwerk");
  EXPECT_EQ(labelWithShortcut("1 Komplett", "&Custom", "k"), "&1 Komplett");
  EXPECT_EQ(labelWithShortcut("\xC4nderung", "&Custom", ""), "&\xC4nderung");
  EXPECT_EQ(labelWithShortcut("ab", "&Normal", "ab"), "ab");
  EXPECT_EQ(labelWithShortcut("", "&Normal", ""), "");
}

TEST(LabelWithShortcut, ANameWithItsOwnMarkStaysAsItIs) {
  EXPECT_EQ(labelWithShortcut("Mi&nimal", "&Minimal", ""), "Mi&nimal");
  EXPECT_EQ(labelWithShortcut("A & B", "&Normal", ""), "A & B");
}

}  // namespace
}  // namespace tw
