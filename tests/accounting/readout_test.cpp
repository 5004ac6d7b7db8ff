#include "accounting/readout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "accounting/number_format.h"

namespace {

TEST(NumberFormat, SpeedsFromBytesInOneStep) {
  const struct {
    int32_t bytes;
    const char* text;
  } cases[] = {
      {0, "0.0KB/S"},          {51, "0.0KB/S"},
      {52, "0.1KB/S"},         {256, "0.3KB/S"},
      {1024, "1.0KB/S"},       {1536, "1.5KB/S"},
      {12636, "12.3KB/S"},     {102400, "100.0KB/S"},
      {1048575, "1024.0KB/S"}, {1048576, "1024.0KB/S"},
      {123456789, "120563.3KB/S"}, {2147483647, "2097152.0KB/S"},
      {-10, "0.0KB/S"},        {-52, "-0.1KB/S"},
      {-2048, "-2.0KB/S"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatSpeed(c.bytes / 1024.0), c.text) << c.bytes << " bytes";
}

TEST(NumberFormat, VolumesFromThe32BitFloat) {
  const struct {
    float mb;
    const char* text;
  } cases[] = {
      {0.0f, "0MB"},         {0.04f, "0MB"},         {0.05f, "0.1MB"},     {0.15f, "0.2MB"},
      {0.25f, "0.3MB"},      {0.35f, "0.3MB"},       {1.0f, "1MB"},        {12.34f, "12.3MB"},
      {12.96f, "13MB"},      {99.95f, "99.9MB"},     {1023.96f, "1024MB"}, {1024.0f, "1024MB"},
      {1024.0001f, "1GB"},   {1075.2f, "1GB"},       {1076.0f, "1.1GB"},   {1536.0f, "1.5GB"},
      {10240.0f, "10GB"},    {1048576.0f, "1024GB"},
      {18014398509481984.0f, "1.759218604442e+013GB"},  // 2^54 MB
  };
  for (const auto& c : cases) EXPECT_EQ(formatVolume(c.mb), c.text) << double(c.mb);
  // The switch to GB comes with the first float above 1024.
  EXPECT_EQ(formatVolume(std::nextafter(1024.0f, 2048.0f)), "1GB");
  EXPECT_EQ(double(std::nextafter(1024.0f, 2048.0f)), 1024.0001220703125);
}

TEST(NumberFormat, IntegersAsPlainDecimals) {
  const struct {
    int32_t n;
    const char* text;
  } cases[] = {{0, "0"}, {5, "5"}, {-3, "-3"}, {255, "255"}, {516756, "516756"},
               {INT32_MIN, "-2147483648"}, {INT32_MAX, "2147483647"}};
  for (const auto& c : cases) EXPECT_EQ(formatInteger(c.n), c.text);
}

TEST(NumberFormat, RealToIntegerTruncatesAndKeepsTheLow32Bits) {
  const struct {
    double x;
    int32_t n;
  } cases[] = {
      {605.5, 605},     {-7.9, -7},         {1536.9, 1536},           {0.7, 0},
      {-1200.0, -1200}, {4294967296.0, 0},  {4294967297.9, 1},        {2147483648.0, INT32_MIN},
      {1e30, -1},       {-1e30, 0},         {std::nan(""), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(truncateToInt32(c.x), c.n) << c.x;
}

TEST(NumberFormat, LeadingIntegerReadsLikeAtoiAndSaturates) {
  const struct {
    const char* text;
    int32_t n;
  } cases[] = {
      {"", 0},          {"14", 14},       {"  -3", -3},      {"+7", 7},
      {"12-345", 12},   {"-", 0},         {"--5", 0},        {"abc", 0},
      {"007", 7},       {"2147483647", 2147483647},          {"2147483648", 2147483647},
      {"-2147483648", INT32_MIN},         {"-2147483649", INT32_MIN},
      {"99999999999999999999999", 2147483647},               {"-99999999999", INT32_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(parseLeadingInteger(c.text), c.n) << '"' << c.text << '"';
}

TEST(NumberFormat, GeneralFormLikePercentPoint13g) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {12.3, "12.3"},
      {12.0, "12"},
      {0.1, "0.1"},
      {-2.0, "-2"},
      {-0.0, "0"},
      {0.0001, "0.0001"},
      {0.00001234, "1.234e-005"},
      {2.5e-5, "2.5e-005"},
      {1e13, "1e+013"},
      {1234567890123.0, "1234567890123"},
      {12345678901234.0, "1.234567890123e+013"},
      {1e100, "1e+100"},
      {-1.5e-300, "-1.5e-300"},
      {1.0 / 3.0, "0.3333333333333"},
      {9999999999999.5, "1e+013"},        // rounding carries into the exponent
      {1234567890122.5, "1234567890123"},  // a following 5 rounds up, not to even
      {0.30000000000000004, "0.3"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatGeneral(c.x), c.text) << c.text;
}

TEST(NumberFormat, RoundDecimalHalvesAwayFromZero) {
  EXPECT_EQ(roundDecimal(0.145, 2), 0.15);  // 14.499999999999998 once scaled
  EXPECT_EQ(roundDecimal(0.25, 1), 0.3);
  EXPECT_EQ(roundDecimal(-0.25, 1), -0.3);
  EXPECT_EQ(roundDecimal(2.5, 0), 3.0);
  EXPECT_EQ(roundDecimal(-2.5, 0), -3.0);
  EXPECT_EQ(roundDecimal(12.34, 1), 12.3);
  const double negativeZero = roundDecimal(-0.04, 1);
  EXPECT_EQ(negativeZero, 0.0);
  EXPECT_TRUE(std::signbit(negativeZero));
  EXPECT_EQ(formatFixed(-0.04, 1), "0.0");
}

TEST(NumberFormat, FixedFillsTheDecimals) {
  EXPECT_EQ(formatFixed(0, 1), "0.0");
  EXPECT_EQ(formatFixed(12.34, 1), "12.3");
  EXPECT_EQ(formatFixed(1, 3), "1.000");
  EXPECT_EQ(formatFixed(0.5, 2), "0.50");
}

TEST(Readout, SevenTextsInLabelOrder) {
  TrafficSample sample;
  sample.downloadBytes = 12636;
  sample.downloadSpeedKB = 12636 / 1024.0;
  sample.uploadBytes = -2048;
  sample.uploadSpeedKB = -2.0;
  TrafficAccount account;
  account.totalMB = 1536.0f;
  account.downloadedMB = 12.34f;
  account.uploadedMB = 0.15f;

  const TrafficReadout readout = buildReadout(sample, account);
  EXPECT_EQ(readout.downloadSpeedText, "12.3KB/S");
  EXPECT_EQ(readout.uploadSpeedText, "-2.0KB/S");
  EXPECT_EQ(readout.downloadSpeedLine, "下载速度：12.3KB/S");
  EXPECT_EQ(readout.uploadSpeedLine, "上传速度：-2.0KB/S");
  EXPECT_EQ(readout.totalLine, "合计总流量：1.5GB");
  EXPECT_EQ(readout.downloadedLine, "已下载流量：12.3MB");
  EXPECT_EQ(readout.uploadedLine, "已上传流量：0.2MB");
  // The prefix colon is the full-width one.
  EXPECT_EQ(readout.totalLine.substr(10, 2), "\xA3\xBA");

  const auto captions = labelCaptions(readout);
  const char* expectedOrder[] = {"接收透明标签", "下载速度", "发送透明标签", "上传速度",
                                 "流量标签", "下载流量透明标签", "上传流量透明标签"};
  const std::string expectedCaptions[] = {
      readout.downloadSpeedText, readout.downloadSpeedLine, readout.uploadSpeedText, readout.uploadSpeedLine,
      readout.totalLine,         readout.downloadedLine,    readout.uploadedLine};
  for (size_t i = 0; i < captions.size(); ++i) {
    EXPECT_STREQ(captions[i].label, expectedOrder[i]) << i;
    EXPECT_EQ(captions[i].caption, expectedCaptions[i]) << i;
  }
}

TEST(Readout, FirstStepShowsZeros) {
  TrafficAccount account;
  const TrafficReadout readout = buildReadout(updateTraffic(account, CounterTable{}, 1), account);
  EXPECT_EQ(readout.downloadSpeedText, "0.0KB/S");
  EXPECT_EQ(readout.uploadSpeedText, "0.0KB/S");
  EXPECT_EQ(readout.downloadSpeedLine, "下载速度：0.0KB/S");
  EXPECT_EQ(readout.uploadSpeedLine, "上传速度：0.0KB/S");
  EXPECT_EQ(readout.totalLine, "合计总流量：0MB");
}

}  // namespace
