// Inserting the path into message 1040 without a printf-style call.
#include "dispatcher/core/message_format.h"

#include <gtest/gtest.h>

namespace tw::dispatcher {
namespace {

TEST(MessageFormat, FirstPercentSIsThePath) {
  char out[200];
  insertIntoMessage("Der Systemordner\n\"%s\"\nmu\xDF ...", "C:\\TEMP\\", out, sizeof out);
  EXPECT_STREQ("Der Systemordner\n\"C:\\TEMP\\\"\nmu\xDF ...", out);
}

TEST(MessageFormat, OtherDirectivesAreTextNotArguments) {
  char out[200];
  insertIntoMessage("%s %s %d %n 100%%", "X", out, sizeof out);
  EXPECT_STREQ("X %s %d %n 100%", out);
}

TEST(MessageFormat, CutToTheBuffer) {
  char out[8];
  insertIntoMessage("ab%scd", "0123456789", out, sizeof out);
  EXPECT_STREQ("ab01234", out);
  insertIntoMessage("trailing %", "x", out, sizeof out);
  EXPECT_STREQ("trailin", out);
}

}  // namespace
}  // namespace tw::dispatcher
