// tamblix: the project tool of the build machine.
//   tamblix dump FILE.tbw            (the project as JSON)
//   tamblix load PROJECT.json OUT.tbw (JSON back to a project file)
//   tamblix resave IN.tbw OUT.tbw
//   tamblix bind MODULE FILE.RES     (binds a resource file into a module as rsrc does)
//   tamblix build PROJECT.tbw|PROJECT.json [-o PACKAGE.exe] [--compress lzx|mszip|none]
//                 [--builder-dir DIR] [--timing]
//                                    (the builder's command-line build, without Wine)
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/project/project_io.h"
#include "builder/project/project_json.h"
#include "common/cp1252.h"
#include "common/pe_resources.h"
#include "common/res_file.h"
#include "common/std_file_system.h"
#ifndef _WIN32
// The build runs on the host only; the tool built for Windows (a test
// tool) reads and writes projects.
#include <unistd.h>

#include "builder/package/package_build.h"
#include "tools/tamblix/host_build.h"
#endif

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

// Writes the project of a JSON file as a project file; nothing is written
// when the JSON cannot be read. An existing OUT is first kept as OUT.~tb.
int loadJson(tw::FileSystem& files, const std::string& json, const std::string& out) {
  std::vector<uint8_t> bytes;
  if (files.readFile(json, bytes) != tw::FileReadStatus::Ok) {
    std::fprintf(stderr, "tamblix: cannot read \"%s\"\n", json.c_str());
    return 1;
  }
  tw::ProjectDocument project;
  tw::JsonError error;
  if (!tw::projectFromJson(std::string(bytes.begin(), bytes.end()), project, error)) {
    std::fprintf(stderr, "tamblix: %s: %s\n", json.c_str(), tw::cp1252ToUtf8(error.text()).c_str());
    return 1;
  }
  if (files.fileExists(out)) files.copyFile(out, tw::backupPathFor(out));
  tw::ProjectStatus status = tw::writeProjectFile(files, out, project);
  if (!status.ok()) {
    printError(status);
    return 1;
  }
  return 0;
}

#ifndef _WIN32
const char kBuildUsage[] =
    "Aufruf: tamblix build PROJEKT.tbw|PROJEKT.json [-o PAKET.exe] [--compress lzx|mszip|none] "
    "[--builder-dir ORDNER] [--timing]\n";

int build(int argc, char** argv) {
  tw::HostBuildOptions options;
  std::string builderFolder;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if ((a == "-o" || a == "--out") && hasValue) options.package = argv[++i];
    else if (a == "--compress" && hasValue) {
      if (!tw::compressionByName(argv[++i], options.compression)) {
        std::fputs(kBuildUsage, stderr);
        return 1;
      }
    } else if (a == "--builder-dir" && hasValue) builderFolder = argv[++i];
    else if (a == "--timing") options.timing = true;
    else if (options.project.empty() && !a.empty() && a[0] != '-') options.project = a;
    else {
      std::fputs(kBuildUsage, stderr);
      return 1;
    }
  }
  if (options.project.empty()) {
    std::fputs(kBuildUsage, stderr);
    return 1;
  }
  if (builderFolder.empty()) {
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    builderFolder = tw::defaultBuilderFolder(n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]));
    if (builderFolder.empty()) {
      std::fputs("tamblix: Der Ordner des Builders (ZETUBODY.EXE) ist weder neben tamblix noch in win32/dist; "
                 "--builder-dir nennt ihn.\n", stderr);
      return 1;
    }
  }
  while (builderFolder.size() > 1 && builderFolder.back() == '/') builderFolder.pop_back();
  options.builderFolder = builderFolder;
  return tw::runHostBuild(options);
}
#endif

int usage() {
  std::fprintf(stderr,
               "usage: tamblix dump FILE.tbw\n"
               "       tamblix load PROJECT.json OUT.tbw\n"
               "       tamblix resave IN.tbw OUT.tbw\n"
               "       tamblix bind MODULE FILE.RES\n"
               "       tamblix build PROJECT.tbw|PROJECT.json [-o PACKAGE.exe] [--compress lzx|mszip|none]\n"
               "                     [--builder-dir DIR] [--timing]\n");
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
  if (argc == 4 && std::strcmp(argv[1], "load") == 0) return loadJson(files, argv[2], argv[3]);
#ifndef _WIN32
  if (argc >= 2 && std::strcmp(argv[1], "build") == 0) return build(argc, argv);
#endif
  return usage();
}
