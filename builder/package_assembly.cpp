// Build steps: copies, profile, binding, items, cabinets, table.
#include "builder/package_assembly.h"

#include <windows.h>

#include <new>

#include "builder/build/build_checks.h"
#include "builder/build/build_safety.h"
#include "builder/build/profile_records.h"
#include "builder/build/profile_writer.h"
#include "builder/cabinet.h"
#include "builder/console_reporter.h"
#include "builder/file_version.h"
#include "common/file_checks.h"
#include "common/res_file.h"
#include "common/string_block.h"
#include "language/ids.h"

namespace tw {
namespace {

constexpr char kAborted[] = " Erzeugung abgebrochen.";

// A system text as the start of a sentence that goes on: without its period.
std::string withoutPeriod(std::string text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text;
}

// The system's text for a failure; a failure without a code is a write
// that could not be completed.
std::string failureText(DWORD code) { return withoutPeriod(systemErrorText(code ? code : ERROR_WRITE_FAULT)); }

std::string packageWriteFailure(const std::string& package, const std::string& reason) {
  return "Das Paket \"" + package + "\" kann nicht geschrieben werden: " + withoutPeriod(reason) + "." + kAborted;
}

// Copies one of the builder's files into a file of this build; `shownAs`
// names the target in the message (the package rather than its temporary file).
void copyInto(const std::string& from, const std::string& to, const std::string& shownAs, bool isPackage = false) {
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return;
  DWORD code = GetLastError();
  if (GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES)
    throw BuildError("Die Datei \"" + from + "\" ist nicht vorhanden!" + kAborted);
  if (isPackage) throw BuildError(packageWriteFailure(shownAs, failureText(code)));
  throw BuildError("Die Datei \"" + from + "\" kann nicht nach \"" + shownAs + "\" kopiert werden: " +
                   failureText(code) + "." + kAborted);
}

// Gives `to` the last-write time of `from`: the resource DLL, rewritten by
// the binder, enters its cabinet with the time of the DLL it was made from,
// so that the build's own clock never reaches the package.
void keepWriteTime(const std::string& from, const std::string& to) {
  FILETIME written{};
  HANDLE source = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  bool known = source != INVALID_HANDLE_VALUE && GetFileTime(source, nullptr, nullptr, &written);
  DWORD code = GetLastError();
  if (source != INVALID_HANDLE_VALUE) CloseHandle(source);
  HANDLE target = known ? CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)
                        : INVALID_HANDLE_VALUE;
  bool set = target != INVALID_HANDLE_VALUE && SetFileTime(target, nullptr, nullptr, &written);
  if (known) code = GetLastError();
  if (target != INVALID_HANDLE_VALUE) CloseHandle(target);
  if (!set)
    throw BuildError("Die Zeit der Datei \"" + to + "\" kann nicht gesetzt werden: " + failureText(code) + "." +
                     kAborted);
}

// Whether two existing names are one file or folder on one volume.
bool sameFile(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileInformationByHandle(h, &info) != FALSE;
    CloseHandle(h);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION x, y;
  return identity(a, x) && identity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

// A folder path that names the folder itself ("C:" is the drive's current folder).
std::string folderForApi(std::string folder) {
  if (folder.empty()) return ".";
  if (folder.back() == ':') folder += '\\';
  return folder;
}

// The folders a build creates for its package, deepest last, so that a
// stop can take away the ones it made (and only while they are empty).
std::vector<std::string> missingFolders(std::string folder) {
  std::vector<std::string> out;
  while (!folder.empty() && folder.back() != ':' && GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
    out.insert(out.begin(), folder);
    std::string parent = folderOfPath(folder);
    if (parent == folder) break;
    folder = parent;
  }
  return out;
}

// Puts the finished package in its place, replacing an older one in one step
// where the system can.
bool replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  // Systems of the 9x family only rename.
  if (!DeleteFileA(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

// The build's own folder in the system's temporary folder: the install
// profile, the resource DLL and the compressor's files live there, so that
// any number of builds run at once from one builder folder. It goes, with
// everything in it, when the build ends.
class WorkFolder {
 public:
  ~WorkFolder() { remove(); }
  void create() {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (!n || n >= MAX_PATH)
      throw BuildError("Der tempor\xE4re Ordner des Systems ist nicht bekannt: " + failureText(GetLastError()) + "." +
                       kAborted);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
      char name[40];
      wsprintfA(name, "TBW%lX.%lX", GetCurrentProcessId(), GetTickCount() + attempt);
      std::string path = std::string(temp) + name;
      if (CreateDirectoryA(path.c_str(), nullptr)) {
        path_ = path + "\\";
        return;
      }
      DWORD code = GetLastError();
      if (code != ERROR_ALREADY_EXISTS)
        throw BuildError("Der Arbeitsordner \"" + path + "\" kann nicht angelegt werden: " + failureText(code) + "." +
                         kAborted);
    }
    throw BuildError(std::string("Im tempor\xE4ren Ordner \"") + temp + "\" ist kein Arbeitsordner frei." + kAborted);
  }
  const std::string& path() const { return path_; }
  void remove() {
    if (path_.empty()) return;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path_ + "*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string file = path_ + found.cFileName;
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
      } while (FindNextFileA(h, &found));
      FindClose(h);
    }
    RemoveDirectoryA(path_.c_str());
    path_.clear();
  }

 private:
  std::string path_;
};

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
  copyIconGroup(language, ICO_PACKAGE, 1, iconCounter, out);
  copyIconGroup(language, ICO_SETUP, 2, iconCounter, out);
  copyLanguageResource(language, kResTypeDialog, DLG_PREPARE, 100, out);
  copyLanguageResource(language, kResTypeVersion, VER_PACKAGE, 1, out);
  out.push_back(makeResEntry(kResTypeString, 1, encodeStringBlock({p.EditApp})));
  copyLanguageResource(language, kResTypeString, 66, 66, out);
  return out;
}

