#include "platform/balloon_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Edge { top, left, right, bottom };

Edge edgeOf(int tailPosition) {
  static constexpr Edge edges[] = {Edge::top, Edge::left, Edge::right, Edge::bottom};
  return edges[tailPosition / 3];
}

int positionOf(Edge edge, int place) {
  switch (edge) {
    case Edge::top: return place;
    case Edge::left: return 3 + place;
    case Edge::right: return 6 + place;
    case Edge::bottom: return 9 + place;
  }
  return 1;
}

Edge opposite(Edge edge) {
  switch (edge) {
    case Edge::top: return Edge::bottom;
    case Edge::bottom: return Edge::top;
    case Edge::left: return Edge::right;
    case Edge::right: return Edge::left;
  }
  return edge;
}

bool runsAlongX(Edge edge) { return edge == Edge::top || edge == Edge::bottom; }
// The body lies after the anchor (below or to the right of it) for a tail on its top or left edge.
bool bodyAfterAnchor(Edge edge) { return edge == Edge::top || edge == Edge::left; }

BalloonStyle normalized(const BalloonStyle& style) {
  BalloonStyle s;
  s.cornerWidth = std::clamp(style.cornerWidth, 0, kMaxStyleValue);
  s.cornerHeight = std::clamp(style.cornerHeight, 0, kMaxStyleValue);
  s.tailWidth = std::clamp(style.tailWidth, 0, kMaxStyleValue);
  s.tailHeight = std::clamp(style.tailHeight, 0, kMaxStyleValue);
  // An unknown position gets the usual one: the middle of the top edge.
  s.tailPosition = style.tailPosition >= 0 && style.tailPosition <= 11 ? style.tailPosition : 1;
  if (s.tailWidth == 0 || s.tailHeight == 0) s.tailWidth = s.tailHeight = 0;
  return s;
}

// How many pixels the corner ellipse cuts off the start of a body row, `row` rows from the
// nearer of the top and bottom edges. A pixel stays when its centre lies in the ellipse drawn
// through the centres of the outermost pixels, so a 3 by 3 ellipse cuts exactly the corner pixel.
int cornerInset(int row, int cornerWidth, int cornerHeight) {
  const double a = (cornerWidth - 1) / 2.0;
  const double b = (cornerHeight - 1) / 2.0;
  const double dy = cornerHeight / 2.0 - (row + 0.5);
  if (a <= 0 || b <= 0 || dy <= 0) return 0;
  const double halfChord = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
  return std::max(0, int(std::ceil(a - halfChord - 1e-9)));
}

// Shifts a span of `length` starting at `start` into [low, high); one longer than that
// starts at `low`.
int keepInside(int start, int length, int low, int high) {
  if (length >= high - low) return low;
  return std::clamp(start, low, high - length);
}

}  // namespace

