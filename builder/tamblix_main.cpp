// Tamblix: the builder. Command line:
//   Tamblix.exe /build PROJECT.tbw [/out PACKAGE.exe] [/compress:lzx|mszip|none]
// runs the create button's checks and the build worker without a window;
//   Tamblix.exe [PROJECT.tbw]
// opens the main window (with that project instead of the last one).
#include <windows.h>

#include <shellapi.h>

#include <new>
#include <string>
#include <vector>

#include "builder/package/build_checks.h"
#include "builder/package/build_safety.h"
#include "builder/package/profile_writer.h"
#include "builder/cabinet.h"
#include "builder/console_reporter.h"
#include "builder/language_library.h"
#include "builder/package_assembly.h"
#include "builder/project/project_io.h"
#include "builder/win32_file_system.h"
#include "builder/window/main_form.h"

namespace {

std::string builderFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\') + 1);
}

std::string fullPath(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  return n && n < MAX_PATH ? std::string(buffer, n) : path;
}

std::vector<std::string> arguments() {
  std::vector<std::string> out;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i < argc; ++i) {
    char buffer[MAX_PATH * 2];
    int n = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, buffer, sizeof buffer, nullptr, nullptr);
    out.emplace_back(buffer, n > 0 ? n - 1 : 0);
  }
  LocalFree(argv);
  return out;
}

int usage() {
  tw::writeConsole(true, "Aufruf: Tamblix.exe /build PROJEKT.tbw [/out PAKET.exe] [/compress:lzx|mszip|none] [/timing]\r\n");
  return 1;
}

int commandLineBuild(const std::string& projectArgument, const std::string& outArgument, bool timing) {
  tw::Win32FileSystem files;
  tw::ConsoleReporter reporter;
  std::string folder = builderFolder();
  std::vector<tw::LanguageEntry> modules = tw::scanLanguageModules(folder + "language\\");
  tw::LanguageLibrary language;
  tw::ProjectContext context{files, language, {}};
  for (const auto& m : modules) context.languages.push_back(m.name);

  std::string projectPath = fullPath(projectArgument);
  if (!files.fileExists(projectPath)) {
    reporter.message("Datei " + projectPath + " kann nicht ge\xF6" "ffnet werden", tw::kBuilderTitle,
                     tw::MessageIcon::Stop);
    return 1;
  }
  tw::ProjectDocument project;
  tw::ProjectStatus status = tw::OpenCreateProject(context, projectPath, project);
  if (status.error == tw::ProjectError::NotAProject) status.argument = projectPath;
  if (!status.ok()) {
    reporter.message(status.message(), tw::kBuilderTitle, tw::MessageIcon::Stop);
    return 1;
  }
  for (const auto& m : modules)
    if (m.name == project.ComboLanguage) {
      if (!language.load(folder + "language\\" + m.file))
        reporter.message("Ung\xFCltiger Sprachmoduleintrag!", tw::kBuilderTitle, tw::MessageIcon::Stop);
      break;
    }

  if (auto problem = tw::checkRequiredFields(project)) {
    reporter.message(*problem, tw::kBuilderTitle, tw::MessageIcon::Exclamation);
    return 1;
  }
  std::string package = outArgument.empty() ? tw::proposedPackagePath(project, files) : fullPath(outArgument);
  project.LastPackagePath = package;
  tw::BuildEnvironment env{folder, language, files};
  tw::BuildTiming spent;
  bool ok = tw::runBuild(project, env, reporter, package, &spent);
  if (timing) {
    char line[160];
    wsprintfA(line, "Zeit: %d ms gesamt, %d ms im Komprimierer\r\n", static_cast<int>(spent.totalSeconds * 1000),
              static_cast<int>(spent.compressionSeconds * 1000));
    tw::writeConsole(false, line);
  }
  return ok ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::vector<std::string> args = arguments();
  // "/timing" at the end reports where the build's time went.
  bool timing = !args.empty() && lstrcmpiA(args.back().c_str(), "/timing") == 0;
  if (timing) args.pop_back();
  // "/compress:lzx|mszip|none" anywhere after the project.
  for (size_t i = 2; i < args.size(); ++i)
    if (_strnicmp(args[i].c_str(), "/compress:", 10) == 0) {
      if (!tw::CabinetWriter::selectCompression(args[i].substr(10))) return usage();
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  if (args.size() >= 2 && lstrcmpiA(args[0].c_str(), "/build") == 0) {
    std::string out;
    if (args.size() == 4 && lstrcmpiA(args[2].c_str(), "/out") == 0) out = args[3];
    else if (args.size() != 2) return usage();
    // Whatever goes wrong ends in a message and exit code 1, never in a
    // terminated process.
    try {
      return commandLineBuild(args[1], out, timing);
    } catch (const std::bad_alloc&) {
      tw::writeConsole(true, tw::outOfMemoryMessage("die Erzeugung aus \"" + args[1] + "\"") + "\r\n");
    } catch (const std::exception& e) {
      tw::writeConsole(true, std::string("Unerwarteter Fehler: ") + e.what() + ". Erzeugung abgebrochen.\r\n");
    }
    return 1;
  }
  if (args.size() > 1 || (!args.empty() && args[0][0] == '/')) return usage();
  return tw::runMainWindow(instance, args.empty() ? std::string() : fullPath(args[0]));
}
