// The progress animation shared by the main thread and the timer thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace tw::dispatcher {

// Receives each new bar position.
class ProgressBar {
 public:
  virtual void showPosition(std::uint16_t position) = 0;

 protected:
  ~ProgressBar() = default;
};

// Stage ceilings: until the item table is read, while item 1 is written,
// item 2, and the runtime's extraction.
constexpr std::uint16_t kStageTable = 20;
constexpr std::uint16_t kStageItem1 = 40;
constexpr std::uint16_t kStageItem2 = 70;
constexpr std::uint16_t kStageRuntime = 100;
constexpr std::uint16_t kTimerStep = 4;
constexpr std::uint16_t kCatchUpStep = 2;

// Position and limit only grow; the two threads share them without a lock,
// so each is one atomic 16-bit value.
class Progress {
 public:
  // One step of d: nothing while the position has reached the limit,
  // otherwise the position grows by d (it may pass the limit by less than
  // d) and the bar is told. Returns whether a step was made.
  bool step(std::uint16_t d, ProgressBar& bar);
  void setLimit(std::uint16_t limit) { limit_.store(limit); }
  std::uint16_t position() const { return position_.load(); }
  std::uint16_t limit() const { return limit_.load(); }

 private:
  std::atomic<std::uint16_t> position_{0};
  std::atomic<std::uint16_t> limit_{kStageTable};
};

}  // namespace tw::dispatcher
