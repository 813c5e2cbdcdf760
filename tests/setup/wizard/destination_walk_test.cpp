// The walk from a destination up to its nearest existing folder: forms that
// are refused, the levels found missing, and that every walk ends.
#include <gtest/gtest.h>

#include "setup/core/wizard/destination_walk.h"
#include "tests/support/memory_file_system.h"

namespace tw {
namespace {

// Counts the lookups, so that a walk that does not end shows as a count
// far past the path's levels instead of a test that never returns.
class CountingFileSystem final : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}
  size_t lookups = 0;
  FileReadStatus readFile(const std::string& p, std::vector<uint8_t>& out) override { return inner_.readFile(p, out); }
  bool writeFile(const std::string& p, const void* d, size_t n) override { return inner_.writeFile(p, d, n); }
  bool fileExists(const std::string& p) override { return inner_.fileExists(p); }
  bool findFile(const std::string& p, FileInfo& info) override {
    if (++lookups > 10000) return true;  // a runaway walk ends here and fails the count checks
    return inner_.findFile(p, info);
  }
  bool copyFile(const std::string& a, const std::string& b) override { return inner_.copyFile(a, b); }
  bool createDirectories(const std::string& p) override { return inner_.createDirectories(p); }

 private:
  FileSystem& inner_;
};

struct Drives {
  test::MemoryFileSystem memory;
  CountingFileSystem files{memory};
  Drives() {
    memory.folders = {"C:\\", "C:\\Programme", "C:\\Programme\\Alt"};
    memory.put("C:\\Programme\\liesmich.txt", {'x'});
  }
};

TEST(DestinationWalk, MissingDriveEndsAtItsRoot) {
  Drives d;
  AncestorWalk walk = walkToExisting(d.files, "Q:\\Test");
  EXPECT_EQ(walk.result, WalkResult::NoneExists);
  EXPECT_TRUE(walk.missing.empty());
  EXPECT_EQ(d.files.lookups, 2u);  // "Q:\Test", then "Q:\"

  Drives root;
  EXPECT_EQ(walkToExisting(root.files, "Q:\\").result, WalkResult::NoneExists);
  EXPECT_EQ(root.files.lookups, 1u);

  Drives deep;
  EXPECT_EQ(walkToExisting(deep.files, "q:\\a\\b\\c\\d\\e").result, WalkResult::NoneExists);
  EXPECT_EQ(deep.files.lookups, 6u);
}

TEST(DestinationWalk, FormsThatAreNoDriveFolderAreRefusedUnlooked) {
  for (const char* path : {"\\\\server\\share\\Programme", "\\\\server\\share", "\\\\?\\C:\\Programme", "C:",
                           "C:Programme", "Programme\\Neu", "\\Programme", "", "1:\\Programme", "\\\\"}) {
    Drives d;
    AncestorWalk walk = walkToExisting(d.files, path);
    EXPECT_EQ(walk.result, WalkResult::NotAbsolute) << path;
    EXPECT_EQ(d.files.lookups, 0u) << path;
  }
}

TEST(DestinationWalk, ASharesRootEndsTheWalkWhereSharesAreAllowed) {
  Drives d;
  d.memory.folders.insert("\\\\server\\share");
  AncestorWalk walk = walkToExisting(d.files, "\\\\server\\share\\Programme\\Neu\\", kMaxFolderPath, true);
  ASSERT_TRUE(walk.found());
  EXPECT_EQ(walk.path, "\\\\server\\share\\Programme\\Neu");
  EXPECT_EQ(walk.existing, "\\\\server\\share");
  EXPECT_EQ(walk.missing, (std::vector<std::string>{"\\\\server\\share\\Programme\\Neu", "\\\\server\\share\\Programme"}));

  Drives gone;
  EXPECT_EQ(walkToExisting(gone.files, "\\\\other\\share\\a\\b", kMaxFolderPath, true).result,
            WalkResult::NoneExists);
  EXPECT_EQ(gone.files.lookups, 3u);  // never above the share
  for (const char* path : {"\\\\server", "\\\\server\\", "\\\\\\share\\a", "\\\\server\\\\a"}) {
    Drives bad;
    EXPECT_EQ(walkToExisting(bad.files, path, kMaxFolderPath, true).result, WalkResult::NotAbsolute) << path;
    EXPECT_EQ(bad.files.lookups, 0u) << path;
  }
}

