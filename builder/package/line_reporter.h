// Build progress and messages as lines, for the command-line builds:
// progress lines for stdout, every message box text for stderr. The lines
// are CP1252 and end in "\r\n"; the writer puts them where they belong.
#pragma once
#include <functional>
#include <string>

#include "builder/package/build_context.h"

namespace tw {

class LineReporter : public BuildReporter {
 public:
  using Writer = std::function<void(bool toError, const std::string& line)>;
  explicit LineReporter(Writer writer) : writer_(std::move(writer)) {}
  // One line per percentage value, with the latest step text: a line for
  // every compressed file would cost more than compressing small files.
  void progress(const std::string* text, int percent) override;
  // The text with its line breaks as "\r\n".
  void message(const std::string& text, const std::string& caption, MessageIcon icon) override;

 private:
  Writer writer_;
  std::string step_;
  int percent_ = -1;
};

}  // namespace tw
