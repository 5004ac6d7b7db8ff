#pragma once
// The seven texts shown after every accounting step.

#include <array>
#include <string>

#include "accounting/traffic_account.h"

struct TrafficReadout {
  std::string downloadSpeedText;  // bar, left half
  std::string uploadSpeedText;    // bar, right half
  std::string downloadSpeedLine;  // panel lines from here on
  std::string uploadSpeedLine;
  std::string totalLine;
  std::string downloadedLine;
  std::string uploadedLine;
};

TrafficReadout buildReadout(const TrafficSample& sample, const TrafficAccount& account);

// A caption and the control it goes to, in the order the labels are written each step.
struct LabelCaption {
  const char* label;
  std::string caption;
};
inline constexpr size_t kReadoutLabelCount = 7;

std::array<LabelCaption, kReadoutLabelCount> labelCaptions(const TrafficReadout& readout);
