// Progress and message lines of the command-line builds.
#include "builder/package/line_reporter.h"

namespace tw {

void LineReporter::progress(const std::string* text, int percent) {
  bool newStep = text && *text != step_ && percent >= 0;
  if (text) step_ = *text;
  if (percent < 0 || (percent == percent_ && !newStep)) return;
  percent_ = percent;
  if (!step_.empty()) writer_(false, step_ + " " + std::to_string(percent_) + "%\r\n");
}

void LineReporter::message(const std::string& text, const std::string&, MessageIcon) {
  std::string line = text;
  for (size_t at; (at = line.find("\r\n")) != std::string::npos;) line.replace(at, 2, "\n");
  for (size_t at = 0; (at = line.find('\n', at)) != std::string::npos; at += 2) line.replace(at, 1, "\r\n");
  writer_(true, line + "\r\n");
}

}  // namespace tw
