// Where the balloon goes and which pixels belong to it.
#include "platform/balloon_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

const Box kScreen{0, 0, 1920, 1080};
const BalloonStyle kNoticeStyle{3, 3, 9, 5, 1};
const BalloonStyle kMenuStyle{0, 0, 0, 0, 1};

BalloonStyle withPosition(BalloonStyle style, int position) {
  style.tailPosition = position;
  return style;
}

// In window coordinates.
bool inShape(const BalloonFrame& frame, int x, int y) {
  for (const Box& box : frame.shape) {
    if (box.contains(x, y)) return true;
  }
  return false;
}

int shapeRowWidth(const BalloonFrame& frame, int y) {
  int width = 0;
  for (int x = 0; x < frame.window.width(); ++x) width += inShape(frame, x, y);
  return width;
}

// Screen coordinates of the tip.
int tipLeft(const BalloonFrame& frame) { return frame.window.left + frame.tipX; }
int tipTop(const BalloonFrame& frame) { return frame.window.top + frame.tipY; }

TEST(BalloonGeometry, TheTipLiesOnTheAnchorForEveryTailPosition) {
  const struct {
    int position;
    int outX, outY;  // one pixel further out than the tip
    int bodyCentre;  // where the tip is along its edge: -1 before the body's middle, 0 on it, 1 after
  } cases[] = {
      {0, 0, -1, -1}, {1, 0, -1, 0}, {2, 0, -1, 1},  {3, -1, 0, -1}, {4, -1, 0, 0},  {5, -1, 0, 1},
      {6, 1, 0, -1},  {7, 1, 0, 0},  {8, 1, 0, 1},   {9, 0, 1, -1},  {10, 0, 1, 0},  {11, 0, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("tailPosition " + std::to_string(c.position));
    const BalloonFrame frame = placeBalloon(120, 60, withPosition(kNoticeStyle, c.position), 700, 500, kScreen);
    EXPECT_EQ(frame.tailPosition, c.position);
    EXPECT_EQ(tipLeft(frame), 700);
    EXPECT_EQ(tipTop(frame), 500);
    EXPECT_TRUE(inShape(frame, frame.tipX, frame.tipY));
    EXPECT_FALSE(inShape(frame, frame.tipX + c.outX, frame.tipY + c.outY));
    // Beside the tip (across the tail's direction) there is nothing either: a one-pixel point.
    EXPECT_FALSE(inShape(frame, frame.tipX + c.outY, frame.tipY + c.outX));
    EXPECT_FALSE(inShape(frame, frame.tipX - c.outY, frame.tipY - c.outX));
    // The tail is tailHeight long: the body starts right behind it, on the side away from the tip.
    const int behindX = frame.tipX - c.outX * 5, behindY = frame.tipY - c.outY * 5;
    EXPECT_TRUE(frame.body.contains(behindX, behindY));
    EXPECT_FALSE(frame.body.contains(behindX + c.outX, behindY + c.outY));
    const bool alongX = c.outY != 0;
    const int tipAlong = alongX ? frame.tipX - frame.body.left : frame.tipY - frame.body.top;
    const int middle = (alongX ? frame.body.width() : frame.body.height()) / 2;
    EXPECT_EQ((tipAlong > middle) - (tipAlong < middle), c.bodyCentre);
    // The text sits in the body with the padding around it.
    EXPECT_EQ(frame.text.width(), 120);
    EXPECT_EQ(frame.text.left - frame.body.left, frame.body.right - frame.text.right);
    EXPECT_GE(frame.text.left - frame.body.left, kBalloonPaddingX);
    EXPECT_GE(frame.text.top - frame.body.top, kBalloonPaddingY);
  }
}

TEST(BalloonGeometry, TheTailNarrowsEvenlyToItsTip) {
  const BalloonFrame frame = placeBalloon(100, 30, kNoticeStyle, 400, 300, kScreen);
  ASSERT_EQ(frame.tipY, 0);
  ASSERT_EQ(frame.body.top, 5);
  const int expectedWidths[] = {1, 1, 3, 5, 7};
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(shapeRowWidth(frame, row), expectedWidths[row]) << row;
    for (int d = 1; d <= 4; ++d) EXPECT_EQ(inShape(frame, frame.tipX - d, row), inShape(frame, frame.tipX + d, row));
  }
  EXPECT_EQ(shapeRowWidth(frame, 5), frame.body.width() - 2);  // the top row of the body, its corners cut
}

