// WININIT.INI [Rename] editing: appended, left alone, inserted in place.
#include <gtest/gtest.h>

#include "setup/core/removal/wininit_text.h"

namespace tw {
namespace {

const std::vector<std::string> kBoth = {"C:\\WINDOWS\\TEMP\\ZETURFD.EXE", "C:\\WINDOWS\\TEMP\\ZETURFD.DLL"};
const std::vector<std::string> kRemoverOnly = {"C:\\WINDOWS\\TEMP\\ZETURFD.EXE"};

TEST(WininitText, WithoutSectionAppendsHeaderAndLines) {
  EXPECT_EQ(withRenameDeletions("", kRemoverOnly), "[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\n");
  // A last line without its line end is not joined to the new header.
  EXPECT_EQ(withRenameDeletions("[boot]\r\nx=1", kBoth),
            "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.DLL\r\n");
}

TEST(WininitText, SectionWithTheLinesStaysUnchanged) {
  const std::string text = "[rename]\r\nC:\\A.DLL=C:\\A.DL_\r\nnul=c:\\windows\\temp\\zeturfd.exe\r\n"
                           "NUL=C:\\WINDOWS\\TEMP\\ZETURFD.DLL\r\n[other]\r\n";
  EXPECT_EQ(withRenameDeletions(text, kBoth), text);
  EXPECT_EQ(withRenameDeletions(text, kRemoverOnly), text);
}

TEST(WininitText, MissingLinesGoToTheEndOfTheSection) {
  EXPECT_EQ(withRenameDeletions("[Rename]\r\nC:\\A.DLL=C:\\A.DL_\r\n[Next]\r\nk=v\r\n", kRemoverOnly),
            "[Rename]\r\nC:\\A.DLL=C:\\A.DL_\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\n[Next]\r\nk=v\r\n");
  EXPECT_EQ(withRenameDeletions("[Rename]", kBoth),
            "[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.DLL\r\n");
  // A line of the same text in another section does not count.
  EXPECT_EQ(withRenameDeletions("[X]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\n[Rename]\r\n", kRemoverOnly),
            "[X]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\n[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\n");
}

TEST(WininitText, SecondLineGoesRightAfterTheFoundFirst) {
  EXPECT_EQ(withRenameDeletions("[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\nB=C\r\n", kBoth),
            "[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.DLL\r\nB=C\r\n");
  // The found first line is the file's last, without a line end.
  EXPECT_EQ(withRenameDeletions("[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE", kBoth),
            "[Rename]\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.EXE\r\nNUL=C:\\WINDOWS\\TEMP\\ZETURFD.DLL\r\n");
}

}  // namespace
}  // namespace tw
