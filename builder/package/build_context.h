// What the build worker needs from around it: the language module, the
// progress display, message boxes, and the error that stops a build.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tw {

// A stop of the build; the message (CP1252) is shown once in the error box.
class BuildError : public std::runtime_error {
 public:
  explicit BuildError(const std::string& message) : std::runtime_error(message) {}
};

// The chosen language module, a resource DLL.
class LanguageModule {
 public:
  virtual ~LanguageModule() = default;
  // The bytes of resource (type, id); false when the module has none.
  virtual bool findResource(uint16_t type, uint16_t id, std::vector<uint8_t>& data) const = 0;
};

enum class MessageIcon { Information, Exclamation, Stop };

class BuildReporter {
 public:
  virtual ~BuildReporter() = default;
  // Shows the step text (when given) and the percentage (a negative one
  // leaves the percentage as it is).
  virtual void progress(const std::string* text, int percent) = 0;
  // A message box the build shows and goes on after.
  virtual void message(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

}  // namespace tw