TEST(BalloonGeometry, WithoutATailTheMiddleOfTheEdgeLiesOnTheAnchor) {
  const BalloonFrame below = placeBalloon(150, 200, kMenuStyle, 772, 322, kScreen);
  EXPECT_EQ(below.window.top, 322);
  EXPECT_EQ(below.window.left + below.window.width() / 2, 772);
  EXPECT_EQ(below.body, (Box{0, 0, below.window.width(), below.window.height()}));
  EXPECT_EQ(below.window.width(), 150 + 2 * kBalloonPaddingX);
  EXPECT_EQ(below.window.height(), 200 + 2 * kBalloonPaddingY);

  const BalloonFrame above = placeBalloon(150, 200, withPosition(kMenuStyle, 10), 760, 501, kScreen);
  EXPECT_EQ(above.window.bottom - 1, 501);
  EXPECT_EQ(above.window.left + above.window.width() / 2, 760);

  const BalloonFrame beside = placeBalloon(150, 200, withPosition(kMenuStyle, 7), 760, 501, kScreen);
  EXPECT_EQ(beside.window.right - 1, 760);
  EXPECT_EQ(beside.window.top + beside.window.height() / 2, 501);

  // Square corners: the whole rectangle, in one piece.
  ASSERT_EQ(below.shape.size(), 1u);
  EXPECT_EQ(below.shape[0], below.body);
}

TEST(BalloonGeometry, CornersAreRoundedByTheirEllipse) {
  // 3 by 3 takes exactly the corner pixels.
  const BalloonFrame small = placeBalloon(100, 40, withPosition(kNoticeStyle, 10), 500, 500, kScreen);
  const Box body = small.body;
  for (const auto& [x, y, dx, dy] : {std::array{body.left, body.top, 1, 1}, std::array{body.right - 1, body.top, -1, 1},
                                      std::array{body.left, body.bottom - 1, 1, -1},
                                      std::array{body.right - 1, body.bottom - 1, -1, -1}}) {
    EXPECT_FALSE(inShape(small, x, y)) << x << "," << y;
    EXPECT_TRUE(inShape(small, x + dx, y)) << x << "," << y;
    EXPECT_TRUE(inShape(small, x, y + dy)) << x << "," << y;
  }

  // A larger ellipse cuts more near the corner than further in, the same at all four corners:
  // half its width on the outermost row, nothing from half its height on.
  const BalloonFrame large = placeBalloon(100, 40, BalloonStyle{20, 12, 0, 0, 1}, 500, 500, kScreen);
  const int width = large.window.width(), height = large.window.height();
  auto cutAt = [&](int y) { return (width - shapeRowWidth(large, y)) / 2; };
  EXPECT_EQ(cutAt(0), 10);
  EXPECT_GT(cutAt(5), 0);
  EXPECT_EQ(cutAt(6), 0);
  for (int y = 0; y < 6; ++y) {
    const int cut = cutAt(y);
    EXPECT_LE(cutAt(y + 1), cut);
    EXPECT_EQ(shapeRowWidth(large, height - 1 - y), width - 2 * cut);
    EXPECT_FALSE(inShape(large, cut - 1, y));
    EXPECT_TRUE(inShape(large, cut, y));
    EXPECT_TRUE(inShape(large, width - 1 - cut, y));
    EXPECT_FALSE(inShape(large, width - cut, y));
  }

  const BalloonFrame square = placeBalloon(100, 40, BalloonStyle{0, 0, 9, 5, 1}, 500, 500, kScreen);
  EXPECT_TRUE(inShape(square, square.body.left, square.body.top));
  EXPECT_TRUE(inShape(square, square.body.right - 1, square.body.bottom - 1));
}

