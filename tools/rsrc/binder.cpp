// Binds the entries of a resource file into a module, replacing same-named ones.
#include "tools/rsrc/binder.h"

#include "tools/rsrc/console.h"

#include <windows.h>

namespace {

// The pointer form the resource calls take for an ordinal or a string id;
// valid as long as id lives.
LPCWSTR idPointer(const ResId& id) {
  if (id.isOrdinal()) return MAKEINTRESOURCEW(id.ordinal);
  return reinterpret_cast<LPCWSTR>(id.name.c_str());
}

ResId idFrom(LPCWSTR id) {
  if (IS_INTRESOURCE(id)) return ResId::fromOrdinal(WORD(uintptr_t(id)));
  const char16_t* text = reinterpret_cast<const char16_t*>(id);
  return ResId::fromName(std::u16string(text));
}

std::wstring idText(const ResId& id) {
  if (id.isOrdinal()) return std::to_wstring(id.ordinal);
  return L"\"" + std::wstring(id.name.begin(), id.name.end()) + L"\"";
}

// The loader finds string ids without regard to case, so the binder
// replaces them the same way.
bool sameId(const ResId& a, const ResId& b) {
  if (a.isOrdinal() || b.isOrdinal()) return a == b;
  return lstrcmpiW(idPointer(a), idPointer(b)) == 0;
}

struct Module {
  HMODULE handle;
  std::vector<ResEntry>* resources;
  bool failed;
};

BOOL CALLBACK onLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
  Module& module = *reinterpret_cast<Module*>(param);
  HRSRC info = FindResourceExW(module.handle, type, name, language);
  HGLOBAL loaded = info ? LoadResource(module.handle, info) : nullptr;
  const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (bytes == nullptr) {
    module.failed = true;
    return FALSE;
  }
  ResEntry entry;
  entry.type = idFrom(type);
  entry.name = idFrom(name);
  entry.language = language;
  entry.data.assign(bytes, bytes + SizeofResource(module.handle, info));
  module.resources->push_back(std::move(entry));
  return TRUE;
}

BOOL CALLBACK onName(HMODULE handle, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  EnumResourceLanguagesW(handle, type, name, onLanguage, param);
  return !reinterpret_cast<Module*>(param)->failed;
}

BOOL CALLBACK onType(HMODULE handle, LPWSTR type, LONG_PTR param) {
  EnumResourceNamesW(handle, type, onName, param);
  return !reinterpret_cast<Module*>(param)->failed;
}

// Copies every resource of the module, all types, names and languages.
bool readModuleResources(const std::wstring& targetPath, std::vector<ResEntry>& resources,
                         std::wstring& message) {
  HMODULE handle = LoadLibraryExW(targetPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (handle == nullptr) {
    DWORD code = GetLastError();
    if (GetFileAttributesW(targetPath.c_str()) == INVALID_FILE_ATTRIBUTES)
      message = L"cannot open \"" + targetPath + L"\": " + systemErrorText(GetLastError());
    else
      message = L"\"" + targetPath + L"\" is not a module: " + systemErrorText(code);
    return false;
  }
  Module module = {handle, &resources, false};
  // Fails with "not found" for a module without resources, which is fine.
  EnumResourceTypesW(handle, onType, reinterpret_cast<LONG_PTR>(&module));
  FreeLibrary(handle);
  if (module.failed) message = L"cannot read the resources of \"" + targetPath + L"\"";
  return !module.failed;
}

bool replacedBy(const ResEntry& old, const std::vector<ResEntry>& entries) {
  for (const ResEntry& entry : entries)
    if (sameId(old.type, entry.type) && sameId(old.name, entry.name)) return true;
  return false;
}

// Queues one resource; an empty one that the system refuses is left out
// with a warning: a reader then finds it missing rather than empty, the
// nearest thing, and the rest is still bound.
bool queue(HANDLE update, const ResEntry& entry, std::wstring& message,
           std::wstring& warnings) {
  // A null pointer with size 0 would mean "delete", so an empty resource
  // points at a dummy byte. UpdateResource only reads through the pointer.
  static uint8_t noData = 0;
  void* data = entry.data.empty() ? &noData : const_cast<uint8_t*>(entry.data.data());
  if (UpdateResourceW(update, idPointer(entry.type), idPointer(entry.name), entry.language,
                      data, DWORD(entry.data.size())))
    return true;
  if (entry.data.empty()) {
    warnings += L"rsrc: empty resource " + idText(entry.type) + L"/" + idText(entry.name) +
                L" left out\n";
    return true;
  }
  message = L"cannot add resource " + idText(entry.type) + L"/" + idText(entry.name) + L": " +
            systemErrorText(GetLastError());
  return false;
}

}  // namespace

bool bindResources(const std::wstring& targetPath, const std::vector<ResEntry>& entries,
                   std::wstring& message, std::wstring& warnings) {
  std::vector<ResEntry> existing;
  if (!readModuleResources(targetPath, existing, message)) return false;
  if (entries.empty()) return true;

  // The module's resources are written anew: those the file replaces are
  // simply not written again. Deleting single languages in place is not
  // reliable on every system (some merge the old ones back on writing).
  HANDLE update = BeginUpdateResourceW(targetPath.c_str(), TRUE);
  if (update == nullptr) {
    message = L"cannot update \"" + targetPath + L"\": " + systemErrorText(GetLastError());
    return false;
  }
  bool ok = true;
  for (size_t i = 0; ok && i < existing.size(); ++i)
    if (!replacedBy(existing[i], entries)) ok = queue(update, existing[i], message, warnings);
  for (size_t i = 0; ok && i < entries.size(); ++i)
    ok = queue(update, entries[i], message, warnings);
  if (!ok) {
    EndUpdateResourceW(update, TRUE);
    return false;
  }
  if (!EndUpdateResourceW(update, FALSE)) {
    message = L"cannot write \"" + targetPath + L"\": " + systemErrorText(GetLastError());
    return false;
  }
  return true;
}