TEST(DestinationWalk, DriveRootAndTrailingBackslashes) {
  Drives d;
  AncestorWalk root = walkToExisting(d.files, "C:\\");
  ASSERT_TRUE(root.found());
  EXPECT_EQ(root.existing, "C:\\");
  EXPECT_TRUE(root.existingInfo.directory);
  EXPECT_TRUE(root.missing.empty());

  AncestorWalk rootTwice = walkToExisting(d.files, "C:\\\\\\");
  ASSERT_TRUE(rootTwice.found());
  EXPECT_EQ(rootTwice.path, "C:\\");

  AncestorWalk trailing = walkToExisting(d.files, "C:\\Neu\\\\\\");
  ASSERT_TRUE(trailing.found());
  EXPECT_EQ(trailing.path, "C:\\Neu");
  EXPECT_EQ(trailing.existing, "C:\\");
  EXPECT_EQ(trailing.missing, std::vector<std::string>{"C:\\Neu"});
}

TEST(DestinationWalk, MissingLevelsComeDeepestFirst) {
  Drives d;
  AncestorWalk walk = walkToExisting(d.files, "C:\\Programme\\Alt\\Neu\\Teil");
  ASSERT_TRUE(walk.found());
  EXPECT_EQ(walk.existing, "C:\\Programme\\Alt");
  EXPECT_EQ(walk.missing, (std::vector<std::string>{"C:\\Programme\\Alt\\Neu\\Teil", "C:\\Programme\\Alt\\Neu"}));

  AncestorWalk there = walkToExisting(d.files, "C:\\Programme");
  ASSERT_TRUE(there.found());
  EXPECT_EQ(there.existing, "C:\\Programme");
  EXPECT_TRUE(there.missing.empty());
  EXPECT_EQ(d.files.lookups, 4u);
}

TEST(DestinationWalk, AFileInTheWayIsReportedAsWhatExists) {
  Drives d;
  AncestorWalk walk = walkToExisting(d.files, "C:\\Programme\\liesmich.txt\\Neu");
  ASSERT_TRUE(walk.found());
  EXPECT_EQ(walk.existing, "C:\\Programme\\liesmich.txt");
  EXPECT_FALSE(walk.existingInfo.directory);
}

TEST(DestinationWalk, NamesNoFileSystemTakesAreRefused) {
  for (const char* path : {"C:\\Pro*gramme", "C:\\Pro?", "C:\\a\\\\b", "C:\\a:b", "C:\\a|b", "C:\\a/b", "C:\\a\tb",
                           "C:\\\\a", "C:\\Programme\\..", "C:\\..\\Windows", "C:\\.\\a", "C:\\Neu.", "C:\\Neu \\Teil",
                           "C:\\..."}) {
    Drives d;
    EXPECT_EQ(walkToExisting(d.files, path).result, WalkResult::InvalidName) << path;
    EXPECT_EQ(d.files.lookups, 0u) << path;
  }
}

TEST(DestinationWalk, LongPathsStopAtTheLimitAndLongWalksEnd) {
  std::string atLimit = "C:\\";
  while (atLimit.size() < kMaxFolderPath) atLimit += atLimit.size() % 9 == 0 ? '\\' : 'a';
  if (atLimit.back() == '\\') atLimit.back() = 'b';
  ASSERT_EQ(atLimit.size(), kMaxFolderPath);
  Drives d;
  AncestorWalk walk = walkToExisting(d.files, atLimit);
  ASSERT_TRUE(walk.found());
  EXPECT_EQ(walk.existing, "C:\\");
  EXPECT_EQ(d.files.lookups, walk.missing.size() + 1);

  Drives over;
  EXPECT_EQ(walkToExisting(over.files, atLimit + "c").result, WalkResult::TooLong);
  EXPECT_EQ(walkToExisting(over.files, "C:\\" + std::string(5000, 'x')).result, WalkResult::TooLong);
  EXPECT_EQ(over.files.lookups, 0u);

  // Without a length limit a path of a thousand levels on a missing drive
  // still takes one lookup per level.
  std::string deep = "R:";
  for (int i = 0; i < 1000; ++i) deep += "\\d";
  Drives far;
  EXPECT_EQ(walkToExisting(far.files, deep, std::string::npos).result, WalkResult::NoneExists);
  EXPECT_EQ(far.files.lookups, 1001u);
}

}  // namespace
}  // namespace tw
