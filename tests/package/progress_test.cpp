// The progress animation: stage ceilings, catch-up, and two threads.
#include "dispatcher/progress.h"

#include <gtest/gtest.h>

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

class CountingBar final : public ProgressBar {
 public:
  std::atomic<int> calls{0};
  void showPosition(std::uint16_t) override { ++calls; }
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

TEST(Progress, TwoThreadsNeverLoseOrDoubleAStep) {
  for (int round = 0; round < 20; ++round) {
    Progress p;
    p.setLimit(60000);
    CountingBar bar;
    std::atomic<int> made{0};
    auto worker = [&](std::uint16_t d) {
      while (p.step(d, bar)) ++made;
    };
    std::thread a(worker, kTimerStep), b(worker, kCatchUpStep);
    a.join();
    b.join();
    EXPECT_EQ(made.load(), bar.calls.load());
    EXPECT_GE(p.position(), 60000);
    EXPECT_LT(p.position(), 60000 + kTimerStep);
  }
}

}  // namespace
}  // namespace tw::dispatcher
