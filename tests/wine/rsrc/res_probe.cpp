// Test tool for the binder and remover tests: lists and dumps a module's
// resources, starts a program the way the builder starts the binder, and
// holds a process open until told to end.
//
//   res_probe list MODULE                  one line per resource: type name lang size fnv
//   res_probe dump MODULE TYPE NAME LANG OUT   (#n for ordinals, LANG in hex)
//   res_probe self TYPE NAME                the same lookup in the running image
//   res_probe spawn COMMANDLINE             as the builder starts the binder: program found
//                                          by search, detached, inheriting handles, own
//                                          environment and folder; prints the exit code
//   res_probe hold PIDFILE STOPFILE         writes its process id, waits for STOPFILE
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

int spawn(const wchar_t* commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      nullptr, &si, &pi)) {
    fwprintf(stderr, L"cannot start: %lu\n", GetLastError());
    return 1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  wprintf(L"exit %lu\n", code);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"list" && argc == 3) return list(argv[2]);
  if (mode == L"dump" && argc == 7) return dump(argv[2], argv[3], argv[4], argv[5], argv[6]);
  if (mode == L"self" && argc == 4) return self(argv[2], argv[3]);
  if (mode == L"spawn" && argc == 3) return spawn(argv[2]);
  if (mode == L"hold" && argc == 4) return hold(argv[2], argv[3]);
  fwprintf(stderr, L"usage: res_probe list|dump|self|spawn|hold ...\n");
  return 2;
}
