#include "accounting/counter_table.h"

#include <algorithm>
#include <utility>

namespace {

// Little-endian signed 32-bit value at `offset`; bytes past the buffer read as zero.
int32_t readInt32(const std::vector<uint8_t>& buffer, uint64_t offset) {
  uint32_t value = 0;
  for (uint64_t i = 0; i < 4; ++i) {
    if (offset + i < buffer.size()) value |= uint32_t{buffer[offset + i]} << (8 * i);
  }
  return static_cast<int32_t>(value);
}

}  // namespace

CounterTable createEmptyCounterTable(InterfaceTableReader reader) {
  CounterTable table;
  table.reader = std::move(reader);
  return table;
}

void refreshCounterTable(CounterTable& table) {
  if (!table.reader) return;

  uint32_t size = 0;
  table.reader(nullptr, &size, false);
  if (static_cast<int32_t>(size) <= 0) return;

  std::vector<uint8_t> buffer(size, 0);
  // A table that grew since the size query fails here; the next tick tries again.
  if (table.reader(buffer.data(), &size, true) != 0) return;

  const int32_t count = std::max(readInt32(buffer, 0), 0);
  // dwNumEntries is not checked against the buffer: rows the buffer does not cover read
  // as zero. Only covered rows are stored, so a bogus count cannot exhaust memory.
  const uint64_t covered = buffer.size() > kIfTableHeaderSize
      ? (buffer.size() - kIfTableHeaderSize + kIfRowSize - 1) / kIfRowSize
      : 0;
  const auto stored = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(count), covered));

  table.rows.assign(stored, InterfaceCounters{});
  for (size_t i = 0; i < stored; ++i) {
    const uint64_t base = kIfTableHeaderSize + uint64_t{i} * kIfRowSize;
    table.rows[i].received = readInt32(buffer, base + kInOctetsOffset);
    table.rows[i].sent = readInt32(buffer, base + kOutOctetsOffset);
  }
  table.count = count;
}

int32_t rowCount(const CounterTable& table) { return table.count; }

InterfaceCounters row(const CounterTable& table, int32_t position) {
  if (position < 1 || position > table.count) return {};
  const auto index = static_cast<size_t>(position - 1);
  return index < table.rows.size() ? table.rows[index] : InterfaceCounters{};
}
