// Rules of the registry key, registry value and shortcut dialogs and of the
// alias menu.
#include <gtest/gtest.h>

#include "builder/project/component_editing.h"
#include "builder/project/property_forms.h"
#include "setup/core/registration/registration_rules.h"

namespace tw {
namespace {

TEST(RegKeyForm, UninstallOffMeansNoOnlyIfEmpty) {
  RegKeyForm f;
  f.setParentKey(nullptr);
  f.setRemoveMode(0);
  f.fillExisting("Comp", "Software\\X", 0, 3 | (2 << 16), "Text");
  EXPECT_TRUE(f.uninstall.ticked && f.uninstall.enabled);
  EXPECT_TRUE(f.onlyIfEmpty.ticked && f.onlyIfEmpty.enabled);
  EXPECT_EQ(f.shownRoot(), 1);
  f.clickUninstall(false);
  EXPECT_FALSE(f.onlyIfEmpty.ticked);
  EXPECT_FALSE(f.onlyIfEmpty.enabled);
  f.clickOnlyIfEmpty(true);  // a disabled box does not take a click
  std::string name, key, description;
  EXPECT_EQ(f.read(name, key, description), 0 | (2 << 16));
  f.clickUninstall(true);
  EXPECT_TRUE(f.onlyIfEmpty.enabled);
  // A parent removed unconditionally leaves no "only if empty".
  f.fillExisting("Comp", "Software\\X", 1, 1 | (2 << 16), "");
  EXPECT_FALSE(f.uninstall.enabled);
  EXPECT_FALSE(f.onlyIfEmpty.enabled);
}

TEST(RegKeyForm, RemoveFileObjectsLocksTheForm) {
  RegKeyForm f;
  f.setParentKey(nullptr);
  f.setRemoveMode(0);
  f.fillNew(0, false, true);
  EXPECT_EQ(f.name, "Neue Komponente");
  EXPECT_EQ(f.rootItems().size(), 7u);
  f.key = "Software\\Y\\";
  f.description = "d";
  f.chooseRoot(kRemoveFileObjectsIndex);
  EXPECT_EQ(f.key, "");
  EXPECT_EQ(f.description, "");
  EXPECT_TRUE(f.uninstall.ticked && !f.uninstall.enabled);
  EXPECT_TRUE(f.notOptional.ticked && !f.notOptional.enabled);
  EXPECT_FALSE(f.onlyIfEmpty.ticked || f.onlyIfEmpty.enabled);
  EXPECT_FALSE(f.keyEnabled() || f.descriptionEnabled());
  std::string name, key, description;
  EXPECT_EQ(f.read(name, key, description), 1 | 4 | (7 << 16));
  f.chooseRoot(2);
  EXPECT_TRUE(f.keyEnabled() && f.uninstall.enabled && f.notOptional.enabled);
  f.key = "Software\\Y\\";
  EXPECT_EQ(f.read(name, key, description), 1 | 4 | (3 << 16));
  EXPECT_EQ(key, "Software\\Y");  // one trailing backslash goes
  f.setRemoveMode(1);
  EXPECT_EQ(f.rootItems().size(), 6u);
}

TEST(RegKeyForm, SubkeyModeShowsTheParentAndRejectsEmptyKeys) {
  RegKeyForm f;
  f.setParentKey(nullptr);
  f.setRemoveMode(0);
  f.chooseRoot(4);
  std::string parent = "Demo";
  f.setParentKey(&parent);
  f.setRemoveMode(1);
  EXPECT_FALSE(f.componentMode());
  EXPECT_EQ(f.rootItems().back(), "Demo");
  EXPECT_EQ(f.shownRoot(), 6);
  EXPECT_FALSE(f.rootEnabled() || f.nameEnabled() || f.descriptionEnabled());
  f.fillNew(1, true, false);  // below a component removed on uninstall
  EXPECT_TRUE(f.uninstall.ticked);
  EXPECT_FALSE(f.uninstall.enabled);
  EXPECT_FALSE(f.onlyIfEmpty.enabled);
  EXPECT_TRUE(f.notOptional.ticked && !f.notOptional.enabled);
  std::string name, key, description;
  f.key = "";
  EXPECT_EQ(f.read(name, key, description), -1);
  f.key = "\\";
  EXPECT_EQ(f.read(name, key, description), -1);
  f.key = "Unter";
  EXPECT_EQ(f.read(name, key, description), 1 | 4);  // no root code for a subkey
  EXPECT_EQ(name, "Unter");
  // An existing subkey: its name in the key and name fields.
  f.fillExisting("", "Fenster", 3, 2, "");
  EXPECT_EQ(f.name, "Fenster");
  EXPECT_TRUE(f.notOptional.ticked);  // root code 0
  EXPECT_FALSE(f.notOptional.enabled);
  // Back in component mode the root chosen before returns.
  f.setParentKey(nullptr);
  EXPECT_EQ(f.shownRoot(), 4);
}

TEST(RegKeyForm, AnExistingRemoveComponentKeepsAllButItsName) {
  RegKeyForm f;
  f.setParentKey(nullptr);
  f.setRemoveMode(2);
  f.fillExisting("Weg", "", 0, 1 | 4 | (7 << 16), "");
  EXPECT_FALSE(f.rootEnabled());
  EXPECT_FALSE(f.keyEnabled() || f.descriptionEnabled());
  EXPECT_FALSE(f.uninstall.enabled || f.notOptional.enabled || f.onlyIfEmpty.enabled);
  EXPECT_TRUE(f.nameEnabled());
}

TEST(RegValForm, StandardShowsTheFixedNameAndTheStringType) {
  RegValForm f;
  f.setStandardAllowed(true);
  f.setUnderRemove(false);
  f.fill("Pfad", "C:\\", 2);
  EXPECT_EQ(f.type, 2);
  f.tickStandard(true);
  EXPECT_EQ(f.name, "(Standard)");
  EXPECT_TRUE(f.nameReadOnly);
  EXPECT_EQ(f.type, 1);
  EXPECT_FALSE(f.typesEnabled);
  std::string name, data;
  EXPECT_EQ(f.write(name, data), 0);
  f.tickStandard(false);
  EXPECT_FALSE(f.nameReadOnly);
  EXPECT_TRUE(f.typesEnabled);
  f.chooseType(3);
  EXPECT_EQ(f.write(name, data), 3);
  // Where the key already has a default value it cannot be chosen.
  f.setStandardAllowed(false);
  f.fill("(Standard)", "x", 0);
  EXPECT_FALSE(f.standard.ticked);
  EXPECT_FALSE(f.standard.enabled);
  f.tickStandard(true);
  EXPECT_FALSE(f.standard.ticked);
}

TEST(RegValForm, UnderRemoveFileObjectsOnlyDwordNumbers) {
  RegValForm f;
  f.setStandardAllowed(true);
  f.setUnderRemove(true);
  f.fill("Anzahl", "viele", 1);
  EXPECT_EQ(f.type, 4);
  EXPECT_EQ(f.data, "0");
  EXPECT_FALSE(f.standard.enabled || f.typesEnabled);
  f.chooseType(1);
  EXPECT_EQ(f.type, 4);
  f.data = "0x1a";
  std::string name, data;
  EXPECT_EQ(f.write(name, data), 4);
  EXPECT_EQ(data, "1A");
}

// The builder keeps DWORD data as the hexadecimal digits that Setup reads:
// whatever the dialog accepts reaches the registry as the same number.
TEST(RegValForm, DwordTextReachesTheRegistryAsTheSameNumber) {
  struct Case {
    const char* entered;
    uint32_t number;
  } cases[] = {{"0", 0}, {"9", 9}, {"A", 10}, {"10", 16}, {"0x10", 16}, {"ff", 255},
               {" 1F ", 31}, {"FFFFFFFF", 0xFFFFFFFFu}, {"7fffffff", 0x7FFFFFFF}};
  for (const Case& c : cases) {
    std::string kept = normalisedDwordText(c.entered);
    auto read = dwordFromHex(kept);
    ASSERT_TRUE(read.has_value()) << c.entered;
    EXPECT_EQ(*read, c.number) << c.entered;
  }
  // Text that is no 32-bit hexadecimal number becomes 0, never "no data".
  for (const char* bad : {"", "zwölf", "123456789", "-1", "0x", "1 2"}) {
    EXPECT_EQ(normalisedDwordText(bad), "0") << bad;
    EXPECT_EQ(dwordFromHex(normalisedDwordText(bad)).value_or(99), 0u);
  }
}

TEST(ShortcutForm, FieldFixes) {
  EXPECT_EQ(subFolderOnLeave("Tools"), "Tools\\");
  EXPECT_EQ(subFolderOnLeave("Tools\\"), "Tools\\");
  EXPECT_EQ(subFolderOnLeave(""), "");
  EXPECT_EQ(iconIndexOnLeave("300"), "255");
  EXPECT_EQ(iconIndexOnLeave("256"), "255");
  EXPECT_EQ(iconIndexOnLeave("255"), "255");
  EXPECT_EQ(iconIndexOnLeave(""), "0");
  EXPECT_EQ(iconIndexOnLeave("-4"), "0");
  EXPECT_EQ(iconIndexOnLeave("007"), "7");
  EXPECT_EQ(iconIndexOnLeave("99999999999"), "255");
  EXPECT_EQ(iconIndexValue("12"), 12);
}

TEST(AliasMenu, FixedAliasesThenFileComponents) {
  ProjectDocument doc;
  NoLanguageTexts none;
  doc.ResetProject(none);
  PendingComponent p(doc);
  addComponent(doc, *doc.fileComponentsRoot(), "Hilfe", p.commit());
  auto items = aliasMenuItems(doc);
  ASSERT_EQ(items.size(), 15u);
  EXPECT_EQ(items[0], "<CommonFilesDir>");
  EXPECT_EQ(items[2], "<InstallDir>");
  EXPECT_EQ(items[10], "<WinSys16Dir>");
  EXPECT_EQ(items[11], "<WinSysDir>");
  EXPECT_EQ(items[12], "");
  EXPECT_EQ(items[13], "[Programmdateien]");
  EXPECT_EQ(items[14], "[Hilfe]");
  size_t caret = 0;
  EXPECT_EQ(insertAtCaret("C:\\Ziel", 3, 3, "<InstallDir>", &caret), "C:\\<InstallDir>Ziel");
  EXPECT_EQ(caret, 15u);
  EXPECT_EQ(insertAtCaret("abcdef", 1, 4, "X"), "aXef");  // the selection is replaced
  EXPECT_EQ(insertAtCaret("ab", 9, 9, "X"), "abX");
}

}  // namespace
}  // namespace tw
