#pragma once
// The program's copy of the system's interface table: for every interface, in
// ascending interface-index order, its two 32-bit octet counters.

#include <cstdint>
#include <functional>
#include <vector>

// Counters as the system keeps them (unsigned, wrapping at 2^32), stored bit for bit
// in signed fields: only differences modulo 2^32 mean anything.
struct InterfaceCounters {
  int32_t received = 0;
  int32_t sent = 0;
};

// Fills `buffer` (of `*size` bytes) with a MIB_IFTABLE and returns 0 on success,
// following GetIfTable's contract: called with *size 0 it writes the size it needs.
using InterfaceTableReader = std::function<uint32_t(uint8_t* buffer, uint32_t* size, bool sorted)>;

struct CounterTable {
  InterfaceTableReader reader;
  // Rows the last successful read reported (dwNumEntries).
  int32_t count = 0;
  // The rows that read's buffer covered; rows past them read as zero counters.
  std::vector<InterfaceCounters> rows;
};

// Layout of MIB_IFTABLE / MIB_IFROW as the program reads it.
inline constexpr uint32_t kIfRowSize = 860;
inline constexpr uint32_t kIfTableHeaderSize = 4;
inline constexpr uint32_t kInOctetsOffset = 552;
inline constexpr uint32_t kOutOctetsOffset = 576;

CounterTable createEmptyCounterTable(InterfaceTableReader reader);

// Reads the system table and replaces all rows; a read that fails leaves the table as it was.
void refreshCounterTable(CounterTable& table);

int32_t rowCount(const CounterTable& table);

// The row at a 1-based position; positions outside 1 .. rowCount() read as zero counters.
InterfaceCounters row(const CounterTable& table, int32_t position);
