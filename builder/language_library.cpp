// Loading language modules as data files and reading their resources.
#include "builder/language_library.h"

#include <algorithm>

namespace tw {
namespace {
constexpr int kLanguageNameString = 10000;
}

LanguageLibrary::~LanguageLibrary() {
  if (module_) FreeLibrary(module_);
}

bool LanguageLibrary::load(const std::string& path) {
  if (module_) FreeLibrary(module_);
  module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  return module_ != nullptr;
}

bool LanguageLibrary::findResource(uint16_t type, uint16_t id, std::vector<uint8_t>& data) const {
  if (!module_) return false;
  HRSRC r = FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (!r) return false;
  HGLOBAL g = LoadResource(module_, r);
  const void* p = g ? LockResource(g) : nullptr;
  if (!p) return false;
  auto bytes = static_cast<const uint8_t*>(p);
  data.assign(bytes, bytes + SizeofResource(module_, r));
  return true;
}

std::string LanguageLibrary::text(int id) const {
  char buffer[1024];
  int n = module_ ? LoadStringA(module_, static_cast<UINT>(id), buffer, sizeof buffer) : 0;
  return std::string(buffer, n > 0 ? n : 0);
}

std::vector<LanguageEntry> scanLanguageModules(const std::string& folder) {
  std::vector<LanguageEntry> out;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*.dll").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    LanguageLibrary module;
    if (!module.load(folder + found.cFileName)) continue;
    std::string name = module.text(kLanguageNameString);
    if (!name.empty() && name.size() <= 259) out.push_back({name, found.cFileName});
  } while (FindNextFileA(h, &found));
  FindClose(h);
  std::stable_sort(out.begin(), out.end(),
                   [](const LanguageEntry& a, const LanguageEntry& b) { return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0; });
  return out;
}

}  // namespace tw
