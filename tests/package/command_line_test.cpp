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

namespace tw::dispatcher {
namespace {

TEST(RuntimeCommandLine, PassesThePackagesArgumentsOn) {
  char out[kCommandLineCapacity + kSwitchesCapacity];
  ASSERT_TRUE(buildRuntimeCommandLine("C:\\T\\ZET1\\", "C:\\p.exe", "/S /DIR=\"C:\\A B\"", out, sizeof out));
  EXPECT_STREQ("\"C:\\T\\ZET1\\_Setup.exe\" ZETUFINST \"C:\\p.exe\" /S /DIR=\"C:\\A B\"", out);
  // Arguments too long for the line are refused, never cut.
  const std::string many(kCommandLineCapacity + kSwitchesCapacity, 'x');
  EXPECT_FALSE(buildRuntimeCommandLine("C:\\T\\ZET1\\", "C:\\p.exe", many.c_str(), out, sizeof out));
  EXPECT_STREQ("", out);
}

TEST(RuntimeCommandLine, TheLogSwitch) {
  char path[64];
  EXPECT_TRUE(logRequested("/S \"/LOG=C:\\A B\\x.log\"", path, sizeof path));
  EXPECT_STREQ("C:\\A B\\x.log", path);
  EXPECT_TRUE(logRequested("-log:first.log /log=second.log", path, sizeof path));
  EXPECT_STREQ("second.log", path);
  EXPECT_FALSE(logRequested("/LOGFILE=x /LOG= /S", path, sizeof path));
  EXPECT_STREQ("", path);
  char tiny[4];
  EXPECT_FALSE(logRequested("/LOG=abcdef", tiny, sizeof tiny));
  EXPECT_TRUE(relativePath("x.log"));
  EXPECT_TRUE(relativePath("logs\\x.log"));
  EXPECT_FALSE(relativePath("C:\\x.log"));
  EXPECT_FALSE(relativePath("\\\\server\\share\\x.log"));
}

TEST(RuntimeCommandLine, OwnArgumentsAndTheSilentSwitch) {
  EXPECT_STREQ("/S /LOG=x", argumentsAfterProgram("\"C:\\Down loads\\p.exe\"  /S /LOG=x"));
  EXPECT_STREQ("-s", argumentsAfterProgram("p.exe -s"));
  EXPECT_STREQ("", argumentsAfterProgram("\"C:\\p.exe\""));
  EXPECT_TRUE(silentRequested("/DIR=C:\\X /s"));
  EXPECT_TRUE(silentRequested("-Progress"));
  EXPECT_TRUE(silentRequested("\"/S\""));
  // Only a whole argument counts, not a value or a longer name.
  EXPECT_FALSE(silentRequested("/DIR=\"C:\\A /S\" /SILENT /Sx S"));
  EXPECT_FALSE(silentRequested(""));
}

}  // namespace
}  // namespace tw::dispatcher
