// Tests of how DecompressCab's cabinet path becomes FDI's name and folder.
#include "cabxpd32/core/cabinet_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace tw::cabxpd {
namespace {

struct Split {
  bool ok;
  std::string name;
  std::string folder;
};

Split split(const char* path) {
  char name[kCabinetPathBuffer];
  char folder[kCabinetPathBuffer];
  // Stale bytes must not show through.
  std::fill(std::begin(name), std::end(name), 'x');
  std::fill(std::begin(folder), std::end(folder), 'x');
  const bool ok = splitCabinetPath(path, name, folder);
  return {ok, name, folder};
}

TEST(CabinetPath, NoPathNamesTheMemoryImageWhole) {
  const Split s = split(nullptr);
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "\\.\\memory");
  EXPECT_EQ(s.folder, "");
}

TEST(CabinetPath, FolderKeepsItsTrailingBackslash) {
  const Split s = split("C:\\Temp\\ZET1A2B\\RUNTIME.CAB");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "RUNTIME.CAB");
  EXPECT_EQ(s.folder, "C:\\Temp\\ZET1A2B\\");
}

TEST(CabinetPath, BareNameHasAnEmptyFolder) {
  const Split s = split("data1.cab");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "data1.cab");
  EXPECT_EQ(s.folder, "");
}

TEST(CabinetPath, OnlyBackslashFirstIsABareName) {
  const Split s = split("\\data1.cab");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "\\data1.cab");
  EXPECT_EQ(s.folder, "");
}

TEST(CabinetPath, LeadingBackslashWithALaterOneSplitsAtTheLast) {
  const Split s = split("\\cabs\\data1.cab");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "data1.cab");
  EXPECT_EQ(s.folder, "\\cabs\\");
}

TEST(CabinetPath, UncPathSplitsAtTheLastBackslash) {
  const Split s = split("\\\\server\\share\\disk1.cab");
  EXPECT_EQ(s.name, "disk1.cab");
  EXPECT_EQ(s.folder, "\\\\server\\share\\");
}

TEST(CabinetPath, ForwardSlashesAreNotSeparators) {
  const Split s = split("C:/cabs/disk1.cab");
  EXPECT_EQ(s.name, "C:/cabs/disk1.cab");
  EXPECT_EQ(s.folder, "");
}

TEST(CabinetPath, TrailingBackslashLeavesAnEmptyName) {
  const Split s = split("C:\\cabs\\");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.folder, "C:\\cabs\\");
}

TEST(CabinetPath, EmptyPathIsAnEmptyBareName) {
  const Split s = split("");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.folder, "");
}

TEST(CabinetPath, PartsUpToTheBufferFit) {
  const std::string folder = "C:\\" + std::string(kCabinetPathBuffer - 5, 'd') + "\\";
  const std::string name(kCabinetPathBuffer - 1, 'n');
  ASSERT_EQ(folder.size(), kCabinetPathBuffer - 1);
  const Split s = split((folder + name).c_str());
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.folder, folder);
  EXPECT_EQ(s.name, name);
}

TEST(CabinetPath, TooLongAFolderOrNameFailsWithEmptyParts) {
  const std::string longFolder = "C:\\" + std::string(kCabinetPathBuffer, 'd') + "\\";
  Split s = split((longFolder + "a.cab").c_str());
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.folder, "");

  const std::string longName(kCabinetPathBuffer, 'n');
  s = split(("C:\\cabs\\" + longName).c_str());
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.folder, "");

  s = split(longName.c_str());
  EXPECT_FALSE(s.ok);
}

}  // namespace
}  // namespace tw::cabxpd
