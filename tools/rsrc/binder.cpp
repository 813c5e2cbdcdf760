// Binds the entries of a resource file into a module, replacing same-named
// ones, with the portable resource writer: the module is read whole, its
// resource section rebuilt, and the result written beside it and moved into
// its place, so a failure leaves the module as it was.
#include "tools/rsrc/binder.h"

#include "common/pe_resources.h"
#include "tools/rsrc/console.h"
#include "tools/rsrc/whole_file.h"

#include <windows.h>

namespace {

std::wstring widen(const char* text) {
  std::wstring out;
  while (*text != '\0') out.push_back(wchar_t(uint8_t(*text++)));
  return out;
}

// Writes the new module under a name of its own beside the old one, then
// puts it in the old one's place.
bool writeModule(const std::wstring& path, const std::vector<uint8_t>& bytes, std::wstring& message) {
  const std::wstring temporary = path + L".rsrc-new";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    message = L"cannot write \"" + temporary + L"\": " + systemErrorText(GetLastError());
    return false;
  }
  DWORD done = 0;
  bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &done, nullptr) && done == bytes.size();
  DWORD code = GetLastError();
  ok = CloseHandle(file) && ok;
  if (ok && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    code = GetLastError();
    // Systems of the 9x family only rename.
    ok = code == ERROR_CALL_NOT_IMPLEMENTED && DeleteFileW(path.c_str()) &&
         MoveFileW(temporary.c_str(), path.c_str());
    if (!ok) code = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    message = L"cannot write \"" + path + L"\": " + systemErrorText(code);
  }
  return ok;
}

}  // namespace

bool bindResources(const std::wstring& targetPath, const std::vector<ResEntry>& entries,
                   std::wstring& message, std::wstring& warnings) {
  (void)warnings;
  std::vector<uint8_t> module;
  if (!readWholeFile(targetPath, 0x7FFFFFFF, L"module", module, message)) return false;
  std::vector<uint8_t> out;
  tw::PeError error = tw::replacePeResources(module, entries, out);
  if (error == tw::PeError::kNotAModule || error == tw::PeError::kHeaderPastEnd) {
    message = L"\"" + targetPath + L"\" is not a module: " + widen(tw::peErrorText(error));
    return false;
  }
  if (error != tw::PeError::kOk) {
    message = L"\"" + targetPath + L"\" cannot take the resources: " + widen(tw::peErrorText(error));
    return false;
  }
  if (entries.empty()) return true;
  return writeModule(targetPath, out, message);
}
