// Test tool: notes every visible top-level window that appears, until a
// stop file appears or ten minutes have passed, polling every 10 ms.
//   window_watch.exe OUTPUT-FILE STOP-FILE
// Each window once, when first seen visible: "class<TAB>title", then one
// line "  id<TAB>class" per child control.
#include <windows.h>

#include <cstdio>

namespace {

HWND gSeen[1024];
int gSeenCount = 0;
FILE* gOut = nullptr;

BOOL CALLBACK noteChild(HWND child, LPARAM) {
  char cls[64] = "";
  GetClassNameA(child, cls, sizeof cls);
  std::fprintf(gOut, "  %u\t%s\n", static_cast<unsigned>(GetDlgCtrlID(child)) & 0xFFFF, cls);
  return TRUE;
}

BOOL CALLBACK noteTop(HWND top, LPARAM) {
  if (!IsWindowVisible(top)) return TRUE;
  for (int i = 0; i < gSeenCount; ++i)
    if (gSeen[i] == top) return TRUE;
  if (gSeenCount < 1024) gSeen[gSeenCount++] = top;
  char cls[64] = "", title[256] = "";
  GetClassNameA(top, cls, sizeof cls);
  GetWindowTextA(top, title, sizeof title);
  std::fprintf(gOut, "%s\t%s\n", cls, title);
  EnumChildWindows(top, noteChild, 0);
  std::fflush(gOut);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  gOut = std::fopen(argv[1], "ab");
  if (!gOut) return 1;
  // Windows already there (none in a fresh prefix) are not the run's.
  EnumWindows(noteTop, 0);
  std::fprintf(gOut, "--- watching\n");
  std::fflush(gOut);
  for (int i = 0; i < 60000 && GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES; ++i) {
    EnumWindows(noteTop, 0);
    Sleep(10);
  }
  std::fclose(gOut);
  return 0;
}
