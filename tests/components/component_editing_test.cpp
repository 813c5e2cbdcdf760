// Editing rules of the component tree, the type tree and the shortcut list.
#include <gtest/gtest.h>

#include "builder/project/component_editing.h"

namespace tw {
namespace {

ShortcutEntry shortcut(const std::string& caption, TreeNode* target, bool checked) {
  ShortcutEntry e;
  e.caption = caption;
  e.object.target = target;
  e.checked = checked;
  return e;
}

// A project with three file components (the first one "Programmdateien"),
// two files in the second, a registry component with a subkey and values,
// and the types Normal, Benutzer and Netzwerk.
struct Fixture {
  ProjectDocument doc;
  NoLanguageTexts language;
  TreeNode* program;
  TreeNode* help;
  TreeNode* extras;
  TreeNode* a;
  TreeNode* b;
  TreeNode* reg;
  TreeNode* sub;
  TreeNode* value1;
  TreeNode* value2;

  Fixture() {
    doc.ResetProject(language);
    doc.DefSrcPathValue = "C:\\Src";
    program = doc.fileComponentsRoot()->children[0].get();
    help = addFile("Hilfe");
    extras = addFile("Extras");
    auto added = addFileEntries(doc, *help, {"C:\\Src\\a.exe", "D:\\b.dll"});
    a = added[0];
    b = added[1];
    PendingComponent pending(doc);
    pending.record().flags = 3 << kKompRootCodeShift | kKompUninstallKey;
    pending.record().path = "Software\\Brakmoor\\Demo";
    reg = addComponent(doc, *doc.registryComponentsRoot(), "Einstellungen", pending.commit());
    sub = &addSubkey(*reg, "Fenster", kKompUninstallKey | kKompNotOptional);
    value1 = &addRegistryValue(*reg, "Name", "Wert", 1);
    value2 = &addRegistryValue(*reg, "Zahl", "1F", 4);
    doc.addInstallationType(kTypeBenutzer, language);
    doc.addInstallationType(kTypeNetzwerk, language);
  }
  TreeNode* addFile(const std::string& name) {
    PendingComponent pending(doc);
    pending.record().path = "<InstallDir>";
    TreeNode* at = doc.fileComponentsRoot();
    return addComponent(doc, *at, name, pending.commit());
  }
  std::vector<std::string> fileComponents() const {
    std::vector<std::string> out;
    for (const auto& c : doc.fileComponentsRoot()->children) out.push_back(c->text);
    return out;
  }
  TreeNode* type(int index) { return doc.typeRoot(index); }
};

TEST(ComponentEditing, FirstFileComponentStaysFirst) {
  Fixture f;
  // Three components now: Programmdateien, Extras (placed second), Hilfe.
  EXPECT_EQ(f.fileComponents(), (std::vector<std::string>{"Programmdateien", "Extras", "Hilfe"}));
  KompButtons first = kompButtons(f.doc, f.program);
  EXPECT_TRUE(first.fileSide);
  EXPECT_TRUE(first.position1 && first.position2 && first.position3 && first.properties && first.insertIntoTypes);
  EXPECT_FALSE(first.remove || first.up || first.down);
  EXPECT_EQ(removeKompNode(f.doc, *f.program), nullptr);
  EXPECT_FALSE(moveDown(f.doc, *f.program));
  // Nothing moves above it: the second component cannot go up.
  EXPECT_FALSE(kompButtons(f.doc, f.extras).up);
  EXPECT_FALSE(moveUp(f.doc, *f.extras));
  EXPECT_TRUE(kompButtons(f.doc, f.help).up);
  EXPECT_FALSE(kompButtons(f.doc, f.help).down);
  EXPECT_TRUE(moveUp(f.doc, *f.help));
  EXPECT_EQ(f.fileComponents(), (std::vector<std::string>{"Programmdateien", "Hilfe", "Extras"}));
  EXPECT_EQ(f.fileComponents().front(), "Programmdateien");
  // Dropping a copy of a component never lands before the first either.
  TreeNode* copy = dropOnKomp(f.doc, *f.extras, *f.doc.fileComponentsRoot(), true);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->indexInParent(), 1);
}

TEST(ComponentEditing, NewFileComponentGoesSecondWhenThereAreThree) {
  Fixture f;
  ASSERT_EQ(f.doc.fileComponentsRoot()->children.size(), 3u);
  TreeNode* added = f.addFile("Neue Komponente");
  EXPECT_EQ(added->indexInParent(), 1);
  EXPECT_EQ(added->picture, kPictureFileComponent);
  EXPECT_EQ(added->selectedPicture, 1);
  // With one component only it is appended; after a component it follows it.
  ProjectDocument fresh;
  NoLanguageTexts none;
  fresh.ResetProject(none);
  PendingComponent p1(fresh);
  TreeNode* second = addComponent(fresh, *fresh.fileComponentsRoot(), "B", p1.commit());
  EXPECT_EQ(second->indexInParent(), 1);
  PendingComponent p2(fresh);
  TreeNode* third = addComponent(fresh, *fresh.fileComponentsRoot()->children[0], "C", p2.commit());
  EXPECT_EQ(third->indexInParent(), 1);
  EXPECT_EQ(second->indexInParent(), 2);
  // A registry component goes first under its root; root code 7 takes picture 10.
  PendingComponent p3(fresh);
  p3.record().flags = 7 << kKompRootCodeShift;
  TreeNode* remove = addComponent(fresh, *fresh.registryComponentsRoot(), "Weg", p3.commit());
  EXPECT_EQ(remove->picture, kPictureRemoveFileObjects);
  EXPECT_EQ(remove->selectedPicture, 11);
  EXPECT_EQ(kompStatusText(remove), "REMOVE FILEOBJECTS (Wird entfernt)");
  KompButtons b = kompButtons(fresh, remove);
  EXPECT_FALSE(b.fileSide);
  EXPECT_TRUE(b.position2);
  EXPECT_FALSE(b.position3);
}

TEST(ComponentEditing, ComponentIdsAreReturnedOnCancel) {
  Fixture f;
  int32_t next = f.doc.NextComponentId;
  {
    PendingComponent cancelled(f.doc);
    EXPECT_EQ(cancelled.id(), next);
    EXPECT_EQ(f.doc.NextComponentId, next + 1);
  }  // the dialog was cancelled
  EXPECT_EQ(f.doc.NextComponentId, next);
  PendingComponent kept(f.doc);
  auto record = kept.commit();
  EXPECT_EQ(record->id, next);
  EXPECT_EQ(f.doc.NextComponentId, next + 1);
  // A pending id is not given back once a later one was taken.
  PendingComponent outer(f.doc);
  PendingComponent inner(f.doc);
  inner.commit();
  outer.cancel();
  EXPECT_EQ(f.doc.NextComponentId, next + 3);
}

TEST(ComponentEditing, FilesBelowTheSourceFolderAreStoredWithTheAlias) {
  Fixture f;
  EXPECT_EQ(f.a->text, "[DefSrcPath]\\a.exe");
  EXPECT_EQ(f.b->text, "D:\\b.dll");
  EXPECT_EQ(f.a->picture, kPictureFileEntry);
  EXPECT_EQ(f.a->value, 0);
  EXPECT_EQ(storedSourcePath("C:\\Src", "C:\\Src\\sub\\x.txt"), "[DefSrcPath]\\sub\\x.txt");
  // The prefix is exact and case-sensitive, and ends at a separator.
  EXPECT_EQ(storedSourcePath("C:\\Src", "c:\\src\\x.txt"), "c:\\src\\x.txt");
  EXPECT_EQ(storedSourcePath("C:\\Src", "C:\\Src2\\x.txt"), "C:\\Src2\\x.txt");
  EXPECT_EQ(storedSourcePath("C:", "C:\\x.txt"), "[DefSrcPath]\\x.txt");
  EXPECT_EQ(storedSourcePath("", "C:\\x.txt"), "C:\\x.txt");
  EXPECT_EQ(expandedSourcePath("C:\\Src", "[DefSrcPath]\\a.exe"), "C:\\Src\\a.exe");
  TreeNode& dummy = addDummyEntry(*f.extras);
  EXPECT_EQ(dummy.text, "Dummy.$$$");
  EXPECT_EQ(dummy.picture, kPictureDummyEntry);
  EXPECT_EQ(dummy.value, 320);
}

TEST(ComponentEditing, SourcePathUpdateRewritesOnlyEntriesBelowTheNewFolder) {
  Fixture f;
  // C:\New does not hold C:\Src\a.exe: the entry keeps its text.
  EXPECT_TRUE(updateDefSrcPath(f.doc, "C:\\New\\", true));
  EXPECT_EQ(f.doc.DefSrcPathValue, "C:\\New");
  EXPECT_EQ(f.a->text, "[DefSrcPath]\\a.exe");
  f.doc.DefSrcPathValue = "C:\\Src";
  EXPECT_TRUE(updateDefSrcPath(f.doc, "C:", true));
  EXPECT_EQ(f.a->text, "[DefSrcPath]\\Src\\a.exe");
  EXPECT_EQ(f.b->text, "D:\\b.dll");
  // Absolute entries below the new folder take the alias too.
  EXPECT_TRUE(updateDefSrcPath(f.doc, "D:", true));
  EXPECT_EQ(f.b->text, "[DefSrcPath]\\b.dll");
  // Without the box only the value changes; the same value changes nothing.
  EXPECT_TRUE(updateDefSrcPath(f.doc, "E:\\X", false));
  EXPECT_EQ(f.b->text, "[DefSrcPath]\\b.dll");
  EXPECT_FALSE(updateDefSrcPath(f.doc, "E:\\X", true));
}

TEST(ComponentEditing, DeletingAFileRemovesItsShortcuts) {
  Fixture f;
  f.doc.CheckListBox2.push_back(shortcut("Start", f.a, true));
  f.doc.CheckListBox2.push_back(shortcut("Andere", f.b, false));
  f.doc.CheckListBox2.push_back(shortcut("Nochmal", f.a, false));
  EXPECT_EQ(shortcutListText(f.doc.CheckListBox2[0]), "Start = [Hilfe]\\a.exe");
  TreeNode* next = removeKompNode(f.doc, *f.a);
  EXPECT_EQ(next, f.b);
  ASSERT_EQ(f.doc.CheckListBox2.size(), 1u);
  EXPECT_EQ(f.doc.CheckListBox2[0].caption, "Andere");
  // The last entry selects its previous sibling, then the component.
  EXPECT_EQ(removeKompNode(f.doc, *f.b), f.help);
  EXPECT_TRUE(f.doc.CheckListBox2.empty());
}

TEST(ComponentEditing, RemovingAComponentTakesItsReferencesAndShortcuts) {
  Fixture f;
  TreeNode* r1 = appendReference(f.doc, *f.type(kTypeNormal), *f.help);
  appendReference(f.doc, *r1, *f.extras);  // nested below the reference
  appendReference(f.doc, *f.type(kTypeBenutzer), *f.help);
  appendReference(f.doc, *f.type(kTypeBenutzer), *f.extras);
  f.doc.CheckListBox2.push_back(shortcut("Start", f.a, true));
  TreeNode* next = removeKompNode(f.doc, *f.help);
  EXPECT_EQ(next, f.extras);  // Hilfe was last: its previous sibling
  EXPECT_TRUE(f.type(kTypeNormal)->children.empty());
  ASSERT_EQ(f.type(kTypeBenutzer)->children.size(), 1u);
  EXPECT_EQ(f.type(kTypeBenutzer)->children[0]->component, f.extras);
  EXPECT_TRUE(f.doc.CheckListBox2.empty());
  // A reference goes with the references below it.
  TreeNode* top = appendReference(f.doc, *f.type(kTypeNormal), *f.extras);
  appendReference(f.doc, *top, *f.program);
  EXPECT_EQ(removeTypeReference(f.doc, *top), f.type(kTypeNormal));
  EXPECT_TRUE(f.type(kTypeNormal)->children.empty());
}

TEST(ComponentEditing, MovingAComponentKeepsItsReferencesAndShortcuts) {
  Fixture f;
  TreeNode* ref = appendReference(f.doc, *f.type(kTypeBenutzer), *f.help);
  f.doc.CheckListBox2.push_back(shortcut("Start", f.a, true));
  ASSERT_TRUE(moveUp(f.doc, *f.help));
  EXPECT_EQ(f.help->indexInParent(), 1);
  EXPECT_EQ(ref->component, f.help);
  EXPECT_TRUE(renameKompNode(f.doc, *f.help, "Dokumentation"));
  EXPECT_EQ(ref->text, "Dokumentation");
  EXPECT_EQ(shortcutListText(f.doc.CheckListBox2[0]), "Start = [Dokumentation]\\a.exe");
  // File entries move past each other and keep their shortcuts.
  ASSERT_TRUE(moveDown(f.doc, *f.a));
  EXPECT_EQ(f.a->indexInParent(), 1);
  EXPECT_EQ(f.doc.CheckListBox2[0].object.target, f.a);
  // Moving a reference inside the type tree.
  TreeNode* ref2 = appendReference(f.doc, *f.type(kTypeBenutzer), *f.extras);
  EXPECT_TRUE(canMoveUp(f.doc, ref2));
  EXPECT_TRUE(moveUp(f.doc, *ref2));
  EXPECT_EQ(f.type(kTypeBenutzer)->children[0].get(), ref2);
  // Type roots keep their order.
  EXPECT_FALSE(canMoveDown(f.doc, f.type(kTypeNormal)));
}

TEST(ComponentEditing, SubkeysAndValuesNeverPassOneAnother) {
  Fixture f;
  // reg: Fenster (subkey), Name, Zahl (values).
  ASSERT_EQ(f.reg->children[0].get(), f.sub);
  EXPECT_FALSE(kompButtons(f.doc, f.sub).down);
  EXPECT_FALSE(kompButtons(f.doc, f.value1).up);
  EXPECT_TRUE(kompButtons(f.doc, f.value1).down);
  EXPECT_FALSE(moveDown(f.doc, *f.sub));
  EXPECT_FALSE(moveUp(f.doc, *f.value1));
  EXPECT_TRUE(moveUp(f.doc, *f.value2));
  // New subkeys go before the first value, new values at the end.
  TreeNode& second = addSubkey(*f.reg, "Zwei", 0);
  EXPECT_EQ(second.indexInParent(), 1);
  TreeNode& value3 = addRegistryValue(*f.reg, "Letzter", "", 1);
  EXPECT_EQ(value3.indexInParent(), static_cast<int>(f.reg->children.size()) - 1);
  // A subkey without children takes its first one first.
  TreeNode& inner = addSubkey(*f.sub, "Innen", 0);
  EXPECT_EQ(inner.indexInParent(), 0);
  // A dropped value goes before the values, after the subkeys.
  TreeNode* moved = dropOnKomp(f.doc, *f.value1, *f.sub, false);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved, f.value1);  // a move keeps the node
  EXPECT_EQ(f.value1->parent, f.sub);
  EXPECT_EQ(f.value1->indexInParent(), 1);
  KompButtons valueButtons = kompButtons(f.doc, f.value2);
  EXPECT_FALSE(valueButtons.position1 || valueButtons.position2 || valueButtons.position3);
  EXPECT_TRUE(valueButtons.properties && valueButtons.remove);
  KompButtons subButtons = kompButtons(f.doc, f.sub);
  EXPECT_TRUE(subButtons.position1 && subButtons.position2 && subButtons.position3 && subButtons.properties);
  EXPECT_FALSE(subButtons.insertIntoTypes);
}

