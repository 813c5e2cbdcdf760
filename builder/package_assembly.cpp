// Build steps: copies, profile, binding, items, cabinets, table.
#include "builder/package_assembly.h"

#include <windows.h>

#include "builder/build/build_checks.h"
#include "builder/build/profile_records.h"
#include "builder/build/profile_writer.h"
#include "builder/cabinet.h"
#include "builder/console_reporter.h"
#include "builder/file_version.h"
#include "common/file_checks.h"
#include "common/res_file.h"
#include "common/string_block.h"

namespace tw {
namespace {

constexpr char kAborted[] = " Erzeugung abgebrochen.";

// A system text as the start of a sentence that goes on: without its period.
std::string withoutPeriod(std::string text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text;
}

[[noreturn]] void stopWithSystemError(DWORD code) { throw BuildError(systemErrorText(code)); }

void copyReplacing(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) stopWithSystemError(GetLastError());
}

void writeResourceFile(const std::string& path, const std::vector<ResEntry>& entries) {
  std::vector<uint8_t> bytes;
  if (writeResFile(entries, bytes) != ResError::kOk)
    throw BuildError("Die Ressourcendatei \"" + path + "\" ist zu gro\xDF." + kAborted);
  Win32FileSystem fs;
  if (!fs.writeFile(path, bytes.data(), bytes.size()))
    throw BuildError("Datei " + path + " kann nicht erstellt werden");
}

// Size and SHA-256 of the files that the dispatcher and the runtime write
// into the temporary folder and then load or start: bound into the package
// and into the runtime's resource DLL, and compared before each use.
ResEntry fileChecksResource(const std::string& builderFolder) {
  static const char* const kChecked[] = {"CABINET.DLL", "CABXPD32.DLL", "ZETURFD.EXE"};
  std::vector<uint8_t> data(sizeof kChecked / sizeof kChecked[0] * kFileCheckRecordSize);
  Win32FileSystem fs;
  for (size_t i = 0; i < sizeof kChecked / sizeof kChecked[0]; ++i) {
    std::vector<uint8_t> bytes;
    std::string path = builderFolder + kChecked[i];
    if (fs.readFile(path, bytes) != FileReadStatus::Ok)
      throw BuildError("Die Datei \"" + path + "\" ist nicht vorhanden!" + kAborted);
    if (!writeFileCheck(kChecked[i], bytes.data(), static_cast<uint32_t>(bytes.size()),
                        &data[i * kFileCheckRecordSize]))
      throw BuildError("Die Pr\xFC" "fsumme von \"" + path + "\" konnte nicht gebildet werden." + kAborted);
  }
  return makeResEntry(kResTypeRcData, kFileChecksResourceId, std::move(data));
}

std::vector<ResEntry> dispatcherResources(const ProjectDocument& p, const LanguageModule& language,
                                          uint16_t& iconCounter, const std::string& builderFolder) {
  std::vector<ResEntry> out;
  out.push_back(fileChecksResource(builderFolder));
  copyIconGroup(language, 3, 1, iconCounter, out);
  copyIconGroup(language, 2, 2, iconCounter, out);
  copyLanguageResource(language, kResTypeDialog, 150, 100, out);
  copyLanguageResource(language, kResTypeVersion, 3, 1, out);
  out.push_back(makeResEntry(kResTypeString, 1, encodeStringBlock({p.EditApp})));
  copyLanguageResource(language, kResTypeString, 66, 66, out);
  return out;
}

class PackageFile {
 public:
  explicit PackageFile(const std::string& path) : path_(path) {
    handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) stopWithSystemError(GetLastError());
  }
  ~PackageFile() { close(); }
  HANDLE handle() const { return handle_; }
  uint64_t size() const {
    LARGE_INTEGER s{};
    GetFileSizeEx(handle_, &s);
    return static_cast<uint64_t>(s.QuadPart);
  }
  void toEnd() {
    LARGE_INTEGER zero{};
    SetFilePointerEx(handle_, zero, nullptr, FILE_END);
  }
  void write(const void* data, size_t size) {
    DWORD done = 0;
    if (!WriteFile(handle_, data, static_cast<DWORD>(size), &done, nullptr) || done != size)
      stopWithSystemError(GetLastError());
  }
  void close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

void appendFileItem(PackageFile& package, PackageItems& items, const std::string& path) {
  Win32FileSystem fs;
  std::vector<uint8_t> bytes;
  if (fs.readFile(path, bytes) != FileReadStatus::Ok)
    throw BuildError("Die Datei \"" + path + "\" ist nicht vorhanden!" + kAborted);
  items.append(static_cast<uint32_t>(bytes.size()));
  package.write(bytes.data(), bytes.size());
}

uint64_t fileSizeOrZero(const std::string& path) {
  Win32FileSystem fs;
  FileInfo info;
  return fs.findFile(path, info) ? static_cast<uint32_t>(info.size) : 0;
}

double compressPackage(const ProjectDocument& p, const std::string& builderFolder, const std::string& packageFolder,
                       PackageFile& package, PackageItems& items, uint64_t compressedBytes,
                       BuildReporter& reporter) {
  const char* runtime[][2] = {{"_SETUP.DLL", "_SETUP.DLL"}, {"ZETUSUM.EXE", "_SETUP.EXE"}, {"ZETURFD.EXE", "ZETURFD.EXE"}};
  uint64_t total = compressedBytes;
  for (auto& f : runtime) total += fileSizeOrZero(builderFolder + f[0]);
  CabinetWriter cab(packageFolder, package.handle(), items, reporter, total);
  auto fail = [&](const std::string& what) {
    throw BuildError(what + " (" + cab.lastError() + ")." + kAborted);
  };
  if (!cab.create()) fail("Der Komprimierer konnte nicht gestartet werden");
  std::string text = "Komprimiere: Applikationsdateien";
  reporter.progress(&text, 10);
  for (auto& f : runtime)
    if (!cab.addFile(builderFolder + f[0], f[1]))
      fail(std::string("Die Datei \"") + builderFolder + f[0] + "\" konnte nicht komprimiert werden");

  const TreeNode* files = p.fileComponentsRoot();
  bool newCabinet = true;
  if (files)
    for (const auto& component : files->children) {
      bool compressed = isCompressed(*component);
      // Every file entry below the component, in tree order.
      std::vector<const TreeNode*> pending;
      for (auto it = component->children.rbegin(); it != component->children.rend(); ++it)
        pending.push_back(it->get());
      while (!pending.empty()) {
        const TreeNode* node = pending.back();
        pending.pop_back();
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) pending.push_back(it->get());
        if (node->picture != kPictureFileEntry || !compressed) continue;
        if (newCabinet) {
          newCabinet = false;
          if (!cab.flush(true)) fail("Ein Kabinett konnte nicht abgeschlossen werden");
        }
        std::string source = resolveSourcePath(p, node->text);
        std::string name = sourceFileName(source);
        std::string step = "Komprimiere: " + name;
        reporter.progress(&step, -1);
        if ((node->value & 3) == 2) name = versionDigits(source) + name;
        if (!cab.addFile(source, name)) fail("Die Datei \"" + source + "\" konnte nicht komprimiert werden");
      }
      newCabinet = true;
    }
  if (newCabinet && !cab.flush(false)) fail("Ein Kabinett konnte nicht abgeschlossen werden");
  cab.destroy();
  return cab.compressionSeconds();
}

}  // namespace

