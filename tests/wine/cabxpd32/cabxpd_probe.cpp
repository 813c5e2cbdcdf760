// Test driver for CABXPD32.DLL under Wine: loads the DLL by full path and
// extracts cabinets from files and from memory the way its callers do.
//
//   cabxpd_probe DLL file CABINET OUTDIR    extract a cabinet file
//   cabxpd_probe DLL memory CABINET OUTDIR  extract a mapped view of it
//   cabxpd_probe DLL checks CABINET OUTDIR  registration and callback checks
//
// file and memory print "result R oper O" and one line "DATE TIME NAME" per
// extracted file with the times read back from the file; exit 0 when the
// DLL reported success, 1 when it reported failure, 2 on a set-up error.
// checks prints "ok NAME" or "bad NAME DETAIL" lines and exits with the
// number of bad ones.
#include <windows.h>
#include <fdi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using CreateMemoryFileFn = int(WINAPI*)(const void*, DWORD, DWORD);
using DecompressCabFn = int(WINAPI*)(const char*, PFNFDINOTIFY, PFNFDIDECRYPT,
                                     PERF, void*);

CreateMemoryFileFn createMemoryFile;
DecompressCabFn decompressCab;

// What the notify callback does and what it saw, reached through the user
// value as the callers pass theirs.
struct Run {
  std::string outDir;  // with a trailing backslash
  std::vector<std::string> names;
  enum class Copy { extract, skip, abort } copy = Copy::extract;
  // Registration tried from inside the extraction, while FDI holds the
  // memory handle; registerResult stays -1 until it was tried.
  bool registerDuringCopy = false;
  const void* image = nullptr;
  DWORD imageSize = 0;
  int registerResult = -1;
  int decryptCalls = 0;
  bool userSeen = false;
};

void makeParents(const std::string& path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && i > 2) CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  }
}

FNFDINOTIFY(notify) {
  Run* run = static_cast<Run*>(pfdin->pv);
  if (run == nullptr) return -1;
  run->userSeen = true;
  switch (fdint) {
    case fdintCOPY_FILE: {
      if (run->registerDuringCopy && run->registerResult < 0) {
        run->registerResult = createMemoryFile(run->image, run->imageSize, 3);
      }
      if (run->copy == Run::Copy::skip) return 0;
      if (run->copy == Run::Copy::abort) return -1;
      const std::string target = run->outDir + pfdin->psz1;
      makeParents(target);
      run->names.push_back(pfdin->psz1);
      HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                pfdin->attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE),
                                nullptr);
      return reinterpret_cast<INT_PTR>(file);
    }
    case fdintCLOSE_FILE_INFO: {
      // The DOS date and time as they stand, as the callers set them.
      FILETIME time;
      HANDLE file = reinterpret_cast<HANDLE>(pfdin->hf);
      if (DosDateTimeToFileTime(pfdin->date, pfdin->time, &time)) {
        SetFileTime(file, &time, &time, &time);
      }
      CloseHandle(file);
      return 1;
    }
    default:
      return 0;
  }
}

FNFDIDECRYPT(decrypt) {
  Run* run = static_cast<Run*>(pfdid->pvUser);
  if (run != nullptr) ++run->decryptCalls;
  return pfdid->fdidt == fdidtDECRYPT ? 1 : 0;
}

// The read-only view of a whole file, as the callers map package items.
struct View {
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE mapping = nullptr;
  const void* data = nullptr;
  DWORD size = 0;

