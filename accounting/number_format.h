#pragma once
// How the program turns numbers into text. Every number the user sees goes through here.

#include <cstdint>
#include <string>
#include <string_view>

// Rounds to n decimals, halves away from zero; a 1e-12 nudge lets values that miss a
// half only by representation error (0.145 -> 14.499999999999998) round up too.
double roundDecimal(double x, int n);

// The "%.13g" form, produced the same way on every C library: at most 13 significant
// digits, trailing zeros dropped, exponent form with at least three exponent digits.
std::string formatGeneral(double x);

// Rounded to d decimals and written with exactly d digits after the point.
std::string formatFixed(double x, int d);

std::string formatInteger(int32_t n);

// The leading integer of a typed text, as atoi reads it (blanks, a sign, digits; 0 when
// there are none). Digits beyond a signed 32-bit number saturate at its limits.
int32_t parseLeadingInteger(std::string_view text);

// A real value stored as an integer: truncated toward zero to 64 bits, of which the low
// 32 are kept (605.5 -> 605, -7.9 -> -7). NaN gives 0 and magnitudes past 64 bits
// saturate first, where a plain conversion would be undefined.
int32_t truncateToInt32(double x);

// "12.3KB/S": KB moved in one step, one decimal.
std::string formatSpeed(double kb);

// "12.3MB" or "1.5GB", no padding; GB from the first value above 1024 MB.
std::string formatVolume(float mb);