TEST(ComponentEditing, NoSecondDefaultValueUnderAKey) {
  Fixture f;
  EXPECT_FALSE(keyHasDefaultValue(*f.reg));
  TreeNode& standard = addRegistryValue(*f.reg, "(Standard)", "x", 0);
  EXPECT_TRUE(keyHasDefaultValue(*f.reg));
  EXPECT_FALSE(keyHasDefaultValue(*f.reg, &standard));  // editing the default value itself
  TreeNode& other = addRegistryValue(*f.sub, "(Standard)", "y", 0);
  // A default value cannot be dropped onto a key that has one.
  EXPECT_FALSE(canDropOnKomp(f.doc, other, *f.reg, false));
  EXPECT_TRUE(canDropOnKomp(f.doc, *f.value1, *f.reg, true));
  EXPECT_FALSE(canDropOnKomp(f.doc, standard, *f.sub, true));
  EXPECT_EQ(kompStatusText(&standard), "(Standard) = x (REG_SZ)");
  EXPECT_EQ(kompStatusText(f.value2), "Zahl = 1F (REG_DWORD)");
}

TEST(ComponentEditing, KompDropRules) {
  Fixture f;
  TreeNode* files = f.doc.fileComponentsRoot();
  TreeNode* registry = f.doc.registryComponentsRoot();
  // File entries only onto file components.
  EXPECT_TRUE(canDropOnKomp(f.doc, *f.a, *f.extras, false));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.a, *files, true));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.a, *f.reg, false));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.a, *f.b, false));
  // Values onto registry components or subkeys, never a root.
  EXPECT_TRUE(canDropOnKomp(f.doc, *f.value1, *f.sub, false));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.value1, *registry, true));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.value1, *f.help, false));
  // Components onto the root of their own side, only as a copy.
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.help, *files, false));
  EXPECT_TRUE(canDropOnKomp(f.doc, *f.help, *files, true));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.help, *registry, true));
  EXPECT_TRUE(canDropOnKomp(f.doc, *f.reg, *registry, true));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.help, *f.extras, true));
  // Subkeys onto registry keys, not into themselves when moving.
  TreeNode& inner = addSubkey(*f.sub, "Innen", 0);
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.sub, inner, false));
  EXPECT_TRUE(canDropOnKomp(f.doc, *f.sub, inner, true));
  EXPECT_FALSE(canDropOnKomp(f.doc, *f.sub, *f.sub, true));
  EXPECT_TRUE(canDropOnKomp(f.doc, inner, *f.reg, false));
  TreeNode* copied = dropOnKomp(f.doc, *f.sub, inner, true);
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->parent, &inner);
  EXPECT_EQ(copied->children.size(), 1u);  // the subtree as it was before the drop
  // A moved file entry keeps its shortcut and lands first in its target.
  f.doc.CheckListBox2.push_back(shortcut("Start", f.a, true));
  TreeNode* moved = dropOnKomp(f.doc, *f.a, *f.extras, false);
  EXPECT_EQ(moved, f.a);
  EXPECT_EQ(f.a->parent, f.extras);
  EXPECT_EQ(f.doc.CheckListBox2[0].object.target, f.a);
  EXPECT_EQ(f.help->children.size(), 1u);
}

