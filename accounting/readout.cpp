#include "accounting/readout.h"

#include "accounting/number_format.h"

TrafficReadout buildReadout(const TrafficSample& sample, const TrafficAccount& account) {
  TrafficReadout readout;
  readout.downloadSpeedText = formatSpeed(sample.downloadSpeedKB);
  readout.uploadSpeedText = formatSpeed(sample.uploadSpeedKB);
  readout.downloadSpeedLine = "下载速度：" + readout.downloadSpeedText;
  readout.uploadSpeedLine = "上传速度：" + readout.uploadSpeedText;
  readout.totalLine = "合计总流量：" + formatVolume(account.totalMB);
  readout.downloadedLine = "已下载流量：" + formatVolume(account.downloadedMB);
  readout.uploadedLine = "已上传流量：" + formatVolume(account.uploadedMB);
  return readout;
}

std::array<LabelCaption, kReadoutLabelCount> labelCaptions(const TrafficReadout& readout) {
  // Bar halves and panel lines interleaved: each panel speed line right after the bar
  // label whose text it repeats.
  return {{
      {"接收透明标签", readout.downloadSpeedText},
      {"下载速度", readout.downloadSpeedLine},
      {"发送透明标签", readout.uploadSpeedText},
      {"上传速度", readout.uploadSpeedLine},
      {"流量标签", readout.totalLine},
      {"下载流量透明标签", readout.downloadedLine},
      {"上传流量透明标签", readout.uploadedLine},
  }};
}