void bindResources(const std::string& builderFolder, const std::string& target, const std::string& resourceFile) {
  // The binder's exit code when its command line did not hold its two paths.
  constexpr DWORD kBinderUsage = 2;
  const std::string command = "rsrc \"" + target + "\" \"" + resourceFile + "\"";
  auto runBinder = [&command]() -> DWORD {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = command;  // CreateProcess may write into it
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi))
      throw BuildError("Der Ressourcenbinder rsrc konnte nicht gestartet werden: " +
                       withoutPeriod(systemErrorText(GetLastError())) + "." + kAborted);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    if (!GetExitCodeProcess(pi.hProcess, &code)) code = 1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
  };
  DWORD code = runBinder();
  if (code == kBinderUsage) {
    // The binder refuses before it touches the module, so a second start
    // with the same command line is safe; say so, since it should not happen.
    writeConsole(true, "Der Ressourcenbinder hat seine Befehlszeile nicht erhalten (Code 2), zweiter Start: " +
                           command + "\r\n");
    code = runBinder();
  }
  DeleteFileA(resourceFile.c_str());
  if (code == kBinderUsage)
    throw BuildError("Der Ressourcenbinder hat seine Befehlszeile zweimal nicht erhalten (" + command + ")." +
                     kAborted);
  if (code != 0)
    throw BuildError("Der Ressourcenbinder konnte die Ressourcen nicht in \"" + target + "\" einbinden (Code " +
                     std::to_string(code) + ")." + kAborted);
}