  bool open(const char* path) {
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size = GetFileSize(file, nullptr);
    mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) return false;
    data = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    return data != nullptr;
  }
  ~View() {
    if (data != nullptr) UnmapViewOfFile(data);
    if (mapping != nullptr) CloseHandle(mapping);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

std::string withBackslash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

void printExtracted(const Run& run) {
  for (const std::string& name : run.names) {
    HANDLE file = CreateFileA((run.outDir + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FILETIME written;
    WORD date = 0, time = 0;
    if (file == INVALID_HANDLE_VALUE || !GetFileTime(file, nullptr, nullptr, &written) ||
        !FileTimeToDosDateTime(&written, &date, &time)) {
      std::printf("missing %s\n", name.c_str());
    } else {
      std::printf("%04u-%02u-%02u %02u:%02u:%02u %s\n", 1980u + (date >> 9), (date >> 5) & 15u,
                  date & 31u, time >> 11, (time >> 5) & 63u, (time & 31u) * 2u, name.c_str());
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
}

int extract(const char* cabinet, const char* outDir, bool fromMemory) {
  Run run;
  run.outDir = withBackslash(outDir);
  ERF error = {};
  View view;
  int result;
  if (fromMemory) {
    if (!view.open(cabinet)) {
      std::printf("cannot map %s (error %lu)\n", cabinet, GetLastError());
      return 2;
    }
    if (createMemoryFile(view.data, view.size, 3) != 1) {
      std::printf("CreateMemoryFile refused the image\n");
      return 2;
    }
    result = decompressCab(nullptr, notify, nullptr, &error, &run);
  } else {
    result = decompressCab(cabinet, notify, nullptr, &error, &run);
  }
  std::printf("result %d oper %d\n", result, error.erfOper);
  printExtracted(run);
  return result == 1 ? 0 : 1;
}

int failures = 0;

void report(const char* name, bool ok, const std::string& detail = {}) {
  if (ok) {
    std::printf("ok %s\n", name);
  } else {
    ++failures;
    std::printf("bad %s %s\n", name, detail.c_str());
  }
}

std::string outcome(int result, const ERF& error) {
  return "result " + std::to_string(result) + " oper " + std::to_string(error.erfOper);
}

// Calls fn with argWords zero arguments and tells whether the callee
// removed them from the stack, as __stdcall requires.
__attribute__((noinline)) bool calleePopsArguments(void* fn, unsigned argWords) {
  unsigned before, after;
  asm volatile(
      "movl %%esp, %0\n\t"
      "1:\n\t"
      "pushl $0\n\t"
      "loop 1b\n\t"
      "call *%3\n\t"
      "movl %%esp, %1\n\t"
      "movl %0, %%esp\n\t"
      : "=&S"(before), "=&D"(after), "+c"(argWords)
      : "b"(fn)
      : "eax", "edx", "memory", "cc");
  return before == after;
}

int checks(const char* cabinet, const char* outDir) {
  View view;
  if (!view.open(cabinet)) {
    std::printf("cannot map %s\n", cabinet);
    return 100;
  }
  const std::string out = withBackslash(outDir);

  // Nothing registered yet: both calls with zero arguments are harmless.
  report("stdcall-CreateMemoryFile",
         calleePopsArguments(reinterpret_cast<void*>(createMemoryFile), 3));
  report("stdcall-DecompressCab", calleePopsArguments(reinterpret_cast<void*>(decompressCab), 5));

  {
    ERF error = {};
    Run run;
    run.outDir = out + "none\\";
    const int result = decompressCab(nullptr, notify, nullptr, &error, &run);
    report("memory-without-image-fails",
           result == 0 && error.erfOper == FDIERROR_CABINET_NOT_FOUND && run.names.empty(),
           outcome(result, error));
  }
  {
    // Flags 3: the image is forgotten once the extraction closed it.
    ERF error = {};
    Run run;
    run.outDir = out + "release\\";
    CreateDirectoryA(run.outDir.c_str(), nullptr);
    const int reg = createMemoryFile(view.data, view.size, 3);
    const int first = decompressCab(nullptr, notify, decrypt, &error, &run);
    report("release-first-run", reg == 1 && first == 1 && !run.names.empty(),
           outcome(first, error));
    report("user-value-reaches-notify", run.userSeen);
    // Some FDI builds never call the decrypt callback; its count is only
    // shown.
    std::printf("info decrypt calls %d\n", run.decryptCalls);
    ERF again = {};
    Run second;
    second.outDir = run.outDir;
    const int result = decompressCab(nullptr, notify, nullptr, &again, &second);
    report("release-second-run-fails",
           result == 0 && again.erfOper == FDIERROR_CABINET_NOT_FOUND && second.names.empty(),
           outcome(result, again));
  }
  {
    // Flags 1: the image stays until it is unregistered.
    ERF error = {};
    Run run;
    run.outDir = out + "keep\\";
    CreateDirectoryA(run.outDir.c_str(), nullptr);
    const int reg = createMemoryFile(view.data, view.size, 1);
    const int first = decompressCab(nullptr, notify, nullptr, &error, &run);
    const int second = decompressCab(nullptr, notify, nullptr, &error, &run);
    report("keep-two-runs", reg == 1 && first == 1 && second == 1, outcome(second, error));
    const int unreg = createMemoryFile(nullptr, 0, 0);
    ERF after = {};
    const int third = decompressCab(nullptr, notify, nullptr, &after, &run);
    report("keep-unregistered-fails", unreg == 1 && third == 0, outcome(third, after));
  }
  {
    // Refused while FDI holds the memory handle; the extraction goes on.
    ERF error = {};
    Run run;
    run.outDir = out + "busy\\";
    CreateDirectoryA(run.outDir.c_str(), nullptr);
    run.registerDuringCopy = true;
    run.image = view.data;
    run.imageSize = view.size;
    createMemoryFile(view.data, view.size, 3);
    const int result = decompressCab(nullptr, notify, nullptr, &error, &run);
    report("register-while-open-refused", run.registerResult == 0 && result == 1,
           "register " + std::to_string(run.registerResult) + ", " + outcome(result, error));
  }
  {
    // A notify callback that aborts: user-abort, and no memory handle left
    // open behind the failure.
    ERF error = {};
    Run run;
    run.outDir = out + "abort\\";
    run.copy = Run::Copy::abort;
    createMemoryFile(view.data, view.size, 3);
    const int result = decompressCab(nullptr, notify, nullptr, &error, &run);
    report("abort-fails-with-user-abort",
           result == 0 && error.erfOper == FDIERROR_USER_ABORT && error.fError,
           outcome(result, error));
    report("abort-leaves-no-handle-open", createMemoryFile(view.data, view.size, 1) == 1);
    createMemoryFile(nullptr, 0, 0);
  }
  {
    // Skipping every file succeeds without creating any.
    ERF error = {};
    Run run;
    run.outDir = out + "skip\\";
    run.copy = Run::Copy::skip;
    createMemoryFile(view.data, view.size, 3);
    const int result = decompressCab(nullptr, notify, nullptr, &error, &run);
    report("skip-all-succeeds",
           result == 1 && GetFileAttributesA(run.outDir.c_str()) == INVALID_FILE_ATTRIBUTES,
           outcome(result, error));
  }
  {
    // A zero-length image is no cabinet.
    ERF error = {};
    Run run;
    run.outDir = out + "empty\\";
    const int reg = createMemoryFile(view.data, 0, 3);
    const int result = decompressCab(nullptr, notify, nullptr, &error, &run);
    report("zero-length-image-fails",
           reg == 1 && result == 0 && error.erfOper == FDIERROR_NOT_A_CABINET,
           outcome(result, error));
    report("zero-length-leaves-no-handle-open", createMemoryFile(view.data, view.size, 1) == 1);
    createMemoryFile(nullptr, 0, 0);
  }
  {
    // Every cut of the image fails cleanly, never crashes, never leaks a
    // handle.
    bool allFailed = true;
    bool allFreed = true;
    std::string detail;
    for (DWORD cut = 0; cut < view.size; cut += view.size / 23 + 1) {
      ERF error = {};
      Run run;
      run.outDir = out + "cut\\";
      CreateDirectoryA(run.outDir.c_str(), nullptr);
      createMemoryFile(view.data, cut, 3);
      const int result = decompressCab(nullptr, notify, nullptr, &error, &run);
      if (result != 0) {
        allFailed = false;
        detail += " cut " + std::to_string(cut) + " succeeded";
      }
      if (createMemoryFile(view.data, view.size, 1) != 1) allFreed = false;
      createMemoryFile(nullptr, 0, 0);
    }
    report("truncated-images-fail", allFailed, detail);
    report("truncated-images-leave-no-handle-open", allFreed);
  }
  {
    // A bare name is opened in the current folder.
    const std::string path = cabinet;
    const std::size_t slash = path.find_last_of('\\');
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ERF error = {};
    Run run;
    run.outDir = out + "bare\\";
    CreateDirectoryA(run.outDir.c_str(), nullptr);
    int result = -1;
    if (slash != std::string::npos && SetCurrentDirectoryA(path.substr(0, slash + 1).c_str())) {
      result = decompressCab(path.substr(slash + 1).c_str(), notify, nullptr, &error, &run);
    }
    SetCurrentDirectoryA(previous);
    report("bare-name-in-current-folder", result == 1 && !run.names.empty(),
           outcome(result, error));
  }
  {
    ERF error = {};
    Run run;
    run.outDir = out + "long\\";
    const std::string longPath = "C:\\" + std::string(300, 'd') + "\\x.cab";
    const int result = decompressCab(longPath.c_str(), notify, nullptr, &error, &run);
    report("overlong-path-fails", result == 0 && error.erfOper == FDIERROR_CABINET_NOT_FOUND,
           outcome(result, error));
  }
  {
    ERF error = {};
    Run run;
    run.outDir = out + "missing\\";
    const int result = decompressCab((out + "no-such.cab").c_str(), notify, nullptr, &error, &run);
    report("missing-file-fails", result == 0 && error.erfOper == FDIERROR_CABINET_NOT_FOUND,
           outcome(result, error));
  }
  {
    // The memory name is matched exactly: another spelling is a real file.
    ERF error = {};
    Run run;
    run.outDir = out + "spelling\\";
    createMemoryFile(view.data, view.size, 1);
    const int result = decompressCab("\\.\\MEMORY", notify, nullptr, &error, &run);
    report("memory-name-is-case-sensitive", result == 0 && run.names.empty(),
           outcome(result, error));
    createMemoryFile(nullptr, 0, 0);
  }
  {
    // Without an error record of the caller's the DLL lends FDI its own.
    Run run;
    run.outDir = out + "noerf\\";
    CreateDirectoryA(run.outDir.c_str(), nullptr);
    createMemoryFile(view.data, view.size, 3);
    const int good = decompressCab(nullptr, notify, nullptr, nullptr, &run);
    createMemoryFile(view.data, 10, 3);
    const int bad = decompressCab(nullptr, notify, nullptr, nullptr, &run);
    report("null-error-record", good == 1 && bad == 0,
           "good " + std::to_string(good) + " bad " + std::to_string(bad));
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::printf("usage: cabxpd_probe DLL file|memory|checks CABINET OUTDIR\n");
    return 2;
  }
  HMODULE dll = LoadLibraryExA(argv[1], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (dll == nullptr) {
    std::printf("cannot load %s (error %lu)\n", argv[1], GetLastError());
    return 2;
  }
  createMemoryFile = reinterpret_cast<CreateMemoryFileFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, "CreateMemoryFile")));
  decompressCab = reinterpret_cast<DecompressCabFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DecompressCab")));
  if (createMemoryFile == nullptr || decompressCab == nullptr) {
    std::printf("exports missing\n");
    return 2;
  }
  const std::string mode = argv[2];
  int rc = 2;
  if (mode == "file") {
    rc = extract(argv[3], argv[4], false);
  } else if (mode == "memory") {
    rc = extract(argv[3], argv[4], true);
  } else if (mode == "checks") {
    rc = checks(argv[3], argv[4]);
  }
  std::fflush(stdout);
  FreeLibrary(dll);
  return rc;
}
