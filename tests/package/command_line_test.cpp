// The runtime's command line: exact quoting, and no overflow or cut path.
#include "dispatcher/core/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace tw::dispatcher {
namespace {

TEST(RuntimeCommandLine, QuotesRuntimeKeywordAndPackage) {
  char out[kCommandLineCapacity];
  ASSERT_TRUE(buildRuntimeCommandLine("C:\\TEMP\\ZET1A2B\\",
                                      "D:\\Downloads\\My App Setup.exe", out,
                                      sizeof out));
  EXPECT_STREQ(
      "\"C:\\TEMP\\ZET1A2B\\_Setup.exe\" ZETUFINST \"D:\\Downloads\\My App Setup.exe\"",
      out);
}

TEST(RuntimeCommandLine, LongestPathsStillFitTheBuffer) {
  // Both paths at the platform's limit of 259 characters.
  const std::string folder = "C:\\" + std::string(255, 'w') + "\\";
  const std::string package = "C:\\" + std::string(256, 'p');
  char out[kCommandLineCapacity];
  EXPECT_FALSE(buildRuntimeCommandLine(folder.c_str(), package.c_str(), out,
                                       sizeof out));
  EXPECT_STREQ("", out);
  // 1 + 200 + 23 + 250 + 1 = 475: fits, with the package path whole.
  const std::string shorter = "C:\\" + std::string(196, 'w') + "\\";
  const std::string pkg250 = "C:\\" + std::string(247, 'p');
  ASSERT_TRUE(buildRuntimeCommandLine(shorter.c_str(), pkg250.c_str(), out,
                                      sizeof out));
  EXPECT_EQ("\"" + shorter + "_Setup.exe\" ZETUFINST \"" + pkg250 + "\"",
            std::string(out));
}

TEST(RuntimeCommandLine, RefusesOneCharacterTooMany) {
  const std::string folder = "C:\\W\\";  // line: 1+5+23+n+1 = 30+n chars
  const std::string fits(kCommandLineCapacity - 1 - 30, 'p');
  char out[kCommandLineCapacity];
  EXPECT_TRUE(buildRuntimeCommandLine(folder.c_str(), fits.c_str(), out, sizeof out));
  EXPECT_EQ(kCommandLineCapacity - 1, std::string(out).size());
  const std::string tooLong = fits + "p";
  EXPECT_FALSE(buildRuntimeCommandLine(folder.c_str(), tooLong.c_str(), out, sizeof out));
}

}  // namespace
}  // namespace tw::dispatcher
