// Removal list folders: roots and the system's folders are refused.
#include <gtest/gtest.h>

#include "setup/core/removal/removal_paths.h"

namespace tw {
namespace {

const std::vector<std::string> kSystem = {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\Programme\\"};

TEST(RemovalPaths, ApplicationFoldersMayGo) {
  EXPECT_TRUE(removableListFolder("C:\\Daten\\Cache\\", kSystem));
  EXPECT_TRUE(removableListFolder("C:\\Programme\\Notizblock\\Cache", kSystem));
  EXPECT_TRUE(removableListFolder("C:\\WINDOWS2", kSystem));  // a sibling, not the folder
  EXPECT_TRUE(removableListFolder("\\\\server\\share\\app", kSystem));
}

TEST(RemovalPaths, RootsAndSystemFoldersAndTheirParentsStay) {
  for (const char* p : {"C:\\", "c:", "C:/", "\\\\server\\share\\", "\\\\server", "c:\\windows\\", "C:\\Windows\\System",
                        "C:\\PROGRAMME", ""})
    EXPECT_FALSE(removableListFolder(p, kSystem)) << p;
  EXPECT_FALSE(removableListFolder("D:\\Win", {"D:\\Win\\Sys"}));
}

}  // namespace
}  // namespace tw