TEST(ComponentEditing, ShiftCopyGivesNewIdAndEmptyDescription) {
  Fixture f;
  f.help->komp->description = "Die Hilfe";
  f.help->komp->flags = kKompNoCompression | kKompStateBit5;
  f.help->komp->size = 1234;
  f.help->komp->path = "<InstallDir>\\Hilfe";
  int32_t next = f.doc.NextComponentId;
  TreeNode* copy = dropOnKomp(f.doc, *f.help, *f.doc.fileComponentsRoot(), true);
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(copy->komp);
  EXPECT_NE(copy->komp.get(), f.help->komp.get());
  EXPECT_EQ(copy->komp->id, next);
  EXPECT_EQ(f.doc.NextComponentId, next + 1);
  EXPECT_EQ(copy->komp->description, "");
  EXPECT_EQ(copy->komp->flags, f.help->komp->flags);
  EXPECT_EQ(copy->komp->size, 1234);
  EXPECT_EQ(copy->komp->path, "<InstallDir>\\Hilfe");
  EXPECT_EQ(copy->text, "Hilfe");
  ASSERT_EQ(copy->children.size(), 2u);
  EXPECT_EQ(copy->children[0]->text, "[DefSrcPath]\\a.exe");
  EXPECT_EQ(copy->children[0]->parent, copy);
  EXPECT_EQ(f.help->children.size(), 2u);  // the source stays
  // A registry component copy goes first under its root.
  TreeNode* regCopy = dropOnKomp(f.doc, *f.reg, *f.doc.registryComponentsRoot(), true);
  ASSERT_NE(regCopy, nullptr);
  EXPECT_EQ(regCopy->indexInParent(), 0);
  EXPECT_EQ(regCopy->komp->flags, f.reg->komp->flags);
}

