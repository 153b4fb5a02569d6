#pragma once
/// @file
/// Small geometric records shared by the drawing units (points, rectangles,
/// sizes) and the graphics error classes.

#include <cstdint>

#include "platform/Vexa_exceptions.h"

namespace vexa {

/// A pixel position.
struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// A pixel rectangle; Right and Bottom are exclusive.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int64_t Width() const { return int64_t{Right} - Left; }
  int64_t Height() const { return int64_t{Bottom} - Top; }
  /// True when the rectangle holds no pixel (also when reversed).
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

inline TPoint Point(int32_t X, int32_t Y) { return TPoint{X, Y}; }
inline TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  return TRect{Left, Top, Right, Bottom};
}
/// Intersection of two rectangles; an empty rectangle (0,0,0,0) when they do not meet.
TRect IntersectRect(const TRect& A, const TRect& B);

/// A picture could not be read, written or converted; the message names the
/// format and the cause.
VEXA_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
/// A named resource does not exist.
VEXA_DECLARE_EXCEPTION(EResNotFound, Exception);

}  // namespace vexa
