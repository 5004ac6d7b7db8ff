#pragma once
// Where a balloon goes and what shape it has: a body with rounded corners around the text,
// and a tail whose tip points at a screen point.

#include <vector>

#include "platform/balloon_markup.h"

// Set by the owner before each show.
struct BalloonStyle {
  int cornerWidth = 0;   // the ellipse that rounds the corners, in pixels; 0: square corners
  int cornerHeight = 0;
  int tailWidth = 0;     // base width and length of the tail; no tail when either is 0
  int tailHeight = 0;
  // Edge and place of the tail: top edge left, centre, right 0, 1, 2; left edge top, centre,
  // bottom 3, 4, 5; right edge 6, 7, 8; bottom edge left, centre, right 9, 10, 11.
  int tailPosition = 1;
};

// Room between the text and the body's edge.
inline constexpr int kBalloonPaddingX = 8;
inline constexpr int kBalloonPaddingY = 6;
// A tail at the start or end of an edge keeps this far from the corner's curve.
inline constexpr int kTailCornerMargin = 4;
// Style values beyond this are brought into range: a stray value must not make a window
// larger than any screen.
inline constexpr int kMaxStyleValue = 256;

struct BalloonFrame {
  Box window;  // screen coordinates
  // The rest in window coordinates.
  Box body;
  Box text;  // where the laid-out text goes, centred in the body
  // The tail's tip, or without a tail the middle of the edge it names: the pixel meant to lie
  // on the anchor point. It does, unless the anchor is too close to the screen's edge.
  int tipX = 0;
  int tipY = 0;
  // The position used: the opposite edge's when the body fits only there.
  int tailPosition = 1;
  // The pixels of the window: body rows (equal rows merged) and one strip per tail row or column.
  std::vector<Box> shape;
};

// Places a balloon whose text measures textWidth by textHeight so that its tip lies on
// (anchorX, anchorY) and its body lies within `screen` (the work area of the anchor's
// monitor), sliding the body along the tail's edge or turning to the opposite edge if needed.
BalloonFrame placeBalloon(int textWidth, int textHeight, const BalloonStyle& style, int anchorX, int anchorY,
                          const Box& screen);
