#include "platform/shape.h"

std::vector<PixelRun> shapeRuns(const Picture& picture, Rgb key) {
  std::vector<PixelRun> runs;
  for (int32_t y = 0; y < picture.height; ++y) {
    int32_t x = 0;
    while (x < picture.width) {
      while (x < picture.width && picture.at(x, y) == key) ++x;
      const int32_t start = x;
      while (x < picture.width && !(picture.at(x, y) == key)) ++x;
      if (x > start) runs.push_back({start, y, x, y + 1});
    }
  }
  return runs;
}
