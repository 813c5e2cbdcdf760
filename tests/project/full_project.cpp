// The every-field project used by the round-trip tests.
#include "tests/project/full_project.h"

#include <memory>

namespace tw::test {
namespace {

TreeNode& addComponent(TreeNode& root, const std::string& name, int32_t picture,
                       int32_t id, int32_t flags, const std::string& path,
                       const std::string& description) {
  TreeNode& c = root.addChild(name, picture);
  c.komp = std::make_unique<KompRec>();
  c.komp->id = id;
  c.komp->flags = flags;
  c.komp->path = path;
  c.komp->description = description;
  return c;
}

TreeNode& addReference(TreeNode& parent, const TreeNode& component) {
  TreeNode& r = parent.addChild(component.text, component.picture);
  r.value = component.komp->id;
  return r;
}

}  // namespace

void fillFullProject(ProjectDocument& p) {
  NoLanguageTexts noLanguage;
  p.ResetProject(noLanguage);
  p.EditDefGen = "C:\\Ausgabe\\Setup Gr\xF6\xDF" "e.exe";
  p.EditApp = "M\xFCller \x80 Werkzeug";
  p.EditVer = "2";
  p.EditVer2 = "10";
  p.EditExe = "<InstallDir>\\app.exe";
  p.EditReadMe = "<InstallDir>\\liesmich.txt";
  p.EditFolder = "M\xFCller Werkzeuge";
  p.EditCompany = std::string(255, 'C');
  p.EditTargetDir = "<ProgramFilesDir>\\" + std::string(256, 'T');
  p.CheckBoxLN = true;
  p.CheckBoxInst = true;
  p.CheckBoxDeinst = false;
  p.RadioTitleText = false;
  p.EditTitleBmp = "titel.bmp";
  p.TitleAlternate = "Der Titel";
  p.EditTitleSz = "48";
  p.EditLogo = "logo.bmp";
  p.ComboLogoAlign = 2;
  p.TitleAlign = TitleAlignment::Right;
  p.CheckBox_AnimT = true;
  p.CheckBox_AnimL = true;
  p.CheckBoxFullScreen = true;
  p.CheckBoxSizeable = true;
  p.ComboColor = 7;
  p.NextComponentId = 40000;
  p.addInstallationType(kTypeNetzwerk, noLanguage);
  p.addInstallationType(kTypeMinimal, noLanguage);
  p.addInstallationType(kTypeBenutzer, noLanguage);
  p.DefaultType = kTypeBenutzer;
  p.setTypeDescription(kTypeNormal, std::string(255, 'n'));
  p.setTypeDescription(kTypeMinimal, "Nur das N\xF6tigste");
  p.setTypeDescription(kTypeBenutzer, "");
  p.setTypeDescription(kTypeNetzwerk, "Netz");
  p.TypeDescriptions[kTypeDescriptionSize * 3 + 100] = 0x5A;  // a stale byte after the NUL

  TreeNode& files = *p.fileComponentsRoot();
  TreeNode& program = *files.children[0];
  program.komp->flags = kKompNotOptional;
  program.komp->description = "Die Programmdateien";
  TreeNode& exe = program.addChild("[DefSrcPath]\\bin\\app.exe", kPictureFileEntry);
  exe.value = 2 | 8;
  program.addChild("[DefSrcPath]\\liesmich.txt", kPictureFileEntry).value = 1;
  TreeNode& dummy = program.addChild("Dummy.$$$", kPictureDummyEntry);
  dummy.value = 320;
  program.expanded = true;
  TreeNode& help = addComponent(files, "Hilfe", kPictureFileComponent, 127, kKompStateBit5 | kKompNoCompression,
                                "<InstallDir>\\Hilfe", std::string(300, 'h'));
  help.addChild("C:\\Quellen\\hilfe.hlp", kPictureFileEntry).value = 16;
  TreeNode& extra = addComponent(files, "Beispiele", kPictureFileComponent, 128, kKompStateBit3, "<InstallDir>\\Beispiele", "");
  TreeNode& extra2 = addComponent(files, "Vorlagen", kPictureFileComponent, -129, kKompStateBit3 | kKompStateBit5, "<InstallDir>\\Vorlagen", "");
  extra2.addChild("[DefSrcPath]\\vorlage.dot", kPictureFileEntry).value = 3;
  (void)extra;

  TreeNode& registry = *p.registryComponentsRoot();
  TreeNode& key = addComponent(registry, "Einstellungen", kPictureRegistry, 32767,
                               kKompUninstallKey | kKompOnlyIfEmpty | (3 << kKompRootCodeShift),
                               "Software\\M\xFCller\\Werkzeug", "Registry");
  key.addChild(std::string("(Standard)\0Wert", 15), kPictureRegistryValue).value = 0;
  key.addChild(std::string("Pfad\0<InstallDir>\0mit NUL", 25), kPictureRegistryValue).value = 2;
  TreeNode& sub = key.addChild("Optionen", kPictureRegistry);
  sub.value = 1 | 4;
  sub.expanded = true;
  sub.addChild(std::string("Zahl\0" "1F", 7), kPictureRegistryValue).value = 4;
  sub.addChild(std::string("Daten\0" "00FFA0", 11), kPictureRegistryValue).value = 3;
  TreeNode& deeper = sub.addChild("Tiefer", kPictureRegistry);
  deeper.addChild(std::string("Name\0Text", 9), kPictureRegistryValue).value = 1;
  key.expanded = true;
  TreeNode& remove = addComponent(registry, "Aufr\xE4umen", kPictureRemoveFileObjects, -32768,
                                  7 << kKompRootCodeShift, "<InstallDir>", "");
  remove.addChild(std::string("*.tmp\0" "1", 7), kPictureRegistryValue).value = 4;
  registry.expanded = true;

  TreeNode& normal = *p.typeRoot(kTypeNormal);
  addReference(normal, program);
  TreeNode& helpRef = addReference(normal, help);
  addReference(helpRef, extra);  // nested reference
  helpRef.expanded = true;
  addReference(*p.typeRoot(kTypeMinimal), program);
  TreeNode& benutzer = *p.typeRoot(kTypeBenutzer);
  addReference(benutzer, program);
  addReference(benutzer, help);
  addReference(benutzer, extra2);
  addReference(benutzer, key);
  addReference(benutzer, remove);
  addReference(*p.typeRoot(kTypeNetzwerk), key);
  TreeNode& dangling = p.typeRoot(kTypeNetzwerk)->addChild("Verwaist", kPictureFileComponent);
  dangling.value = 999;  // matches no component
  p.resolveTypeReferences();

  p.DefSrcPathValue = "C:\\Projekte\\M\xFCller";

  ShortcutEntry first;
  first.caption = "Werkzeug";
  first.object.target = &exe;
  first.object.subFolder = "Extras\\";
  first.object.parameters = "/s \"a b\"";
  first.object.workDir = "<InstallDir>";
  first.object.iconFile = "<InstallDir>\\app.exe";
  first.object.iconIndex = 255;
  first.object.appPathFile = true;
  first.object.appPathDir = true;
  first.checked = true;
  p.CheckListBox2.push_back(std::move(first));
  ShortcutEntry second;
  second.caption = "Deinstallieren";
  second.object.target = &dummy;
  p.CheckListBox2.push_back(std::move(second));
  ShortcutEntry orphan;
  orphan.caption = "Ohne Ziel";
  orphan.object.storedComponentIndex = 7;
  orphan.object.storedFileIndex = -1;
  p.CheckListBox2.push_back(std::move(orphan));

  for (int i = 0; i < kDialogSequenceEntries; ++i) p.CheckListBox1[i] = (i % 3) != 0;
  p.Reserved34 = "aufbewahrt";
  p.EditWelBmp = "willkommen.bmp";
  p.EditLizenz = "lizenz.txt";
  p.EditInfoTxt = "info.txt";
  p.CheckName = true;
  p.Reserved39 = true;
  p.EditAdvert = "werbung1.bmp";
  p.RadioForceReboot = true;
  p.ComboLanguage = "Deutsch";
  p.EditCustomDll = "HKAFT4.DLL";
}

}  // namespace tw::test