// The package being written: its temporary file, named in messages as the
// package it becomes.
class PackageFile {
 public:
  PackageFile(const std::string& path, const std::string& shownAs) : path_(shownAs) {
    handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw BuildError(packageWriteFailure(path_, failureText(GetLastError())));
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
    if (!WriteFile(handle_, data, static_cast<DWORD>(size), &done, nullptr))
      throw BuildError(packageWriteFailure(path_, failureText(GetLastError())));
    if (done != size) throw BuildError(packageWriteFailure(path_, failureText(ERROR_HANDLE_DISK_FULL)));
  }
  // Closes the file; a close that fails (data the disk did not take) stops the build.
  void finish() {
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h)) throw BuildError(packageWriteFailure(path_, failureText(GetLastError())));
  }
  void close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  const std::string& shownAs() const { return path_; }

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

double compressPackage(const ProjectDocument& p, const std::string& builderFolder, const std::string& workFolder,
                       PackageFile& package, PackageItems& items, uint64_t compressedBytes,
                       BuildReporter& reporter) {
  // The resource DLL is this build's own, in its work folder.
  const std::string runtime[][2] = {{workFolder + "_SETUP.DLL", "_SETUP.DLL"},
                                    {builderFolder + "ZETUSUM.EXE", "_SETUP.EXE"},
                                    {builderFolder + "ZETURFD.EXE", "ZETURFD.EXE"}};
  uint64_t total = compressedBytes;
  for (auto& f : runtime) total += fileSizeOrZero(f[0]);
  CabinetWriter cab(workFolder, package.handle(), items, reporter, total);
  cab.setPackageName(package.shownAs());
  auto fail = [&](const std::string& what) {
    if (cab.packageFailed()) throw BuildError(packageWriteFailure(package.shownAs(), cab.lastError()));
    if (!cab.failedFile().empty() && what.find(cab.failedFile()) == std::string::npos)
      throw BuildError(what + " (\"" + cab.failedFile() + "\": " + withoutPeriod(cab.lastError()) + ")." + kAborted);
    throw BuildError(what + " (" + withoutPeriod(cab.lastError()) + ")." + kAborted);
  };
  if (!cab.create()) fail("Der Komprimierer konnte nicht gestartet werden");
  std::string text = "Komprimiere: Applikationsdateien";
  reporter.progress(&text, 10);
  for (auto& f : runtime)
    if (!cab.addFile(f[0], f[1])) fail("Die Datei \"" + f[0] + "\" konnte nicht komprimiert werden");

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

void bindResources(const std::string& builderFolder, const std::string& target, const std::string& resourceFile,
                   const std::string& shownAs) {
  const std::string& targetName = shownAs.empty() ? target : shownAs;
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
    throw BuildError("Der Ressourcenbinder konnte die Ressourcen nicht in \"" + targetName + "\" einbinden (Code " +
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
  WorkFolder work;
  // The package is written under a temporary name beside its place and
  // takes the place only when complete; until then an older package stays.
  std::string temporaryPackage;
  std::vector<std::string> newFolders;
  std::string step;
  try {
    step = "\xDC" "berpr\xFC" "fe Dateien";
    reporter.progress(&step, 0);
    if (auto problem = checkOutputPath(packagePath, p, folder, env.files, sameFile)) throw BuildError(*problem);
    validateComponents(p);
    checkDuplicateTargets(p);
    ScanResult scan = UpdateNodeSize(p, env.files, true);

    step = "Erzeuge Installationsprofil";
    reporter.progress(&step, 3);
    work.create();
    const std::string setupDll = work.path() + "_SETUP.DLL";
    const std::string packageFolder = folderForApi(folderOfPath(packagePath));
    newFolders = missingFolders(folderOfPath(packagePath));
    if (!env.files.createDirectories(folderOfPath(packagePath)))
      throw BuildError("Der Ordner \"" + packageFolder + "\" kann nicht angelegt werden: " +
                       withoutPeriod(env.files.lastErrorText()) + "." + kAborted);
    char temporaryName[MAX_PATH];
    if (!GetTempFileNameA(packageFolder.c_str(), "TBW", 0, temporaryName))
      throw BuildError(packageWriteFailure(packagePath, failureText(GetLastError())));
    temporaryPackage = temporaryName;
    copyInto(folder + "ZETUBODY.EXE", temporaryPackage, packagePath, true);
    const std::string runtimeDll = folder + (p.EditCustomDll.empty() ? std::string("ZETUSUM.DLL") : p.EditCustomDll);
    copyInto(runtimeDll, setupDll, setupDll);

    SourceFiles sources(env.files, reporter, p.ProjectPath);
    uint16_t iconCounter = 1;
    std::vector<ResEntry> profile = ProfileWriter(p, env.language, sources, reporter).write(iconCounter);
    profile.push_back(fileChecksResource(folder));
    writeResourceFile(work.path() + "_SETUP.RES", profile);
    bindResources(folder, setupDll, work.path() + "_SETUP.RES");
    keepWriteTime(runtimeDll, setupDll);

    std::string dispatcherRes = work.path() + "_ZETUBDY.RES";
    writeResourceFile(dispatcherRes, dispatcherResources(p, env.language, iconCounter, folder));
    bindResources(folder, temporaryPackage, dispatcherRes, packagePath);

    PackageFile package(temporaryPackage, packagePath);
    PackageItems items;
    items.records.assign(static_cast<size_t>(scan.componentCabinetCount) + kItemFirstComponent, ItemRecord{0, 0});
    items.records[0].offset = package.size();
    package.toEnd();
    appendFileItem(package, items, folder + "CABINET.DLL");
    appendFileItem(package, items, folder + "CABXPD32.DLL");
    compression = compressPackage(p, folder, work.path(), package, items, scan.compressedBytes, reporter);

    // The fixed items up to the runtime's cabinet, then one a component cabinet.
    uint32_t planned = kItemRuntimeCabinet + static_cast<uint32_t>(scan.componentCabinetCount);
    if (items.count != planned)
      throw BuildError("Es wurden " + std::to_string(items.count) + " statt " + std::to_string(planned) +
                       " Elemente ins Paket geschrieben." + kAborted);
    std::vector<uint8_t> table(itemTableSize(planned));
    if (!writeItemTable(items.records.data(), planned, table.data(), table.size()))
      throw BuildError("Die Elementtabelle konnte nicht geschrieben werden." + std::string(kAborted));
    package.write(table.data(), table.size());
    package.finish();
    if (!replaceFile(temporaryPackage, packagePath))
      throw BuildError("Das Paket \"" + packagePath + "\" kann nicht an seinen Platz geschrieben werden: " +
                       failureText(GetLastError()) + "." + kAborted);
    temporaryPackage.clear();
    newFolders.clear();
    reporter.message("Installationsanwendung erfolgreich erzeugt:\r\n\r\n" + packagePath,
                     "Installationsprogram erzeugen", MessageIcon::Exclamation);
    ok = true;
  } catch (const BuildError& e) {
    reporter.message(e.what(), kBuilderTitle, MessageIcon::Stop);
  } catch (const std::bad_alloc&) {
    reporter.message(outOfMemoryMessage("den Schritt \"" + step + "\""), kBuilderTitle, MessageIcon::Stop);
  } catch (const std::exception& e) {
    reporter.message("Unerwarteter Fehler im Schritt \"" + step + "\": " + e.what() + "." + kAborted, kBuilderTitle,
                     MessageIcon::Stop);
  }
  // A package without its table is no package: neither it nor anything of
  // the build stays behind.
  if (!temporaryPackage.empty()) DeleteFileA(temporaryPackage.c_str());
  for (auto it = newFolders.rbegin(); it != newFolders.rend(); ++it) RemoveDirectoryA(it->c_str());
  work.remove();
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
