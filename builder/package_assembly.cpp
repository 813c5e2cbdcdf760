// The build worker on Windows: the build's sequence is the portable one;
// this is what it gets from the system.
#include "builder/package_assembly.h"

#include <windows.h>

#include "builder/cabinet.h"
#include "builder/console_reporter.h"
#include "builder/file_version.h"

namespace tw {
namespace {

constexpr char kAborted[] = " Erzeugung abgebrochen.";

// The system's text for a failure; a failure without a code is a write
// that could not be completed.
std::string failureText(DWORD code) { return withoutPeriod(systemErrorText(code ? code : ERROR_WRITE_FAULT)); }

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
std::string createWorkFolder() {
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  if (!n || n >= MAX_PATH)
    throw BuildError("Der tempor\xE4re Ordner des Systems ist nicht bekannt: " + failureText(GetLastError()) + "." +
                     kAborted);
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    char name[40];
    wsprintfA(name, "TBW%lX.%lX", GetCurrentProcessId(), GetTickCount() + attempt);
    std::string path = std::string(temp) + name;
    if (CreateDirectoryA(path.c_str(), nullptr)) return path + "\\";
    DWORD code = GetLastError();
    if (code != ERROR_ALREADY_EXISTS)
      throw BuildError("Der Arbeitsordner \"" + path + "\" kann nicht angelegt werden: " + failureText(code) + "." +
                       kAborted);
  }
  throw BuildError(std::string("Im tempor\xE4ren Ordner \"") + temp + "\" ist kein Arbeitsordner frei." + kAborted);
}

void removeWorkFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      std::string file = folder + found.cFileName;
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(file.c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// The package being written: its temporary file, named in messages as the
// package it becomes.
class PackageFile final : public PackageOutput {
 public:
  PackageFile(const std::string& path, const std::string& shownAs) : path_(shownAs) {
    handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw BuildError(packageWriteFailure(path_, failureText(GetLastError())));
  }
  ~PackageFile() override { close(); }
  HANDLE handle() const { return handle_; }
  uint64_t size() override {
    LARGE_INTEGER s{};
    GetFileSizeEx(handle_, &s);
    return static_cast<uint64_t>(s.QuadPart);
  }
  void toEnd() override {
    LARGE_INTEGER zero{};
    SetFilePointerEx(handle_, zero, nullptr, FILE_END);
  }
  void write(const void* data, size_t size) override {
    DWORD done = 0;
    if (!WriteFile(handle_, data, static_cast<DWORD>(size), &done, nullptr))
      throw BuildError(packageWriteFailure(path_, failureText(GetLastError())));
    if (done != size) throw BuildError(packageWriteFailure(path_, failureText(ERROR_HANDLE_DISK_FULL)));
  }
  // Closes the file; a close that fails (data the disk did not take) stops the build.
  void finish() override {
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h)) throw BuildError(packageWriteFailure(path_, failureText(GetLastError())));
  }
  void close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class Win32BuildPlatform final : public BuildPlatform {
 public:
  explicit Win32BuildPlatform(BuildEnvironment& env) : env_(env) {}
  FileSystem& files() override { return env_.files; }
  const std::string& builderFolder() const override { return env_.builderFolder; }
  std::string lastFailure() override { return failureText(lastError_); }
  std::string createWorkFolder() override { return tw::createWorkFolder(); }
  void removeWorkFolder(const std::string& folder) override { tw::removeWorkFolder(folder); }
  bool sameFile(const std::string& a, const std::string& b) override { return tw::sameFile(a, b); }
  bool exists(const std::string& path) override { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  std::string temporaryFile(const std::string& folder, const std::string&) override {
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "TBW", 0, name)) return name;
    lastError_ = GetLastError();
    return {};
  }
  bool copyFile(const std::string& from, const std::string& to) override {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) || failed();
  }
  bool copyWriteTime(const std::string& from, const std::string& to) override {
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
    lastError_ = code;
    return set;
  }
  void bindResources(const std::string& target, const std::string& resourceFile,
                     const std::string& shownAs) override {
    tw::bindResources(env_.builderFolder, target, resourceFile, shownAs);
  }
  std::unique_ptr<PackageOutput> openPackage(const std::string& path, const std::string& shownAs) override {
    return std::unique_ptr<PackageOutput>(new PackageFile(path, shownAs));
  }
  std::unique_ptr<PackageCabinets> cabinets(const std::string& workFolder, PackageOutput& package,
                                            const std::string& shownAs, PackageItems& items, BuildReporter& reporter,
                                            uint64_t totalBytes) override {
    auto* writer =
        new CabinetWriter(workFolder, static_cast<PackageFile&>(package).handle(), items, reporter, totalBytes);
    writer->setPackageName(shownAs);
    return std::unique_ptr<PackageCabinets>(writer);
  }
  std::string versionDigits(const std::string& path) override { return tw::versionDigits(path); }
  bool replaceFile(const std::string& from, const std::string& to) override {
    return tw::replaceFile(from, to) || failed();
  }
  void removeFile(const std::string& path) override { DeleteFileA(path.c_str()); }
  void removeFolder(const std::string& path) override { RemoveDirectoryA(path.c_str()); }
  double seconds() override {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
  }

 private:
  bool failed() {
    lastError_ = GetLastError();
    return false;
  }
  BuildEnvironment& env_;
  DWORD lastError_ = 0;
};

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

bool runBuild(ProjectDocument& project, BuildEnvironment& env, BuildReporter& reporter, const std::string& packagePath,
              BuildTiming* timing) {
  Win32BuildPlatform platform(env);
  return runPackageBuild(project, platform, env.language.loaded() ? &env.language : nullptr, reporter, packagePath,
                         timing);
}

}  // namespace tw
