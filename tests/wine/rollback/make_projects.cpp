// Test tool: the demo project turned into the two packages the rollback
// tests install.
//   make_projects.exe DEMO.tbw MANY.tbw THREE.tbw COUNT
// MANY: the demo with COUNT more files in its program component, each from
// "files\viele\fNNNN.txt" beside the project. THREE: the demo whose normal
// type holds three file components, the shared file's first, then the
// program's and the templates'.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "builder/project/project_io.h"
#include "common/std_file_system.h"

using namespace tw;

namespace {

TreeNode* child(TreeNode* root, const std::string& name) {
  for (auto& c : root->children)
    if (c->text == name) return c.get();
  return nullptr;
}

void addReference(TreeNode& parent, const TreeNode& component) {
  TreeNode& r = parent.addChild(component.text, component.picture);
  r.value = component.komp->id;
}

bool write(StdFileSystem& fs, const std::string& path, const ProjectDocument& project) {
  ProjectStatus status = writeProjectFile(fs, path, project);
  if (!status.ok()) std::fprintf(stderr, "make_projects: %s: %s\n", path.c_str(), status.message().c_str());
  return status.ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_projects DEMO.tbw MANY.tbw THREE.tbw COUNT\n");
    return 2;
  }
  StdFileSystem fs;
  NoLanguageTexts none;
  ProjectContext context{fs, none, {"Deutsch", "English"}};
  ProjectDocument many, three;
  if (!loadProject(context, argv[1], many).ok() || !loadProject(context, argv[1], three).ok()) {
    std::fprintf(stderr, "make_projects: cannot read %s\n", argv[1]);
    return 1;
  }

  TreeNode* program = child(many.fileComponentsRoot(), "Programmdateien");
  if (!program) return 1;
  int count = std::atoi(argv[4]);
  for (int i = 1; i <= count; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "[DefSrcPath]\\files\\viele\\f%04d.txt", i);
    program->addChild(name, kPictureFileEntry);
  }

  TreeNode* files = three.fileComponentsRoot();
  TreeNode* registry = three.registryComponentsRoot();
  TreeNode* parts[] = {child(files, "Gemeinsame Dateien"), child(files, "Programmdateien"), child(files, "Vorlagen"),
                       child(registry, "Einstellungen"), child(registry, "Benutzerdaten"),
                       child(registry, "Dateityp"), child(registry, "Aufr\xE4umen")};
  for (TreeNode* p : parts)
    if (!p || !p->komp) return 1;
  TreeNode& normal = *three.typeRoot(kTypeNormal);
  normal.children.clear();
  for (TreeNode* p : parts) addReference(normal, *p);
  three.resolveTypeReferences();

  return write(fs, argv[2], many) && write(fs, argv[3], three) ? 0 : 1;
}
