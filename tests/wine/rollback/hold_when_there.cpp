// Test tool: waits for a file to appear and holds it open without sharing,
// as a virus scanner or an indexer may do with a freshly written program,
// until a second file appears or two minutes have passed.
//   hold_when_there.exe FILE RELEASE-FILE
// Exit 0 after holding, 1 when the file could never be opened.
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int i = 0; i < 12000 && file == INVALID_HANDLE_VALUE; ++i) {
    // The writer's own handle shares nothing either: until it is closed,
    // this open fails and is tried again.
    file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  for (int i = 0; i < 1200 && GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  CloseHandle(file);
  return 0;
}
