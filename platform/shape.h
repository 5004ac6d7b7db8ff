#pragma once
// The visible part of a picture-shaped window: every pixel whose colour differs from the
// key colour, as one rectangle per run of such pixels in a row.

#include <cstdint>
#include <vector>

#include "platform/picture.h"

struct PixelRun {
  int32_t left;
  int32_t top;
  int32_t right;  // exclusive
  int32_t bottom;  // exclusive (top + 1)
};

std::vector<PixelRun> shapeRuns(const Picture& picture, Rgb key);