BalloonFrame placeBalloon(int textWidth, int textHeight, const BalloonStyle& style, int anchorX, int anchorY,
                          const Box& screen) {
  const BalloonStyle s = normalized(style);
  const bool hasTail = s.tailWidth > 0;
  const int tailLength = s.tailHeight;
  Edge edge = edgeOf(s.tailPosition);
  const int place = s.tailPosition % 3;

  // The body: the text with room around it, more where large corners would cut into the text.
  const int paddingX = std::max(kBalloonPaddingX, s.cornerWidth / 6 + 1);
  const int paddingY = std::max(kBalloonPaddingY, s.cornerHeight / 6 + 1);
  int bodyWidth = std::max(0, textWidth) + 2 * paddingX;
  int bodyHeight = std::max(0, textHeight) + 2 * paddingY;
  // The tail sits on the straight part of its edge, between the corners.
  const int cornerAlong = runsAlongX(edge) ? s.cornerWidth : s.cornerHeight;
  const int minTip = cornerAlong / 2 + s.tailWidth / 2;
  if (hasTail) {
    int& along = runsAlongX(edge) ? bodyWidth : bodyHeight;
    along = std::max(along, 2 * (minTip + kTailCornerMargin) + 1);
  }
  const int cornerWidth = std::min(s.cornerWidth, bodyWidth);
  const int cornerHeight = std::min(s.cornerHeight, bodyHeight);

  // Turn to the opposite edge when the body fits only there.
  const int screenAcrossLow = runsAlongX(edge) ? screen.top : screen.left;
  const int screenAcrossHigh = runsAlongX(edge) ? screen.bottom : screen.right;
  const int anchorAcross = runsAlongX(edge) ? anchorY : anchorX;
  const int extentAcross = tailLength + (runsAlongX(edge) ? bodyHeight : bodyWidth);
  auto fits = [&](Edge e) {
    return bodyAfterAnchor(e) ? anchorAcross + extentAcross <= screenAcrossHigh
                              : anchorAcross - extentAcross + 1 >= screenAcrossLow;
  };
  if (!fits(edge) && fits(opposite(edge))) edge = opposite(edge);

  BalloonFrame frame;
  frame.tailPosition = positionOf(edge, place);
  const int windowWidth = runsAlongX(edge) ? bodyWidth : bodyWidth + tailLength;
  const int windowHeight = runsAlongX(edge) ? bodyHeight + tailLength : bodyHeight;
  const int bodyLeft = edge == Edge::left ? tailLength : 0;
  const int bodyTop = edge == Edge::top ? tailLength : 0;
  frame.body = Box{bodyLeft, bodyTop, bodyLeft + bodyWidth, bodyTop + bodyHeight};
  frame.text = Box{bodyLeft + (bodyWidth - textWidth) / 2, bodyTop + (bodyHeight - textHeight) / 2, 0, 0};
  frame.text.right = frame.text.left + std::max(0, textWidth);
  frame.text.bottom = frame.text.top + std::max(0, textHeight);

  // Along the edge: the tip on the anchor, the body slid onto the screen if need be, the tip
  // following the anchor as far as the straight part of the edge reaches.
  const int bodyAlong = runsAlongX(edge) ? bodyWidth : bodyHeight;
  const int anchorAlong = runsAlongX(edge) ? anchorX : anchorY;
  const int preferredTip = !hasTail || place == 1 ? bodyAlong / 2
                           : place == 0           ? minTip + kTailCornerMargin
                                                  : bodyAlong - 1 - minTip - kTailCornerMargin;
  const int bodyAlongStart = keepInside(anchorAlong - preferredTip, bodyAlong, runsAlongX(edge) ? screen.left : screen.top,
                                        runsAlongX(edge) ? screen.right : screen.bottom);
  const int tipAlong =
      hasTail ? std::clamp(anchorAlong - bodyAlongStart, minTip, bodyAlong - 1 - minTip) : bodyAlong / 2;

  // Across the edge: the tip on the anchor, unless the body would then leave the screen.
  const int tipAcross = bodyAfterAnchor(edge) ? 0 : extentAcross - 1;
  const int bodyAcrossOffset = runsAlongX(edge) ? bodyTop : bodyLeft;
  const int bodyAcross = runsAlongX(edge) ? bodyHeight : bodyWidth;
  const int bodyAcrossStart =
      keepInside(anchorAcross - tipAcross + bodyAcrossOffset, bodyAcross, screenAcrossLow, screenAcrossHigh);
  const int windowAcrossStart = bodyAcrossStart - bodyAcrossOffset;

  if (runsAlongX(edge)) {
    frame.tipX = tipAlong;
    frame.tipY = tipAcross;
    frame.window = Box{bodyAlongStart, windowAcrossStart, bodyAlongStart + windowWidth, windowAcrossStart + windowHeight};
  } else {
    frame.tipX = tipAcross;
    frame.tipY = tipAlong;
    frame.window = Box{windowAcrossStart, bodyAlongStart, windowAcrossStart + windowWidth, bodyAlongStart + windowHeight};
  }

  // The body, row by row; rows that the corners do not touch make one band.
  for (int row = 0; row < bodyHeight;) {
    const int inset = cornerInset(std::min(row, bodyHeight - 1 - row), cornerWidth, cornerHeight);
    int end = row + 1;
    while (end < bodyHeight && cornerInset(std::min(end, bodyHeight - 1 - end), cornerWidth, cornerHeight) == inset) ++end;
    frame.shape.push_back(Box{frame.body.left + inset, frame.body.top + row, frame.body.right - inset, frame.body.top + end});
    row = end;
  }
  // The tail: a single pixel at the tip, widening toward the body, symmetric about the tip.
  for (int k = 0; k < tailLength; ++k) {
    const int half = s.tailWidth * k / (2 * tailLength);
    switch (edge) {
      case Edge::top: frame.shape.push_back(Box{frame.tipX - half, k, frame.tipX + half + 1, k + 1}); break;
      case Edge::bottom:
        frame.shape.push_back(Box{frame.tipX - half, windowHeight - 1 - k, frame.tipX + half + 1, windowHeight - k});
        break;
      case Edge::left: frame.shape.push_back(Box{k, frame.tipY - half, k + 1, frame.tipY + half + 1}); break;
      case Edge::right:
        frame.shape.push_back(Box{windowWidth - 1 - k, frame.tipY - half, windowWidth - k, frame.tipY + half + 1});
        break;
    }
  }
  return frame;
}
