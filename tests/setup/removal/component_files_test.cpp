// Which files of a component the removal deletes.
#include <gtest/gtest.h>

#include <map>

#include "setup/core/removal/component_files.h"

namespace tw {
namespace {

class CountsInMemory final : public SharedCounts {
 public:
  long release(const std::string& path) override {
    released.push_back(path);
    return --counts[path];
  }
  std::map<std::string, long> counts;
  std::vector<std::string> released;
};

ProfileEntry entry(int depth, uint32_t flags, const std::string& text) {
  ProfileEntry e;
  e.depth = depth;
  e.flags = flags;
  e.text = text;
  return e;
}

std::vector<std::string> paths(const std::vector<FileToRemove>& files) {
  std::vector<std::string> out;
  for (const FileToRemove& f : files) out.push_back(f.path);
  return out;
}

TEST(ComponentFiles, TheInstalledFilesGoAndTheIndexCountsDirectEntriesOnly) {
  ComponentRecord component;
  component.entries = {entry(1, kEntryFile, "a.exe"),
                       entry(2, kEntryFile, "below.txt"),  // not a direct entry: no index
                       entry(1, kEntryRegistry, "Key"),    // a direct entry without a file
                       entry(1, kEntryFile | kEntryReadOnly, "b.hlp"),
                       entry(1, kEntryFile, "c.txt")};
  InstalledFiles installed(4);
  installed.set(0);
  installed.set(2);
  CountsInMemory shared;
  std::vector<FileToRemove> files = componentFilesToRemove(component, installed, "C:\\App\\", false, shared);
  EXPECT_EQ(paths(files), (std::vector<std::string>{"C:\\App\\a.exe", "C:\\App\\b.hlp"}));
  ASSERT_EQ(files.size(), 2u);
  EXPECT_FALSE(files[0].readOnly);
  EXPECT_TRUE(files[1].readOnly);
  EXPECT_TRUE(shared.released.empty());

  // The record tells of fewer files than the profile has: the rest stays.
  InstalledFiles shorter(1);
  shorter.set(0);
  EXPECT_EQ(paths(componentFilesToRemove(component, shorter, "C:\\App", false, shared)),
            (std::vector<std::string>{"C:\\App\\a.exe"}));
}

TEST(ComponentFiles, ASharedFileGoesWhenItsCountDropsToZeroAndEveryCountIsLowered) {
  ComponentRecord component;
  component.entries = {entry(1, kEntryFile | kEntryShared, "one.dll"), entry(1, kEntryFile | kEntryShared, "two.dll"),
                       entry(1, kEntryFile | kEntryShared, "three.dll")};
  InstalledFiles installed(3);
  installed.set(2);
  CountsInMemory shared;
  shared.counts = {{"C:\\Sys\\one.dll", 1}, {"C:\\Sys\\two.dll", 3}, {"C:\\Sys\\three.dll", 2}};
  // one.dll was not installed by this run but nobody else uses it now;
  // two.dll is still used elsewhere; three.dll was installed by this run.
  EXPECT_EQ(paths(componentFilesToRemove(component, installed, "C:\\Sys", false, shared)),
            (std::vector<std::string>{"C:\\Sys\\one.dll", "C:\\Sys\\three.dll"}));
  EXPECT_EQ(shared.released.size(), 3u);
  EXPECT_EQ(shared.counts["C:\\Sys\\two.dll"], 2);
}

TEST(ComponentFiles, ANetworkInstallationTakesOnlyItsUpdateFiles) {
  ComponentRecord component;
  component.entries = {entry(1, kEntryFile, "server.exe"), entry(1, kEntryFile | kEntryUpdate, "local.ini"),
                       entry(1, kEntryFile | kEntryShared, "shared.dll")};
  InstalledFiles installed(3);
  installed.set(0);
  installed.set(1);
  installed.set(2);
  CountsInMemory shared;
  shared.counts = {{"X:\\App\\shared.dll", 1}};
  EXPECT_EQ(paths(componentFilesToRemove(component, installed, "X:\\App", true, shared)),
            (std::vector<std::string>{"X:\\App\\local.ini"}));
  // Its count is lowered all the same.
  EXPECT_EQ(shared.counts["X:\\App\\shared.dll"], 0);
}

TEST(ComponentFiles, PathsJoinWithOneBackslash) {
  EXPECT_EQ(joinPath("C:\\", "SETUP.EXE"), "C:\\SETUP.EXE");
  EXPECT_EQ(joinPath("C:\\App\\\\", "SETUP.EXE"), "C:\\App\\SETUP.EXE");
  EXPECT_EQ(joinPath("C:\\App", "SETUP.EXE"), "C:\\App\\SETUP.EXE");
}

}  // namespace
}  // namespace tw
