// FILELIST*.DAT lines: CR LF and LF, the 255-character limit, and lines
// that would reach outside the listed folder.
#include <gtest/gtest.h>

#include "setup/core/removal/filelist_text.h"

namespace tw {
namespace {

using Lines = std::vector<std::string>;

TEST(FileListText, LinesRelativeToTheFolder) {
  EXPECT_EQ(fileListEntries("a.tmp\r\nsub\\\r\n\r\nsub\\deep\\b.log\nlast"),
            (Lines{"a.tmp", "sub\\", "sub\\deep\\b.log", "last"}));
  EXPECT_EQ(fileListEntries(""), Lines{});
  EXPECT_EQ(fileListEntries("\r\n\r\n"), Lines{});
}

TEST(FileListText, OnlyTheFirst255CharactersOfALine) {
  std::string longName(300, 'x');
  Lines got = fileListEntries(longName + "\r\nnext");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], std::string(255, 'x'));
  EXPECT_EQ(got[1], "next");
}

TEST(FileListText, PathsLeavingTheFolderAreDropped) {
  EXPECT_EQ(fileListEntries("..\\boot.ini\r\nsub\\..\\..\\x\r\nC:\\AUTOEXEC.BAT\r\n\\WINDOWS\\WIN.INI\r\n"
                            "/etc\r\nsub/../x\r\n..\r\nok..name.txt\r\n.hidden\r\n"),
            (Lines{"ok..name.txt", ".hidden"}));
}

}  // namespace
}  // namespace tw
