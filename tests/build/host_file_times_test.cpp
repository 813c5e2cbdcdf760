// Host file times become local DOS times by the TZ rule.
#include "builder/package/host_file_times.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace tw {
namespace {

// Sets TZ for one test and puts the old value back.
class ZoneTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    hadZone_ = old != nullptr;
    if (old) oldZone_ = old;
  }
  void TearDown() override {
    if (hadZone_) setenv("TZ", oldZone_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  bool hadZone_ = false;
  std::string oldZone_;
};

uint16_t date(int y, int m, int d) { return static_cast<uint16_t>((y - 1980) << 9 | m << 5 | d); }
uint16_t time(int h, int m, int s) { return static_cast<uint16_t>(h << 11 | m << 5 | s / 2); }

TEST_F(ZoneTest, LocalTimeOfTheZoneInTz) {
  const int64_t moment = 1700000000;  // 2023-11-14 22:13:20 UTC
  setenv("TZ", "UTC0", 1);
  DosDateTime utc = hostDosDateTime(moment);
  EXPECT_EQ(utc.date, date(2023, 11, 14));
  EXPECT_EQ(utc.time, time(22, 13, 20));
  setenv("TZ", "CET-1", 1);  // one hour east of UTC, past midnight
  DosDateTime cet = hostDosDateTime(moment);
  EXPECT_EQ(cet.date, date(2023, 11, 14));
  EXPECT_EQ(cet.time, time(23, 13, 20));
  DosDateTime next = hostDosDateTime(moment + 3600);
  EXPECT_EQ(next.date, date(2023, 11, 15));
  EXPECT_EQ(next.time, time(0, 13, 20));
}

TEST_F(ZoneTest, OddSecondsAndTheFormatsRange) {
  setenv("TZ", "UTC0", 1);
  EXPECT_EQ(hostDosDateTime(1700000001).time, hostDosDateTime(1700000000).time);
  DosDateTime early = hostDosDateTime(0);  // 1970: before the format begins
  EXPECT_EQ(early.date, date(1980, 1, 1));
  EXPECT_EQ(early.time, 0);
}

}  // namespace
}  // namespace tw