bool runBuild(ProjectDocument& p, BuildEnvironment& env, BuildReporter& reporter, const std::string& packagePath,
              BuildTiming* timing) {
  bool ok = false;
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceCounter(&start);
  double compression = 0;
  if (!env.language.loaded()) {
    reporter.message("Kein Sprachmodul ausgew\xE4hlt (Dialogseite)!", kBuilderTitle, MessageIcon::Stop);
    return false;
  }
  const std::string& folder = env.builderFolder;
  const std::string setupDll = folder + "_SETUP.DLL";
  bool packageStarted = false;
  try {
    std::string step = "\xDC" "berpr\xFC" "fe Dateien";
    reporter.progress(&step, 0);
    validateComponents(p);
    ScanResult scan = UpdateNodeSize(p, env.files, true);

    step = "Erzeuge Installationsprofil";
    reporter.progress(&step, 3);
    copyReplacing(folder + "ZETUBODY.EXE", packagePath);
    copyReplacing(folder + (p.EditCustomDll.empty() ? std::string("ZETUSUM.DLL") : p.EditCustomDll), setupDll);

    SourceFiles sources(env.files, reporter, p.ProjectPath);
    uint16_t iconCounter = 1;
    std::vector<ResEntry> profile = ProfileWriter(p, env.language, sources, reporter).write(iconCounter);
    profile.push_back(fileChecksResource(folder));
    writeResourceFile(folder + "_SETUP.RES", profile);
    bindResources(folder, setupDll, folder + "_SETUP.RES");

    std::string packageFolder = folderOfPath(packagePath) + "\\";
    std::string dispatcherRes = packageFolder + "_ZETUBDY.RES";
    writeResourceFile(dispatcherRes, dispatcherResources(p, env.language, iconCounter, folder));
    bindResources(folder, packagePath, dispatcherRes);

    PackageFile package(packagePath);
    packageStarted = true;
    PackageItems items;
    items.records.assign(static_cast<size_t>(scan.componentCabinetCount) + 4, ItemRecord{0, 0});
    items.records[0].offset = package.size();
    package.toEnd();
    appendFileItem(package, items, folder + "CABINET.DLL");
    appendFileItem(package, items, folder + "CABXPD32.DLL");
    compression = compressPackage(p, folder, packageFolder, package, items, scan.compressedBytes, reporter);

    uint32_t planned = static_cast<uint32_t>(scan.componentCabinetCount) + 3;
    if (items.count != planned)
      throw BuildError("Es wurden " + std::to_string(items.count) + " statt " + std::to_string(planned) +
                       " Elemente ins Paket geschrieben." + kAborted);
    std::vector<uint8_t> table(itemTableSize(planned));
    if (!writeItemTable(items.records.data(), planned, table.data(), table.size()))
      throw BuildError("Die Elementtabelle konnte nicht geschrieben werden." + std::string(kAborted));
    package.write(table.data(), table.size());
    package.close();
    DeleteFileA(setupDll.c_str());
    reporter.message("Installationsanwendung erfolgreich erzeugt:\r\n\r\n" + packagePath,
                     "Installationsprogram erzeugen", MessageIcon::Exclamation);
    ok = true;
  } catch (const BuildError& e) {
    // A package without its table is no package: it does not stay behind.
    if (packageStarted) DeleteFileA(packagePath.c_str());
    reporter.message(e.what(), kBuilderTitle, MessageIcon::Stop);
  }
  std::string empty;
  reporter.progress(&empty, 0);
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  if (timing) {
    timing->totalSeconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    timing->compressionSeconds = compression;
  }
  return ok;
}

}  // namespace tw
