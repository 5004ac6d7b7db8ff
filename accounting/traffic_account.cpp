#include "accounting/traffic_account.h"

namespace {

// Bytes since the previous reading in one direction. A counter seen for the first time
// seeds the baseline; one that went back (the interface was reset or replaced) counts
// nothing and becomes the new baseline, instead of showing a negative speed.
int32_t advance(int32_t current, int32_t& previous) {
  if (previous == 0) previous = current;
  const int32_t bytes = diff32(current, previous);
  previous = current;
  return bytes < 0 ? 0 : bytes;
}

float addMB(float volume, double incrementMB) {
  return static_cast<float>(static_cast<double>(volume) + incrementMB);
}

}  // namespace

int32_t diff32(int32_t current, int32_t previous) {
  return static_cast<int32_t>(static_cast<uint32_t>(current) - static_cast<uint32_t>(previous));
}

TrafficSample updateTraffic(TrafficAccount& account, const CounterTable& table, int32_t monitorNumber) {
  TrafficSample sample;
  if (monitorNumber < 1 || monitorNumber > rowCount(table)) {
    reseedTraffic(account);
    return sample;
  }

  const InterfaceCounters r = row(table, monitorNumber);
  sample.downloadBytes = advance(r.received, account.previousReceived);
  sample.downloadSpeedKB = sample.downloadBytes / kBytesPerKB;
  sample.uploadBytes = advance(r.sent, account.previousSent);
  sample.uploadSpeedKB = sample.uploadBytes / kBytesPerKB;

  account.downloadedMB = addMB(account.downloadedMB, sample.downloadBytes / kBytesPerMB);
  account.uploadedMB = addMB(account.uploadedMB, sample.uploadBytes / kBytesPerMB);
  account.totalMB = addMB(account.totalMB, (sample.downloadSpeedKB + sample.uploadSpeedKB) / kBytesPerKB);
  return sample;
}

void setTotalMB(TrafficAccount& account, float value) { account.totalMB = value; }

void reseedTraffic(TrafficAccount& account) {
  account.previousReceived = 0;
  account.previousSent = 0;
}
