// The dispatcher's two failure messages.
#include "dispatcher/failure.h"

#include "dispatcher/core/long_path.h"
#include "dispatcher/core/message_format.h"
#include "dispatcher/core/work_folder.h"

namespace tw::dispatcher {
namespace {

constexpr char kCaption[] = "Setup";
constexpr UINT kBoxStyle = MB_OK | MB_ICONERROR;

class SearchLongNames final : public LongNameFinder {
 public:
  bool findLongName(const char* path, char* name, std::size_t capacity) override {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return lstrlenA(data.cFileName) < static_cast<int>(capacity) &&
           lstrcpynA(name, data.cFileName, static_cast<int>(capacity)) != nullptr;
  }
};

}  // namespace

void showGeneralFailure(const char* subject) {
  const DWORD code = GetLastError();
  char text[kPathCapacity];
  // Every insert the text may use finds the subject, never stack garbage.
  DWORD_PTR args[99];
  for (DWORD_PTR& arg : args) arg = reinterpret_cast<DWORD_PTR>(subject);
  if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                     nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                     text, sizeof text, reinterpret_cast<va_list*>(args)) == 0)
    wsprintfA(text, "%lu", code);
  MessageBoxA(nullptr, text, kCaption, kBoxStyle);
}

void logFailure(const char* logPath, DWORD code) {
  if (logPath[0] == '\0') return;
  char system[260];
  if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, sizeof system, nullptr) == 0)
    system[0] = '\0';
  // One line: the text's own line breaks become blanks.
  for (char* c = system; *c != '\0'; ++c)
    if (*c == '\r' || *c == '\n') *c = ' ';
  SYSTEMTIME t;
  GetLocalTime(&t);
  char lines[700];
  wsprintfA(lines, "%04u-%02u-%02u %02u:%02u:%02u ERROR Fehler %lu: %s\r\n%04u-%02u-%02u %02u:%02u:%02u EXIT 1603\r\n",
            t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, code, system, t.wYear, t.wMonth, t.wDay,
            t.wHour, t.wMinute, t.wSecond);
  HANDLE file = CreateFileA(logPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER)
    WriteFile(file, lines, static_cast<DWORD>(lstrlenA(lines)), &written, nullptr);
  CloseHandle(file);
}

void showWorkFolderFailure(HINSTANCE instance, const char* tempPath) {
  char format[520];
  if (LoadStringA(instance, kStringNoWorkFolder, format, sizeof format) == 0) {
    // A template without its bound texts still names the folder.
    lstrcpyA(format, "%s");
  }
  char longPath[kPathCapacity];
  SearchLongNames finder;
  if (!longFolderPath(tempPath, finder, longPath, sizeof longPath))
    lstrcpynA(longPath, tempPath, sizeof longPath);
  char message[1024];
  insertIntoMessage(format, longPath, message, sizeof message);
  MessageBoxA(nullptr, message, kCaption, kBoxStyle);
}

}  // namespace tw::dispatcher
