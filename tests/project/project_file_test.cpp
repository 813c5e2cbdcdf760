// Project file round trips, damaged files and the reader's tree rules.
#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "builder/project/project_io.h"
#include "builder/project/project_json.h"
#include "builder/project/value_stream.h"
#include "tests/project/full_project.h"
#include "tests/project/legacy_writer.h"
#include "tests/support/memory_file_system.h"

namespace tw {
namespace {

ProjectStatus readBytes(const std::vector<uint8_t>& b, ProjectDocument& p,
                        const std::vector<std::string>& languages = {}) {
  return readProject(b.data(), b.size(), p, languages);
}

class FullProjectFile : public ::testing::Test {
 protected:
  void SetUp() override {
    test::fillFullProject(original);
    bytes = writeProject(original);
    ASSERT_TRUE(readBytes(bytes, reread).ok());
  }
  ProjectDocument original, reread;
  std::vector<uint8_t> bytes;
};

TEST_F(FullProjectFile, WriteReadWriteGivesTheSameBytesAndModel) {
  EXPECT_EQ(writeProject(reread), bytes);
  EXPECT_EQ(projectToJson(reread), projectToJson(original));
}

TEST_F(FullProjectFile, EdgeValuesSurvive) {
  EXPECT_EQ(reread.EditCompany, std::string(255, 'C'));
  EXPECT_EQ(reread.EditTargetDir.size(), 18u + 256u);
  EXPECT_EQ(reread.EditApp, "M\xFCller \x80 Werkzeug");
  EXPECT_EQ(reread.NextComponentId, 40000);
  EXPECT_EQ(reread.typeDescription(kTypeNormal), std::string(255, 'n'));
  EXPECT_EQ(reread.TypeDescriptions, original.TypeDescriptions);  // byte for byte
  EXPECT_EQ(reread.TitleAlign, TitleAlignment::Right);
  EXPECT_TRUE(reread.CheckBox_AnimT);
  EXPECT_EQ(reread.ComboLogoAlign, 2);
  EXPECT_EQ(reread.DefaultType, kTypeBenutzer);
  EXPECT_EQ(reread.EditCustomDll, "HKAFT4.DLL");
  EXPECT_TRUE(reread.RadioForceReboot);

  const TreeNode& key = *reread.registryComponentsRoot()->children[0];
  EXPECT_EQ(key.children[1]->text, std::string("Pfad\0<InstallDir>\0mit NUL", 25));
  EXPECT_TRUE(key.expanded);
  EXPECT_TRUE(key.children[2]->expanded);  // the subkey
  EXPECT_EQ(key.children[2]->value, 5);
  EXPECT_EQ(key.children[2]->children[2]->children[0]->text, std::string("Name\0Text", 9));
  const auto& fileComponents = reread.fileComponentsRoot()->children;
  ASSERT_EQ(fileComponents.size(), 4u);
  EXPECT_EQ(fileComponents[1]->komp->id, 127);
  EXPECT_EQ(fileComponents[2]->komp->id, 128);
  EXPECT_EQ(fileComponents[3]->komp->id, -129);
  EXPECT_EQ(fileComponents[1]->komp->description, std::string(300, 'h'));
  EXPECT_EQ(fileComponents[0]->children[2]->selectedPicture, kPictureDummyEntry);
  EXPECT_EQ(reread.registryComponentsRoot()->children[1]->selectedPicture, 11);
}

TEST_F(FullProjectFile, ReferencesResolveByIdInTheirOwnRoot) {
  const TreeNode& normal = *reread.typeRoot(kTypeNormal);
  ASSERT_EQ(normal.children.size(), 2u);
  EXPECT_EQ(normal.children[0]->component, reread.fileComponentsRoot()->children[0].get());
  const TreeNode& nested = *normal.children[1]->children[0];
  EXPECT_EQ(nested.component, reread.fileComponentsRoot()->children[2].get());
  // Registry pictures look among the registry components, even where a file
  // component has the same id.
  const TreeNode& netzwerk = *reread.typeRoot(kTypeNetzwerk);
  EXPECT_EQ(netzwerk.children[0]->component, reread.registryComponentsRoot()->children[0].get());
  EXPECT_EQ(netzwerk.children[1]->component, nullptr);
  EXPECT_EQ(netzwerk.children[1]->value, 999);
}

TEST_F(FullProjectFile, BenutzerReferencesShowTheComponentState) {
  const TreeNode& benutzer = *reread.typeRoot(kTypeBenutzer);
  EXPECT_EQ(benutzer.children[0]->state, StatePicture::CheckBoxTicked);  // not optional
  EXPECT_EQ(benutzer.children[1]->state, StatePicture::CheckBoxEmpty);   // bit 5
  EXPECT_EQ(benutzer.children[2]->state, StatePicture::OptionEmpty);     // bits 3 and 5
  EXPECT_EQ(reread.typeRoot(kTypeNormal)->children[0]->state, StatePicture::None);
}

TEST_F(FullProjectFile, ShortcutTargetsFollowComponentAndFileIndex) {
  ASSERT_EQ(reread.CheckListBox2.size(), 3u);
  const TreeNode* program = reread.fileComponentsRoot()->children[0].get();
  EXPECT_EQ(reread.CheckListBox2[0].object.target, program->children[0].get());
  EXPECT_EQ(reread.CheckListBox2[0].object.iconIndex, 255);
  EXPECT_TRUE(reread.CheckListBox2[0].checked);
  EXPECT_EQ(reread.CheckListBox2[1].object.target, program->children[2].get());
  EXPECT_EQ(reread.CheckListBox2[2].object.target, nullptr);
}

TEST_F(FullProjectFile, EveryTruncationFailsAndKeepsThePreviousProject) {
  test::MemoryFileSystem fs;
  NoLanguageTexts noLanguage;
  ProjectContext context{fs, noLanguage, {}};
  ProjectDocument current;
  current.EditApp = "Vorher";
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    fs.put("p.tbw", std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    ProjectStatus status = loadProject(context, "p.tbw", current);
    ASSERT_FALSE(status.ok()) << "cut at " << cut;
    ASSERT_EQ(current.EditApp, "Vorher") << "cut at " << cut;
  }
  fs.put("p.tbw", bytes);
  EXPECT_TRUE(loadProject(context, "p.tbw", current).ok());
  EXPECT_EQ(current.EditApp, original.EditApp);
}

TEST_F(FullProjectFile, ShortRawBlockIsAStreamReadError) {
  // Cut inside the 1024 raw bytes of the type descriptions.
  ValueWriter head;
  head.writeString(kProjectSignature);
  size_t rawStart = 0;
  for (size_t i = 0; i + 1024 <= bytes.size(); ++i)
    if (std::equal(original.TypeDescriptions.begin(), original.TypeDescriptions.end(), bytes.begin() + i)) {
      rawStart = i;
      break;
    }
  ASSERT_GT(rawStart, 0u);
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + rawStart + 1023);
  ProjectDocument p;
  ProjectStatus status = readBytes(cut, p);
  EXPECT_EQ(status.error, ProjectError::StreamRead);
  EXPECT_EQ(status.message(), "Stream-Read-Fehler");
}

std::vector<uint8_t> withSignature(const std::string& signature) {
  ProjectDocument p;
  std::vector<uint8_t> b = writeProject(p);
  ValueWriter w;
  w.writeString(signature);
  b.erase(b.begin(), b.begin() + 2 + std::string(kProjectSignature).size());
  b.insert(b.begin(), w.bytes().begin(), w.bytes().end());
  return b;
}

TEST(ProjectFile, SignatureWithoutPrefixReadsNothing) {
  ProjectDocument p;
  p.EditApp = "bleibt";
  ProjectStatus status = readBytes(withSignature("XM-Tamblewright 1.9"), p);
  EXPECT_EQ(status.error, ProjectError::NotAProject);
  EXPECT_EQ(p.EditApp, "bleibt");
}

TEST(ProjectFile, VersionThatIsNoNumberNamesTheText) {
  ProjectDocument p;
  ProjectStatus status = readBytes(withSignature("BM-Tamblewright"), p);
  EXPECT_EQ(status.error, ProjectError::InvalidInteger);
  EXPECT_EQ(status.message(), "'' ist kein g\xFCltiger Integerwert");
  status = readBytes(withSignature("BM-Tamblewright 1.x9"), p);
  EXPECT_EQ(status.message(), "'x9' ist kein g\xFCltiger Integerwert");
  status = readBytes(withSignature("BM-Tamblewright   1.9"), p);
  EXPECT_TRUE(status.ok()) << status.message();
}

TEST(ProjectFile, WrongTagIsAnInvalidValue) {
  ProjectDocument p;
  std::vector<uint8_t> b = writeProject(p);
  size_t outputField = 2 + std::string(kProjectSignature).size();
  ASSERT_EQ(b[outputField], kTagString);
  b[outputField] = kTagInt8;
  ProjectStatus status = readBytes(b, p);
  EXPECT_EQ(status.error, ProjectError::InvalidValue);
  EXPECT_EQ(status.message(), "Ung\xFCltiger Wert der Eigenschaft");
}

TEST(ProjectFile, LanguageIsMatchedWithoutRegardToCase) {
  ProjectDocument p;
  p.ComboLanguage = "deutsch";
  std::vector<uint8_t> b = writeProject(p);
  ProjectDocument q;
  ASSERT_TRUE(readBytes(b, q, {"English", "Deutsch"}).ok());
  EXPECT_EQ(q.ComboLanguage, "Deutsch");
  p.ComboLanguage = "Klingonisch";
  b = writeProject(p);
  ASSERT_TRUE(readBytes(b, q, {"English", "Deutsch"}).ok());
  EXPECT_EQ(q.ComboLanguage, "English");
  ASSERT_TRUE(readBytes(b, q, {}).ok());
  EXPECT_EQ(q.ComboLanguage, "Klingonisch");
}

std::vector<uint8_t> fileWithComponentLevels(const std::vector<std::pair<std::string, int>>& nodes,
                                             int32_t countOverride = -1) {
  ProjectDocument p;
  test::LegacyOptions options;
  options.componentTree = test::componentTreeBytes(nodes, countOverride);
  return test::writeLegacyProject(p, options);
}

TEST(ProjectFile, TreeLevelsAttachToTheNodeReadBefore) {
  auto b = fileWithComponentLevels({{"A", 0}, {"a1", 1}, {"a1x", 2}, {"a2", 1}, {"B", 0}, {"b1", 1}});
  ProjectDocument p;
  ASSERT_TRUE(readBytes(b, p).ok());
  ASSERT_EQ(p.TVKomp.roots.size(), 2u);
  EXPECT_EQ(p.TVKomp.roots[0]->text, kFileComponentsRoot);  // root texts replaced
  EXPECT_EQ(p.TVKomp.roots[1]->text, kRegistryComponentsRoot);
  ASSERT_EQ(p.TVKomp.roots[0]->children.size(), 2u);
  EXPECT_EQ(p.TVKomp.roots[0]->children[0]->children[0]->text, "a1x");
  EXPECT_EQ(p.TVKomp.roots[0]->children[1]->text, "a2");
  EXPECT_EQ(p.TVKomp.roots[1]->children[0]->text, "b1");
  EXPECT_EQ(p.TVKomp.roots[0]->children[1]->komp->id, 5);
}

TEST(ProjectFile, MissingComponentRootsAreAdded) {
  ProjectDocument p;
  ASSERT_TRUE(readBytes(fileWithComponentLevels({}), p).ok());
  ASSERT_EQ(p.TVKomp.roots.size(), 2u);
  EXPECT_EQ(p.TVKomp.roots[1]->picture, kPictureRegistry);
}

TEST(ProjectFile, AbsurdTreeDepthIsRefused) {
  std::vector<std::pair<std::string, int>> nodes;
  for (int i = 0; i < kProjectTreeMaxDepth + 5; ++i) nodes.push_back({"n", i});
  ProjectDocument p;
  EXPECT_EQ(readBytes(fileWithComponentLevels(nodes), p).error, ProjectError::InvalidValue);
}

TEST(ProjectFile, HugeCountsInASmallFileFailQuickly) {
  ProjectDocument p;
  // The count promises far more nodes than the file holds: the read stops
  // at the first value that does not fit, without looping on.
  auto b = fileWithComponentLevels({{"A", 0}}, 0x7FFFFFFF);
  ProjectStatus status = readBytes(b, p);
  EXPECT_TRUE(status.error == ProjectError::InvalidValue || status.error == ProjectError::StreamRead);
  b = fileWithComponentLevels({}, 0x7FFFFFFF);
  b.resize(b.size() - 200);  // and with the tail cut away
  EXPECT_FALSE(readBytes(b, p).ok());
}

TEST(ProjectIo, SaveKeepsThePreviousFileAsBackup) {
  test::MemoryFileSystem fs;
  ProjectDocument p;
  p.EditApp = "Eins";
  ASSERT_TRUE(saveProjectAs(fs, "C:\\Neu\\Ordner\\projekt.tbw", p).ok());
  EXPECT_TRUE(fs.folders.count("C:\\Neu\\Ordner"));
  EXPECT_FALSE(fs.fileExists("C:\\Neu\\Ordner\\projekt.~tb"));
  std::vector<uint8_t> first = fs.files["C:\\Neu\\Ordner\\projekt.tbw"];
  p.EditApp = "Zwei";
  p.Modified = true;
  ASSERT_TRUE(saveProjectAs(fs, "C:\\Neu\\Ordner\\projekt.tbw", p).ok());
  EXPECT_EQ(fs.files["C:\\Neu\\Ordner\\projekt.~tb"], first);
  EXPECT_FALSE(p.Modified);
  EXPECT_EQ(p.ProjectPath, "C:\\Neu\\Ordner\\projekt.tbw");
}

TEST(ProjectIo, FailuresCarryTheFileName) {
  test::MemoryFileSystem fs;
  ProjectDocument p;
  fs.unwritable.insert("C:\\x\\a.tbw");
  ProjectStatus status = saveProjectAs(fs, "C:\\x\\a.tbw", p);
  EXPECT_EQ(status.message(), "Datei C:\\x\\a.tbw kann nicht erstellt werden");
  fs.uncreatable.insert("C:\\y");
  EXPECT_EQ(saveProjectAs(fs, "C:\\y\\b.tbw", p).error, ProjectError::CannotCreate);
  EXPECT_FALSE(fs.fileExists("C:\\y\\b.tbw"));
  NoLanguageTexts noLanguage;
  ProjectContext context{fs, noLanguage, {}};
  EXPECT_EQ(loadProject(context, "C:\\fehlt.tbw", p).message(),
            "Datei C:\\fehlt.tbw kann nicht ge\xF6" "ffnet werden");
}

TEST(ProjectIo, BackupNameReplacesOrAddsTheExtension) {
  EXPECT_EQ(backupPathFor("C:\\a.b\\projekt.tbw"), "C:\\a.b\\projekt.~tb");
  EXPECT_EQ(backupPathFor("C:\\a.b\\projekt"), "C:\\a.b\\projekt.~tb");
}

}  // namespace
}  // namespace tw
