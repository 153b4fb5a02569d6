// Plane geometry: angles, distances to rectangles, ellipses and segments,
// orientation, containment and clamping.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/Vexa_math1.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

using std::numbers::pi;

double AngleToXAxis(double dx, double dy) {
  double angle = 0;
  if (dx == 0) {
    angle = dy > 0 ? pi / 2 : 3 * pi / 2;
  } else if (dx < 0) {
    angle = std::atan(dy / dx) + pi;
  } else {
    angle = std::atan(dy / dx);
  }
  if (angle < 0) angle += 2 * pi;
  return angle;
}

double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2) {
  return std::hypot(P2.X - P1.X, P2.Y - P1.Y);
}

double EuclideanDistance(double x1, double y1, double x2, double y2) {
  return std::hypot(x2 - x1, y2 - y1);
}

// ---------------------------------------------------------------- DistFromRect

int32_t DistFromRect(const TPoint& P, const TRect& R) {
  // 64-bit differences: the 32-bit ones may overflow.
  const int64_t left = std::min(R.Left, R.Right);
  const int64_t right = std::max(R.Left, R.Right);
  const int64_t top = std::min(R.Top, R.Bottom);
  const int64_t bottom = std::max(R.Top, R.Bottom);
  const int64_t x = P.X;
  const int64_t y = P.Y;
  // Distance outside the interval along each axis (0 inside or on the edge).
  const int64_t dx = x < left ? left - x : (x > right ? x - right : 0);
  const int64_t dy = y < top ? top - y : (y > bottom ? y - bottom : 0);
  if (dx == 0 || dy == 0) {
    return static_cast<int32_t>(std::min<int64_t>(dx + dy, INT32_MAX));
  }
  // Beyond a corner: the distance to the nearest corner, rounded.
  return RoundToInt32(std::hypot(static_cast<double>(dx), static_cast<double>(dy)));
}

// ---------------------------------------------------------------- DistFromEllipse

namespace {

/// Halvings of the root search: enough to exhaust a double's precision.
constexpr int32_t kMaxBisections = 1075;

/// Root s of ((r·z0)/(s + r))² + (z1/(s + 1))² = 1 by bisection.
double EllipseRoot(double r, double z0, double z1, double g) {
  const double n0 = r * z0;
  double s0 = z1 - 1;
  double s1 = g > 0 ? std::hypot(n0, z1) - 1 : 0;
  double s = 0;
  for (int32_t i = 0; i < kMaxBisections; ++i) {
    s = (s0 + s1) / 2;
    if (s == s0 || s == s1) break;
    const double ratio0 = n0 / (s + r);
    const double ratio1 = z1 / (s + 1);
    const double f = ratio0 * ratio0 + ratio1 * ratio1 - 1;
    if (f > 0) {
      s0 = s;
    } else if (f < 0) {
      s1 = s;
    } else {
      break;
    }
  }
  return s;
}

/// Nearest point on the ellipse with semi-axes e0 >= e1 >= 0 to the point
/// (y0, y1) of the first quadrant.
TPointDouble NearestInFirstQuadrant(double e0, double e1, double y0, double y1) {
  if (e0 == 0) return {0, 0};   // both half-axes 0: the centre
  if (e1 == 0) return {std::min(y0, e0), 0};  // a segment on the long axis
  if (y1 > 0) {
    if (y0 <= 0) return {0, e1};
    const double z0 = y0 / e0;
    const double z1 = y1 / e1;
    const double g = z0 * z0 + z1 * z1 - 1;
    if (g == 0) return {y0, y1};
    const double r = (e0 / e1) * (e0 / e1);
    const double s = EllipseRoot(r, z0, z1, g);
    return {r * y0 / (s + r), y1 / (s + 1)};
  }
  const double numer = e0 * y0;
  const double denom = e0 * e0 - e1 * e1;
  if (numer < denom) {
    const double q = numer / denom;
    return {e0 * q, e1 * std::sqrt(1 - q * q)};
  }
  return {e0, 0};
}

}  // namespace

