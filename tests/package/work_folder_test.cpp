// Work folder names: the pattern, the separator, and new names on retries.
#include "dispatcher/work_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tw::dispatcher {
namespace {

TEST(WorkFolderName, TempPathZetFourUpperHexDigitsBackslash) {
  char out[kPathCapacity];
  ASSERT_TRUE(formatWorkFolder("C:\\WINDOWS\\TEMP\\", 0x89ABCDEFu, out, sizeof out));
  EXPECT_STREQ("C:\\WINDOWS\\TEMP\\ZETCDEF\\", out);
  ASSERT_TRUE(formatWorkFolder("C:\\TEMP\\", 0x0000000Au, out, sizeof out));
  EXPECT_STREQ("C:\\TEMP\\ZET000A\\", out);
}

TEST(WorkFolderName, AddsTheMissingSeparator) {
  char out[kPathCapacity];
  ASSERT_TRUE(formatWorkFolder("C:\\TEMP", 0xABCD, out, sizeof out));
  EXPECT_STREQ("C:\\TEMP\\ZETABCD\\", out);
}

TEST(WorkFolderName, RefusesWhatDoesNotFit) {
  char out[20];
  ASSERT_TRUE(formatWorkFolder("C:\\ABCDEFG\\", 1, out, sizeof out));  // 19 chars
  EXPECT_FALSE(formatWorkFolder("C:\\ABCDEFGH\\", 1, out, sizeof out));
  EXPECT_STREQ("", out);
  EXPECT_FALSE(formatWorkFolder("C:\\ABCDEFGH", 1, out, 13));
  EXPECT_STREQ("", out);
}

TEST(WorkFolderUnique, FirstFromTheClockThenTheNextNumbers) {
  WorkFolderUnique unique(0x1234FFFFu);
  EXPECT_EQ(0x1234FFFFu, unique.next());
  EXPECT_EQ(0x12350000u, unique.next());
  EXPECT_EQ(0x12350001u, unique.next());
}

// Wherever the clock starts them, all attempts together try every one of
// the 65536 names, each once.
TEST(WorkFolderUnique, AllAttemptsTryEveryNameOnce) {
  for (std::uint32_t clock : {0u, 0x4242FFF0u, 0xFFFFFFFFu}) {
    std::set<std::string> names;
    WorkFolderUnique unique(clock);
    for (std::uint32_t i = 0; i < kWorkFolderAttempts; ++i) {
      char out[kPathCapacity];
      ASSERT_TRUE(formatWorkFolder("C:\\T\\", unique.next(), out, sizeof out));
      names.insert(out);
    }
    EXPECT_EQ(kWorkFolderAttempts, names.size()) << clock;
  }
}

}  // namespace
}  // namespace tw::dispatcher
