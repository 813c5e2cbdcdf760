// Calls ZETUAfterInstallProc of HKAFT4.DLL as Setup would, with an alias
// callback that knows <WinSysDir> and <SrcDir>, and answers the question box
// from a second thread. Writes "result N" and the box text to OUT.
//   hkaft4_probe DLL SRCDIR SYSDIR yes|no|none OUT
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string gSource, gSystem;
int gAnswer = 0;  // IDYES, IDNO, or 0: no box expected
char gBoxText[1024] = "";
// Ends the answering thread. Killing it instead could leave a lock of the
// window manager or the heap held, and the probe crashed at its exit.
volatile LONG gStop = 0;

LONG WINAPI expandAliases(char* buffer, LONG size) {
  std::string text = buffer;
  for (auto [alias, value] : {std::pair<const char*, std::string*>{"<WinSysDir>", &gSystem}, {"<SrcDir>", &gSource}}) {
    size_t at = text.find(alias);
    if (at != std::string::npos) text.replace(at, std::strlen(alias), *value);
  }
  lstrcpynA(buffer, text.c_str(), size);
  return static_cast<LONG>(text.size());
}

DWORD WINAPI answerBox(void*) {
  for (int i = 0; i < 200 && !gStop; ++i) {
    HWND box = FindWindowA("#32770", "Fehlende Anforderung");
    if (box && IsWindowVisible(box)) {
      GetDlgItemTextA(box, 0xFFFF, gBoxText, sizeof gBoxText);
      SendMessageA(GetDlgItem(box, gAnswer ? gAnswer : IDNO), BM_CLICK, 0, 0);
      return 0;
    }
    Sleep(50);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) return 2;
  gSource = argv[2];
  gSystem = argv[3];
  gAnswer = std::strcmp(argv[4], "yes") == 0 ? IDYES : std::strcmp(argv[4], "no") == 0 ? IDNO : 0;
  HMODULE dll = LoadLibraryA(argv[1]);
  auto hook = dll ? reinterpret_cast<LONG(WINAPI*)(HWND, LONG(WINAPI*)(char*, LONG))>(
                        GetProcAddress(dll, "ZETUAfterInstallProc"))
                  : nullptr;
  if (!hook) return 3;
  HANDLE answerer = CreateThread(nullptr, 0, answerBox, nullptr, 0, nullptr);
  LONG result = hook(nullptr, expandAliases);
  if (!gAnswer) InterlockedExchange(&gStop, 1);
  WaitForSingleObject(answerer, 15000);
  FILE* out = std::fopen(argv[5], "wb");
  if (!out) return 4;
  std::fprintf(out, "result %ld\nbox %s\n", static_cast<long>(result), gBoxText);
  std::fclose(out);
  return 0;
}