double DistFromEllipse(const TPointDouble& P, double CenterX, double CenterY, double HalfAxisX,
                       double HalfAxisY, TPointDouble& NearestPoint) {
  double ax = std::fabs(HalfAxisX);
  double ay = std::fabs(HalfAxisY);
  double px = P.X - CenterX;
  double py = P.Y - CenterY;
  // Solve with the longer axis first, in the first quadrant, then undo.
  const bool swapped = ax < ay;
  if (swapped) {
    std::swap(ax, ay);
    std::swap(px, py);
  }
  const TPointDouble q = NearestInFirstQuadrant(ax, ay, std::fabs(px), std::fabs(py));
  double nx = std::copysign(q.X, px);
  double ny = std::copysign(q.Y, py);
  if (swapped) std::swap(nx, ny);
  NearestPoint = {nx + CenterX, ny + CenterY};
  return std::hypot(P.X - NearestPoint.X, P.Y - NearestPoint.Y);
}

// ---------------------------------------------------------------- segments

int32_t CcwTriangle(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3) {
  const double cross = (P2.X - P1.X) * (P3.Y - P1.Y) - (P3.X - P1.X) * (P2.Y - P1.Y);
  if (cross > 0) return 1;
  if (cross < 0) return -1;
  return 0;
}

bool SegmentsIntersect(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3,
                       const TPointDouble& P4) {
  if (CcwTriangle(P1, P2, P3) * CcwTriangle(P1, P2, P4) > 0) return false;
  return CcwTriangle(P3, P4, P1) * CcwTriangle(P3, P4, P2) <= 0;
}

double DistanceToSegment(const TPointDouble& P, const TPointDouble& A, const TPointDouble& B) {
  const double bx = B.X - A.X;
  const double by = B.Y - A.Y;
  const double len2 = bx * bx + by * by;
  const double t = len2 == 0 ? -1 : ((P.X - A.X) * bx + (P.Y - A.Y) * by) / len2;
  if (t < 0) return EuclideanDistance(P, A);
  if (t > 1) return EuclideanDistance(P, B);
  return EuclideanDistance(P, TPointDouble{A.X + t * bx, A.Y + t * by});
}

// ---------------------------------------------------------------- containment

bool WithinBounds(double x, double b1, double b2) {
  return x >= std::min(b1, b2) && x <= std::max(b1, b2);
}

bool WithinBounds(double x, double b1, double b2, double Margin) {
  return x >= std::min(b1, b2) - Margin && x <= std::max(b1, b2) + Margin;
}

bool WithinRect(const TPointDouble& P, const TRectDouble& R) {
  return WithinBounds(P.X, R.Left, R.Right) && WithinBounds(P.Y, R.Top, R.Bottom);
}

bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R) {
  const TPointDouble old = P;
  P.X = ConfineValue(P.X, R.Left, R.Right);
  P.Y = ConfineValue(P.Y, R.Top, R.Bottom);
  return P.X != old.X || P.Y != old.Y;
}

namespace {
template <typename T>
T Confine(T x, T b1, T b2) {
  const T lo = std::min(b1, b2);
  const T hi = std::max(b1, b2);
  if (x < lo) return lo;
  if (x > hi) return hi;
  return x;
}
}  // namespace

double ConfineValue(double x, double b1, double b2) { return Confine(x, b1, b2); }
float ConfineValue(float x, float b1, float b2) { return Confine(x, b1, b2); }
int32_t ConfineValue(int32_t x, int32_t b1, int32_t b2) { return Confine(x, b1, b2); }

// ---------------------------------------------------------------- angles

namespace {

/// Reduces x to [−Half, Half] where Half is half a turn.
double CanonicalAngle(double x, double Turn) {
  const double half = Turn / 2;
  if (x > Turn || x < -Turn) {
    const double turns = x / Turn;
    x = (turns - std::trunc(turns)) * Turn;  // NaN for infinite x
  }
  if (x > half) {
    x -= Turn;
  } else if (x < -half) {
    x += Turn;
  }
  return x;
}

}  // namespace

double CanonicalAngleRadians(double x) { return CanonicalAngle(x, 2 * pi); }

double CanonicalAngleDegrees(double x) { return CanonicalAngle(x, 360); }

}  // namespace vexa
