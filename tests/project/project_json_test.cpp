// The project's JSON form and the way back: every field of every 1.9 file
// the tests have survives .tbw -> JSON -> .tbw byte for byte; damaged JSON
// is refused with its line and column and changes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "builder/project/project_file.h"
#include "builder/project/project_json.h"
#include "tests/project/full_project.h"

namespace tw {
namespace {

// The project file written again from the JSON of the project it holds.
std::vector<uint8_t> throughJson(const std::vector<uint8_t>& file) {
  ProjectDocument read;
  EXPECT_TRUE(readProject(file.data(), file.size(), read, {}).ok());
  ProjectDocument back;
  JsonError error;
  EXPECT_TRUE(projectFromJson(projectToJson(read), back, error)) << error.text();
  return writeProject(back);
}

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ProjectJson, TheSampleAndTheDemoComeBackByteForByte) {
  for (const char* name : {"/examples/sample/sample.tbw", "/examples/demo/demo.tbw"}) {
    std::vector<uint8_t> file = fileBytes(std::string(TW_SOURCE_DIR) + name);
    ASSERT_FALSE(file.empty()) << name;
    EXPECT_EQ(throughJson(file), file) << name;
  }
}

TEST(ProjectJson, EveryFieldOfTheFullProjectComesBack) {
  ProjectDocument full;
  test::fillFullProject(full);
  std::vector<uint8_t> file = writeProject(full);
  EXPECT_EQ(throughJson(file), file);
}

TEST(ProjectJson, BytesAfterATypeDescriptionsTerminatorComeBack) {
  ProjectDocument p;
  test::fillFullProject(p);
  // Text, terminator, then leftovers of an earlier, longer text; and a
  // description that fills all 256 bytes without a terminator.
  p.setTypeDescription(kTypeMinimal, "kurz");
  p.TypeDescriptions[kTypeDescriptionSize + 9] = 'x';
  p.TypeDescriptions[kTypeDescriptionSize + 255] = 0xFF;
  for (size_t i = 0; i < kTypeDescriptionSize; ++i) p.TypeDescriptions[2 * kTypeDescriptionSize + i] = 'b';
  std::vector<uint8_t> file = writeProject(p);
  EXPECT_EQ(throughJson(file), file);
  EXPECT_NE(projectToJson(p).find("\"typeDescriptionRest\""), std::string::npos);
}

TEST(ProjectJson, AShortHandWrittenProjectTakesANewProjectsValues) {
  ProjectDocument p;
  JsonError error;
  ASSERT_TRUE(projectFromJson(R"({
  "applicationName": "Notizblock \u20ac",
  "versionMajor": "1",
  "versionMinor": "20",
  "componentTree": [
    {"text": "egal", "children": [
      {"text": "Programm", "component": {"id": 7, "flags": 0, "path": "<InstallDir>", "description": ""},
       "children": [{"text": "[DefSrcPath]\\notiz.txt", "picture": 2, "value": 1}]}]},
    {"text": "egal", "picture": 4}],
  "installationTypeTree": [{"text": "Normal", "typeIndex": 0, "children": [{"text": "Programm", "componentId": 7}]}]
})",
                              p, error))
      << error.text();
  EXPECT_EQ(p.EditApp, "Notizblock \x80");
  EXPECT_EQ(p.fileComponentsRoot()->text, kFileComponentsRoot);
  EXPECT_EQ(p.registryComponentsRoot()->text, kRegistryComponentsRoot);
  ASSERT_EQ(p.TVITypes.roots[0]->children.size(), 1u);
  EXPECT_EQ(p.TVITypes.roots[0]->children[0]->component, p.fileComponentsRoot()->children[0].get());
  EXPECT_EQ(p.EditCustomDll, "ZETUSUM.DLL");
  EXPECT_EQ(p.EditTargetDir, "<ProgramFilesDir>");
}

struct Damaged {
  const char* json;
  int line, column;
  const char* reason;  // a part of the message
};