TEST(ComponentEditing, NetzwerkRootRefusesComponentsButItsReferencesTakeThem) {
  Fixture f;
  TreeNode* netzwerk = f.type(kTypeNetzwerk);
  EXPECT_FALSE(canDropOnTypes(f.doc, *f.help, *netzwerk, false));
  EXPECT_TRUE(canDropOnTypes(f.doc, *f.help, *f.type(kTypeNormal), false));
  TreeNode* below = insertReferenceAfter(f.doc, *appendReference(f.doc, *f.type(kTypeNormal), *f.extras), *f.help);
  ASSERT_NE(below, nullptr);
  // A reference placed below Netzwerk by moving it there from Normal.
  TreeNode* atNet = appendReference(f.doc, *netzwerk, *f.program);
  ASSERT_NE(atNet, nullptr);
  EXPECT_TRUE(canDropOnTypes(f.doc, *f.help, *atNet, false));
  TreeNode* added = dropOnTypes(f.doc, *f.help, *atNet, false);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->parent, atNet);
  EXPECT_EQ(added->component, f.help);
  EXPECT_EQ(added->value, f.help->komp->id);
  EXPECT_EQ(added->text, "Hilfe");
  // Not onto itself, not into its own subtree when moving.
  EXPECT_FALSE(canDropOnTypes(f.doc, *atNet, *atNet, false));
  EXPECT_FALSE(canDropOnTypes(f.doc, *atNet, *added, false));
  EXPECT_TRUE(canDropOnTypes(f.doc, *atNet, *added, true));
  // Roots of the type tree are never dragged; neither are komp roots linked.
  EXPECT_FALSE(canDropOnTypes(f.doc, *netzwerk, *f.type(kTypeNormal), false));
  EXPECT_FALSE(canDropOnTypes(f.doc, *f.doc.fileComponentsRoot(), *f.type(kTypeNormal), false));
  EXPECT_FALSE(canDropOnTypes(f.doc, *f.a, *f.type(kTypeNormal), false));
}

