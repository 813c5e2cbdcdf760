// tamblix: prints a project as JSON, or resaves it in the current version.
//   tamblix dump FILE.tbw
//   tamblix resave IN.tbw OUT.tbw
//   tamblix bind MODULE FILE.RES   (binds a resource file into a module as rsrc does)
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/project/project_io.h"
#include "builder/project/project_json.h"
#include "common/cp1252.h"
#include "common/pe_resources.h"
#include "common/res_file.h"
#include "common/std_file_system.h"

namespace {

// Builder messages are CP1252; file names given here are already UTF-8.
void printError(const tw::ProjectStatus& status) {
  std::string text = tw::cp1252ToUtf8(tw::ProjectStatus::messageTemplate(status.error));
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, status.argument);
  std::fprintf(stderr, "tamblix: %s\n", text.c_str());
}

bool load(tw::FileSystem& files, const char* path, tw::ProjectDocument& project) {
  tw::NoLanguageTexts noLanguage;
  tw::ProjectContext context{files, noLanguage, {}};
  tw::ProjectStatus status = tw::loadProject(context, path, project);
  if (status.error == tw::ProjectError::NotAProject) status.argument = path;
  if (!status.ok()) printError(status);
  return status.ok();
}

// Binds with the same portable writer as the Win32 binder; the module is
// replaced only when the whole new one has been written.
int bind(tw::FileSystem& files, const std::string& module, const std::string& resFile) {
  std::vector<uint8_t> moduleBytes, resBytes;
  if (files.readFile(module, moduleBytes) != tw::FileReadStatus::Ok) {
    std::fprintf(stderr, "tamblix: cannot read \"%s\"\n", module.c_str());
    return 1;
  }
  if (files.readFile(resFile, resBytes) != tw::FileReadStatus::Ok) {
    std::fprintf(stderr, "tamblix: cannot read \"%s\"\n", resFile.c_str());
    return 1;
  }
  std::vector<ResEntry> entries;
  ResError resError = readResFile(resBytes.data(), resBytes.size(), entries);
  if (resError != ResError::kOk) {
    std::fprintf(stderr, "tamblix: \"%s\" is damaged: %s\n", resFile.c_str(), resErrorText(resError));
    return 1;
  }
  std::vector<uint8_t> out;
  tw::PeError error = tw::replacePeResources(moduleBytes, entries, out);
  if (error != tw::PeError::kOk) {
    std::fprintf(stderr, "tamblix: \"%s\" cannot take the resources: %s\n", module.c_str(),
                 tw::peErrorText(error));
    return 1;
  }
  const std::string temporary = module + ".tamblix-new";
  if (!files.writeFile(temporary, out.data(), out.size()) || std::rename(temporary.c_str(), module.c_str()) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "tamblix: cannot write \"%s\"\n", module.c_str());
    return 1;
  }
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: tamblix dump FILE.tbw\n"
               "       tamblix resave IN.tbw OUT.tbw\n"
               "       tamblix bind MODULE FILE.RES\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tw::StdFileSystem files;
  if (argc == 3 && std::strcmp(argv[1], "dump") == 0) {
    tw::ProjectDocument project;
    if (!load(files, argv[2], project)) return 1;
    std::string json = tw::projectToJson(project);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "resave") == 0) {
    tw::ProjectDocument project;
    if (!load(files, argv[2], project)) return 1;
    std::string out = argv[3];
    if (files.fileExists(out)) files.copyFile(out, tw::backupPathFor(out));
    tw::ProjectStatus status = tw::writeProjectFile(files, out, project);
    if (!status.ok()) {
      printError(status);
      return 1;
    }
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "bind") == 0) return bind(files, argv[2], argv[3]);
  return usage();
}