TEST(ProjectJson, DamagedJsonNamesLineAndColumnAndChangesNothing) {
  const Damaged cases[] = {
      {"{\n  \"applicationName\": \"A\",\n  \"company\" \"B\"\n}", 3, 13, "\":\" erwartet"},
      {"{\"applicationName\": \"A\"", 1, 24, "\",\" oder \"}\" erwartet"},
      {"{\"applicationName\": \"A\"} x", 1, 26, "nach dem Ende"},
      {"{\"applicationName\": 5}", 1, 21, "Zeichenkette erwartet"},
      {"{\n\"applicationName\": \"A\",\n\"aplicationName\": \"B\"}", 3, 19, "unbekannter Schl\xFCssel"},
      {"{\"applicationName\": \"A\", \"applicationName\": \"B\"}", 1, 26, "doppelt"},
      {"{\"applicationName\": \"Pfeil \xE2\x86\x92\"}", 1, 28, "U+2192"},
      {"{\"applicationName\": \"\\ud800\"}", 1, 28, "Ersatzpaar"},
      {"{\"applicationName\": \"\xC3\"}", 1, 22, "UTF-8"},
      {"{\"applicationName\": \"a\nb\"}", 1, 23, "Steuerzeichen"},
      {"{\"nextComponentId\": 4294967296}", 1, 21, "ganze Zahl"},
      {"{\"nextComponentId\": 1.5}", 1, 21, "ganze Zahl"},
      {"{\"defaultType\": 3}", 1, 17, "0 bis 2"},
      {"{\"titleAlignment\": \"middle\"}", 1, 20, "left"},
      {"{\"dialogSequence\": []}", 1, 20, "15 Eintr\xE4ge"},
      {"{\"componentTree\": [{\"text\": \"a\", \"children\": [{\"text\": \"K\"}]}]}", 1, 47, "\"component\" fehlt"},
      {"{\"shortcuts\": [{\"caption\": true}]}", 1, 28, "Zeichenkette erwartet"},
      {"", 1, 1, "Ende des Dokuments"},
      {"[1, 2", 1, 6, "\",\" oder \"]\" erwartet"},
      {"{\"typeDescriptionRest\": [\"0\", \"\", \"\", \"\"]}", 1, 26, "ungerade"},
  };
  for (const Damaged& c : cases) {
    ProjectDocument p;
    p.EditApp = "vorher";
    JsonError error;
    EXPECT_FALSE(projectFromJson(c.json, p, error)) << c.json;
    EXPECT_EQ(error.line, c.line) << c.json << ": " << error.text();
    EXPECT_EQ(error.column, c.column) << c.json << ": " << error.text();
    EXPECT_NE(error.what.find(c.reason), std::string::npos) << c.json << ": " << error.text();
    EXPECT_EQ(p.EditApp, "vorher");
  }
}

TEST(ProjectJson, EveryCutOfTheFullProjectsJsonIsRefused) {
  ProjectDocument full;
  test::fillFullProject(full);
  std::string json = projectToJson(full);
  for (size_t cut = 0; cut + 2 < json.size(); cut += 13) {
    ProjectDocument p;
    JsonError error;
    EXPECT_FALSE(projectFromJson(json.substr(0, cut), p, error)) << cut;
    EXPECT_GE(error.line, 1);
  }
}

TEST(ProjectJson, TreesDeeperThanAProjectFileHoldsAreRefused) {
  std::string deep = "{\"installationTypeTree\": [";
  for (int i = 0; i < kProjectTreeMaxDepth + 1; ++i) deep += "{\"text\": \"t\", \"children\": [";
  deep += "{\"text\": \"t\"}";
  for (int i = 0; i < kProjectTreeMaxDepth + 1; ++i) deep += "]}";
  deep += "]}";
  ProjectDocument p;
  JsonError error;
  EXPECT_FALSE(projectFromJson(deep, p, error));
  EXPECT_NE(error.what.find("zu tief"), std::string::npos) << error.text();
  // Nesting far beyond that stops in the parser, before any tree is built.
  std::string nested(100000, '[');
  EXPECT_FALSE(projectFromJson(nested, p, error));
  EXPECT_NE(error.what.find("verschachtelt"), std::string::npos) << error.text();
}

}  // namespace
}  // namespace tw