TEST(ComponentEditing, ReferencesMoveOrCopyInsideTheTypeTree) {
  Fixture f;
  TreeNode* normal = f.type(kTypeNormal);
  TreeNode* benutzer = f.type(kTypeBenutzer);
  TreeNode* ref = appendReference(f.doc, *normal, *f.help);
  appendReference(f.doc, *ref, *f.extras);
  EXPECT_EQ(ref->state, StatePicture::None);  // only Benutzer shows state pictures
  TreeNode* copy = dropOnTypes(f.doc, *ref, *benutzer, true);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(normal->children.size(), 1u);
  EXPECT_EQ(copy->children.size(), 1u);
  EXPECT_EQ(copy->state, StatePicture::CheckBoxTicked);
  EXPECT_EQ(copy->children[0]->state, StatePicture::CheckBoxTicked);
  TreeNode* moved = dropOnTypes(f.doc, *ref, *f.type(kTypeBenutzer), false);
  ASSERT_NE(moved, nullptr);
  EXPECT_TRUE(normal->children.empty());
  EXPECT_EQ(benutzer->children.size(), 2u);
}

TEST(ComponentEditing, StatePictureClicksCycleTheSelectionState) {
  Fixture f;
  TreeNode* ref = appendReference(f.doc, *f.type(kTypeBenutzer), *f.help);
  const StatePicture expected[] = {StatePicture::CheckBoxEmpty, StatePicture::OptionSelected,
                                   StatePicture::OptionEmpty, StatePicture::CheckBoxTicked};
  const int32_t flags[] = {32, 8, 40, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(cycleSelectionState(f.doc, *ref));
    EXPECT_EQ(f.help->komp->flags & 40, flags[i]);
    EXPECT_EQ(ref->state, expected[i]);
  }
  // Not offered as an option: the state stays.
  f.doc.setComponentFlags(*f.help, kKompNotOptional);
  EXPECT_FALSE(cycleSelectionState(f.doc, *ref));
  EXPECT_EQ(f.help->komp->flags, kKompNotOptional);
  // References under other types have no state picture to click.
  TreeNode* normalRef = appendReference(f.doc, *f.type(kTypeNormal), *f.extras);
  EXPECT_FALSE(cycleSelectionState(f.doc, *normalRef));
}

