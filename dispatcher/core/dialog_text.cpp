// The format text of the progress dialog's message, from its template.
#include "dispatcher/core/dialog_text.h"

#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {

char* dialogTextFormat(char* templ, const char* appName) {
  constexpr std::size_t kMarkEnd = 13;  // characters 1..13 hold the mark
  constexpr std::size_t kFormatStart = 7;
  if (!equalsIgnoringCase(appName, "Tamblewright") ||
      textLength(templ) < kMarkEnd)
    return templ;
  static const char kSetup[] = "Setup ";
  for (std::size_t i = 0; i < 6; ++i) templ[kFormatStart + i] = kSetup[i];
  return templ + kFormatStart;
}

}  // namespace tw::dispatcher
