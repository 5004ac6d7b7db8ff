#pragma once
// A picture as a plain pixel buffer: window backgrounds and shapes, and screenshots in tests.

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// 0xRRGGBB, the way the key colour of a shape is given (magenta is 0xFF00FF).
inline constexpr Rgb rgbFromHex(uint32_t hex) {
  return Rgb{uint8_t(hex >> 16), uint8_t(hex >> 8), uint8_t(hex)};
}

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Rgb> pixels;  // row by row, top row first

  Picture() = default;
  Picture(int32_t w, int32_t h, Rgb fill = {}) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

  bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Rgb at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  void set(int32_t x, int32_t y, Rgb c) { pixels[size_t(y) * size_t(width) + size_t(x)] = c; }
};
