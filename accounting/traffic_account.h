#pragma once
// Turns the change of the watched interface's counters into speeds and volumes.

#include <cstdint>

#include "accounting/counter_table.h"

inline constexpr double kBytesPerKB = 1024.0;
inline constexpr double kBytesPerMB = 1048576.0;

struct TrafficAccount {
  // Counters of the watched row at the previous step; 0 means "not yet seeded".
  int32_t previousReceived = 0;
  int32_t previousSent = 0;
  // Volumes in MB, kept as 32-bit floats; totalMB may start from the stored running total.
  float downloadedMB = 0;
  float uploadedMB = 0;
  float totalMB = 0;
};

struct TrafficSample {
  int32_t downloadBytes = 0;
  int32_t uploadBytes = 0;
  double downloadSpeedKB = 0;
  double uploadSpeedKB = 0;
};

// (current - previous) modulo 2^32, as a signed 32-bit number: right across a counter wrap.
int32_t diff32(int32_t current, int32_t previous);

// One accounting step on the row at `monitorNumber` (1-based). A number outside the
// table reads no row, accounts nothing and unseeds, so the first step back in range
// starts afresh.
TrafficSample updateTraffic(TrafficAccount& account, const CounterTable& table, int32_t monitorNumber);

// Start-up only: the running total carried over from the previous run.
void setTotalMB(TrafficAccount& account, float value);

// The watched interface changed: the next step seeds from the new interface's counters
// instead of taking a difference between two different interfaces.
void reseedTraffic(TrafficAccount& account);
