// The progress animation shared by the main thread and the timer thread.
#include "dispatcher/core/progress.h"

namespace tw::dispatcher {

bool Progress::step(std::uint16_t d, ProgressBar& bar) {
  std::uint16_t current = position_.load();
  std::uint16_t next;
  do {
    if (current >= limit_.load()) return false;
    next = static_cast<std::uint16_t>(current + d);
  } while (!position_.compare_exchange_weak(current, next));
  bar.showPosition(next);
  return true;
}

}  // namespace tw::dispatcher
