// The progress animation: stage ceilings, catch-up, and two threads.
#include "dispatcher/core/progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tw::dispatcher {
namespace {

class RecordingBar final : public ProgressBar {
 public:
  std::vector<std::uint16_t> shown;
  void showPosition(std::uint16_t position) override { shown.push_back(position); }
};

TEST(Progress, StepsUntilTheLimitAndMayPassItByLessThanAStep) {
  Progress p;
  RecordingBar bar;
  EXPECT_EQ(kStageTable, p.limit());
  int steps = 0;
  while (p.step(kTimerStep, bar)) ++steps;
  EXPECT_EQ(5, steps);
  EXPECT_EQ(20, p.position());
  p.setLimit(kStageItem1);
  p.step(kTimerStep, bar);  // 24
  p.step(kTimerStep, bar);  // 28
  while (p.step(kCatchUpStep * 3, bar)) {
  }
  EXPECT_EQ(40, p.position());  // 28, 34, 40
  p.setLimit(41);
  EXPECT_TRUE(p.step(kTimerStep, bar));
  EXPECT_EQ(44, p.position());
  EXPECT_FALSE(p.step(kTimerStep, bar));
  EXPECT_EQ(44, bar.shown.back());
}

TEST(Progress, CatchUpReachesEveryStageLimit) {
  Progress p;
  RecordingBar bar;
  for (std::uint16_t limit : {kStageTable, kStageItem1, kStageItem2, kStageRuntime}) {
    p.setLimit(limit);
    while (p.step(kCatchUpStep, bar)) {
    }
    EXPECT_GE(p.position(), limit);
    EXPECT_LT(p.position(), limit + kCatchUpStep);
  }
  EXPECT_EQ(100, bar.shown.back());
}

// Each thread keeps what its own steps showed. A step that is lost (two
// threads read the same position and both write their sum) or doubled
// shows as a final position that is not the sum of the steps made, or as
// one position shown twice.
TEST(Progress, TwoThreadsNeverLoseOrDoubleAStep) {
  for (int round = 0; round < 50; ++round) {
    Progress p;
    p.setLimit(60000);
    RecordingBar timerBar, catchUpBar;
    timerBar.shown.reserve(30000);
    catchUpBar.shown.reserve(30000);
    // Both start together, or one may be done before the other runs.
    std::atomic<int> ready{0};
    auto worker = [&p, &ready](std::uint16_t d, RecordingBar* bar) {
      ready.fetch_add(1);
      while (ready.load() < 2) {
      }
      while (p.step(d, *bar)) {
      }
    };
    std::thread a(worker, kTimerStep, &timerBar), b(worker, kCatchUpStep, &catchUpBar);
    a.join();
    b.join();
    std::uint64_t sum = timerBar.shown.size() * std::uint64_t{kTimerStep} +
                        catchUpBar.shown.size() * std::uint64_t{kCatchUpStep};
    ASSERT_EQ(sum, p.position()) << "round " << round;
    EXPECT_GE(p.position(), 60000);
    EXPECT_LT(p.position(), 60000 + kTimerStep);
    std::vector<std::uint16_t> all = timerBar.shown;
    all.insert(all.end(), catchUpBar.shown.begin(), catchUpBar.shown.end());
    std::sort(all.begin(), all.end());
    ASSERT_TRUE(std::adjacent_find(all.begin(), all.end()) == all.end()) << "a position shown twice, round " << round;
    ASSERT_EQ(all.back(), p.position());
  }
}

}  // namespace
}  // namespace tw::dispatcher