TEST(BalloonGeometry, TheBodyStaysOnTheScreen) {
  const Box secondMonitor{-1280, -200, 0, 824};
  const struct {
    const char* what;
    BalloonStyle style;
    int x, y;
    Box screen;
    bool tipOnAnchor;
    int usedPosition;
  } cases[] = {
      {"near the left edge the body slides right, the tail still reaches", kNoticeStyle, 6, 500, kScreen, true, 1},
      {"at the very left edge the tail goes as far as it can", kNoticeStyle, 1, 500, kScreen, false, 1},
      {"near the right edge", kNoticeStyle, 1913, 500, kScreen, true, 1},
      {"menu at the right edge", kMenuStyle, 1919, 40, kScreen, false, 1},
      {"no room below: turned to stand above", kNoticeStyle, 960, 1075, kScreen, true, 10},
      {"no room above: turned to hang below", withPosition(kNoticeStyle, 10), 960, 3, kScreen, true, 1},
      {"no room to the right: turned to the left", withPosition(kNoticeStyle, 4), 1910, 500, kScreen, true, 7},
      {"no room to the left", withPosition(kNoticeStyle, 8), 5, 500, kScreen, true, 5},
      {"a monitor left of and above the primary one", kNoticeStyle, -7, -190, secondMonitor, true, 1},
      {"an anchor off every screen", kNoticeStyle, 5000, -5000, kScreen, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const BalloonFrame frame = placeBalloon(200, 100, c.style, c.x, c.y, c.screen);
    EXPECT_GE(frame.window.left + frame.body.left, c.screen.left);
    EXPECT_GE(frame.window.top + frame.body.top, c.screen.top);
    EXPECT_LE(frame.window.left + frame.body.right, c.screen.right);
    EXPECT_LE(frame.window.top + frame.body.bottom, c.screen.bottom);
    EXPECT_EQ(tipLeft(frame) == c.x && tipTop(frame) == c.y, c.tipOnAnchor);
    EXPECT_EQ(frame.tailPosition, c.usedPosition);
    EXPECT_TRUE(inShape(frame, frame.tipX, frame.tipY));
  }

  // Taller than the screen: the top of the body is kept.
  const BalloonFrame tall = placeBalloon(200, 1500, kNoticeStyle, 960, 20, kScreen);
  EXPECT_EQ(tall.window.top + tall.body.top, 0);
}

TEST(BalloonGeometry, StrayStyleValuesGiveASaneBalloon) {
  const struct {
    BalloonStyle style;
    int expectedPosition;
    bool tail;
  } cases[] = {
      {{-3, -3, -9, -5, 1}, 1, false},
      {{3, 3, 9, 0, 1}, 1, false},
      {{3, 3, 9, 5, 12}, 1, true},
      {{3, 3, 9, 5, -1}, 1, true},
      {{INT_MAX, INT_MAX, INT_MAX, INT_MAX, 10}, 10, true},
      {{INT_MIN, INT_MIN, 1, 1, 11}, 11, true},
  };
  for (const auto& c : cases) {
    const BalloonFrame frame = placeBalloon(0, 0, c.style, 900, 500, kScreen);
    EXPECT_EQ(frame.tailPosition, c.expectedPosition);
    EXPECT_GT(frame.window.width(), 0);
    EXPECT_LE(frame.window.width(), 2 * kMaxStyleValue + 2 * kBalloonPaddingX + 2 * kTailCornerMargin + 1);
    EXPECT_LE(frame.window.height(), 2 * kMaxStyleValue + 2 * kBalloonPaddingY);
    EXPECT_EQ(tipLeft(frame), 900);
    EXPECT_EQ(tipTop(frame), 500);
    EXPECT_EQ(frame.window.width() != frame.body.width() || frame.window.height() != frame.body.height(), c.tail);
  }
}

TEST(BalloonGeometry, AWideTailWidensTheBodyToFitBetweenTheCorners) {
  const BalloonFrame frame = placeBalloon(10, 10, BalloonStyle{30, 30, 80, 10, 2}, 900, 500, kScreen);
  const int maxTail = 80 * 9 / 20;  // the widest tail row reaches this far from the tip
  EXPECT_GE(frame.tipX - maxTail, 15 + kTailCornerMargin);
  EXPECT_LE(frame.tipX + maxTail, frame.body.right - 1 - 15 - kTailCornerMargin);
  EXPECT_EQ(tipLeft(frame), 900);
}

}  // namespace
