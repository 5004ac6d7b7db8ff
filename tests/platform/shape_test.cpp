#include "platform/shape.h"

#include <gtest/gtest.h>

namespace {

constexpr Rgb kKey{255, 0, 255};
constexpr Rgb kInk{10, 20, 30};

TEST(Shape, RunsCoverExactlyTheNonKeyPixels) {
  // Row 0 all key; row 1 two runs; row 2 a run to the right edge; near-key colours count.
  Picture picture(6, 3, kKey);
  picture.set(0, 1, kInk);
  picture.set(1, 1, kInk);
  picture.set(4, 1, Rgb{255, 0, 254});
  picture.set(3, 2, kInk);
  picture.set(4, 2, kInk);
  picture.set(5, 2, kInk);

  const std::vector<PixelRun> runs = shapeRuns(picture, kKey);
  ASSERT_EQ(runs.size(), 3u);
  const PixelRun expected[] = {{0, 1, 2, 2}, {4, 1, 5, 2}, {3, 2, 6, 3}};
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].left, expected[i].left) << i;
    EXPECT_EQ(runs[i].top, expected[i].top) << i;
    EXPECT_EQ(runs[i].right, expected[i].right) << i;
    EXPECT_EQ(runs[i].bottom, expected[i].bottom) << i;
  }
  EXPECT_TRUE(shapeRuns(Picture(4, 4, kKey), kKey).empty());
  EXPECT_EQ(shapeRuns(Picture(4, 4, kInk), kKey).size(), 4u);
}

}  // namespace
