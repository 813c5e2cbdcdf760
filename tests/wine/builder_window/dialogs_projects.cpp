// Test tool: the sample project with two installation types (Normal and
// Benutzer), a longer default folder and the info text page ticked, for the
// Dialoge page's preview and the same pages in Setup.
//   dialogs_projects.exe SAMPLE.tbw TWO.tbw
#include <cstdio>

#include "builder/project/project_io.h"
#include "common/std_file_system.h"

using namespace tw;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dialogs_projects SAMPLE.tbw TWO.tbw\n");
    return 2;
  }
  StdFileSystem fs;
  NoLanguageTexts none;
  ProjectContext context{fs, none, {"Deutsch", "English"}};
  ProjectDocument p;
  if (!loadProject(context, argv[1], p).ok()) {
    std::fprintf(stderr, "dialogs_projects: cannot read %s\n", argv[1]);
    return 1;
  }
  p.removeInstallationType(kTypeMinimal);
  p.removeInstallationType(kTypeNetzwerk);
  p.DefaultType = kTypeBenutzer;
  p.EditInfoTxt = "files\\liesmich.txt";
  // A default folder as long as the destination field must show whole.
  p.EditTargetDir = "<ProgramFilesDir>\\Beispiel Software";
  p.CheckListBox1[4] = true;
  ProjectStatus status = writeProjectFile(fs, argv[2], p);
  if (!status.ok()) std::fprintf(stderr, "dialogs_projects: %s\n", status.message().c_str());
  return status.ok() ? 0 : 1;
}
