// Inserting a path into a message text that comes from bound resources.
#include "dispatcher/core/message_format.h"

namespace tw::dispatcher {

void insertIntoMessage(const char* format, const char* text, char* out,
                       std::size_t capacity) {
  if (capacity == 0) return;
  std::size_t n = 0;
  bool inserted = false;
  auto put = [&](char c) {
    if (n + 1 < capacity) out[n++] = c;
  };
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      put('%');
      ++p;
    } else if (p[0] == '%' && p[1] == 's' && !inserted) {
      for (const char* t = text; *t != '\0'; ++t) put(*t);
      inserted = true;
      ++p;
    } else {
      put(*p);
    }
  }
  out[n] = '\0';
}

}  // namespace tw::dispatcher
