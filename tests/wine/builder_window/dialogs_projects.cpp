// Test tool: the sample project with two installation types (Normal and
// Benutzer), a longer default folder and the welcome picture, info text and
// user information pages ticked, and "Beispiele" below "Hilfe" in the
// custom type, for the Dialoge page's preview and the same pages in Setup.
//   dialogs_projects.exe SAMPLE.tbw TWO.tbw
#include <cstdio>
#include <memory>

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
  // The welcome picture and the user information pages as well.
  p.EditWelBmp = "willkommen.bmp";
  p.CheckListBox1[1] = true;
  p.CheckListBox1[5] = true;
  // "Beispiele" below "Hilfe" in the custom type: a component with a level
  // of its own for "Details".
  TreeNode* custom = p.typeRoot(kTypeBenutzer);
  TreeNode *help = nullptr, *examples = nullptr;
  for (auto& c : custom->children) {
    if (c->text == "Hilfe") help = c.get();
    if (c->text == "Beispiele") examples = c.get();
  }
  if (!help || !examples) {
    std::fprintf(stderr, "dialogs_projects: no Hilfe and Beispiele in the custom type\n");
    return 1;
  }
  for (size_t i = 0; i < custom->children.size(); ++i)
    if (custom->children[i].get() == examples) {
      std::unique_ptr<TreeNode> moved = std::move(custom->children[i]);
      custom->children.erase(custom->children.begin() + static_cast<long>(i));
      moved->parent = help;
      help->children.push_back(std::move(moved));
      break;
    }
  p.resolveTypeReferences();
  ProjectStatus status = writeProjectFile(fs, argv[2], p);
  if (!status.ok()) std::fprintf(stderr, "dialogs_projects: %s\n", status.message().c_str());
  return status.ok() ? 0 : 1;
}
