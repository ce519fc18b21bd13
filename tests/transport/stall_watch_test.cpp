#include "transport/stall_watch.h"

#include <gtest/gtest.h>

#include <thread>

namespace pagewire::transport {
namespace {

using std::chrono::milliseconds;

TEST(StallWatch, WaitsBetweenLooksNoLongerThanItsShortestLimitOrASecond) {
  const struct {
    StallPolicy policy;
    int wait;
  } cases[] = {
      {{milliseconds(0), milliseconds(0)}, -1},     {{milliseconds(0), milliseconds(450)}, 450},
      {{milliseconds(300), milliseconds(0)}, 300},  {{milliseconds(300), milliseconds(200)}, 200},
      {{milliseconds(1), milliseconds(0)}, 1},      {{milliseconds(5000), milliseconds(0)}, 1000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StallWatch(c.policy, nullptr).WaitMillis(), c.wait)
        << c.policy.notice.count() << " " << c.policy.timeout.count();
  }
}

TEST(StallWatch, TellsEachNoticeIntervalOnceAndGivesUpOnlyAtATimeout) {
  std::vector<std::string> told;
  StallWatch watch({milliseconds(20), milliseconds(0)},
                   [&told](const std::string& text) { told.push_back(text); });
  std::string cause;
  EXPECT_TRUE(watch.KeepWaiting(cause));
  EXPECT_TRUE(told.empty());
  std::this_thread::sleep_for(milliseconds(30));
  EXPECT_TRUE(watch.KeepWaiting(cause));
  EXPECT_TRUE(watch.KeepWaiting(cause));
  EXPECT_EQ(told, std::vector<std::string>{"The printer has not taken data for 0 s."});
  EXPECT_TRUE(cause.empty());

  StallWatch ending({milliseconds(0), milliseconds(10)}, nullptr);
  EXPECT_TRUE(ending.KeepWaiting(cause));
  std::this_thread::sleep_for(milliseconds(20));
  ending.Moved();
  EXPECT_TRUE(ending.KeepWaiting(cause));
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_FALSE(ending.KeepWaiting(cause));
  EXPECT_EQ(cause, "The printer has taken no data for 0 s: the job is ended.");
}

}  // namespace
}  // namespace pagewire::transport
