// Fuzzes the project's JSON reader. Whatever it accepts must write to a
// project file whose JSON reads back to the same file: a fixed point after
// one round; a refusal names a place inside the text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/project/project_file.h"
#include "builder/project/project_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  tw::ProjectDocument first;
  tw::JsonError error;
  if (!tw::projectFromJson(text, first, error)) {
    if (error.line < 1 || error.column < 1 || error.what.empty()) std::abort();
    return 0;
  }
  std::vector<uint8_t> written = tw::writeProject(first);
  tw::ProjectDocument reread;
  if (!tw::readProject(written.data(), written.size(), reread, {}).ok()) std::abort();
  tw::ProjectDocument second;
  if (!tw::projectFromJson(tw::projectToJson(reread), second, error)) std::abort();
  if (tw::writeProject(second) != written) std::abort();
  return 0;
}