TEST(ComponentEditing, RenameRules) {
  Fixture f;
  EXPECT_FALSE(canRenameKomp(f.doc.fileComponentsRoot()));
  EXPECT_FALSE(canRenameKomp(f.value1));
  EXPECT_TRUE(canRenameKomp(f.sub));
  EXPECT_TRUE(canRenameKomp(f.a));
  EXPECT_FALSE(renameKompNode(f.doc, *f.help, ""));
  EXPECT_EQ(f.help->text, "Hilfe");
  EXPECT_TRUE(canRenameType(f.type(kTypeNormal)));
  TreeNode* ref = appendReference(f.doc, *f.type(kTypeNormal), *f.help);
  EXPECT_FALSE(canRenameType(ref));
}

TEST(ComponentEditing, StatusLine) {
  Fixture f;
  EXPECT_EQ(kompStatusText(f.help), "Zielverzeichnis: <InstallDir>");
  EXPECT_EQ(kompStatusText(f.reg), "HKEY_LOCAL_MACHINE\\Software\\Brakmoor\\Demo (Wird entfernt)");
  TreeNode& inner = addSubkey(*f.sub, "Innen", 3);
  EXPECT_EQ(kompStatusText(&inner), "HKEY_LOCAL_MACHINE\\Software\\Brakmoor\\Demo\\Fenster\\Innen (Wird entfernt wenn leer)");
  inner.value = 0;
  EXPECT_EQ(kompStatusText(&inner), "HKEY_LOCAL_MACHINE\\Software\\Brakmoor\\Demo\\Fenster\\Innen (Wird nicht entfernt)");
  inner.value = 2;
  EXPECT_EQ(kompStatusText(&inner), "HKEY_LOCAL_MACHINE\\Software\\Brakmoor\\Demo\\Fenster\\Innen");
  f.reg->komp->path.clear();
  EXPECT_EQ(kompStatusText(f.reg), "HKEY_LOCAL_MACHINE (Wird entfernt)");
  EXPECT_EQ(kompStatusText(f.doc.fileComponentsRoot()), "");
  EXPECT_EQ(kompStatusText(f.a), "");
}

