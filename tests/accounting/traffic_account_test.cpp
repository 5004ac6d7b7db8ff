#include "accounting/traffic_account.h"

#include <gtest/gtest.h>

namespace {

CounterTable tableOf(std::vector<InterfaceCounters> rows) {
  CounterTable table;
  table.count = int32_t(rows.size());
  table.rows = std::move(rows);
  return table;
}

// Steps the account through successive readings of a one-row table.
TrafficSample step(TrafficAccount& account, int32_t received, int32_t sent) {
  return updateTraffic(account, tableOf({{received, sent}}), 1);
}

TEST(TrafficAccount, FirstStepSeedsThenCountsTheDifference) {
  TrafficAccount account;
  TrafficSample first = step(account, 5000, 7000);
  EXPECT_EQ(first.downloadBytes, 0);
  EXPECT_EQ(first.uploadBytes, 0);
  EXPECT_EQ(first.downloadSpeedKB, 0.0);
  EXPECT_EQ(account.totalMB, 0.0f);

  TrafficSample next = step(account, 5000 + 12636, 7000 + 1536);
  EXPECT_EQ(next.downloadBytes, 12636);
  EXPECT_EQ(next.uploadBytes, 1536);
  EXPECT_EQ(next.downloadSpeedKB, 12.33984375);
  EXPECT_EQ(next.uploadSpeedKB, 1.5);
  EXPECT_EQ(account.downloadedMB, float(12636 / 1048576.0));
  EXPECT_EQ(account.uploadedMB, float(1536 / 1048576.0));
  EXPECT_EQ(account.totalMB, float(14172 / 1048576.0));

  // A refresh that failed leaves the table as it was: nothing moved this step.
  TrafficSample unchanged = step(account, 5000 + 12636, 7000 + 1536);
  EXPECT_EQ(unchanged.downloadBytes, 0);
  EXPECT_EQ(unchanged.uploadBytes, 0);
}

TEST(TrafficAccount, CountersWrapAcrossTheSignBoundaryAnd2To32) {
  struct Case {
    uint32_t previous, current;
    int32_t bytes;
  };
  const Case cases[] = {
      {0xFFFFFF00u, 0x00000100u, 512},
      {0x7FFFFF00u, 0x80000100u, 512},
      {0x00000001u, 0x7FFFFFFFu, 0x7FFFFFFE},
  };
  for (const Case& c : cases) {
    TrafficAccount account;
    step(account, int32_t(c.previous), int32_t(c.previous));
    TrafficSample s = step(account, int32_t(c.current), int32_t(c.current));
    EXPECT_EQ(s.downloadBytes, c.bytes) << std::hex << c.previous << " -> " << c.current;
    EXPECT_EQ(s.uploadBytes, c.bytes) << std::hex << c.previous << " -> " << c.current;
  }
}

TEST(TrafficAccount, CounterThatGoesBackCountsNothingAndBecomesTheBaseline) {
  TrafficAccount account;
  step(account, 1000, 1000);
  step(account, 3000, 2000);
  const float downloaded = account.downloadedMB, total = account.totalMB;

  // The interface was reset: received went back, sent went on.
  TrafficSample reset = step(account, 500, 2500);
  EXPECT_EQ(reset.downloadBytes, 0);
  EXPECT_EQ(reset.downloadSpeedKB, 0.0);
  EXPECT_EQ(reset.uploadBytes, 500);
  EXPECT_EQ(account.downloadedMB, downloaded);
  EXPECT_EQ(account.totalMB, float(double(total) + 500 / 1048576.0));

  TrafficSample after = step(account, 800, 2500);
  EXPECT_EQ(after.downloadBytes, 300);

  // Back to exactly 0: that reading unseeds, so the next step seeds again.
  step(account, 0, 2500);
  EXPECT_EQ(step(account, 4000, 2500).downloadBytes, 0);
  EXPECT_EQ(step(account, 4100, 2500).downloadBytes, 100);
}

TEST(TrafficAccount, OneMebibyteAddsExactlyOne) {
  TrafficAccount account;
  step(account, 1, 1);
  step(account, 1 + 1048576, 1);
  EXPECT_EQ(account.downloadedMB, 1.0f);
  EXPECT_EQ(account.uploadedMB, 0.0f);
  EXPECT_EQ(account.totalMB, 1.0f);
}

TEST(TrafficAccount, LargeVolumesAbsorbSmallSteps) {
  struct Case {
    float volume;
    int32_t bytes;
    double expected;
  };
  const Case cases[] = {
      {1024.0f, 64, 1024.0},
      {1024.0f, 65, 1024.0001220703125},
      {1048576.0f, 65536, 1048576.0},
      {1048576.0f, 65537, 1048576.125},
      {16777216.0f, 1048576, 16777216.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.volume << " + " << c.bytes << " bytes");
    TrafficAccount down;
    down.downloadedMB = down.totalMB = c.volume;
    step(down, 1, 1);
    step(down, 1 + c.bytes, 1);
    EXPECT_EQ(double(down.downloadedMB), c.expected);
    EXPECT_EQ(double(down.totalMB), c.expected);

    TrafficAccount up;
    up.uploadedMB = up.totalMB = c.volume;
    step(up, 1, 1);
    step(up, 1, 1 + c.bytes);
    EXPECT_EQ(double(up.uploadedMB), c.expected);
    EXPECT_EQ(double(up.totalMB), c.expected);
  }
}

TEST(TrafficAccount, NumberOutsideTheTableReadsNothingAndSeedsAfresh) {
  TrafficAccount account;
  const CounterTable two = tableOf({{1000, 2000}, {50000, 60000}});
  updateTraffic(account, two, 2);

  for (int32_t outside : {0, 3, -1, INT32_MAX, INT32_MIN}) {
    TrafficSample s = updateTraffic(account, two, outside);
    EXPECT_EQ(s.downloadBytes, 0) << outside;
    EXPECT_EQ(s.uploadBytes, 0) << outside;
    EXPECT_EQ(account.previousReceived, 0) << outside;
    EXPECT_EQ(account.previousSent, 0) << outside;
  }
  // Back in range: the first step seeds instead of taking the difference to row 2.
  EXPECT_EQ(updateTraffic(account, two, 1).downloadBytes, 0);
  EXPECT_EQ(account.downloadedMB, 0.0f);
  EXPECT_EQ(updateTraffic(account, tableOf({{1100, 2000}, {0, 0}}), 1).downloadBytes, 100);
}

TEST(TrafficAccount, ReseedOnInterfaceChangeAvoidsCrossInterfaceDifference) {
  TrafficAccount account;
  const CounterTable two = tableOf({{1000, 2000}, {50000000, 60000000}});
  updateTraffic(account, two, 1);
  reseedTraffic(account);
  TrafficSample s = updateTraffic(account, two, 2);
  EXPECT_EQ(s.downloadBytes, 0);
  EXPECT_EQ(s.uploadBytes, 0);
  EXPECT_EQ(account.totalMB, 0.0f);
  EXPECT_EQ(updateTraffic(account, tableOf({{0, 0}, {50000100, 60000200}}), 2).uploadBytes, 200);
}

TEST(TrafficAccount, SetTotalCarriesTheStoredTotal) {
  TrafficAccount account;
  setTotalMB(account, 1536.0f);
  step(account, 1, 1);
  step(account, 1 + 1048576, 1 + 1048576);
  EXPECT_EQ(account.totalMB, 1538.0f);
  EXPECT_EQ(account.downloadedMB, 1.0f);
}

}  // namespace
