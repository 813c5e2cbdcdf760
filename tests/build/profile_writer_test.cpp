// The install profile byte for byte: records, strings, dialogs, bitmaps.
#include <gtest/gtest.h>

#include <memory>

#include "builder/package/profile_records.h"
#include "builder/package/profile_writer.h"
#include "common/install_profile.h"
#include "common/string_block.h"
#include "tests/support/fake_resources.h"
#include "tests/support/memory_file_system.h"

namespace tw {
namespace {

class RecordingReporter final : public BuildReporter {
 public:
  std::vector<int> percents;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption
  void progress(const std::string*, int percent) override { percents.push_back(percent); }
  void message(const std::string& text, const std::string& caption, MessageIcon) override {
    messages.push_back({text, caption});
  }
};

TreeNode& addComponent(ProjectDocument& p, TreeNode& root, const std::string& name, int32_t picture,
                       int32_t flags = 0, const std::string& path = "<InstallDir>") {
  TreeNode& c = root.addChild(name, picture);
  c.komp = std::make_unique<KompRec>();
  c.komp->id = p.allocateComponentId();
  c.komp->flags = flags;
  c.komp->path = path;
  return c;
}

TreeNode& addReference(TreeNode& parent, TreeNode& component) {
  TreeNode& r = parent.addChild(component.text, component.picture);
  r.value = component.komp->id;
  r.component = &component;
  return r;
}

std::vector<uint8_t> bytes(std::initializer_list<int> v) {
  std::vector<uint8_t> out;
  for (int b : v) out.push_back(static_cast<uint8_t>(b));
  return out;
}

class ProfileFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    language.fillComplete();
    p.ResetProject(NoLanguageTexts());
    p.ProjectPath = "C:\\Proj\\demo.tbw";
    p.EditApp = "Demo";
    p.EditVer = "1";
    p.EditVer2 = "8";
  }
  std::vector<ResEntry> write() {
    SourceFiles sources(fs, reporter, p.ProjectPath);
    ProfileWriter writer(p, language, sources, reporter);
    return writer.write(iconCounter);
  }
  const ResEntry* find(const std::vector<ResEntry>& entries, uint16_t type, uint16_t id) {
    for (const ResEntry& e : entries)
      if (e.type.ordinal == type && e.name.ordinal == id) return &e;
    return nullptr;
  }
  std::string setting(const std::vector<ResEntry>& entries, int id) {
    test::EntriesSource source(entries);
    std::string text;
    readSettingString(source, id, text);
    return text;
  }
  ProjectDocument p;
  test::FakeLanguageModule language;
  test::MemoryFileSystem fs;
  RecordingReporter reporter;
  uint16_t iconCounter = 0;
};

TEST_F(ProfileFixture, TypeRecordMatchesTheWorkedExample) {
  TreeNode& files = *p.fileComponentsRoot();
  TreeNode* c[4] = {files.children[0].get(), &addComponent(p, files, "B", 0),
                    &addComponent(p, files, "C", 0), &addComponent(p, files, "D", 0)};
  TreeNode& reg = addComponent(p, *p.registryComponentsRoot(), "R", kPictureRegistry, 3 << 16, "Software\\X");
  TreeNode& normal = *p.typeRoot(kTypeNormal);
  addReference(addReference(normal, *c[0]), reg);
  for (int i = 1; i < 4; ++i) addReference(normal, *c[i]);
  p.setTypeDescription(kTypeNormal, std::string(122, 'd'));
  std::vector<uint8_t> record = encodeInstallationType(p, normal);
  EXPECT_EQ(record.size(), 185u);
  std::vector<uint8_t> nodes(record.end() - 48, record.end());
  EXPECT_EQ(nodes, bytes({4, 0, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0,
                          0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0}));
  EXPECT_EQ(record[0], 6);  // six nodes, the type's own included
  EXPECT_EQ(record[4], 1);  // Normal is the default
  EXPECT_EQ(record[5], 6);  // "Normal"
}