TEST(ComponentEditing, ParentKeyAndRemovalOfSubkeys) {
  Fixture f;
  EXPECT_EQ(parentKeyText(*f.reg), "Demo");
  EXPECT_EQ(parentKeyText(*f.sub), "Fenster");
  f.reg->komp->path = "Solo";
  EXPECT_EQ(parentKeyText(*f.reg), "Solo");
  f.reg->komp->path.clear();
  EXPECT_EQ(parentKeyText(*f.reg), "\\");
  TreeNode& inner = addSubkey(*f.sub, "Innen", 2);
  f.sub->value = 0;
  // Removal switched on to "only if empty": every subkey is removed.
  applyRemovalToSubkeys(*f.reg, 0, 3);
  EXPECT_EQ(f.sub->value & 1, 1);
  EXPECT_EQ(inner.value, 3);
  // Unconditional removal clears "only if empty" below.
  applyRemovalToSubkeys(*f.reg, 3, 1);
  EXPECT_EQ(inner.value, 1);
  // Away from removal nothing below changes.
  inner.value = 2;
  applyRemovalToSubkeys(*f.reg, 1, 0);
  EXPECT_EQ(inner.value, 2);
}

TEST(ComponentEditing, EnableMasksOfRootsAndEntries) {
  Fixture f;
  KompButtons files = kompButtons(f.doc, f.doc.fileComponentsRoot());
  EXPECT_TRUE(files.fileSide && files.position1 && files.properties);
  EXPECT_FALSE(files.position2 || files.position3 || files.remove || files.up || files.insertIntoTypes);
  KompButtons registry = kompButtons(f.doc, f.doc.registryComponentsRoot());
  EXPECT_FALSE(registry.fileSide);
  EXPECT_TRUE(registry.position1);
  EXPECT_FALSE(registry.properties || registry.position2);
  KompButtons entry = kompButtons(f.doc, f.a);
  EXPECT_TRUE(entry.fileSide && entry.remove && entry.down && entry.fileLink);
  EXPECT_FALSE(entry.up || entry.position1 || entry.properties || entry.insertIntoTypes);
  TreeNode& dummy = addDummyEntry(*f.help);
  KompButtons d = kompButtons(f.doc, &dummy);
  EXPECT_TRUE(d.up);
  EXPECT_FALSE(d.fileLink || d.down);
  KompButtons none = kompButtons(f.doc, nullptr);
  EXPECT_FALSE(none.position1 || none.remove);
  TypeButtons root = typeButtons(f.type(kTypeBenutzer));
  EXPECT_TRUE(root.loadText);
  EXPECT_FALSE(root.remove || root.up || root.down);
}

