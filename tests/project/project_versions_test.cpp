// Files of every version read with the defaults of the fields they lack and
// resave as version 1.9.
#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "builder/project/project_json.h"
#include "tests/project/full_project.h"
#include "tests/project/legacy_writer.h"

namespace tw {
namespace {

// The full project as a file of version 1.minor would give it back.
void applyDefaultsOfVersion(ProjectDocument& p, int minor) {
  if (minor < 7) p.DefaultType = kTypeNormal;
  if (minor < 1) p.RadioForceReboot = false;
  if (minor < 3) p.EditCustomDll = "ZETUSUM.DLL";
  for (ShortcutEntry& e : p.CheckListBox2) {
    if (minor < 2) e.object.subFolder.clear();
    if (minor < 5) e.object.workDir.clear();
    if (minor < 9) {
      e.object.iconFile.clear();
      e.object.iconIndex = 0;
    }
  }
}

class ProjectVersions : public ::testing::TestWithParam<int> {};

TEST_P(ProjectVersions, ReadWithDefaultsAndResaveAsCurrent) {
  const int minor = GetParam();
  ProjectDocument source;
  test::fillFullProject(source);
  test::LegacyOptions options;
  options.minor = minor;
  std::vector<uint8_t> old = test::writeLegacyProject(source, options);

  ProjectDocument read;
  ProjectStatus status = readProject(old.data(), old.size(), read, {});
  ASSERT_TRUE(status.ok()) << status.message();

  ProjectDocument expected;
  test::fillFullProject(expected);
  applyDefaultsOfVersion(expected, minor);
  EXPECT_EQ(projectToJson(read), projectToJson(expected));
  EXPECT_EQ(writeProject(read), writeProject(expected));
  std::vector<uint8_t> resaved = writeProject(read);
  EXPECT_EQ(std::string(resaved.begin() + 1, resaved.begin() + 21).substr(1), "BM-Tamblewright 1.9");
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, ProjectVersions, ::testing::Values(0, 1, 2, 3, 5, 7, 8, 9),
                         [](const auto& info) { return "v1_" + std::to_string(info.param); });

TEST(ProjectVersions, Version18LacksOnlyTheIconFields) {
  ProjectDocument source;
  test::fillFullProject(source);
  test::LegacyOptions options;
  options.minor = 8;
  std::vector<uint8_t> old = test::writeLegacyProject(source, options);
  ProjectDocument read;
  ASSERT_TRUE(readProject(old.data(), old.size(), read, {}).ok());
  EXPECT_EQ(read.CheckListBox2[0].object.iconFile, "");
  EXPECT_EQ(read.CheckListBox2[0].object.iconIndex, 0);
  EXPECT_EQ(read.CheckListBox2[0].object.workDir, "<InstallDir>");
  EXPECT_EQ(read.CheckListBox2[0].object.subFolder, "Extras\\");
  EXPECT_EQ(read.DefaultType, kTypeBenutzer);
}

TEST(ProjectVersions, Version10GetsEveryDefault) {
  ProjectDocument source;
  test::fillFullProject(source);
  test::LegacyOptions options;
  options.minor = 0;
  std::vector<uint8_t> old = test::writeLegacyProject(source, options);
  ProjectDocument read;
  ASSERT_TRUE(readProject(old.data(), old.size(), read, {}).ok());
  EXPECT_EQ(read.DefaultType, kTypeNormal);
  EXPECT_FALSE(read.RadioForceReboot);
  EXPECT_EQ(read.EditCustomDll, "ZETUSUM.DLL");
  EXPECT_EQ(read.CheckListBox2[0].object.subFolder, "");
  EXPECT_EQ(read.CheckListBox2[0].object.workDir, "");
}

TEST(ProjectVersions, IndependentEncoderAgreesWithTheWriterOnVersion19) {
  ProjectDocument source;
  test::fillFullProject(source);
  EXPECT_EQ(test::writeLegacyProject(source, {}), writeProject(source));
}

TEST(ProjectVersions, MajorTwoReadsEveryField) {
  ProjectDocument source;
  test::fillFullProject(source);
  std::vector<uint8_t> b = writeProject(source);
  b[2 + 16] = '2';  // "BM-Tamblewright 2.9"
  ASSERT_EQ(b[2 + 17], '.');
  b[2 + 18] = '0';
  ProjectDocument read;
  ASSERT_TRUE(readProject(b.data(), b.size(), read, {}).ok());
  EXPECT_EQ(read.CheckListBox2[0].object.iconIndex, 255);
}

}  // namespace
}  // namespace tw
