// Test tool for the binder and remover tests: lists and dumps a module's
// resources, starts a program the way the builder starts the binder, and
// holds a process open until told to end.
//
//   res_probe list MODULE                  one line per resource: type name lang size fnv
//   res_probe dump MODULE TYPE NAME LANG OUT   (#n for ordinals, LANG in hex)
//   res_probe self TYPE NAME                the same lookup in the running image
//   res_probe spawn COMMANDLINE [COUNT]     as the builder starts the binder: program found
//                                          by search, detached, inheriting handles, own
//                                          environment and folder; COUNT times (1), one
//                                          "exit N" line each
//   res_probe hold PIDFILE STOPFILE         writes its process id, waits for STOPFILE
//
// Copied as rsrc.exe into a builder folder it stands in for the binder: see
// standIn().
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

uint32_t fnv1a(const uint8_t* p, DWORD n) {
  uint32_t h = 2166136261u;
  for (DWORD i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

std::wstring idText(LPCWSTR id) {
  if (IS_INTRESOURCE(id)) return L"#" + std::to_wstring(uintptr_t(id));
  return id;
}

LPCWSTR idFrom(const wchar_t* text) {
  if (text[0] == L'#') return MAKEINTRESOURCEW(_wtoi(text + 1));
  return text;
}

BOOL CALLBACK onLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD lang, LONG_PTR) {
  HRSRC info = FindResourceExW(module, type, name, lang);
  DWORD size = info ? SizeofResource(module, info) : 0;
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  const uint8_t* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  wprintf(L"%ls %ls %04x %lu %08x\n", idText(type).c_str(), idText(name).c_str(), lang,
          size, bytes ? fnv1a(bytes, size) : 0u);
  return TRUE;
}

BOOL CALLBACK onName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR) {
  EnumResourceLanguagesW(module, type, name, onLanguage, 0);
  return TRUE;
}

BOOL CALLBACK onType(HMODULE module, LPWSTR type, LONG_PTR) {
  EnumResourceNamesW(module, type, onName, 0);
  return TRUE;
}

HMODULE loadData(const wchar_t* path) {
  HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) fwprintf(stderr, L"cannot load %ls: %lu\n", path, GetLastError());
  return module;
}

int list(const wchar_t* path) {
  HMODULE module = loadData(path);
  if (module == nullptr) return 1;
  EnumResourceTypesW(module, onType, 0);
  FreeLibrary(module);
  return 0;
}

int dump(const wchar_t* path, const wchar_t* type, const wchar_t* name, const wchar_t* lang,
         const wchar_t* out) {
  HMODULE module = loadData(path);
  if (module == nullptr) return 1;
  HRSRC info = FindResourceExW(module, idFrom(type), idFrom(name),
                               WORD(wcstoul(lang, nullptr, 16)));
  if (info == nullptr) {
    fwprintf(stderr, L"no resource %ls %ls %ls\n", type, name, lang);
    return 1;
  }
  DWORD size = SizeofResource(module, info);
  const void* bytes = LockResource(LoadResource(module, info));
  FILE* f = _wfopen(out, L"wb");
  if (f == nullptr) return 1;
  fwrite(bytes, 1, size, f);
  fclose(f);
  FreeLibrary(module);
  return 0;
}

int self(const wchar_t* type, const wchar_t* name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, idFrom(name), idFrom(type));
  if (info == nullptr) return 1;
  DWORD size = SizeofResource(module, info);
  const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
  wprintf(L"%lu %08x\n", size, fnv1a(bytes, size));
  return 0;
}

// One start as the builder makes it; the exit code, or -1 when it did not start.
long spawnOnce(const wchar_t* commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      nullptr, &si, &pi)) {
    fwprintf(stderr, L"cannot start: %lu\n", GetLastError());
    return -1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return long(code);
}

// Prints one line per start, "exit N", so that a start that went wrong once
// in many shows.
int spawn(const wchar_t* commandLine, int count) {
  for (int i = 0; i < count; ++i) {
    long code = spawnOnce(commandLine);
    if (code < 0) return 1;
    wprintf(L"exit %lu\n", static_cast<unsigned long>(code));
  }
  return 0;
}

int hold(const wchar_t* pidFile, const wchar_t* stopFile) {
  FILE* f = _wfopen(pidFile, L"w");
  if (f == nullptr) return 1;
  fprintf(f, "%lu\n", GetCurrentProcessId());
  fclose(f);
  // Bounded, so a broken test cannot leave it behind for long.
  for (int i = 0; i < 6000; ++i) {
    if (GetFileAttributesW(stopFile) != INVALID_FILE_ATTRIBUTES) return 0;
    Sleep(50);
  }
  return 3;
}

// The binder's stand-in: appends each command line it gets to starts.txt
// beside it. Its first start fails with the binder's usage code, as a start
// that lost its arguments would (every start, while usage-always is there);
// later starts run rsrc-real.exe from the same folder with the same arguments.
int standIn(const std::wstring& folder) {
  const std::wstring line = GetCommandLineW();
  const std::wstring log = folder + L"starts.txt";
  int before = 0;
  if (FILE* f = _wfopen(log.c_str(), L"r")) {
    for (int c; (c = fgetc(f)) != EOF;) before += c == '\n';
    fclose(f);
  }
  if (FILE* f = _wfopen(log.c_str(), L"a")) {
    fwprintf(f, L"%ls\n", line.c_str());
    fclose(f);
  }
  const bool alwaysFail =
      GetFileAttributesW((folder + L"usage-always").c_str()) != INVALID_FILE_ATTRIBUTES;
  if (before == 0 || alwaysFail) return 2;
  // The builder's line is rsrc and the two quoted paths; pass the paths on.
  size_t rest = line.find(L' ');
  std::wstring real = folder + L"rsrc-real.exe";
  std::wstring forward = L"\"" + real + L"\"" + (rest == std::wstring::npos ? L"" : line.substr(rest));
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(real.c_str(), &forward[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return 3;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 3;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  wchar_t module[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module, length < MAX_PATH ? length : 0);
  size_t slash = path.rfind(L'\\');
  if (slash != std::wstring::npos && lstrcmpiW(path.c_str() + slash + 1, L"rsrc.exe") == 0)
    return standIn(path.substr(0, slash + 1));
  std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"list" && argc == 3) return list(argv[2]);
  if (mode == L"dump" && argc == 7) return dump(argv[2], argv[3], argv[4], argv[5], argv[6]);
  if (mode == L"self" && argc == 4) return self(argv[2], argv[3]);
  if (mode == L"spawn" && argc == 3) return spawn(argv[2], 1);
  if (mode == L"spawn" && argc == 4) return spawn(argv[2], _wtoi(argv[3]));
  if (mode == L"hold" && argc == 4) return hold(argv[2], argv[3]);
  fwprintf(stderr, L"usage: res_probe list|dump|self|spawn|hold ...\n");
  return 2;
}
