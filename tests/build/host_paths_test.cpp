// Windows paths of a project on the host: separators, the "Z:" drive,
// CP1252 names, and names whose case differs from the files on disk.
#include "common/host_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/std_file_system.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

class HostPathsTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(testing::TempDir()) / ("host_paths_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "Files" / "Sub");
    write(root_ / "Files" / "Notiz.TXT", "notiz");
    write(root_ / "Files" / "Sub" / "\xC3\x9C" "bersicht.txt", "uebersicht");  // "Übersicht.txt" in UTF-8
    windowsRoot_ = "Z:" + root_.string();
    for (char& c : windowsRoot_)
      if (c == '/') c = '\\';
  }
  void TearDown() override { fs::remove_all(root_); }
  static void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

  fs::path root_;
  std::string windowsRoot_;
};

TEST_F(HostPathsTest, FindsFilesWhateverTheCaseAndCodePage) {
  EXPECT_EQ(hostPathOf(windowsRoot_ + "\\files\\notiz.txt"), (root_ / "Files" / "Notiz.TXT").string());
  // "\xFC" is "ü" in CP1252: the folder's "Ü" in UTF-8 matches it.
  EXPECT_EQ(hostPathOf(windowsRoot_ + "\\FILES\\sub\\\xFC" "BERSICHT.txt"),
            (root_ / "Files" / "Sub" / "\xC3\x9C" "bersicht.txt").string());
  StdFileSystem std;
  HostPathFileSystem files(std);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(files.readFile(windowsRoot_ + "\\fIlEs\\NOTIZ.txt", bytes), FileReadStatus::Ok);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "notiz");
  FileInfo info;
  EXPECT_TRUE(files.findFile(windowsRoot_ + "\\files\\sub", info));
  EXPECT_TRUE(info.directory);
}

TEST_F(HostPathsTest, ExactNamesWinAndMissingNamesStayAsWritten) {
  write(root_ / "Files" / "notiz.txt", "exact");
  write(root_ / "Files" / "NOTIZ.TXT", "upper");
  // The exact name first; otherwise the first match in byte order.
  EXPECT_EQ(hostPathOf(windowsRoot_ + "\\Files\\notiz.txt"), (root_ / "Files" / "notiz.txt").string());
  EXPECT_EQ(hostPathOf(windowsRoot_ + "\\Files\\Notiz.txt"), (root_ / "Files" / "NOTIZ.TXT").string());
  EXPECT_EQ(hostPathOf(windowsRoot_ + "\\files\\fehlt\\neu.txt"), (root_ / "Files" / "fehlt" / "neu.txt").string());
  // Relative paths and a trailing separator.
  EXPECT_EQ(hostPathOf("a\\b.txt"), "a/b.txt");
  EXPECT_EQ(hostPathOf(windowsRoot_ + "\\files\\"), (root_ / "Files").string() + "/");
  // Other drives name nothing on the host and are not rewritten into it.
  EXPECT_EQ(hostPathOf("C:\\Programme\\x.txt"), "C:/Programme/x.txt");
}

}  // namespace
}  // namespace tw
