// Language modules: resource-only DLLs in the builder's "language" folder,
// named by their string 10000.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "builder/package/build_context.h"
#include "builder/project/project_document.h"

namespace tw {

struct LanguageEntry {
  std::string name;  // string 10000, e.g. "Deutsch"
  std::string file;  // file name inside the language folder
};

// The modules found in `folder` (with trailing backslash), sorted by name.
std::vector<LanguageEntry> scanLanguageModules(const std::string& folder);

class LanguageLibrary final : public LanguageModule, public LanguageTexts {
 public:
  LanguageLibrary() = default;
  ~LanguageLibrary() override;
  LanguageLibrary(const LanguageLibrary&) = delete;
  LanguageLibrary& operator=(const LanguageLibrary&) = delete;

  bool load(const std::string& path);
  bool loaded() const { return module_ != nullptr; }
  HMODULE handle() const { return module_; }
  bool findResource(uint16_t type, uint16_t id, std::vector<uint8_t>& data) const override;
  std::string text(int id) const override;

 private:
  HMODULE module_ = nullptr;
};

}  // namespace tw