TEST(ComponentEditing, FileOptions) {
  FileOptions o = fileOptionsOf(8 | 2 | 64);
  EXPECT_EQ(o.mode, Overwrite::IfHigherVersion);
  EXPECT_TRUE(o.shared);
  EXPECT_FALSE(o.iniEnabled);
  EXPECT_TRUE(o.sharedEnabled);
  o = fileOptionsOf(16 | 3);
  EXPECT_EQ(o.mode, Overwrite::Never);
  EXPECT_TRUE(o.ini);
  EXPECT_FALSE(o.sharedEnabled);
  // The value keeps nothing but the mode and one of the two boxes.
  EXPECT_EQ(fileOptionValue(Overwrite::IfNewer, true, true), 9);
  EXPECT_EQ(fileOptionValue(Overwrite::Never, false, true), 19);
  EXPECT_EQ(fileOptionValue(Overwrite::Always, false, false), 0);
}

TEST(ComponentEditing, ShortcutList) {
  Fixture f;
  ShortcutEntry e = shortcut("Start", f.a, true);
  e.object.parameters = "/x";
  EXPECT_EQ(shortcutStatusText(e), "Parameter:\"/x\"");
  e.object.appPathFile = true;
  EXPECT_EQ(shortcutStatusText(e), "Parameter:\"/x\"; AppPath : Datei");
  e.object.appPathDir = true;
  EXPECT_EQ(shortcutStatusText(e), "Parameter:\"/x\"; AppPath : Datei und Pfad");
  e.object.appPathFile = false;
  EXPECT_EQ(shortcutStatusText(e), "Parameter:\"/x\"; AppPath : Pfad");
  for (const char* c : {"A", "B", "C"}) f.doc.CheckListBox2.push_back(shortcut(c, f.b, false));
  EXPECT_TRUE(swapShortcuts(f.doc, 0, 1));
  EXPECT_EQ(f.doc.CheckListBox2[0].caption, "B");
  EXPECT_FALSE(swapShortcuts(f.doc, 2, 3));
  EXPECT_EQ(removeShortcut(f.doc, 0), 0);  // the first removed: the next one
  EXPECT_EQ(removeShortcut(f.doc, 1), 0);  // else the previous one
  EXPECT_EQ(removeShortcut(f.doc, 0), -1);
}

}  // namespace
}  // namespace tw
