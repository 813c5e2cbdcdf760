// The project model: new projects, installation types, component ids,
// opening and creating projects, the last-project memory.
#include <gtest/gtest.h>

#include <map>

#include "builder/project/last_project.h"
#include "builder/project/project_io.h"
#include "tests/support/memory_file_system.h"

namespace tw {
namespace {

class FakeLanguage final : public LanguageTexts {
 public:
  std::string text(int id) const override {
    if (id >= 200 && id <= 203) return "Beschreibung " + std::to_string(id) + std::string(300, '.');
    return {};
  }
};

std::vector<std::string> rootTexts(const Tree& t) {
  std::vector<std::string> out;
  for (const auto& r : t.roots) out.push_back(r->text);
  return out;
}

TEST(ProjectModel, NewProjectHasOneTypeAndOneComponent) {
  ProjectDocument p;
  FakeLanguage language;
  p.EditApp = "alt";
  p.CheckUserInst = true;
  p.RadioForceReboot = true;
  p.EditCustomDll = "X.DLL";
  p.ResetProject(language);
  EXPECT_EQ(p.EditApp, "");
  EXPECT_EQ(rootTexts(p.TVITypes), std::vector<std::string>{"Normal"});
  EXPECT_TRUE(p.TVITypes.roots[0]->expanded);
  ASSERT_EQ(p.fileComponentsRoot()->children.size(), 1u);
  const TreeNode& c = *p.fileComponentsRoot()->children[0];
  EXPECT_EQ(c.text, "Programmdateien");
  EXPECT_EQ(c.komp->id, 0);
  EXPECT_EQ(c.komp->path, "<InstallDir>");
  EXPECT_EQ(c.selectedPicture, 1);
  EXPECT_EQ(p.NextComponentId, 1);
  EXPECT_EQ(p.EditTargetDir, "<ProgramFilesDir>");
  EXPECT_EQ(p.EditTitleSz, "36");
  EXPECT_EQ(p.ComboLogoAlign, 4);
  EXPECT_EQ(p.ComboColor, 10);
  EXPECT_FALSE(p.CheckUserInst);
  // The description comes from string 200, cut to 255 characters.
  EXPECT_EQ(p.typeDescription(kTypeNormal).size(), 255u);
  EXPECT_EQ(p.typeDescription(kTypeNormal).substr(0, 16), "Beschreibung 200");
  // Reboot choice, language and extension DLL survive a reset.
  EXPECT_TRUE(p.RadioForceReboot);
  EXPECT_EQ(p.EditCustomDll, "X.DLL");
}

TEST(ProjectModel, TypesKeepTheirOrderWhateverOrderTheyAreAdded) {
  ProjectDocument p;
  FakeLanguage language;
  p.ResetProject(language);
  p.addInstallationType(kTypeNetzwerk, language);
  p.addInstallationType(kTypeMinimal, language);
  p.addInstallationType(kTypeBenutzer, language);
  EXPECT_EQ(rootTexts(p.TVITypes), (std::vector<std::string>{"Normal", "Minimal", "Benutzer", "Netzwerk"}));
  EXPECT_EQ(p.typeRoot(kTypeBenutzer)->value, kTypeBenutzer);
  EXPECT_EQ(p.typeDescription(kTypeNetzwerk).substr(0, 16), "Beschreibung 203");
  p.removeInstallationType(kTypeMinimal);
  EXPECT_EQ(rootTexts(p.TVITypes), (std::vector<std::string>{"Normal", "Benutzer", "Netzwerk"}));
  p.addInstallationType(kTypeMinimal, language);
  EXPECT_EQ(rootTexts(p.TVITypes), (std::vector<std::string>{"Normal", "Minimal", "Benutzer", "Netzwerk"}));
  p.addInstallationType(kTypeMinimal, language);  // already there
  EXPECT_EQ(p.TVITypes.roots.size(), 4u);
}

TEST(ProjectModel, RemovingTheDefaultTypeFallsBackToNormal) {
  ProjectDocument p;
  FakeLanguage language;
  p.addInstallationType(kTypeMinimal, language);
  p.addInstallationType(kTypeBenutzer, language);
  p.DefaultType = kTypeMinimal;
  p.removeInstallationType(kTypeBenutzer);
  EXPECT_EQ(p.DefaultType, kTypeMinimal);
  p.removeInstallationType(kTypeMinimal);
  EXPECT_EQ(p.DefaultType, kTypeNormal);
  p.removeInstallationType(kTypeNormal);  // Normal always exists
  EXPECT_EQ(rootTexts(p.TVITypes), std::vector<std::string>{"Normal"});
}

TEST(ProjectModel, ComponentIdsAreTakenAndGivenBack) {
  ProjectDocument p;
  p.ResetProject(NoLanguageTexts());
  EXPECT_EQ(p.allocateComponentId(), 1);
  EXPECT_EQ(p.allocateComponentId(), 2);
  p.returnComponentId();  // the dialog was cancelled
  EXPECT_EQ(p.allocateComponentId(), 2);
  EXPECT_EQ(p.NextComponentId, 3);
}

TEST(ProjectModel, NotOptionalResetsTheStateToTheTickedBox) {
  ProjectDocument p;
  FakeLanguage language;
  p.ResetProject(language);
  p.addInstallationType(kTypeBenutzer, language);
  TreeNode& component = *p.fileComponentsRoot()->children[0];
  TreeNode& ref = p.typeRoot(kTypeBenutzer)->addChild(component.text, component.picture);
  ref.value = component.komp->id;
  p.setComponentFlags(component, kKompStateBit3);
  p.resolveTypeReferences();
  EXPECT_EQ(ref.state, StatePicture::OptionSelected);
  p.setComponentFlags(component, kKompStateBit3 | kKompStateBit5 | kKompNotOptional);
  EXPECT_EQ(component.komp->flags, kKompNotOptional);
  EXPECT_EQ(ref.state, StatePicture::CheckBoxTicked);
}

TEST(ProjectModel, TypeDescriptionsAreCutAndKeepStaleBytes) {
  ProjectDocument p;
  p.setTypeDescription(1, std::string(300, 'x'));
  EXPECT_EQ(p.typeDescription(1), std::string(255, 'x'));
  p.setTypeDescription(1, "kurz");
  EXPECT_EQ(p.typeDescription(1), "kurz");
  EXPECT_EQ(p.TypeDescriptions[256 + 5], 'x');  // beyond the terminator, as the buffer holds it
}

TEST(ProjectModel, VersionSplitsAtTheFirstDot) {
  ProjectDocument p;
  p.setVersionText("3.1.4");
  EXPECT_EQ(p.EditVer, "3");
  EXPECT_EQ(p.EditVer2, "1.4");
  p.setVersionText("7");
  EXPECT_EQ(p.EditVer2, "");
  EXPECT_EQ(p.versionText(), "7.");
  p.setVersionText(".");
  EXPECT_EQ(p.versionText(), ".");
}

class OpenCreate : public ::testing::Test {
 protected:
  test::MemoryFileSystem fs;
  FakeLanguage language;
  ProjectContext context{fs, language, {}};
  ProjectDocument p;
};

TEST_F(OpenCreate, MissingPathGivesANewProjectAndWritesNothing) {
  p.EditApp = "alt";
  ASSERT_TRUE(OpenCreateProject(context, "C:\\Projekte\\neu.tbw", p).ok());
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(p.EditApp, "");
  EXPECT_EQ(p.ProjectPath, "C:\\Projekte\\neu.tbw");
  EXPECT_EQ(p.DefSrcPathValue, "C:\\Projekte");
  EXPECT_EQ(p.windowCaption(), "Brakmoor Tamblewright - [neu.tbw]");
}

TEST_F(OpenCreate, ExistingProjectIsLoadedAndKeepsItsSourcePath) {
  ProjectDocument saved;
  saved.EditApp = "Gespeichert";
  saved.DefSrcPathValue = "D:\\Quellen";
  saved.LastPackagePath = "x";
  ASSERT_TRUE(saveProjectAs(fs, "C:\\P\\a.tbw", saved).ok());
  p.EditUserLB = "liste.bmp";
  p.LastPackagePath = "C:\\out.exe";
  ASSERT_TRUE(OpenCreateProject(context, "C:\\P\\a.tbw", p).ok());
  EXPECT_EQ(p.EditApp, "Gespeichert");
  EXPECT_EQ(p.DefSrcPathValue, "D:\\Quellen");
  EXPECT_EQ(p.EditUserLB, "liste.bmp");  // not part of the file
  EXPECT_EQ(p.LastPackagePath, "");       // forgotten on open
  EXPECT_FALSE(p.Modified);
}

TEST_F(OpenCreate, EmptySourcePathBecomesTheProjectFolder) {
  ProjectDocument saved;
  ASSERT_TRUE(saveProjectAs(fs, "C:\\P\\b.tbw", saved).ok());
  ASSERT_TRUE(OpenCreateProject(context, "C:\\P\\b.tbw", p).ok());
  EXPECT_EQ(p.DefSrcPathValue, "C:\\P");
}

TEST_F(OpenCreate, DamagedFileLeavesTheCurrentProjectWhole) {
  ASSERT_TRUE(OpenCreateProject(context, "C:\\P\\gut.tbw", p).ok());
  p.EditApp = "Ungespeichert";
  std::vector<uint8_t> bytes = writeProject(p);
  bytes.resize(bytes.size() / 2);
  fs.put("C:\\P\\kaputt.tbw", bytes);
  ProjectStatus status = OpenCreateProject(context, "C:\\P\\kaputt.tbw", p);
  EXPECT_EQ(status.error, ProjectError::StreamRead);
  EXPECT_EQ(p.EditApp, "Ungespeichert");
  EXPECT_EQ(p.ProjectPath, "C:\\P\\gut.tbw");
}

TEST_F(OpenCreate, NonProjectFileOpensUnderItsPathWithTheModelKept) {
  p.EditApp = "bleibt";
  fs.put("C:\\P\\fremd.tbw", {0x06, 0x03, 'a', 'b', 'c'});
  ProjectStatus status = OpenCreateProject(context, "C:\\P\\fremd.tbw", p);
  EXPECT_EQ(status.error, ProjectError::NotAProject);
  EXPECT_EQ(p.EditApp, "bleibt");
  EXPECT_EQ(p.ProjectPath, "C:\\P\\fremd.tbw");
}

class FakeRegistry final : public Registry {
 public:
  std::map<std::string, std::string> values;
  bool readString(RegistryRoot root, const std::string& key, const std::string& name,
                  std::string& value) override {
    auto it = values.find(std::to_string(int(root)) + key + "|" + name);
    if (it == values.end()) return false;
    value = it->second;
    return true;
  }
  bool writeString(RegistryRoot root, const std::string& key, const std::string& name,
                   const std::string& value) override {
    values[std::to_string(int(root)) + key + "|" + name] = value;
    return true;
  }
};

TEST(LastProject, StoredUnderTheBuilderKeyAndDroppedWhenGone) {
  FakeRegistry registry;
  test::MemoryFileSystem fs;
  EXPECT_EQ(readLastProject(registry, fs), "");
  ASSERT_TRUE(writeLastProject(registry, "C:\\P\\a.tbw"));
  EXPECT_EQ(registry.values.count("2\\Software\\Brakmoor\\Tamblewright\\1.0|LastProject"), 1u);
  EXPECT_EQ(readLastProject(registry, fs), "");  // the file no longer exists
  fs.put("C:\\P\\a.tbw", {1});
  EXPECT_EQ(readLastProject(registry, fs), "C:\\P\\a.tbw");
}

}  // namespace
}  // namespace tw