TEST_F(ProfileFixture, LayoutWordAndTextTitle) {
  p.ComboLogoAlign = 4;
  p.CheckBox_AnimL = true;
  p.TitleAlign = TitleAlignment::Left;
  p.CheckBox_AnimT = true;
  p.EditTitleBmp = "Demo Setup";
  p.EditTitleSz = "36";
  auto entries = write();
  EXPECT_EQ(setting(entries, 7), "\x85\x81");
  const ResEntry* block = find(entries, 6, 1);
  ASSERT_NE(block, nullptr);
  // String 7 as UTF-16: U+2026 then U+0081.
  std::string s7;
  ASSERT_TRUE(decodeStringBlockEntry(block->data.data(), block->data.size(), 7, s7));
  size_t total = 0;
  for (int i = 0; i < 16; ++i) {
    std::string s;
    decodeStringBlockEntry(block->data.data(), block->data.size(), i, s);
    total += s.size();
  }
  EXPECT_EQ(block->data.size(), 2 * (16 + total));
  EXPECT_EQ(setting(entries, 9), "Demo Setup$");
  EXPECT_EQ(setting(entries, 0), "Demo");
  EXPECT_EQ(setting(entries, 1), "1.8");
  EXPECT_EQ(setting(entries, 8), "\x0B");  // colour 10 + 1
  EXPECT_EQ(setting(entries, 15), "\x01");
  EXPECT_EQ(block->memoryFlags, 0x1030);
}

TEST_F(ProfileFixture, CentredAndRightTitleCodes) {
  p.TitleAlign = TitleAlignment::Centred;
  EXPECT_EQ(setting(write(), 7)[1], '\x06');
  p.TitleAlign = TitleAlignment::Right;
  p.CheckBoxFullScreen = p.CheckBoxSizeable = true;
  auto entries = write();
  EXPECT_EQ(setting(entries, 7)[1], '\x02');
  EXPECT_EQ(setting(entries, 15), "\x04");
}

TEST_F(ProfileFixture, TitleHeightThatIsNoNumberStopsTheBuild) {
  p.EditTitleSz = "gro\xDF";
  try {
    write();
    FAIL();
  } catch (const BuildError& e) {
    EXPECT_STREQ(e.what(), "'gro\xDF' ist kein g\xFCltiger Integerwert");
  }
}

std::vector<uint8_t> bitmapFile(uint32_t declaredSize, size_t realSize) {
  std::vector<uint8_t> b(realSize, 0x11);
  b[0] = 'B';
  b[1] = 'M';
  for (int i = 0; i < 4; ++i) b[2 + i] = static_cast<uint8_t>(declaredSize >> (8 * i));
  return b;
}

TEST_F(ProfileFixture, TitleAndLogoBitmaps) {
  p.RadioTitleText = false;
  p.EditTitleBmp = "titel.bmp";
  p.EditLogo = "D:\\Bilder\\logo.bmp";
  fs.put("C:\\Proj\\titel.bmp", bitmapFile(40, 40));
  fs.put("D:\\Bilder\\logo.bmp", bitmapFile(41, 40));  // header size disagrees
  fs.put("C:\\Proj\\BackGround.bmp", bitmapFile(30, 30));
  auto entries = write();
  EXPECT_EQ(setting(entries, 9), "#");
  EXPECT_EQ(setting(entries, 10), "");
  ASSERT_NE(find(entries, 2, 1), nullptr);
  EXPECT_EQ(find(entries, 2, 1)->data.size(), 26u);  // without the 14-byte file header
  EXPECT_EQ(find(entries, 2, 1)->memoryFlags, 0x0030);
  EXPECT_EQ(find(entries, 2, 2), nullptr);
  EXPECT_EQ(find(entries, 2, 3)->data.size(), 16u);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].first, "Fehler beim Aufbereiten der Datei:\r\n\"D:\\Bilder\\logo.bmp\"");
  EXPECT_EQ(reporter.messages[0].second, "Bitmap f\xFCr Firmen/Applikationslogo");
}

