// Writes the demo project: every feature the build knows, on a small
// application. Its files come from examples/demo; the pictures and the
// versioned DLL are made by the win32 build into the staged demo folder.
//   make-demo-project OUT.tbw
#include <cstdio>

#include "builder/project/project_io.h"
#include "common/std_file_system.h"
#include "examples/project_building.h"

using namespace tw;
using tw::examples::addComponent;
using tw::examples::addFile;
using tw::examples::addReference;
using tw::examples::addValue;

namespace {

constexpr int32_t kNewer = 1, kHigherVersion = 2, kShared = 8, kIni = 16;

void fillDemo(ProjectDocument& p) {
  NoLanguageTexts none;
  p.ResetProject(none);
  p.EditApp = "Notizblock Pro";
  p.EditVer = "2";
  p.EditVer2 = "5";
  p.EditCompany = "Beispiel Software GmbH";
  p.EditTargetDir = "<ProgramFilesDir>\\Beispiel Software\\Notizblock Pro";
  p.EditFolder = "Notizblock Pro";
  p.EditExe = "<InstallDir>\\notiz.txt";
  p.EditReadMe = "<InstallDir>\\liesmich.txt";
  p.CheckBoxLN = p.CheckBoxInst = p.CheckBoxDeinst = true;
  p.RadioTitleText = false;
  p.EditTitleBmp = "titel.bmp";
  p.TitleAlternate = "Notizblock Pro 2.5";
  p.TitleAlign = TitleAlignment::Centred;
  p.CheckBox_AnimT = true;
  p.EditLogo = "logo.bmp";
  p.ComboLogoAlign = 1;
  p.CheckBox_AnimL = true;
  p.ComboColor = 3;
  p.ComboLanguage = "Deutsch";
  for (int type : {kTypeMinimal, kTypeBenutzer, kTypeNetzwerk}) p.addInstallationType(type, none);
  p.DefaultType = kTypeBenutzer;
  p.setTypeDescription(kTypeNormal, "Programm, Werkzeuge und Vorlagen.");
  p.setTypeDescription(kTypeMinimal, "Nur das Programm und seine Einstellungen.");
  p.setTypeDescription(kTypeBenutzer, "Sie w\xE4hlen die Komponenten selbst aus.");
  p.setTypeDescription(kTypeNetzwerk, "Nur die Eintr\xE4ge f\xFCr diesen Arbeitsplatz.");

  TreeNode& files = *p.fileComponentsRoot();
  TreeNode& program = *files.children[0];
  program.komp->flags = kKompNotOptional;
  program.komp->description = "Das Programm, seine Einstellungen und Hilfen.";
  TreeNode& notes = addFile(program, "[DefSrcPath]\\files\\notiz.txt");
  addFile(program, "[DefSrcPath]\\files\\liesmich.txt", kNewer);
  addFile(program, "[DefSrcPath]\\files\\notizblock.ini", kIni);
  addFile(program, "[DefSrcPath]\\files\\schreibschutz.txt");
  TreeNode& setup = program.addChild("Setup.exe", kPictureDummyEntry);
  setup.value = 320;
  program.expanded = true;

  TreeNode& tools = addComponent(p, files, "Werkzeuge", kPictureFileComponent, 0, "<InstallDir>\\Werkzeuge",
                                 "Die Werkzeugbibliothek.");
  TreeNode& toolDll = addFile(tools, "[DefSrcPath]\\files\\werkzeug.dll", kHigherVersion);
  TreeNode& templates = addComponent(p, files, "Vorlagen", kPictureFileComponent, kKompStateBit5,
                                     "<InstallDir>\\Vorlagen", "Vorlagen f\xFCr Briefe und Listen.");
  addFile(templates, "[DefSrcPath]\\files\\brief.vorlage");
  addFile(templates, "[DefSrcPath]\\files\\liste.vorlage");
  TreeNode& raw = addComponent(p, files, "Rohdaten", kPictureFileComponent, kKompNoCompression,
                               "<InstallDir>\\Roh", "Unkomprimiert vom Datentr\xE4ger kopiert.");
  addFile(raw, "[DefSrcPath]\\files\\roh.dat");
  TreeNode& shared = addComponent(p, files, "Gemeinsame Dateien", kPictureFileComponent, kKompNotOptional,
                                  "<CommonFilesDir>\\Beispiel Software", "");
  addFile(shared, "[DefSrcPath]\\files\\gemeinsam.dll", kShared | kNewer);

  TreeNode& registry = *p.registryComponentsRoot();
  TreeNode& machine = addComponent(p, registry, "Einstellungen", kPictureRegistry,
                                   kKompUninstallKey | kKompNotOptional | (3 << kKompRootCodeShift),
                                   "Software\\Beispiel Software\\Notizblock Pro", "");
  addValue(machine, "(Standard)", "Notizblock Pro", 0);
  addValue(machine, "Version", "2.5", 1);
  addValue(machine, "Daten", "<InstallDir>\\Daten", 2);
  addValue(machine, "Muster", "00FF10A5", 3);
  addValue(machine, "Starts", "2A", 4);
  TreeNode& options = machine.addChild("Optionen", kPictureRegistry);
  options.value = kKompUninstallKey;
  addValue(options, "Schrift", "Arial", 1);
  TreeNode& view = options.addChild("Ansicht", kPictureRegistry);
  view.value = kKompUninstallKey | kKompOnlyIfEmpty;
  addValue(view, "Zoom", "64", 4);
  machine.expanded = true;
  TreeNode& user = addComponent(p, registry, "Benutzerdaten", kPictureRegistry,
                                kKompUninstallKey | kKompOnlyIfEmpty | (2 << kKompRootCodeShift),
                                "Software\\Beispiel Software\\Notizblock Pro", "Pers\xF6nliche Einstellungen.");
  addValue(user, "Benutzer", "<UserName>", 1);
  TreeNode& fileType = addComponent(p, registry, "Dateityp", kPictureRegistry, 1 << kKompRootCodeShift,
                                    ".notiz", "Notizdateien mit Notizblock \xF6" "ffnen.");
  addValue(fileType, "(Standard)", "NotizblockPro.Notiz", 0);
  TreeNode& cleanup = addComponent(p, registry, "Aufr\xE4umen", kPictureRemoveFileObjects,
                                   kKompNotOptional | (7 << kKompRootCodeShift), "", "");
  addValue(cleanup, "<InstallDir>\\Daten", "1", 4);

  TreeNode& normal = *p.typeRoot(kTypeNormal);
  addReference(addReference(normal, program), tools);  // nested: tools below the program
  for (TreeNode* c : {&templates, &raw, &shared, &machine, &user, &fileType, &cleanup}) addReference(normal, *c);
  for (TreeNode* c : {&program, &shared, &machine, &cleanup}) addReference(*p.typeRoot(kTypeMinimal), *c);
  TreeNode& custom = *p.typeRoot(kTypeBenutzer);
  TreeNode& programRef = addReference(custom, program);
  addReference(programRef, tools);
  addReference(programRef, templates);
  programRef.expanded = true;
  for (TreeNode* c : {&raw, &shared, &machine, &user, &fileType, &cleanup}) addReference(custom, *c);
  for (TreeNode* c : {&machine, &user}) addReference(*p.typeRoot(kTypeNetzwerk), *c);
  p.resolveTypeReferences();

  ShortcutEntry open{"Notizblock Pro", {&notes}, true};
  open.object.appPathFile = true;
  open.object.appPathDir = true;
  open.object.workDir = "<InstallDir>";
  p.CheckListBox2.push_back(std::move(open));
  ShortcutEntry tool{"Werkzeug", {&toolDll}, false};
  tool.object.subFolder = "Extras\\";
  tool.object.parameters = "/werkzeug";
  tool.object.iconFile = "<InstallDir>\\Werkzeuge\\werkzeug.dll";
  tool.object.iconIndex = 0;
  p.CheckListBox2.push_back(std::move(tool));
  ShortcutEntry remove{"Notizblock Pro entfernen", {&setup}, false};
  remove.object.parameters = "ZETUREMOVE";
  p.CheckListBox2.push_back(std::move(remove));

  for (int entry = 1; entry <= 14; ++entry) p.CheckListBox1[entry] = true;
  p.EditWelBmp = "willkommen.bmp";
  p.EditLizenz = "files\\lizenz.txt";
  p.EditInfoTxt = "files\\info.txt";
  p.CheckName = true;
  p.EditAdvert = "Werbung01.bmp";
  p.RadioForceReboot = false;
  p.DefSrcPathValue.clear();  // resolved against the project's folder
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-demo-project OUT.tbw\n");
    return 2;
  }
  ProjectDocument project;
  fillDemo(project);
  StdFileSystem fs;
  ProjectStatus status = writeProjectFile(fs, argv[1], project);
  if (!status.ok()) {
    std::fprintf(stderr, "make-demo-project: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}
