// Work folder names: the temporary path, the random run folder name, the
// separator, and what does not fit.
#include "dispatcher/core/work_folder.h"

#include <gtest/gtest.h>

#include "common/run_folder.h"

namespace tw::dispatcher {
namespace {

TEST(WorkFolderName, TempPathZetSixteenUpperHexDigitsBackslash) {
  char out[kPathCapacity];
  ASSERT_TRUE(formatWorkFolder("C:\\WINDOWS\\TEMP\\", 0x0123456789ABCDEFull, out, sizeof out));
  EXPECT_STREQ("C:\\WINDOWS\\TEMP\\ZET0123456789ABCDEF\\", out);
  ASSERT_TRUE(formatWorkFolder("C:\\TEMP", 0xA, out, sizeof out));
  EXPECT_STREQ("C:\\TEMP\\ZET000000000000000A\\", out);
  EXPECT_TRUE(isRunFolderIn(out, "C:\\TEMP\\"));
}

TEST(WorkFolderName, RefusesWhatDoesNotFit) {
  // "C:\ABCDEFG\" (11) + 19 + "\" + zero = 32.
  char out[32];
  ASSERT_TRUE(formatWorkFolder("C:\\ABCDEFG\\", 1, out, sizeof out));
  EXPECT_FALSE(formatWorkFolder("C:\\ABCDEFGH\\", 1, out, sizeof out));
  EXPECT_STREQ("", out);
  EXPECT_FALSE(formatWorkFolder("C:\\ABCDEFGH", 1, out, 25));
  EXPECT_STREQ("", out);
}

}  // namespace
}  // namespace tw::dispatcher
