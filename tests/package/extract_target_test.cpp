// Where the runtime cabinet's files go, and names that must not go anywhere.
#include "dispatcher/core/extract_target.h"

#include <gtest/gtest.h>

#include <string>

namespace tw::dispatcher {
namespace {

constexpr char kWork[] = "C:\\WINDOWS\\TEMP\\ZET1A2B\\";

std::string target(const char* name, const char* work = kWork) {
  char out[260];
  if (!composeExtractTarget(work, name, out, sizeof out)) return "<refused>";
  return out;
}

TEST(ExtractTarget, UnderscoreNamesGoIntoTheWorkFolder) {
  EXPECT_EQ("C:\\WINDOWS\\TEMP\\ZET1A2B\\_SETUP.DLL", target("_SETUP.DLL"));
  EXPECT_EQ("C:\\WINDOWS\\TEMP\\ZET1A2B\\_SETUP.EXE", target("_SETUP.EXE"));
}

TEST(ExtractTarget, OtherNamesGoIntoTheTemporaryPath) {
  EXPECT_EQ("C:\\WINDOWS\\TEMP\\ZETURFD.EXE", target("ZETURFD.EXE"));
  EXPECT_EQ("C:\\ZETURFD.EXE", target("ZETURFD.EXE", "C:\\ZET0001\\"));
}

TEST(ExtractTarget, OrderOfEntriesDoesNotMatter) {
  // The remover first, then the runtime: still the work folder.
  EXPECT_EQ("C:\\WINDOWS\\TEMP\\ZETURFD.EXE", target("ZETURFD.EXE"));
  EXPECT_EQ("C:\\WINDOWS\\TEMP\\ZET1A2B\\_SETUP.EXE", target("_SETUP.EXE"));
}

TEST(ExtractTarget, RefusesNamesThatLeaveTheFolder) {
  EXPECT_EQ("<refused>", target("..\\..\\WINDOWS\\WIN.INI"));
  EXPECT_EQ("<refused>", target("_..\\evil.dll"));
  EXPECT_EQ("<refused>", target("sub/evil.dll"));
  EXPECT_EQ("<refused>", target("C:evil.dll"));
  EXPECT_EQ("<refused>", target(".."));
  EXPECT_EQ("<refused>", target("."));
  EXPECT_EQ("<refused>", target(""));
}

TEST(ExtractTarget, RefusesWhatDoesNotFit) {
  const std::string name(250, 'a');
  EXPECT_EQ("<refused>", target(("_" + name).c_str()));
  char small[30];
  EXPECT_FALSE(composeExtractTarget(kWork, "_SETUP.DLL", small, sizeof small));
  EXPECT_STREQ("", small);
}

TEST(ExtractTarget, RefusesAWorkFolderWithoutParent) {
  EXPECT_EQ("<refused>", target("ZETURFD.EXE", "ZET1A2B\\"));
  EXPECT_EQ("<refused>", target("_SETUP.EXE", "C:\\NOSLASH"));
}

}  // namespace
}  // namespace tw::dispatcher
