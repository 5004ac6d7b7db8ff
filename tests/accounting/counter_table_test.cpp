#include "accounting/counter_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void putUint32(std::vector<uint8_t>& buffer, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4 && offset + i < buffer.size(); ++i) buffer[offset + i] = uint8_t(value >> (8 * i));
}

struct RowBytes {
  uint32_t inOctets;
  uint32_t outOctets;
};

// A MIB_IFTABLE image: the count, then one 860-byte row per entry.
std::vector<uint8_t> tableImage(const std::vector<RowBytes>& rows) {
  std::vector<uint8_t> buffer(kIfTableHeaderSize + rows.size() * kIfRowSize, 0xEE);
  putUint32(buffer, 0, uint32_t(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    putUint32(buffer, kIfTableHeaderSize + i * kIfRowSize + kInOctetsOffset, rows[i].inOctets);
    putUint32(buffer, kIfTableHeaderSize + i * kIfRowSize + kOutOctetsOffset, rows[i].outOctets);
  }
  return buffer;
}

// Stands in for GetIfTable: answers the size query with `reportedSize`, then copies
// `image` into the caller's buffer and returns `fillResult`.
struct FakeSystem {
  int32_t reportedSize = 0;
  std::vector<uint8_t> image;
  uint32_t fillResult = 0;
  std::vector<bool> sortedArgs;
  std::vector<uint32_t> sizeArgs;

  void serve(std::vector<uint8_t> newImage) {
    image = std::move(newImage);
    reportedSize = int32_t(image.size());
    fillResult = 0;
  }

  InterfaceTableReader reader() {
    return [this](uint8_t* buffer, uint32_t* size, bool sorted) -> uint32_t {
      sortedArgs.push_back(sorted);
      sizeArgs.push_back(*size);
      if (buffer == nullptr || *size == 0) {
        *size = uint32_t(reportedSize);
        return 122;  // ERROR_INSUFFICIENT_BUFFER
      }
      for (uint32_t i = 0; i < *size; ++i) EXPECT_EQ(buffer[i], 0) << "buffer not zeroed at " << i;
      std::memcpy(buffer, image.data(), std::min<size_t>(*size, image.size()));
      return fillResult;
    };
  }
};

void expectRows(const CounterTable& table, const std::vector<InterfaceCounters>& expected) {
  ASSERT_EQ(rowCount(table), int32_t(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(row(table, int32_t(i + 1)).received, expected[i].received) << "row " << i + 1;
    EXPECT_EQ(row(table, int32_t(i + 1)).sent, expected[i].sent) << "row " << i + 1;
  }
}

TEST(CounterTable, ReadsEachRowAtItsOffsetWithSortedSecondCall) {
  FakeSystem system;
  system.serve(tableImage({{100, 200}, {0xFFFFFFF0u, 0x80000000u}, {7, 0x01020304}}));
  CounterTable table = createEmptyCounterTable(system.reader());
  EXPECT_EQ(rowCount(table), 0);

  refreshCounterTable(table);

  expectRows(table, {{100, 200}, {-16, INT32_MIN}, {7, 0x01020304}});
  // The third row's sent counter is bytes 2,300..2,303 of the buffer.
  EXPECT_EQ(kIfTableHeaderSize + 2 * kIfRowSize + kOutOctetsOffset, 2300u);
  // Size query first (size 0, unsorted), then the fill with that size, sorted.
  EXPECT_EQ(system.sortedArgs, (std::vector<bool>{false, true}));
  EXPECT_EQ(system.sizeArgs, (std::vector<uint32_t>{0, uint32_t(system.image.size())}));
}

TEST(CounterTable, FailedReadsKeepThePreviousRows) {
  FakeSystem system;
  CounterTable table = createEmptyCounterTable(system.reader());

  // A first refresh whose size query yields nothing leaves the table empty.
  system.reportedSize = 0;
  refreshCounterTable(table);
  EXPECT_EQ(rowCount(table), 0);

  system.serve(tableImage({{1, 2}, {3, 4}}));
  refreshCounterTable(table);
  expectRows(table, {{1, 2}, {3, 4}});

  // Second call fails (the table grew in between): the earlier rows stay, values included.
  system.serve(tableImage({{9, 9}, {9, 9}, {9, 9}}));
  system.fillResult = 122;
  refreshCounterTable(table);
  expectRows(table, {{1, 2}, {3, 4}});

  // A size that reads as negative is no size at all.
  system.serve(tableImage({{9, 9}}));
  system.reportedSize = -16;
  refreshCounterTable(table);
  expectRows(table, {{1, 2}, {3, 4}});
}

TEST(CounterTable, ZeroRowsEmptyTheTable) {
  FakeSystem system;
  CounterTable table = createEmptyCounterTable(system.reader());
  system.serve(tableImage({{1, 2}}));
  refreshCounterTable(table);
  system.serve(tableImage({}));
  refreshCounterTable(table);
  EXPECT_EQ(rowCount(table), 0);
  EXPECT_EQ(row(table, 1).received, 0);
}

TEST(CounterTable, RowsPastTheBufferReadAsZero) {
  FakeSystem system;
  CounterTable table = createEmptyCounterTable(system.reader());

  // The count claims three rows; the buffer ends inside row 1, after its in-counter.
  std::vector<uint8_t> image = tableImage({{0x11111111, 0x22222222}});
  putUint32(image, 0, 3);
  image.resize(kIfTableHeaderSize + kInOctetsOffset + 4 + 10);
  system.serve(image);
  refreshCounterTable(table);
  expectRows(table, {{0x11111111, 0}, {0, 0}, {0, 0}});

  // A wild count over a tiny buffer gives that many zero rows without storing them.
  image = tableImage({{5, 6}});
  putUint32(image, 0, 0x7FFFFFFF);
  system.serve(image);
  refreshCounterTable(table);
  EXPECT_EQ(rowCount(table), 0x7FFFFFFF);
  EXPECT_EQ(row(table, 1).sent, 6);
  EXPECT_EQ(row(table, 0x7FFFFFFF).received, 0);

  // A buffer too short even for the count.
  system.image = {3, 0};
  system.reportedSize = 2;
  refreshCounterTable(table);
  EXPECT_EQ(rowCount(table), 3);
  EXPECT_EQ(row(table, 1).received, 0);
}

}  // namespace
