#include "accounting/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kGeneralDigits = 13;
constexpr double kRoundingNudge = 1e-12;

// Drops trailing zeros after a decimal point, and the point itself when nothing follows.
void trimFraction(std::string& s) {
  if (s.find('.') == std::string::npos) return;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
}

}  // namespace

double roundDecimal(double x, int n) {
  if (x == 0) return x;
  const bool negative = std::signbit(x);
  const double scale = std::pow(10.0, n);
  const double t = std::fabs(x) * scale;
  const double u = t + kRoundingNudge;
  double i = 0;
  const double f = std::modf(u, &i);
  if (f >= 0.5) i += 1;
  const double r = i / scale;
  return negative ? -r : r;
}

std::string formatGeneral(double x) {
  if (x == 0) return "0";
  if (!std::isfinite(x)) return std::isnan(x) ? "nan" : (x < 0 ? "-inf" : "inf");

  // The exact decimal expansion (a double has at most 767 significant digits), then
  // 13 significant digits with a following 5 or more rounding up.
  char buffer[1100];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::scientific, 800);
  const std::string exact(buffer, result.ptr);
  const size_t ePos = exact.find('e');
  int exponent = std::atoi(exact.c_str() + ePos + 1);
  std::string digits = exact.substr(0, 1) + exact.substr(2, ePos - 2);

  const bool roundUp = digits[kGeneralDigits] >= '5';
  digits.resize(kGeneralDigits);
  if (roundUp) {
    int i = kGeneralDigits - 1;
    while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<size_t>(i)];
    } else {  // 9.99...9 became 10.00...0
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    }
  }

  std::string out = x < 0 ? "-" : "";
  if (exponent >= -4 && exponent < kGeneralDigits) {
    std::string plain;
    if (exponent < 0) {
      plain = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
      const auto intDigits = static_cast<size_t>(exponent + 1);
      plain = digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
    trimFraction(plain);
    return out + plain;
  }

  std::string mantissa = digits.substr(0, 1) + "." + digits.substr(1);
  trimFraction(mantissa);
  std::string exponentDigits = std::to_string(std::abs(exponent));
  if (exponentDigits.size() < 3) exponentDigits.insert(0, 3 - exponentDigits.size(), '0');
  return out + mantissa + "e" + (exponent < 0 ? "-" : "+") + exponentDigits;
}

std::string formatFixed(double x, int d) {
  std::string s = formatGeneral(roundDecimal(x, d));
  const size_t point = s.find('.');
  if (point == std::string::npos) return s + "." + std::string(static_cast<size_t>(d), '0');
  const size_t decimals = s.size() - point - 1;
  if (decimals < static_cast<size_t>(d)) s.append(static_cast<size_t>(d) - decimals, '0');
  return s;
}

std::string formatInteger(int32_t n) { return std::to_string(n); }

int32_t parseLeadingInteger(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  int64_t magnitude = 0;
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    magnitude = std::min(magnitude * 10 + (text[pos] - '0'), kLimit);
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return static_cast<int32_t>(std::min<int64_t>(magnitude, INT32_MAX));
}

int32_t truncateToInt32(double x) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (std::isnan(x)) return 0;
  int64_t whole;
  if (x >= kTwoTo63) {
    whole = INT64_MAX;
  } else if (x < -kTwoTo63) {
    whole = INT64_MIN;
  } else {
    whole = static_cast<int64_t>(x);  // truncates toward zero
  }
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

std::string formatSpeed(double kb) { return formatFixed(kb, 1) + "KB/S"; }

std::string formatVolume(float mb) {
  constexpr double kMBPerGB = 1024.0;
  constexpr double kSwitchMargin = 1e-7;
  const double value = mb;
  if (value - kMBPerGB > kSwitchMargin) return formatGeneral(roundDecimal(value / kMBPerGB, 1)) + "GB";
  return formatGeneral(roundDecimal(value, 1)) + "MB";
}
