// Writes the sample project: a small application with two file components,
// a registry component, all four installation types and two shortcuts.
//   make-sample-project OUT.tbw
#include <cstdio>

#include "builder/project/project_io.h"
#include "common/std_file_system.h"
#include "examples/project_building.h"

using tw::examples::addComponent;
using tw::examples::addReference;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sample-project OUT.tbw\n");
    return 2;
  }
  tw::NoLanguageTexts noLanguage;
  tw::ProjectDocument p;
  p.ResetProject(noLanguage);
  p.EditApp = "Notizblock";
  p.EditVer = "1";
  p.EditVer2 = "20";
  p.EditCompany = "Beispiel Software GmbH";
  p.EditTargetDir = "<ProgramFilesDir>\\Notizblock";
  p.EditFolder = "Notizblock";
  p.EditExe = "<InstallDir>\\notiz.txt";
  p.EditReadMe = "<InstallDir>\\liesmich.txt";
  p.CheckBoxLN = true;
  p.CheckBoxInst = true;
  p.CheckBoxDeinst = true;
  p.RadioTitleText = true;
  p.EditTitleBmp = "Notizblock 1.20";
  p.TitleAlign = tw::TitleAlignment::Centred;
  p.ComboColor = 0;
  p.ComboLanguage = "Deutsch";
  p.addInstallationType(tw::kTypeMinimal, noLanguage);
  p.addInstallationType(tw::kTypeBenutzer, noLanguage);
  p.addInstallationType(tw::kTypeNetzwerk, noLanguage);
  p.setTypeDescription(tw::kTypeNormal, "Das Programm mit Hilfe und Beispielen.");
  p.setTypeDescription(tw::kTypeMinimal, "Nur das Programm.");
  p.setTypeDescription(tw::kTypeBenutzer, "Sie w\xE4hlen die Komponenten selbst.");
  p.setTypeDescription(tw::kTypeNetzwerk, "Die Dateien bleiben auf dem Server.");

  tw::TreeNode& files = *p.fileComponentsRoot();
  tw::TreeNode& program = *files.children[0];
  program.komp->description = "Das Programm und seine Liesmich-Datei.";
  program.komp->flags = tw::kKompNotOptional;
  tw::TreeNode& notes = program.addChild("[DefSrcPath]\\files\\notiz.txt", tw::kPictureFileEntry);
  program.addChild("[DefSrcPath]\\files\\liesmich.txt", tw::kPictureFileEntry).value = 1;
  tw::TreeNode& uninstall = program.addChild("Dummy.$$$", tw::kPictureDummyEntry);
  uninstall.text = "Setup.exe";
  uninstall.value = 320;
  tw::TreeNode& help = addComponent(p, files, "Hilfe", tw::kPictureFileComponent, 0,
                                    "<InstallDir>\\Hilfe", "Die Hilfedateien.");
  help.addChild("[DefSrcPath]\\files\\hilfe.txt", tw::kPictureFileEntry);
  tw::TreeNode& examples = addComponent(p, files, "Beispiele", tw::kPictureFileComponent,
                                        tw::kKompStateBit5, "<InstallDir>\\Beispiele",
                                        "Beispielnotizen zum Ausprobieren.");
  examples.addChild("[DefSrcPath]\\files\\beispiel.txt", tw::kPictureFileEntry).value = 1;
  files.expanded = true;

  tw::TreeNode& registry = *p.registryComponentsRoot();
  tw::TreeNode& settings = addComponent(
      p, registry, "Einstellungen", tw::kPictureRegistry,
      tw::kKompUninstallKey | tw::kKompNotOptional | (3 << tw::kKompRootCodeShift),
      "Software\\Beispiel Software\\Notizblock", "");
  settings.addChild(std::string("Version\0" "1.20", 12), tw::kPictureRegistryValue).value = 1;
  settings.addChild(std::string("Pfad\0<InstallDir>", 17), tw::kPictureRegistryValue).value = 1;
  settings.addChild(std::string("Starts\0" "0", 8), tw::kPictureRegistryValue).value = 4;

  for (tw::TreeNode* component : {&program, &help, &examples, &settings})
    addReference(*p.typeRoot(tw::kTypeNormal), *component);
  addReference(*p.typeRoot(tw::kTypeMinimal), program);
  addReference(*p.typeRoot(tw::kTypeMinimal), settings);
  for (tw::TreeNode* component : {&program, &help, &examples, &settings})
    addReference(*p.typeRoot(tw::kTypeBenutzer), *component);
  addReference(*p.typeRoot(tw::kTypeNetzwerk), program);
  addReference(*p.typeRoot(tw::kTypeNetzwerk), settings);
  p.resolveTypeReferences();

  tw::ShortcutEntry open;
  open.caption = "Notizblock";
  open.object.target = &notes;
  open.object.appPathFile = true;
  open.checked = true;
  p.CheckListBox2.push_back(std::move(open));
  tw::ShortcutEntry remove;
  remove.caption = "Notizblock entfernen";
  remove.object.target = &uninstall;
  remove.object.parameters = "ZETUREMOVE";
  remove.checked = true;
  p.CheckListBox2.push_back(std::move(remove));

  for (int entry : {2, 3, 6, 7, 8, 9, 10, 11, 14}) p.CheckListBox1[entry] = true;
  p.EditLizenz = "files\\lizenz.txt";  // relative to the project folder
  // The sample's files sit beside the project; the builder resolves
  // [DefSrcPath] against the project folder when this is empty.
  p.DefSrcPathValue.clear();

  tw::StdFileSystem fs;
  tw::ProjectStatus status = tw::writeProjectFile(fs, argv[1], p);
  if (!status.ok()) {
    std::fprintf(stderr, "make-sample-project: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}
