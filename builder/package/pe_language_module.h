// A language module read from its bytes with the portable module reader,
// for builds without the system's loader (the host tool).
#pragma once
#include <vector>

#include "builder/package/build_context.h"
#include "builder/project/project_document.h"
#include "common/res_file.h"

namespace tw {

class PeLanguageModule final : public LanguageModule, public LanguageTexts {
 public:
  // False when the bytes are no module or its resources are damaged.
  bool load(const std::vector<uint8_t>& module);
  bool loaded() const { return loaded_; }
  // The resource of the neutral language when there is one, else the first
  // language in the module's directory.
  bool findResource(uint16_t type, uint16_t id, std::vector<uint8_t>& data) const override;
  // String `id` of the module's string table in CP1252, at most 1023
  // characters as the system's string loader gives into the builder's buffer;
  // empty when it has none.
  std::string text(int id) const override;

 private:
  std::vector<ResEntry> resources_;
  bool loaded_ = false;
};

}  // namespace tw