TEST_F(ProfileFixture, ComponentRecords) {
  TreeNode& files = *p.fileComponentsRoot();
  TreeNode& program = *files.children[0];
  program.komp->size = 1234;
  program.komp->description = "Programm";
  program.addChild("[DefSrcPath]\\bin\\app.exe", kPictureFileEntry).value = 2 | 0x20;
  program.addChild("Dummy.$$$", kPictureDummyEntry).value = 320;
  TreeNode& reg = addComponent(p, *p.registryComponentsRoot(), "Reg", kPictureRegistry,
                               kKompNotOptional | kKompUninstallKey | (2 << 16), "Software\\Brakmoor");
  TreeNode& key = reg.addChild("Tamblewright", kPictureRegistry);
  key.value = 7;
  key.addChild(std::string("Daten\0" "0aFG", 10), kPictureRegistryValue).value = 3;
  EXPECT_THROW(encodeComponent(reg), BuildError);  // "G" is no hex digit; "a" is one
  key.children[0]->text = std::string("Daten\0" "00FFA", 11);
  std::vector<uint8_t> r = encodeComponent(reg);
  EXPECT_EQ(std::vector<uint8_t>(r.begin(), r.begin() + 8), bytes({3, 0, 0, 0, 0, 0, 0, 0}));
  ComponentRecord read;
  std::vector<ResEntry> entries = {makeResEntry(101, 1, encodeComponent(program)), makeResEntry(101, 2, r)};
  test::EntriesSource source(entries);
  ASSERT_TRUE(readComponent(source, 1, read));
  EXPECT_EQ(read.name, "");
  EXPECT_EQ(read.flags, static_cast<uint32_t>(kKompNotOptional | kKompUninstallKey | (2 << 16) | 0x80));
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].flags, 0x87u);
  EXPECT_EQ(read.entries[1].flags, 0xC3u);
  EXPECT_EQ(read.entries[1].text, std::string("Daten\0\x00\xFF", 8));
  EXPECT_EQ(read.entries[1].depth, 2);

  ASSERT_TRUE(readComponent(source, 0, read));
  EXPECT_EQ(read.name, "Programmdateien");
  EXPECT_EQ(read.description, "Programm");
  EXPECT_EQ(read.size, 1234);
  EXPECT_EQ(read.fileCount, 2);
  EXPECT_EQ(read.path, "<InstallDir>");
  EXPECT_EQ(read.entries[0].text, "app.exe");
  EXPECT_EQ(read.entries[0].flags, 0x62u);
  EXPECT_EQ(read.entries[1].text, "Dummy.$$$");
  EXPECT_EQ(read.entries[1].flags, 0x140u);  // file entry and placeholder
}

TEST_F(ProfileFixture, ComponentsAreNumberedFilesFirst) {
  addComponent(p, *p.registryComponentsRoot(), "R1", kPictureRegistry, 0, "S");
  addComponent(p, *p.fileComponentsRoot(), "F2", 0);
  TreeNode& remove = addComponent(p, *p.registryComponentsRoot(), "Weg", kPictureRemoveFileObjects, 7 << 16);
  EXPECT_EQ(componentNumber(p, remove), 3);
  auto entries = write();
  test::EntriesSource source(entries);
  std::vector<ComponentRecord> all = readComponents(source);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[1].name, "F2");
  EXPECT_EQ(all[2].name, "R1");
  EXPECT_EQ(all[3].flags & 0xFF0080u, 0x070080u);
}

TEST_F(ProfileFixture, ShortcutTable) {
  TreeNode& program = *p.fileComponentsRoot()->children[0];
  TreeNode& exe = program.addChild("C:\\src\\bin\\app.exe", kPictureFileEntry);
  EXPECT_EQ(find(write(), 102, 1), nullptr);  // no shortcuts, no table
  ShortcutEntry a, b;
  a.caption = "App";
  a.object.target = &exe;
  a.object.subFolder = "Extras\\";
  a.object.parameters = "-x";
  a.object.iconIndex = 3;
  a.object.appPathDir = true;
  b.caption = "Zwei";
  b.object.target = &exe;
  b.checked = true;
  p.CheckListBox2.push_back(std::move(a));
  p.CheckListBox2.push_back(std::move(b));
  auto entries = write();
  test::EntriesSource source(entries);
  ShortcutTable table;
  ASSERT_TRUE(readShortcutTable(source, table));
  EXPECT_EQ(table.mask, 2);
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(table.entries[0].linkName, "Extras\\App");
  EXPECT_EQ(table.entries[0].target, "[Programmdateien]\\app.exe");
  EXPECT_EQ(table.entries[0].arguments, "-x");
  EXPECT_EQ(table.entries[0].iconIndex, 3);
  EXPECT_EQ(table.entries[0].appPathFlags, 2);
  std::vector<uint8_t> raw = encodeShortcuts(p);
  std::string command("[Programmdateien]\\app.exe\0-x\0\0\0\x03\x02", 31);
  EXPECT_NE(std::search(raw.begin(), raw.end(), command.begin(), command.end()), raw.end());

  while (p.CheckListBox2.size() <= 32) p.CheckListBox2.push_back(ShortcutEntry{"x", {&exe}, false});
  EXPECT_THROW(write(), BuildError);
}

TEST_F(ProfileFixture, DialogSequenceAndFixedDialogs) {
  p.CheckListBox1[2] = true;
  p.CheckListBox1[9] = true;
  auto entries = write();
  std::vector<int> dialogs;
  for (const ResEntry& e : entries)
    if (e.type.ordinal == 5) dialogs.push_back(e.name.ordinal);
  EXPECT_EQ(dialogs, (std::vector<int>{100, 101, 201, 208, 220}));
  EXPECT_EQ(find(entries, 5, 220)->data[0], 210);  // dialog 210 stored as 220

  p.CheckListBox1[11] = true;
  p.CheckBoxDeinst = true;
  entries = write();
  dialogs.clear();
  for (const ResEntry& e : entries)
    if (e.type.ordinal == 5) dialogs.push_back(e.name.ordinal);
  EXPECT_EQ(dialogs, (std::vector<int>{100, 101, 201, 208, 210, 214, 215}));
  EXPECT_EQ(reporter.percents, (std::vector<int>{4, 4, 5, 6, 8, 4, 4, 5, 6, 8}));
}

TEST_F(ProfileFixture, MissingLanguageDialogIsAResourceError) {
  language.resources.erase({5, 210});
  try {
    write();
    FAIL();
  } catch (const BuildError& e) {
    EXPECT_STREQ(e.what(), "Resource error");
  }
}

TEST_F(ProfileFixture, LanguageStringsIconsAndVersion) {
  auto entries = write();
  EXPECT_NE(find(entries, 6, 33), nullptr);
  EXPECT_NE(find(entries, 6, 34), nullptr);
  EXPECT_EQ(find(entries, 6, 35), nullptr);
  EXPECT_NE(find(entries, 6, 65), nullptr);
  EXPECT_EQ(find(entries, 3, 1)->data[0], 7);
  EXPECT_EQ(find(entries, 3, 2)->data[0], 9);
  const ResEntry* group = find(entries, 14, 2);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->data[6 + 12], 1);
  EXPECT_EQ(group->data[6 + 14 + 12], 2);
  EXPECT_EQ(iconCounter, 3);
  EXPECT_EQ(find(entries, 16, 1)->data, bytes({0x56, 0x45}));
  for (uint16_t b : {100, 101, 102, 104}) EXPECT_NE(find(entries, 2, b), nullptr);
}

TEST_F(ProfileFixture, AdvertisementSeriesAndForcedRestart) {
  p.CheckListBox1[12] = true;
  p.CheckListBox1[13] = true;
  p.RadioForceReboot = true;
  p.EditAdvert = "Bild09.bmp";
  for (const char* name : {"Bild09.bmp", "Bild10.bmp", "Bild11.bmp"})
    fs.put(std::string("C:\\Proj\\") + name, bitmapFile(20, 20));
  auto entries = write();
  EXPECT_NE(find(entries, 2, 209), nullptr);
  EXPECT_NE(find(entries, 2, 210), nullptr);
  EXPECT_NE(find(entries, 2, 211), nullptr);
  EXPECT_EQ(find(entries, 2, 212), nullptr);
  EXPECT_EQ(find(entries, 6, 2)->data, bytes({1, 0, 0x23, 0}));
  EXPECT_EQ(setting(entries, 16), "#");

  p.EditAdvert = "Bild.bmp";
  reporter.messages.clear();
  write();
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].second, "Tamblix");
}

TEST_F(ProfileFixture, LicenceTextAndMissingInfoText) {
  p.CheckListBox1[3] = p.CheckListBox1[4] = true;
  p.EditLizenz = "lizenz.txt";
  p.EditInfoTxt = "fehlt.txt";
  fs.put("C:\\Proj\\lizenz.txt", bytes({'L', 'i', 'z'}));
  auto entries = write();
  EXPECT_EQ(find(entries, 110, 1)->data, bytes({'L', 'i', 'z'}));
  EXPECT_EQ(find(entries, 110, 2), nullptr);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].second, "Read-Me-Datei");
}

TEST(ProfileRecords, ShortStringsLongerThan255StopTheBuild) {
  std::vector<uint8_t> out;
  appendShortString(out, std::string(255, 'x'));
  EXPECT_EQ(out.size(), 257u);
  EXPECT_THROW(appendShortString(out, std::string(256, 'x')), BuildError);
  EXPECT_EQ(hexPairsToBytes("0A1"), std::string("\x0A", 1));
  EXPECT_EQ(sourceFileName("C:app.exe"), "app.exe");
}

}  // namespace
}  // namespace tw
